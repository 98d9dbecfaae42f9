#include "AppVersion.h"
#include "CommandLine.h"
#include "StartUp.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

// The usage or the version on standard output; the program ends with code 0.
int answer(sorobe::CommandLine::Action action) {
    const QString text = action == sorobe::CommandLine::Action::Help
                             ? sorobe::usageText()
                             : QStringLiteral("そろべえ ") + sorobe::versionText() + u'\n';
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // Asked for its usage or version, the program answers before it needs a
    // screen: from a terminal with no display, or from a package check.
    for (int k = 1; k < argc && std::strcmp(argv[k], "--") != 0; ++k) {
        if (std::strcmp(argv[k], "-h") == 0 || std::strcmp(argv[k], "--help") == 0)
            return answer(sorobe::CommandLine::Action::Help);
        if (std::strcmp(argv[k], "--version") == 0)
            return answer(sorobe::CommandLine::Action::Version);
    }
    QApplication app(argc, argv);
    sorobe::configureApplication();
    const sorobe::CommandLine line = sorobe::readCommandLine(app.arguments().mid(1));
    switch (line.action) {
    case sorobe::CommandLine::Action::Help:
    case sorobe::CommandLine::Action::Version:
        return answer(line.action);
    case sorobe::CommandLine::Action::Misused:
        std::fputs(
            ("sorobe: " + line.problem + u'\n' + sorobe::usageText()).toLocal8Bit().constData(),
            stderr);
        return 2;
    case sorobe::CommandLine::Action::Run:
        break;
    }
    sorobe::SharedState state;
    const auto window = sorobe::startUp(state, line.ledger);
    return app.exec();
}
