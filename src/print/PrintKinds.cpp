#include "PrintKinds.h"

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "PageNumbers.h"
#include "PrintPeriods.h"
#include "Printouts.h"

#include <array>

namespace sorobe {

using namespace print;

namespace {

enum class Closing { None, IntoSecondTerm, IntoThirdTerm, IntoLaterHalf, YearEnd };

struct KindInfo {
    bool ledger;
    Period period;
    const char16_t* reportLabel;
    Closing closing;
};

// Kind 1 first, in the order of the options on the settings page.
constexpr std::array<KindInfo, 12> kinds{{
    {true, Spring, u"", Closing::None},
    {false, Spring, u"１学期", Closing::IntoSecondTerm},
    {true, Autumn, u"", Closing::None},
    {false, Autumn, u"２学期", Closing::IntoThirdTerm},
    {true, Winter, u"", Closing::None},
    {false, Winter, u"３学期", Closing::YearEnd},
    {true, Before, u"", Closing::None},
    {false, Before, u"前期", Closing::IntoLaterHalf},
    {true, Later, u"", Closing::None},
    {false, Later, u"後期", Closing::YearEnd},
    {true, Year, u"", Closing::None},
    {false, Year, u"年度", Closing::YearEnd},
}};

const KindInfo* kindInfo(int printKind) {
    if (printKind < 1 || printKind > static_cast<int>(kinds.size()))
        return nullptr;
    return &kinds[static_cast<std::size_t>(printKind - 1)];
}

// Ends what was begun; a second failure while ending changes nothing more.
void endAfterFailure(PrintSurface& surface) {
    try {
        surface.endDoc();
    } catch (const PrintFailure&) {
    }
}

} // namespace

PrintResult printDocument(PrintSurface& surface, const std::function<void()>& print) {
    try {
        print();
    } catch (const OverflowError&) {
        endAfterFailure(surface);
        return {false,
                QStringLiteral("金額の合計が大きすぎて計算できないため、印刷を中止しました。")};
    } catch (const PrintFailure& failure) {
        endAfterFailure(surface);
        return {false, failure.message() + QStringLiteral("印刷を中止しました。")};
    }
    return {};
}

QString reportPeriodLabel(int printKind) {
    const KindInfo* info = kindInfo(printKind);
    return info ? QString::fromUtf16(info->reportLabel) : QString();
}

QString closingSentence(const SharedState& state, int printKind, bool classAccount) {
    const KindInfo* info = kindInfo(printKind);
    if (!info)
        return QString();
    QString nextAccount;
    switch (info->closing) {
    case Closing::None:
        return QString();
    case Closing::YearEnd:
        return QStringLiteral("一年間ご協力ありがとうございました。");
    case Closing::IntoSecondTerm:
        nextAccount = QStringLiteral("第２学期");
        break;
    case Closing::IntoThirdTerm:
        nextAccount = QStringLiteral("第３学期");
        break;
    case Closing::IntoLaterHalf:
        nextAccount = QStringLiteral("後期");
        break;
    }
    return QStringLiteral("尚、残金の") + formatAmount(periodBalance(state, info->period)) +
           QStringLiteral("円は") + nextAccount +
           (classAccount ? QStringLiteral("学級会計") : QStringLiteral("会計")) +
           QStringLiteral("に繰り越させていただきます。");
}

PrintResult printKind(PrintSurface& surface, const SharedState& state, int printKind,
                      const PrintTitles& titles) {
    const KindInfo* info = kindInfo(printKind);
    if (!info)
        return {
            false,
            QStringLiteral(
                "印刷の種類が選ばれていません。「設定」画面から、印刷の種類を選択してください。")};
    return printDocument(surface, [&] {
        if (info->ledger) {
            const auto period = static_cast<std::int16_t>(info->period);
            printNumbered(
                surface, [&](PrintSurface& sheets) { printLedger(sheets, state, period, titles); },
                portraitMiddle, ledgerFailsAlikeOnAnySheets(state, period));
        } else {
            const TermLists& lists = state.termLists;
            const QString closing = closingSentence(state, printKind, titles.classAccount);
            printNumbered(surface, [&](PrintSurface& sheets) {
                printReport(sheets, QString::fromUtf16(info->reportLabel),
                            periodIncomeList(lists, info->period),
                            periodSupplyList(lists, info->period), closing, titles);
            });
        }
    });
}

} // namespace sorobe
