#include "FlexGrid.h"
#include "ResourceStrings.h"
#include "SharedState.h"
#include "TermCalendar.h"
#include "Twips.h"
#include "frmMain.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace sorobe;

namespace {

ArticlePtr expenseWithReceipt(std::int16_t receipt) {
    ArticlePtr entry = SorobeArticle::create();
    entry->setTaDate(DateTime::fromDate(2002, 5, 1));
    entry->setTaReceipt(receipt);
    entry->setTaArticle(QStringLiteral("画用紙"));
    entry->setTaAmount(100);
    return entry;
}

QStringList comboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

std::unique_ptr<QSettings> placementStore() {
    auto settings =
        std::make_unique<QSettings>(QStringLiteral("そろべえ"), QStringLiteral("そろべえ"));
    settings->beginGroup(QStringLiteral("Settings"));
    return settings;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

    // A loaded window on a fresh state; the item history is kept out of the way.
    struct Loaded {
        SharedState state;
        std::unique_ptr<frmMain> window;
        explicit Loaded(const QString& historyFile = QString()) {
            state.fillPrintKindNames();
            window = std::make_unique<frmMain>(state);
            window->setItemHistoryFiles(historyFile, historyFile);
            window->Form_Load();
        }
    };

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        // The placement goes to a settings store of the test's own.
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        QCoreApplication::setApplicationVersion(QStringLiteral("1.3.5"));
    }

    void init() { placementStore()->remove(QString()); }

    void tabsCarryTheirExactCaptions() {
        Loaded loaded;
        auto* tabs = loaded.window->findChild<QTabWidget*>(QStringLiteral("SSTabSheets"));
        QVERIFY(tabs);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions.append(tabs->tabText(i));
        QCOMPARE(captions, (QStringList{" 設定", " 収入", " 支出", "1学期", "2学期", "3学期",
                                        " 前期", " 後期", " 年間", " 集金"}));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(loaded.window->windowTitle(), QStringLiteral("そろべえ 1.3.5"));
    }

    void menusShowTheirResourceCaptions() {
        Loaded loaded;
        QStringList shown;
        for (QAction* top : loaded.window->menuBar()->actions()) {
            shown.append(top->menu()->objectName() + u'=' + top->menu()->title());
            for (QAction* item : top->menu()->actions()) {
                // The keys shown beside a command, after a blank.
                QStringList keys;
                for (const QKeySequence& key : item->shortcuts())
                    keys << key.toString(QKeySequence::PortableText);
                shown.append(item->objectName() + u'=' +
                             (item->isSeparator() ? QStringLiteral("-") : item->text()) +
                             (keys.isEmpty() ? QString() : u' ' + keys.join(u',')));
            }
        }
        QCOMPARE(shown, (QStringList{"mnuFile=ﾌｧｲﾙ(&F)",
                                     "mnuFileOpen=開く(&O)... Ctrl+O",
                                     "mnuFileClose=閉じる(&C) Ctrl+W",
                                     "mnuFileBar0=-",
                                     "mnuFileSave=上書き保存(&S) Ctrl+S",
                                     "mnuFileSaveAs=名前を付けて保存(&A)... Ctrl+Shift+S",
                                     "mnuFileBar1=-",
                                     "mnuFilePageSetup=ﾍﾟｰｼﾞ設定(&U)...",
                                     "mnuFilePrint=印刷 Ctrl+P",
                                     "mnuFilePreview=印刷プレビュー(&V)...",
                                     "mnuFileExportPdf=PDFに書き出す(&D)...",
                                     "mnuFileExportCsv=CSVに書き出す(&E)...",
                                     "mnuFileBar4=-",
                                     "mnuFileNewYear=新年度の準備(&N)...",
                                     "mnuFileBar2=-",
                                     "mnuFileRecent=最近使ったファイル(&R)",
                                     "mnuFileBar3=-",
                                     "mnuFileExit=終了(&X) Ctrl+Q",
                                     "mnuEdit=編集(&E)",
                                     "mnuEditUndo=元に戻す(&U) Ctrl+Z",
                                     "mnuEditRedo=やり直し(&R) Ctrl+Y,Ctrl+Shift+Z",
                                     "mnuTools=ﾂｰﾙ(&T)",
                                     "mnuToolsReceiptCheck=領収書の点検(&R)...",
                                     "mnuHelp=ﾍﾙﾌﾟ(&H)",
                                     "mnuHelpAbout=ﾊﾞｰｼﾞｮﾝ情報(&A)",
                                     "mnuHelpHelp=ﾍﾙﾌﾟ F1"}));
        QVERIFY(!loaded.window->mnuEditUndo->isEnabled());
        QVERIFY(!loaded.window->mnuEditRedo->isEnabled());
        QVERIFY(!loaded.window->mnuFileSave->isEnabled());
        QVERIFY(loaded.window->mnuFileSaveAs->isEnabled());
    }

    void toolbarHasItsButtons() {
        Loaded loaded;
        auto* toolbar = loaded.window->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
        QVERIFY(toolbar);
        QStringList buttons;
        for (QAction* button : toolbar->actions()) {
            QVERIFY(!button->icon().isNull());
            buttons.append(QStringList{button->property("Key").toString(), button->text(),
                                       button->toolTip(), button->property("ImageKey").toString(),
                                       button->isEnabled() ? "on" : "off"}
                               .join(u'|'));
        }
        QCOMPARE(buttons, (QStringList{"開く|元帳ﾌｧｲﾙを開く|開く|Open|on",
                                       "名前をつけて保存|元帳ﾌｧｲﾙを名前をつけて保存|"
                                       "元帳ﾌｧｲﾙを名前をつけて保存|Folder04|on",
                                       "上書き保存|元帳ﾌｧｲﾙを上書き保存|上書き保存|Save|off",
                                       "ページ設定|ﾌﾟﾘﾝﾀの設定|ﾌﾟﾘﾝﾀの設定|Setup|on",
                                       "印刷|印刷|印刷|Print|on",
                                       "印刷プレビュー|印刷プレビュー|印刷プレビュー|Preview|on"}));
    }

    void gridsAreSetUpWithTitlesAndWidths_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("wideColumn");
        QTest::addColumn<int>("spare");
        const QStringList entry{"No.", "日付", "項目", "一人分", "金額", ""};
        const QStringList supply{"No.", "日付", "領収書", "項目", "金額", ""};
        const QStringList sheet{"No.", "項目", "収入", "支出", "残高", ""};
        QTest::newRow("income") << "MSFlexGridIncome" << entry << 2 << 4240;
        QTest::newRow("expense") << "MSFlexGridSupply" << supply << 3 << 4240;
        for (const char* name : {"MSFlexGridSpring", "MSFlexGridAutumn", "MSFlexGridWinter",
                                 "MSFlexGridBefore", "MSFlexGridLater", "MSFlexGridYear"})
            QTest::newRow(name) << name << sheet << 1 << 4440;
    }

    void gridsAreSetUpWithTitlesAndWidths() {
        QFETCH(QString, grid);
        QFETCH(QStringList, titles);
        QFETCH(int, wideColumn);
        QFETCH(int, spare);
        Loaded loaded;
        auto* flex = loaded.window->findChild<FlexGrid*>(grid);
        QVERIFY(flex);
        QCOMPARE(flex->Rows(), 1);
        QCOMPARE(flex->Cols(), 6);
        QStringList shown;
        for (int column = 0; column < 6; ++column)
            shown.append(flex->TextMatrix(0, column));
        QCOMPARE(shown, titles);
        // Widths come back through pixels, so allow one pixel of rounding.
        const int pixel = pixelsToTwips(1);
        QVERIFY(qAbs(flex->ColWidth(wideColumn) - (flex->Width() - spare)) <= pixel);
        QCOMPARE(flex->ColWidth(5), 0);
        QVERIFY(qAbs(flex->ColWidth(0) - 500) <= pixel);
        for (int column = 1; column <= 4; ++column) {
            flex->setRow(0);
            flex->setCol(column);
            QCOMPARE(flex->CellAlignment(), 4);
        }
        // The hidden key column keeps what is written to it.
        flex->setRows(2);
        flex->setTextMatrix(1, 5, QStringLiteral("17"));
        QCOMPARE(flex->TextMatrix(1, 5), QStringLiteral("17"));
    }

    // Beyond its designed size the window gives the room to the lists and
    // their item column; a long item then takes one line instead of two.
    void listsGrowWithTheWindow_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("itemColumn");
        QTest::addColumn<QString>("label"); // the money left under the list, if any
        QTest::newRow("income") << "MSFlexGridIncome" << 2 << "LabelIncomeRemainder";
        QTest::newRow("expenses") << "MSFlexGridSupply" << 3 << "LabelSupplyRemainder";
        QTest::newRow("1学期") << "MSFlexGridSpring" << 1 << "";
        QTest::newRow("年間") << "MSFlexGridYear" << 1 << "";
    }
    void listsGrowWithTheWindow() {
        QFETCH(QString, grid);
        QFETCH(int, itemColumn);
        QFETCH(QString, label);
        Loaded loaded;
        frmMain& w = *loaded.window;
        const QString item = QString(28, QChar(u'帳'));
        for (bool income : {true, false}) {
            ArticlePtr entry = expenseWithReceipt(0);
            entry->setTaIncome(income);
            entry->setTaArticle(item);
            entry->setTaKey(loaded.state.keyCounter++);
            loaded.state.ledger->addArticle(entry);
            ++(income ? loaded.state.incomeCount : loaded.state.supplyCount);
        }
        w.showIncomeList();
        w.showSupplyList();
        w.tabulateTerms();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* list = w.findChild<FlexGrid*>(grid);
        for (int tab = 0; tab < w.SSTabSheets->count(); ++tab) {
            if (w.SSTabSheets->widget(tab)->isAncestorOf(list))
                w.SSTabSheets->setCurrentIndex(tab);
        }
        const QRect designed = list->geometry();
        const int designedColumn = list->ColWidth(itemColumn);
        const QPoint labelAt = label.isEmpty() ? QPoint() : w.findChild<QLabel*>(label)->pos();
        QCOMPARE(list->Width(), 9000);
        QCOMPARE(list->RowHeight(1), 2 * loaded.state.gridRowHeight);

        const QSize grown(300, 200);
        w.resize(w.size() + grown);
        QTRY_COMPARE(list->geometry(), designed.adjusted(0, 0, grown.width(), grown.height()));
        QCOMPARE(list->ColWidth(itemColumn), list->Width() - (9000 - designedColumn));
        if (!label.isEmpty())
            QCOMPARE(w.findChild<QLabel*>(label)->pos(), labelAt + QPoint(300, 200));
        QTRY_COMPARE(list->RowHeight(1), loaded.state.gridRowHeight);

        // Smaller than designed, nothing shrinks below the designed layout.
        w.resize(w.size() - grown - QSize(100, 100));
        QTRY_COMPARE(list->geometry(), designed);
        QCOMPARE(list->ColWidth(itemColumn), designedColumn);
        QTRY_COMPARE(list->RowHeight(1), 2 * loaded.state.gridRowHeight);
        QVERIFY(list->WordWrap());
    }

    void standardRowHeightIsReadFromTheTitleRow() {
        Loaded loaded;
        QVERIFY(loaded.state.gridRowHeight > 0);
        QCOMPARE(loaded.state.gridRowHeight, loaded.window->MSFlexGridIncome->RowHeight(0));
    }

    void settingsPageStartsEmptyWithItsChoices() {
        Loaded loaded;
        frmMain& w = *loaded.window;
        w.TextSchoolName->setText(QStringLiteral("前の学校"));
        w.ComboGradeHome->setEditText(QStringLiteral("第２学年"));
        w.Form_Load(); // a second load empties the class titles again
        QVERIFY(w.TextSchoolName->text().isEmpty());
        QVERIFY(w.ComboYearHome->currentText().isEmpty());
        QVERIFY(w.ComboGradeHome->currentText().isEmpty());
        QVERIFY(w.ComboRoomHome->currentText().isEmpty());
        QVERIFY(w.TextChargeHome->text().isEmpty());
        QCOMPARE(w.DTPickerPrintDate->date(), QDate::currentDate());
        QCOMPARE(w.DTPickerIncomeDate->date(), QDate::currentDate());
        QCOMPARE(w.DTPickerSupplyDate->date(), QDate::currentDate());
        QVERIFY(w.optTiTle[0]->isChecked());
        QCOMPARE(w.optTiTle[1]->text(), QStringLiteral("その他の会計"));
        QCOMPARE(comboItems(w.ComboYearHome), schoolYearChoices(QDate::currentDate()));
        QCOMPARE(comboItems(w.ComboGradeHome).last(), QStringLiteral("第６学年"));
        QCOMPARE(comboItems(w.ComboRoomHome),
                 (QStringList{"１組", "２組", "３組", "４組", "５組", "６組", "７組"}));
        QCOMPARE(comboItems(w.ComboIncomeSubArticle).size(), 16);
        QCOMPARE(comboItems(w.ComboIncomeSubArticle).at(12), QStringLiteral("1学期分"));
        auto* frame = w.findChild<QGroupBox*>(QStringLiteral("FrameTitle"));
        QCOMPARE(frame->title(), QStringLiteral("会計タイトルの設定"));
        QCOMPARE(w.LabelIncomeNo->font().pointSize(), 11);
    }

    void printKindFollowsTheChosenOption() {
        Loaded loaded;
        frmMain& w = *loaded.window;
        QCOMPARE(loaded.state.printKind, 11);
        QCOMPARE(w.frmPrint->title(), QStringLiteral("印刷の種類"));
        QStringList captions;
        for (QRadioButton* option : w.optPrint)
            captions.append(option->text());
        QCOMPARE(captions, loaded.state.printKindNames.mid(1));

        w.show();
        QTest::mouseClick(w.optPrint[2], Qt::LeftButton);
        QCOMPARE(loaded.state.printKind, 3);
        QTest::mouseClick(w.optPrint[11], Qt::LeftButton);
        QCOMPARE(loaded.state.printKind, 12);
        // The frame and its options stand where the settings page was designed.
        QCOMPARE(w.frmPrint->geometry(), QRect(twipsToPixels(6480), twipsToPixels(480),
                                               twipsToPixels(2655), twipsToPixels(4575)));
        QCOMPARE(w.optPrint[11]->geometry(), QRect(twipsToPixels(240), twipsToPixels(4200),
                                                   twipsToPixels(2295), twipsToPixels(255)));
    }

    void entryButtonsStartInBrowsing() {
        Loaded loaded;
        frmMain& w = *loaded.window;
        QVERIFY(w.CommandIncomeNew->isEnabled());
        QVERIFY(w.CommandSupplyNew->isEnabled());
        for (QPushButton* button :
             {w.CommandIncomeRecord, w.CommandIncomeDelete, w.CommandIncomeCancel,
              w.CommandSupplyRecord, w.CommandSupplyDelete, w.CommandSupplyCancel})
            QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
        QCOMPARE(w.CommandIncomeCancel->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(w.TextIncomeStudents->text(), QStringLiteral("30"));
        QCOMPARE(w.LabelIncomeRest->text(), QStringLiteral("残金"));
        QCOMPARE(w.LabelSuppluRest->text(), QStringLiteral("残金"));
    }

    void receiptChoicesOfferTheElevenLowestFreeNumbers_data() {
        QTest::addColumn<QList<int>>("used");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("empty ledger")
            << QList<int>{}
            << QStringList{" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", " 10", " 11"};
        QTest::newRow("1, 2 and 4 used")
            << QList<int>{4, 1, 2, 2}
            << QStringList{" 3", " 5", " 6", " 7", " 8", " 9", " 10", " 11", " 12", " 13", " 14"};
        QList<int> almostAll;
        for (int n = 1; n <= 995; ++n)
            almostAll.append(n);
        almostAll.append(1200);
        QTest::newRow("few free below 1000")
            << almostAll << QStringList{" 996", " 997", " 998", " 999"};
        QTest::newRow("negative and zero do not count")
            << QList<int>{0, -3}
            << QStringList{" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", " 10", " 11"};
    }

    void receiptChoicesOfferTheElevenLowestFreeNumbers() {
        QFETCH(QList<int>, used);
        QFETCH(QStringList, offered);
        SharedState state;
        for (int receipt : used)
            state.ledger->addArticle(expenseWithReceipt(std::int16_t(receipt)));
        frmMain window(state);
        window.Form_Load();
        QCOMPARE(comboItems(window.ComboSupplyReceipt), offered);
        QVERIFY(window.ComboSupplyReceipt->currentText().isEmpty());
    }

    void firstRunOpensAtTheDefaultPlacement() {
        Loaded loaded;
        QCOMPARE(loaded.window->pos(), QPoint(twipsToPixels(1000), twipsToPixels(1000)));
        QCOMPARE(loaded.window->size(), QSize(twipsToPixels(9330), twipsToPixels(6705)));
    }

    void placementIsStoredOnCloseAndRestoredAtLoad() {
        {
            Loaded loaded;
            loaded.window->show();
            loaded.window->move(30, 40);
            loaded.window->resize(700, 500);
            QVERIFY(loaded.window->close());
        }
        auto settings = placementStore();
        QCOMPARE(settings->value("MainLeft").toString(), QString::number(pixelsToTwips(30)));
        QCOMPARE(settings->value("MainTop").toString(), QString::number(pixelsToTwips(40)));
        QCOMPARE(settings->value("MainWidth").toString(), QString::number(pixelsToTwips(700)));
        QCOMPARE(settings->value("MainHeight").toString(), QString::number(pixelsToTwips(500)));

        Loaded again;
        QCOMPARE(again.window->pos(), QPoint(30, 40));
        QCOMPARE(again.window->size(), QSize(700, 500));
    }

    void aMinimisedWindowStoresNothing() {
        placementStore()->setValue("MainLeft", "1500");
        Loaded loaded;
        loaded.window->show();
        loaded.window->move(200, 200);
        loaded.window->showMinimized();
        QVERIFY(loaded.window->isMinimized());
        loaded.window->close();
        QCOMPARE(placementStore()->value("MainLeft").toString(), QStringLiteral("1500"));
        QVERIFY(!placementStore()->contains("MainTop"));
    }

    void unusablePlacementFallsBackToTheDefaults_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QRect>("expected");
        const QRect defaults(twipsToPixels(1000), twipsToPixels(1000), twipsToPixels(9330),
                             twipsToPixels(6705));
        QTest::newRow("not a number")
            << QStringList{"abc", "1500", "9330", "6705"}
            << QRect(defaults.left(), twipsToPixels(1500), defaults.width(), defaults.height());
        QTest::newRow("off every screen")
            << QStringList{"9000000", "9000000", "9330", "6705"} << defaults;
        QTest::newRow("no size") << QStringList{"1500", "1500", "0", "-20"}
                                 << QRect(twipsToPixels(1500), twipsToPixels(1500),
                                          defaults.width(), defaults.height());
    }

    void unusablePlacementFallsBackToTheDefaults() {
        QFETCH(QStringList, stored);
        QFETCH(QRect, expected);
        {
            auto settings = placementStore();
            settings->setValue("MainLeft", stored[0]);
            settings->setValue("MainTop", stored[1]);
            settings->setValue("MainWidth", stored[2]);
            settings->setValue("MainHeight", stored[3]);
        }
        Loaded loaded;
        QCOMPARE(QRect(loaded.window->pos(), loaded.window->size()), expected);
    }

    void resourceCaptionsReplaceOnlyNumbers() {
        QWidget form;
        form.setProperty("Tag", "1007");
        auto* numbered = new QLabel(QStringLiteral("x"), &form);
        numbered->setProperty("Tag", "1009");
        auto* word = new QLabel(QStringLiteral("そのまま"), &form);
        word->setProperty("Tag", "abc");
        auto* missing = new QLabel(QStringLiteral("残る"), &form);
        missing->setProperty("Tag", "1999");
        auto* button = new QPushButton(QStringLiteral("ボタン"), &form);
        button->setToolTip(QStringLiteral("1011"));
        loadResourceCaptions(&form);
        QCOMPARE(form.windowTitle(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
        QCOMPARE(numbered->text(), QStringLiteral("開く"));
        QCOMPARE(word->text(), QStringLiteral("そのまま"));
        QCOMPARE(missing->text(), QStringLiteral("残る"));
        QCOMPARE(button->text(), QStringLiteral("ボタン"));
        QCOMPARE(button->toolTip(), QStringLiteral("印刷"));
        QVERIFY(!resourceString(0));
        QVERIFY(!resourceString(1012));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
