// The tools around the ledger, through the window's menus: CSV for a
// spreadsheet or the office, the receipt check, and the new school year.

#include "../app/BoxAnswers.h"
#include "../model/ArticleBuilders.h"
#include "DisplayFormat.h"
#include "EntryPageDriver.h"
#include "frmReceiptCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace sorobe;
using sorobe::test::entry;

namespace {

// Expenses written "day:receipt:item:amount;…", all of May 2026.
QList<ArticlePtr> expenses(const QString& text) {
    QList<ArticlePtr> out;
    for (const QString& one : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList f = one.split(u':');
        out << entry(false, QDate(2026, 5, f[0].toInt()), std::int16_t(f[1].toInt()), f[2], {}, 0,
                     f[3].toInt());
    }
    return out;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fields of CSV text as RFC 4180 reads them: quoted fields may hold
// commas, doubled quotes and line breaks.
QList<QStringList> parseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace

class TestClassTools : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    void csvExport_data() {
        QTest::addColumn<int>("choice"); // among the file question's four filters
        QTest::addColumn<QString>("lastItem");
        QTest::addColumn<bool>("ontoLedger"); // the name chosen is the ledger's own file
        QTest::addColumn<QString>("file");    // the expected bytes, when compared
        QTest::addColumn<QString>("told");    // the start of the message, when refused
        const QString pta = QStringLiteral("ＰＴＡ会費（前期）");
        QTest::newRow("ledger, UTF-8") << 0 << pta << false << "small-utf8.csv"
                                       << "";
        QTest::newRow("ledger, Shift_JIS") << 1 << pta << false << "small-sjis.csv"
                                           << "";
        QTest::newRow("term pages, UTF-8") << 2 << pta << false << ""
                                           << "";
        QTest::newRow("term pages, Shift_JIS refuses 𠮷")
            << 3 << QStringLiteral("𠮷野家") << false << ""
            << QStringLiteral("1学期 4の項目：「𠮷」はShift_JISで書き出せない文字です。");
        QTest::newRow("Shift_JIS refuses 𠮷")
            << 1 << QStringLiteral("𠮷野家") << false << ""
            << QStringLiteral("支出 2の項目：「𠮷」はShift_JISで書き出せない文字です。");
        QTest::newRow("never over the ledger")
            << 0 << pta << true << "" << QStringLiteral("「%1」は開いている帳簿");
    }

    void csvExport() {
        QFETCH(int, choice);
        QFETCH(QString, lastItem);
        QFETCH(bool, ontoLedger);
        QFETCH(QString, file);
        QFETCH(QString, told);
        PageDriver d(0);
        d.addEntries({entry(false, {2026, 4, 20}, 0, lastItem, {}, 0, 800),
                      entry(true, {2026, 4, 8}, 0, "学級費", "4月分", 500, 15000),
                      entry(false, {2026, 4, 10}, 1, "画用紙, 色紙", {}, 0, 1200),
                      entry(true, {2026, 4, 12}, 0, "\"みどり\"基金", {}, 0, 3000)});
        const QString path = m_dir.filePath(QStringLiteral("export-%1.csv").arg(choice));
        QFile::remove(path);
        const QByteArray ledgerBytes("the ledger itself\r\n");
        if (ontoLedger) {
            QFile ledger(path);
            QVERIFY(ledger.open(QIODevice::WriteOnly) && ledger.write(ledgerBytes) > 0);
            d.state.fileName = path;
        }
        QStringList filters;
        d.window.setFileChooser([&](const QString&, QString& filter, bool saving) {
            filters = filter.split(QStringLiteral(";;"));
            filter = filters.value(choice);
            return saving ? path : QString();
        });
        BoxAnswers boxes(QMessageBox::Ok);
        d.window.mnuFileExportCsv->trigger();
        QCOMPARE(filters.size(), 4);
        // The ledger's name with .csv, or a name of its own without a ledger file.
        QCOMPARE(QFileInfo(d.window.offeredPath()).fileName(),
                 ontoLedger ? QFileInfo(path).fileName() : QStringLiteral("学級会計.csv"));

        if (!told.isEmpty()) {
            QCOMPARE(boxes.texts.size(), 1);
            QVERIFY2(boxes.texts[0].startsWith(ontoLedger ? told.arg(path) : told),
                     qPrintable(boxes.texts[0]));
            QCOMPARE(fileBytes(path), ontoLedger ? ledgerBytes : QByteArray());
            return;
        }
        QCOMPARE(boxes.texts, QStringList());
        const QByteArray bytes = fileBytes(path);
        if (!file.isEmpty()) {
            QFile expected(QStringLiteral(SOROBE_TEST_DATA "/csv/") + file);
            QVERIFY(expected.open(QIODevice::ReadOnly));
            QCOMPARE(bytes, expected.readAll());
        }
        if (choice == 1)
            return;
        // Read back as a spreadsheet would: the figures add up to the money
        // left that the window shows.
        const QList<QStringList> rows = parseCsv(QString::fromUtf8(bytes.mid(3)));
        const qint64 shown = d.state.ledger->sumArticle();
        QCOMPARE(d.get<QLabel>("LabelIncomeRemainder")->text(), formatAmount(std::int32_t(shown)));
        if (choice == 0) {
            qint64 sum = 0;
            for (const QStringList& row : rows.mid(1))
                sum += row[8].toLongLong() - row[9].toLongLong();
            QCOMPARE(sum, shown);
            QCOMPARE(rows.last().value(10).toLongLong(), shown);
            QCOMPARE(rows.value(3).value(3), QStringLiteral("\"みどり\"基金"));
        } else {
            QStringList pages;
            for (const QStringList& row : rows) {
                if (row.size() == 1 && !row[0].isEmpty())
                    pages << row[0];
            }
            QCOMPARE(pages, QStringList({"1学期", "2学期", "3学期", "前期", "後期", "年間"}));
            QCOMPARE(rows.last().value(1), QStringLiteral("合　計"));
            QCOMPARE(rows.last().value(4).toLongLong(), shown);
        }
    }

    void receiptCheck_data() {
        QTest::addColumn<QString>("expenses");
        QTest::addColumn<QStringList>("findings");
        QTest::addColumn<int>("shown"); // the expense a double-click on the first line shows
        QTest::newRow("clean") << "10:1:画用紙:1200;12:2:のり:300"
                               << QStringList{"問題は見つかりませんでした。"} << 0;
        QTest::newRow("missing numbers") << "10:1:画用紙:1200;12:4:のり:300"
                                         << QStringList{"領収書番号 2〜3 がありません。"} << 0;
        QTest::newRow("one receipt, two dates")
            << "10:1:画用紙:1200;12:1:のり:300"
            << QStringList{"領収書番号 1 が違う日付の支出に使われています。"} << 1;
        QTest::newRow("without receipt")
            << "10:1:画用紙:1200;12:0:のり:300"
            << QStringList{"領収書番号のない支出が 1 件あります。"} << 2;
        QTest::newRow("likely double entry")
            << "10:1:画用紙:1200;10:1:画用紙:1200"
            << QStringList{"同じ日に同じ項目・金額の支出が 2 件あります。"
                           "二重に記録していないか確かめてください。"}
            << 1;
    }

    void receiptCheck() {
        QFETCH(QString, expenses);
        QFETCH(QStringList, findings);
        QFETCH(int, shown);
        PageDriver d(0);
        d.addEntries(::expenses(expenses));
        d.window.mnuToolsReceiptCheck->trigger();
        auto* check = d.window.findChild<frmReceiptCheck*>(QStringLiteral("frmReceiptCheck"));
        QVERIFY(check && check->isVisible());
        QTreeWidget* tree = check->TreeReceiptFindings;
        QStringList lines;
        for (int k = 0; k < tree->topLevelItemCount(); ++k)
            lines << tree->topLevelItem(k)->text(0);
        QCOMPARE(lines, findings);
        QVERIFY(check->LabelReceiptResult->text().startsWith(u"支出 2 件を点検しました。"));
        if (shown == 0)
            return;
        // The expense's own line, double-clicked, shows it on the expense page.
        QTreeWidgetItem* line = tree->topLevelItem(0)->child(0);
        const QPoint at = tree->visualItemRect(line).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(d.get<QTabWidget>("SSTabSheets")->currentIndex(), 2);
        QCOMPARE(d.texts({"TextSupplyNo"}), QString::number(shown));
        QCOMPARE(d.mode("Supply"), QStringLiteral("Editing"));
        // Mended on the page, the check on screen follows.
        d.click("CommandSupplyDelete");
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("問題は見つかりませんでした。"));
    }

    void newSchoolYear_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("spent");
        QTest::addColumn<int>("answer"); // to the question about unsaved changes
        QTest::addColumn<QString>("newYear");
        QTest::addColumn<int>("carried");
        QTest::newRow("positive balance") << "令和8年度(2026年度）" << 1200 << int(QMessageBox::No)
                                          << "令和9年度(2027年度）" << 13800;
        QTest::newRow("negative balance") << "令和8年度(2026年度）" << 15500 << int(QMessageBox::No)
                                          << "令和9年度(2027年度）" << -500;
        QTest::newRow("unreadable year")
            << "来年度" << 1200 << int(QMessageBox::No) << "来年度" << 13800;
        QTest::newRow("cancelled") << "令和8年度(2026年度）" << 1200 << int(QMessageBox::Cancel)
                                   << "令和8年度(2026年度）" << 0;
    }

    void newSchoolYear() {
        QFETCH(QString, year);
        QFETCH(int, spent);
        QFETCH(int, answer);
        QFETCH(QString, newYear);
        QFETCH(int, carried);
        PageDriver d(0);
        d.addEntries({entry(true, {2026, 4, 8}, 0, "学級費", "4月分", 500, 15000),
                      entry(false, {2027, 3, 10}, 1, "文集", {}, 0, spent)});
        d.state.incomeHistory->appendSelectionWithCount(
            SorobeSelection::create(QStringLiteral("学級費"), 1, DateTime::fromDate(2026, 4, 8)));
        d.get<QLineEdit>("TextSchoolName")->setText(QStringLiteral("みどり小学校"));
        d.get<QComboBox>("ComboYearHome")->setEditText(year);
        d.state.modified = true;

        BoxAnswers boxes{QMessageBox::StandardButton(answer)};
        d.window.mnuFileNewYear->trigger();
        QCOMPARE(boxes.texts.value(0), QStringLiteral("ﾌｧｲﾙが保存していません。保存しますか？"));
        QCOMPARE(d.get<QComboBox>("ComboYearHome")->currentText(), newYear);
        QCOMPARE(d.texts({"TextSchoolName"}), QStringLiteral("みどり小学校"));
        const ArticlePtr first = d.state.ledger->nextArticle();
        if (answer == QMessageBox::Cancel) {
            QCOMPARE(boxes.texts.size(), 1);
            QCOMPARE(d.state.incomeCount + d.state.supplyCount, 2);
            return;
        }
        QCOMPARE(boxes.texts.size(), 2);
        QCOMPARE(boxes.texts[1].contains(u"読み取れなかった"), newYear == year);
        QVERIFY(first && !first->nextArticle());
        QCOMPARE(first->taArticle(), QStringLiteral("前年度繰越金"));
        QCOMPARE(first->taDate().toQDate(), QDate(2027, 4, 1));
        QCOMPARE(first->taAmount(), carried);
        QVERIFY(first->taIncome() && first->taPerPerson() == 0);
        QCOMPARE(d.state.incomeCount, 1);
        QCOMPARE(d.get<QLabel>("LabelIncomeRemainder")->text(), formatAmount(carried));
        // A new book: no file yet, unsaved, and the histories of the year kept.
        QVERIFY(d.state.fileName.isEmpty() && d.state.modified);
        QVERIFY(d.window.mnuFileSaveAs->isEnabled() && !d.window.mnuFileSave->isEnabled());
        QVERIFY(d.get<QComboBox>("ComboIncomeArticle")->findText(QStringLiteral("学級費")) >= 0);
    }
};

QTEST_MAIN(TestClassTools)
#include "tst_classtools.moc"
