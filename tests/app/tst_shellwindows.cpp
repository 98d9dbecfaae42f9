// The splash window and the about box: their texts, names, sizes and the
// life of the about box.

#include "AppVersion.h"
#include "ModalWatcher.h"
#include "Twips.h"
#include "frmAbout.h"
#include "frmSplash.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextLayout>

using namespace sorobe;

namespace {

const QString splashWarning =
    QStringLiteral("警告：本製品に関して生じた逸失利益 , 特別事情による損害 , "
                   "本製品以外のソフトウェア・データ・ハードウェアなどに生じた損害については"
                   "一切の責任を負わないものとします。");
const QString aboutDisclaimer =
    QStringLiteral("警告: ...本製品に関して生じた逸失利益 , 特別事情による損害 , "
                   "本製品以外のソフトウェア・データ・ハードウェアなどに生じた損害については"
                   "一切の責任を負わないものとします。");

// Every glyph of the text, laid out in the label's font with the fonts the
// system falls back to, is a real glyph (index 0 is the empty box).
bool rendersWithRealGlyphs(const QLabel* label) {
    QTextLayout layout(label->text(), label->font());
    layout.beginLayout();
    while (layout.createLine().isValid()) {
    }
    layout.endLayout();
    const auto runs = layout.glyphRuns();
    if (runs.isEmpty())
        return false;
    for (const QGlyphRun& run : runs) {
        for (quint32 index : run.glyphIndexes()) {
            if (index == 0)
                return false;
        }
    }
    return true;
}

// A label shows its whole text: wrapped to its width, it needs no more height
// than it has, and a single line needs no more width.
bool textFits(const QLabel* label) {
    if (label->wordWrap())
        return label->heightForWidth(label->width()) <= label->height();
    const QSize needed = label->sizeHint();
    return needed.width() <= label->width() && needed.height() <= label->height();
}

bool isInside(const QWidget* child, const QWidget* ancestor) {
    return ancestor->isAncestorOf(child) &&
           ancestor->rect().contains(QRect(child->mapTo(ancestor, QPoint(0, 0)), child->size()));
}

} // namespace

class TestShellWindows : public QObject {
    Q_OBJECT

private slots:
    void versionLines_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("splash");
        QTest::addColumn<QString>("about");
        QTest::newRow("this release") << 1 << 3 << 5 << "Version 1.3.5"
                                      << "ﾊﾞｰｼﾞｮﾝ 1.3.5";
        QTest::newRow("zero in the middle") << 2 << 0 << 7 << "Version 2.0.7"
                                            << "ﾊﾞｰｼﾞｮﾝ 2.0.7";
        QTest::newRow("several digits") << 10 << 11 << 120 << "Version 10.11.120"
                                        << "ﾊﾞｰｼﾞｮﾝ 10.11.120";
        QTest::newRow("all zero") << 0 << 0 << 0 << "Version 0.0.0"
                                  << "ﾊﾞｰｼﾞｮﾝ 0.0.0";
    }

    void versionLines() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, splash);
        QFETCH(QString, about);
        QCOMPARE(frmSplash::versionLine(major, minor, revision), splash);
        QCOMPARE(frmAbout::versionLine(major, minor, revision), about);
    }

    // The windows show the build's own numbers; this build is 1.3.5, the
    // release whose ledger files start with "iSorobe135".
    void windowsShowTheBuiltVersion() {
        frmSplash splash;
        frmAbout about;
        auto* splashVersion = splash.findChild<QLabel*>(QStringLiteral("lblVersion"));
        auto* aboutVersion = about.findChild<QLabel*>(QStringLiteral("lblVersion"));
        QVERIFY(splashVersion);
        QVERIFY(aboutVersion);
        QCOMPARE(QStringLiteral("%1%2%3").arg(versionMajor).arg(versionMinor).arg(versionRevision),
                 QStringLiteral("135"));
        QCOMPARE(splashVersion->text(), QStringLiteral("Version 1.3.5"));
        QCOMPARE(aboutVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.3.5"));
    }

    void splashLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << "lblProductName"
                               << "そろべえ";
        QTest::newRow("platform") << "lblPlatform"
                                  << "Windows95,98,NT,2000";
        QTest::newRow("version") << "lblVersion"
                                 << "Version 1.3.5";
        QTest::newRow("warning") << "lblWarning" << splashWarning;
    }

    void splashLabels() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        frmSplash splash;
        auto* frame = splash.findChild<QFrame*>(QStringLiteral("fraMainFrame"));
        QVERIFY(frame);
        auto* label = splash.findChild<QLabel*>(name);
        QVERIFY2(label, qPrintable(name));
        QCOMPARE(label->text(), text);
        QVERIFY2(isInside(label, frame), "every label stands inside the main frame");
        QVERIFY2(textFits(label), "the text is not cut off");
        QVERIFY2(rendersWithRealGlyphs(label), "no empty boxes instead of characters");
    }

    void splashWindow() {
        frmSplash splash;
        QCOMPARE(splash.objectName(), QStringLiteral("frmSplash"));
        QCOMPARE(splash.size(), QSize(twipsToPixels(8475), twipsToPixels(5250)));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(splash.windowFlags().testFlag(Qt::SplashScreen));

        auto* frame = splash.findChild<QFrame*>(QStringLiteral("fraMainFrame"));
        auto* logo = splash.findChild<QWidget*>(QStringLiteral("picLogo"));
        QVERIFY(frame);
        QVERIFY(logo);
        QVERIFY(isInside(frame, &splash));
        QVERIFY(isInside(logo, frame));

        // The logo is drawn: its picture is not one flat colour.
        const QImage picture = logo->grab().toImage();
        QVERIFY(!picture.isNull());
        const QRgb corner = picture.pixel(0, 0);
        bool drawn = false;
        for (int y = 0; y < picture.height() && !drawn; y += 2)
            for (int x = 0; x < picture.width() && !drawn; x += 2)
                drawn = picture.pixel(x, y) != corner;
        QVERIFY2(drawn, "the logo paints something");
    }

    void aboutTexts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << "lblTitle"
                               << "そろべえ";
        QTest::newRow("description") << "lblDescription"
                                     << "学級会計のための帳簿ソフト";
        QTest::newRow("version") << "lblVersion"
                                 << "ﾊﾞｰｼﾞｮﾝ 1.3.5";
        QTest::newRow("disclaimer") << "lblDisclaimer" << aboutDisclaimer;
    }

    void aboutTexts() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        frmAbout about;
        auto* label = about.findChild<QLabel*>(name);
        QVERIFY2(label, qPrintable(name));
        QCOMPARE(label->text(), text);
        QVERIFY2(isInside(label, &about), "the label stands inside the box");
        QVERIFY2(textFits(label), "the text is not cut off");
        QVERIFY2(rendersWithRealGlyphs(label), "no empty boxes instead of characters");
    }

    void aboutBoxLayout() {
        frmAbout about;
        QCOMPARE(about.objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(about.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 そろべえ"));
        QCOMPARE(about.size(), QSize(twipsToPixels(5865), twipsToPixels(3630)));

        auto* icon = about.findChild<QLabel*>(QStringLiteral("picIcon"));
        QVERIFY(icon);
        QVERIFY(!icon->pixmap().isNull());
        QVERIFY(isInside(icon, &about));

        auto* line = about.findChild<QFrame*>(QStringLiteral("Line1"));
        QVERIFY(line);
        QCOMPARE(line->frameShape(), QFrame::HLine);
        QCOMPARE(line->frameShadow(), QFrame::Sunken);

        // OK is the only button: the box offers no system information.
        const auto buttons = about.findChildren<QAbstractButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.first()->objectName(), QStringLiteral("cmdOK"));
        QCOMPARE(buttons.first()->text(), QStringLiteral("OK"));
        QVERIFY(isInside(buttons.first(), &about));
    }

    void okClosesTheBox_data() {
        QTest::addColumn<bool>("byKeyboard");
        QTest::newRow("mouse") << false;
        QTest::newRow("Enter") << true;
    }

    void okClosesTheBox() {
        QFETCH(bool, byKeyboard);
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QVERIFY(ok);
        if (byKeyboard)
            QTest::keyClick(&about, Qt::Key_Return);
        else
            QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void aboutCommandShowsAModalBoxOfTheOwner() {
        QWidget owner;
        owner.setWindowTitle(QStringLiteral("そろべえ"));
        owner.show();

        QPointer<frmAbout> seenBox;
        QWidget* seenParent = nullptr;
        bool modal = false;
        bool closedByOk = false;
        ModalWatcher watcher([&](QWidget* window) {
            seenBox = qobject_cast<frmAbout*>(window);
            if (!seenBox)
                return;
            seenParent = seenBox->parentWidget();
            modal = seenBox->isModal();
            QTest::mouseClick(seenBox->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
            closedByOk = !seenBox->isVisible();
        });
        showAboutBox(&owner);

        QVERIFY(watcher.sawModal());
        QCOMPARE(seenParent, &owner);
        QVERIFY(modal);
        QVERIFY(closedByOk);
        QVERIFY2(seenBox.isNull(), "the box is gone once closed");
        QVERIFY(owner.findChildren<frmAbout*>().isEmpty());
    }

    void everyRequestMakesAFreshBox() {
        QWidget owner;
        owner.show();

        // The first box is marked while it is open ...
        QPointer<frmAbout> firstBox;
        {
            ModalWatcher watcher([&](QWidget* window) {
                firstBox = qobject_cast<frmAbout*>(window);
                if (!firstBox)
                    return;
                firstBox->findChild<QLabel*>(QStringLiteral("lblTitle"))->setText("marked");
                firstBox->setProperty("visited", true);
                QTest::mouseClick(firstBox->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                                  Qt::LeftButton);
            });
            showAboutBox(&owner);
            QVERIFY(watcher.sawModal());
        }
        QVERIFY(firstBox.isNull());

        // ... and the second one knows nothing of it.
        QString secondTitle;
        bool secondVisited = true;
        {
            ModalWatcher watcher([&](QWidget* window) {
                auto* box = qobject_cast<frmAbout*>(window);
                if (!box)
                    return;
                secondTitle = box->findChild<QLabel*>(QStringLiteral("lblTitle"))->text();
                secondVisited = box->property("visited").isValid();
                QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                                  Qt::LeftButton);
            });
            showAboutBox(&owner);
            QVERIFY(watcher.sawModal());
        }
        QCOMPARE(secondTitle, QStringLiteral("そろべえ"));
        QVERIFY(!secondVisited);
    }
};

QTEST_MAIN(TestShellWindows)
#include "tst_shellwindows.moc"
