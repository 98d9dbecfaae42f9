#include "SharedState.h"

namespace sorobe {

QString printKindName(int kind) {
    static const char16_t* const names[] = {u"一学期元帳",     u"一学期会計報告", u"二学期元帳",
                                            u"二学期会計報告", u"三学期元帳",     u"三学期会計報告",
                                            u"前期元帳",       u"前期会計報告",   u"後期元帳",
                                            u"後期会計報告",   u"年間元帳",       u"年間会計報告"};
    if (kind < 1 || kind > 12)
        return QString();
    return QString::fromUtf16(names[kind - 1]);
}

void SharedState::fillPrintKindNames() {
    printKindNames = QStringList{QString()};
    for (int kind = 1; kind <= 12; ++kind)
        printKindNames.append(printKindName(kind));
}

void SharedState::resetDocument() {
    incomeCount = 0;
    supplyCount = 0;
    studentCount = 30;
    modified = false;
    incomeGridRows = 0;
    supplyGridRows = 0;
    sheetRowCount.fill(0);
    ledger = SorobeArticle::create();
    incomeHistory = SorobeSelection::create();
    supplyHistory = SorobeSelection::create();
    termLists = TermLists{};
    fillPrintKindNames();
}

} // namespace sorobe
