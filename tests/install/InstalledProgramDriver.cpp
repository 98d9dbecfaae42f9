// Drives the installed program without changing it: built as a shared library
// and loaded into `sorobe` with LD_PRELOAD, it registers a start-up function
// with Qt that, once the program's event loop runs, works its main window as a
// user would and quits with an exit code that tells the test what happened.
//
// SOROBE_DRIVER=save  the ledger named on the command line is open in the main
//                     window; 上書き保存 writes it again.
// SOROBE_DRIVER=help  the help command shows the installed help file.
//
// Exit codes: 0 done; 10 no such command; 11 no main window; 12 the ledger is
// not open; 13 a command is missing or unavailable; 14 a message box came up;
// 15 the help viewer did not open; 16 the program did not get that far in time.
// Every failure says why on stderr.

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

enum ExitCode {
    Done = 0,
    UnknownCommand = 10,
    NoMainWindow = 11,
    LedgerNotOpen = 12,
    CommandMissing = 13,
    MessageShown = 14,
    NoHelpViewer = 15,
    TimedOut = 16,
};

// How long the program may take to show its window with the ledger open.
constexpr int startTimeoutMs = 20000;
constexpr int pollMs = 50;

// A failure ends the program at once, wherever it is: a message box may be
// up in a loop of its own, even before the program's main loop runs, and
// nothing of the run is wanted any more. Done lets the program end as usual.
void quitWith(ExitCode code, const QString& reason) {
    if (code == Done) {
        QCoreApplication::exit(Done);
        return;
    }
    std::fprintf(stderr, "sorobe driver: %s\n", qUtf8Printable(reason));
    std::fflush(stderr);
    std::_Exit(code);
}

QWidget* visibleTopLevel(const QString& objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    }
    return nullptr;
}

QAction* enabledAction(QWidget* window, const QString& objectName, QString& why) {
    auto* action = window->findChild<QAction*>(objectName);
    if (!action)
        why = QStringLiteral("the main window has no command %1").arg(objectName);
    else if (!action->isEnabled())
        why =
            QStringLiteral("the command %1 (%2) is not available").arg(objectName, action->text());
    return action && action->isEnabled() ? action : nullptr;
}

// A message box stops the program in its own event loop, where only this
// check still runs; its text is the reason the test gets.
bool reportedMessageBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return false;
    quitWith(MessageShown, QStringLiteral("a message box came up: %1").arg(box->text()));
    return true;
}

class Driver : public QObject {
public:
    explicit Driver(QString command)
        : QObject(qApp)
        , m_command(std::move(command))
        , m_deadline(startTimeoutMs) {
        connect(&m_poll, &QTimer::timeout, this, &Driver::poll);
        m_poll.start(pollMs);
    }

private:
    void poll() {
        if (reportedMessageBox()) {
            m_poll.stop();
            return;
        }
        // A command is under way, perhaps waiting in a message box's loop.
        if (m_started)
            return;
        QWidget* window = visibleTopLevel(QStringLiteral("frmMain"));
        if (!window || !qobject_cast<QMainWindow*>(window)) {
            if (m_deadline.hasExpired())
                finish(NoMainWindow, QStringLiteral("no main window frmMain was shown"));
            return;
        }
        const QStringList arguments = QCoreApplication::arguments();
        const QString ledger = arguments.size() > 1 ? arguments.at(1) : QString();
        if (!ledger.isEmpty() && !window->windowTitle().startsWith(QFileInfo(ledger).fileName())) {
            // Opening the ledger may still be under way.
            if (m_deadline.hasExpired())
                finish(LedgerNotOpen, QStringLiteral("the ledger %1 is not open: the window reads "
                                                     "\"%2\"")
                                          .arg(ledger, window->windowTitle()));
            return;
        }
        m_started = true;
        // Run from an event of its own: Qt does not fire the poll's timer
        // again while its handler is still running, and the poll must see a
        // message box the command may bring up.
        QTimer::singleShot(0, window, [this, window] { runCommand(window); });
    }

    void runCommand(QWidget* window) {
        if (m_command == QLatin1String("save"))
            save(window);
        else if (m_command == QLatin1String("help"))
            showHelp(window);
        else
            finish(UnknownCommand,
                   QStringLiteral("SOROBE_DRIVER=%1 is no command of the driver").arg(m_command));
    }

    void save(QWidget* window) {
        QString why;
        QAction* save = enabledAction(window, QStringLiteral("mnuFileSave"), why);
        if (!save)
            return finish(CommandMissing, why);
        // A failing save shows a message box, which the poll reports while it is up.
        save->trigger();
        finish(Done, {});
    }

    void showHelp(QWidget* window) {
        QString why;
        QAction* help = enabledAction(window, QStringLiteral("mnuHelpHelp"), why);
        if (!help)
            return finish(CommandMissing, why);
        // Without a help file the command explains that in a message box.
        help->trigger();
        if (!visibleTopLevel(QStringLiteral("HelpViewer")))
            return finish(NoHelpViewer, QStringLiteral("the help command showed no help viewer"));
        finish(Done, {});
    }

    void finish(ExitCode code, const QString& reason) {
        m_poll.stop();
        quitWith(code, reason);
    }

    QString m_command;
    QDeadlineTimer m_deadline;
    QTimer m_poll;
    bool m_started = false;
};

void startDriver() {
    const QString command = qEnvironmentVariable("SOROBE_DRIVER");
    if (command.isEmpty())
        return;
    // Past the start-up code: the program's event loop runs the driver.
    QTimer::singleShot(0, qApp, [command] { new Driver(command); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)
