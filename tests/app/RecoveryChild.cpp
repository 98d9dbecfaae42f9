// A teacher's evening that ends in one of four ways, run as a program of its
// own so that it can be killed as a crash kills そろべえ:
//
//   recovery_child <ending> <out> [ledger]
//
// It starts as そろべえ starts (the ledger opened when named), records two
// collections and an expense, takes the expense back and records another,
// ticks pupil 2 on the last collection's roll, and writes to <out> the bytes
// a save would have written then (the ledger and the roll, each followed by
// a record separator, 0x1E) and the names in the recovery folder. Then it ends: "crash" kills
// itself, "exit" closes the window answering いいえ to the save question, "close-crash" closes the
// document (いいえ) and is killed, "save-crash" saves the ledger (named) and is killed.

#include "BoxAnswers.h"
#include "EveningSteps.h"
#include "LedgerFile.h"
#include "RollFile.h"
#include "StartUp.h"

#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTest>
#include <csignal>
#include <unistd.h>

using namespace sorobe;
using namespace evening;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3)
        return 2;
    const QString ending = arguments[1];
    configureApplication();
    SharedState state;
    const auto window = startUp(state, arguments.value(3));
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get()))
        return 3;

    recordIncome(*window, QStringLiteral("学級費"), QStringLiteral("500"));
    recordIncome(*window, QStringLiteral("遠足代"), QStringLiteral("1200"));
    recordExpense(*window, QStringLiteral("画用紙"), QStringLiteral("999"));
    window->mnuEditUndo->trigger();
    recordExpense(*window, QStringLiteral("模造紙"), QStringLiteral("1480"));
    window->SSTabSheets->setCurrentIndex(window->SSTabSheets->count() - 1);
    QTableView* roll = window->GridRoll;
    const QModelIndex cell = roll->model()->index(1, roll->model()->columnCount() - 2);
    QTest::mouseClick(roll->viewport(), Qt::LeftButton, {}, roll->visualRect(cell).center());
    window->recoveryCopy()->waitForWriter();

    QFile out(arguments[2]);
    if (!out.open(QIODevice::WriteOnly))
        return 4;
    out.write(encodeLedger(window->currentTitles(), state.ledger).bytes);
    out.write("\x1e");
    out.write(encodeRoll(window->roll()));
    out.write("\x1e");
    out.write(QDir(recoveryFolder()).entryList(QDir::Files).join(u'\n').toUtf8());
    out.close();

    {
        BoxAnswers no(QMessageBox::No);
        if (ending == u"exit") {
            window->close();
            return 0;
        }
        if (ending == u"close-crash")
            window->mnuFileClose->trigger();
        else if (ending == u"save-crash")
            window->mnuFileSave->trigger();
    }
    window->recoveryCopy()->waitForWriter();
    ::kill(::getpid(), SIGKILL);
    return 5;
}
