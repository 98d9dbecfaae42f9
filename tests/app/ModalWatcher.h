#pragma once

// Modal boxes run their own event loop, so a test can only look at them from a
// timer. The watcher waits for the next modal window, hands it to the test's
// handler and then makes sure it is gone, so that a failing check never leaves
// the test hanging in the box's event loop.

#include <QApplication>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class ModalWatcher : public QObject {
public:
    using Handler = std::function<void(QWidget*)>;

    explicit ModalWatcher(Handler handler)
        : handler(std::move(handler)) {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, &ModalWatcher::poll);
        timer.start();
    }

    bool sawModal() const { return seen; }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++tries > 500) // 5 s: whatever was expected did not come
                timer.stop();
            return;
        }
        timer.stop();
        seen = true;
        QPointer<QWidget> guard(modal);
        handler(modal);
        if (guard && guard->isVisible())
            guard->close();
    }

    Handler handler;
    QTimer timer;
    int tries = 0;
    bool seen = false;
};
