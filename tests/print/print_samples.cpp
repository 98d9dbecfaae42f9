// Writes every print kind of a sample school year, and its collection roll,
// as PDF files into a folder,
// for looking at the printouts on screen: print_samples <folder> [B5], the
// second argument for JIS B5 paper instead of A4.

#include "PainterPrintSurface.h"
#include "PrintKinds.h"
#include "PrintTestData.h"
#include "RollPrintout.h"

#include <QDir>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>
#include <algorithm>
#include <cstdio>

using namespace sorobe;
using namespace sorobe::test;

namespace {

bool onB5 = false;

bool writeSample(const SharedState& state, int kind, const PrintTitles& titles,
                 const QString& fileName) {
    QPrinter printer(QPrinter::HighResolution);
    preparePdfPrinter(printer, fileName);
    if (onB5)
        printer.setPageSize(QPageSize(QPageSize::JisB5));
    PainterPrintSurface surface(printer);
    const PrintResult result = printKind(surface, state, kind, titles);
    if (!result.ok)
        std::fprintf(stderr, "%s: %s\n", qPrintable(fileName), qPrintable(result.message));
    return result.ok;
}

// A class of 35 and the first twelve collections of the year on the
// collection roll: a few unpaid, one who moved out in the autumn, one who
// moved in after the summer; the ledger counts those who paid, but for one
// collection counted as if the whole class had.
bool writeRollSample(const PrintTitles& titles, const QString& fileName) {
    CollectionRoll roll;
    roll.roster().resize(35);
    const QStringList names = {"青木 翔太", "石井 美咲", "上田 陽菜",   "遠藤 大和",
                               "小川 結衣", "加藤 蓮",   "木村 さくら", "久保田 悠真"};
    for (int number = 1; number <= 35; ++number)
        roll.roster().setName(number, names[(number - 1) % names.size()]);
    roll.roster().setMovedOut(12, QDate(2025, 10, 31));
    roll.roster().setMovedIn(35, QDate(2025, 9, 1));
    const auto pays = [&](int number, int column, QDate day) {
        return roll.roster().pupil(number).countsOn(day) && (number * 7 + column * 3) % 23 != 0;
    };

    ArticlePtr ledger = SorobeArticle::create();
    std::vector<ArticlePtr> collections;
    for (const ArticlePtr& entry : schoolYear()) {
        if (entry->taPerPerson() != 0)
            collections.push_back(entry);
    }
    std::sort(collections.begin(), collections.end(),
              [](const ArticlePtr& a, const ArticlePtr& b) { return a->taDate() < b->taDate(); });
    collections.resize(12);
    for (std::size_t column = 0; column < collections.size(); ++column) {
        const ArticlePtr& entry = collections[column];
        std::int16_t paid = 0;
        for (int number = 1; number <= 35; ++number)
            paid += pays(number, int(column), entry->taDate().toQDate()) ? 1 : 0;
        entry->setTaStudentsNumber(column == 3 ? 35 : paid);
        entry->setTaAmount(entry->taPerPerson() * entry->taStudentsNumber());
        entry->setTaKey(std::int32_t(column + 1));
        ledger->addArticle(entry);
    }
    roll.follow(ledger);
    for (int column = 0; column < roll.columnCount(); ++column) {
        for (int number = 1; number <= 35; ++number)
            roll.setPaid(column, number, pays(number, column, roll.column(column).id.date));
    }

    QPrinter printer(QPrinter::HighResolution);
    preparePdfPrinter(printer, fileName, QPageLayout::Landscape);
    if (onB5)
        printer.setPageSize(QPageSize(QPageSize::JisB5));
    PainterPrintSurface surface(printer, QPageLayout::Landscape);
    const PrintResult result = printRollDocument(surface, roll, titles);
    if (!result.ok)
        std::fprintf(stderr, "%s: %s\n", qPrintable(fileName), qPrintable(result.message));
    return result.ok;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: print_samples <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    onB5 = argc > 2 && QByteArray(argv[2]) == "B5";
    folder.mkpath(".");

    PrintTitles titles;
    titles.schoolName = "市立桜ヶ丘小学校";
    titles.year = "令和7年度";
    titles.grade = "第１学年";
    titles.room = "１組";
    titles.teacher = "山田花子";
    titles.title = "さくら子ども会";
    titles.reporter = "会計 鈴木一郎";
    titles.reportDate = QDate(2026, 3, 19);

    SharedState year;
    fillLedger(year, schoolYear());
    bool ok = true;
    for (int kind = 1; kind <= 12; ++kind)
        ok &= writeSample(year, kind, titles,
                          folder.filePath(QString("kind%1.pdf").arg(kind, 2, 10, QChar('0'))));

    // Another account, and a ledger long enough for page breaks.
    PrintTitles other = titles;
    other.classAccount = false;
    ok &= writeSample(year, 7, other, folder.filePath("other-ledger.pdf"));
    ok &= writeSample(year, 8, other, folder.filePath("other-report.pdf"));
    // A year long enough to turn the pages of every table: many entries,
    // many different items, some too wide for their column.
    SharedState longYear;
    std::vector<ArticlePtr> entries;
    for (int copy = 0; copy < 3; ++copy) {
        for (const ArticlePtr& entry : schoolYear())
            entries.push_back(entry);
    }
    for (int i = 0; i < 70; ++i) {
        const QDate date(2025, 6, 1 + i % 28);
        const QString item = i % 9 == 0
                                 ? QString("学習発表会の衣装用布地・糸・ボタン一式（%1班）").arg(i)
                                 : QString("教材 %1").arg(i);
        entries.push_back(expense(date, std::int16_t(100 + i), item, 500 + 10 * i));
        if (i % 2 == 0)
            entries.push_back(collection(date, QString("行事費 %1").arg(i), "", 100 + i, 35));
    }
    fillLedger(longYear, entries);
    ok &= writeSample(longYear, 11, titles, folder.filePath("long-ledger.pdf"));
    ok &= writeSample(longYear, 12, titles, folder.filePath("long-report.pdf"));
    ok &= writeRollSample(titles, folder.filePath("roll.pdf"));
    return ok ? 0 : 1;
}
