#include "CommandLine.h"
#include "StartUp.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    sorobe::configureApplication();
    const sorobe::CommandLine line = sorobe::readCommandLine(app.arguments().mid(1));
    switch (line.action) {
    case sorobe::CommandLine::Action::Help:
        std::fputs(sorobe::usageText().toLocal8Bit().constData(), stdout);
        return 0;
    case sorobe::CommandLine::Action::Version:
        std::fputs((QCoreApplication::applicationName() + u' ' +
                    QCoreApplication::applicationVersion() + u'\n')
                       .toLocal8Bit()
                       .constData(),
                   stdout);
        return 0;
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
