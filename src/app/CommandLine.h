#pragma once

// What the program was asked to do when it was started: show the window
// (with a ledger to open, when one is named), say how it is used, or say its
// version.

#include <QString>
#include <QStringList>

namespace sorobe {

struct CommandLine {
    enum class Action {
        Run,     // show the window, opening `ledger` when it is not empty
        Help,    // the usage on standard output, exit code 0
        Version, // the program's name and version, exit code 0
        Misused  // `problem` and the usage on standard error, exit code 2
    };
    Action action = Action::Run;
    QString ledger;
    QString problem;
};

// Reads the arguments after the program's name, once Qt has taken its own
// (-platform and the like): no argument or one ledger file; -h/--help;
// --version; "--" before a file whose name starts with a dash.
CommandLine readCommandLine(const QStringList& arguments);

QString usageText();

} // namespace sorobe
