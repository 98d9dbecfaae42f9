#include "CommandLine.h"

namespace sorobe {

CommandLine readCommandLine(const QStringList& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.startsWith(u'-') && argument != u"-") {
            if (argument == u"-h" || argument == u"--help")
                return {CommandLine::Action::Help, {}, {}};
            if (argument == u"--version")
                return {CommandLine::Action::Version, {}, {}};
            return {CommandLine::Action::Misused,
                    {},
                    QStringLiteral("知らないオプションです: %1").arg(argument)};
        }
        if (!line.ledger.isEmpty())
            return {CommandLine::Action::Misused,
                    {},
                    QStringLiteral("開ける元帳ファイルは一つだけです。")};
        line.ledger = argument;
    }
    return line;
}

QString usageText() {
    return QStringLiteral("使い方: sorobe [元帳ファイル]\n"
                          "  元帳ファイルを指定すると、起動してすぐにそのファイルを開きます。\n"
                          "  -h, --help    この説明を表示します\n"
                          "  --version     版を表示します\n");
}

} // namespace sorobe
