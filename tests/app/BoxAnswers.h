#pragma once

// Answers every message box that comes up with `answer`, keeping its text.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

class BoxAnswers : public QObject {
public:
    explicit BoxAnswers(QMessageBox::StandardButton answer)
        : m_answer(answer) {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts << box->text();
            if (QAbstractButton* button = box->button(m_answer))
                button->click();
            else
                box->reject();
        });
        m_timer.start();
    }
    QStringList texts;

private:
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};
