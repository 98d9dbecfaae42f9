// The help command: the message when there is no help, the viewer with the
// shipped help file, unreadable files, and the help file itself.

#include "HelpViewer.h"
#include "ModalWatcher.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <memory>

using namespace sorobe;

namespace {

// Where the help is written and where the build puts it beside the program.
const QString shippedSource = QStringLiteral(SOROBE_HELP_SOURCE);
const QString programFolder = QStringLiteral(SOROBE_PROGRAM_DIR);

const QString noHelpText = QStringLiteral("ﾍﾙﾌﾟの目次を表示できません。 "
                                          "このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString shippedText() {
    const QByteArray bytes = readAll(shippedSource);
    return QString::fromUtf8(bytes);
}

QString titleOf(const QString& html) {
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    return title.match(html).captured(1);
}

QList<HelpViewer*> visibleViewersOf(const QWidget* owner) {
    QList<HelpViewer*> viewers;
    for (HelpViewer* viewer : owner->findChildren<HelpViewer*>())
        if (viewer->isVisible())
            viewers.append(viewer);
    return viewers;
}

struct SeenMessage {
    bool isMessageBox = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Looks at the message box the command shows and presses its OK button.
std::unique_ptr<ModalWatcher> watchMessage(SeenMessage& seen) {
    return std::make_unique<ModalWatcher>([&seen](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box)
            return;
        seen.isMessageBox = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            QTest::mouseClick(ok, Qt::LeftButton);
    });
}

} // namespace

class TestHelpCommand : public QObject {
    Q_OBJECT

private slots:
    void noHelpFileGivesTheMessage_data() {
        QTest::addColumn<bool>("withOwner");
        QTest::addColumn<QString>("ownerCaption");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("main window's caption") << true << QStringLiteral("そろべえ Version 1.3.5")
                                               << QStringLiteral("そろべえ Version 1.3.5");
        QTest::newRow("untitled owner") << true << QString() << QStringLiteral("そろべえ");
        QTest::newRow("no owner") << false << QString() << QStringLiteral("そろべえ");
    }

    void noHelpFileGivesTheMessage() {
        QFETCH(bool, withOwner);
        QFETCH(QString, ownerCaption);
        QFETCH(QString, expectedTitle);
        QWidget owner;
        owner.setWindowTitle(ownerCaption);
        owner.show();

        SeenMessage seen;
        const auto watcher = watchMessage(seen);
        showHelpContents(withOwner ? &owner : nullptr, QString());

        QVERIFY(watcher->sawModal());
        QVERIFY(seen.isMessageBox);
        QCOMPARE(seen.text, noHelpText);
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.title, expectedTitle);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(owner.findChildren<HelpViewer*>().isEmpty());
    }

    void shippedHelpIsShownInTheViewer() {
        auto owner = std::make_unique<QWidget>();
        owner->setWindowTitle(QStringLiteral("そろべえ"));
        owner->show();
        const QString expectedTitle = titleOf(shippedText());
        QVERIFY(!expectedTitle.isEmpty());

        showHelpContents(owner.get(), shippedSource);

        const auto viewers = visibleViewersOf(owner.get());
        QCOMPARE(viewers.size(), 1);
        QPointer<HelpViewer> viewer = viewers.first();
        QCOMPARE(viewer->objectName(), QStringLiteral("HelpViewer"));
        QVERIFY2(!viewer->isModal(), "the user keeps working while the help is open");
        QCOMPARE(viewer->windowModality(), Qt::NonModal);
        QVERIFY(viewer->isWindow());
        QCOMPARE(viewer->windowTitle(), expectedTitle);
        QCOMPARE(viewer->fileShown(), QFileInfo(shippedSource).absoluteFilePath());

        auto* browser = viewer->findChild<QTextBrowser*>();
        QVERIFY(browser);
        QCOMPARE(browser->documentTitle(), expectedTitle);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("領収書番号")));

        // The viewer belongs to the main window and goes with it.
        owner.reset();
        QVERIFY(viewer.isNull());
    }

    void secondRequestReusesTheOpenViewer() {
        QWidget owner;
        owner.show();
        showHelpContents(&owner, shippedSource);
        showHelpContents(&owner, shippedSource);
        QCOMPARE(visibleViewersOf(&owner).size(), 1);

        // Once closed, the next request opens a new viewer.
        QPointer<HelpViewer> first = visibleViewersOf(&owner).first();
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        showHelpContents(&owner, shippedSource);
        QCOMPARE(visibleViewersOf(&owner).size(), 1);
    }

    void unreadableHelpFileIsNamed_data() {
        QTest::addColumn<QString>("leaf");
        QTest::newRow("missing file") << QStringLiteral("SOROBEHELP.html");
        QTest::newRow("a folder") << QStringLiteral("folder");
        QTest::newRow("missing folder") << QStringLiteral("no/such/help.html");
    }

    void unreadableHelpFileIsNamed() {
        QFETCH(QString, leaf);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        QVERIFY(QDir(temp.path()).mkdir(QStringLiteral("folder")));
        const QString path = temp.filePath(leaf);

        QWidget owner;
        owner.setWindowTitle(QStringLiteral("そろべえ Version 1.3.5"));
        owner.show();
        SeenMessage seen;
        const auto watcher = watchMessage(seen);
        showHelpContents(&owner, path);

        QVERIFY(watcher->sawModal());
        QVERIFY(seen.isMessageBox);
        QVERIFY2(seen.text.contains(QDir::toNativeSeparators(path)), qPrintable(seen.text));
        QCOMPARE(seen.title, owner.windowTitle());
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(owner.findChildren<HelpViewer*>().isEmpty());
    }

    void unreadableFileKeepsTheOpenViewer() {
        QWidget owner;
        owner.show();
        showHelpContents(&owner, shippedSource);
        QPointer<HelpViewer> viewer = visibleViewersOf(&owner).value(0);
        QVERIFY(viewer);

        SeenMessage seen;
        const auto watcher = watchMessage(seen);
        showHelpContents(&owner, QStringLiteral("/no/such/SOROBEHELP.html"));
        QVERIFY(seen.isMessageBox);
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->fileShown(), QFileInfo(shippedSource).absoluteFilePath());
    }

    void helpFileIsLookedForInTheFolder_data() {
        QTest::addColumn<QString>("made");
        QTest::addColumn<bool>("found");
        QTest::newRow("help file there") << QStringLiteral("file") << true;
        QTest::newRow("nothing there") << QString() << false;
        QTest::newRow("a folder of that name") << QStringLiteral("folder") << false;
        QTest::newRow("other name only") << QStringLiteral("other") << false;
    }

    void helpFileIsLookedForInTheFolder() {
        QFETCH(QString, made);
        QFETCH(bool, found);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString expected = QDir(temp.path()).filePath(QStringLiteral("SOROBEHELP.html"));
        if (made == QStringLiteral("file")) {
            QVERIFY(QFile::copy(shippedSource, expected));
        } else if (made == QStringLiteral("folder")) {
            QVERIFY(QDir(temp.path()).mkdir(QStringLiteral("SOROBEHELP.html")));
        } else if (made == QStringLiteral("other")) {
            QVERIFY(QFile::copy(shippedSource, temp.filePath(QStringLiteral("help.html"))));
        }
        QCOMPARE(helpFilePathIn(temp.path()), found ? expected : QString());
        QCOMPARE(helpFilePathIn(QString()), QString());
    }

    // The build tree has the help beside the program; an installation has the
    // program in <prefix>/bin and the help in <prefix>/share/sorobe.
    void helpFileIsFoundBesideTheProgramOrInstalled_data() {
        QTest::addColumn<QStringList>("made");
        QTest::addColumn<QString>("expected");
        const QString beside = QStringLiteral("bin/SOROBEHELP.html");
        const QString installed = QStringLiteral("share/sorobe/SOROBEHELP.html");
        QTest::newRow("beside the program") << QStringList{beside} << beside;
        QTest::newRow("in ../share/sorobe") << QStringList{installed} << installed;
        QTest::newRow("both: the build's own first") << QStringList{installed, beside} << beside;
        QTest::newRow("a folder beside, the file installed")
            << QStringList{QStringLiteral("bin/SOROBEHELP.html/"), installed} << installed;
        QTest::newRow("in share but not share/sorobe")
            << QStringList{QStringLiteral("share/SOROBEHELP.html")} << QString();
        QTest::newRow("neither") << QStringList{} << QString();
    }

    void helpFileIsFoundBesideTheProgramOrInstalled() {
        QFETCH(QStringList, made);
        QFETCH(QString, expected);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QDir root(temp.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")));
        // A path ending in "/" is made as a folder, any other as a copy of the help.
        for (const QString& path : made) {
            if (path.endsWith(QLatin1Char('/'))) {
                QVERIFY(root.mkpath(path));
                continue;
            }
            QVERIFY(root.mkpath(QFileInfo(path).path()));
            QVERIFY(QFile::copy(shippedSource, root.filePath(path)));
        }
        const QString programFolder = root.filePath(QStringLiteral("bin"));
        const QString found = helpFilePathFor(programFolder);
        QCOMPARE(found.isEmpty() ? QString() : root.relativeFilePath(found), expected);
        QCOMPARE(helpFilePathFor(QString()), QString());
    }

    // The build copies the help beside the program, unchanged.
    void helpIsShippedBesideTheProgram() {
        const QString shipped = helpFilePathIn(programFolder);
        QVERIFY2(!shipped.isEmpty(), qPrintable(programFolder));
        const QByteArray source = readAll(shippedSource);
        QVERIFY(!source.isEmpty());
        QCOMPARE(readAll(shipped), source);
    }

    void helpFileIsWellFormedUtf8() {
        const QByteArray bytes = readAll(shippedSource);
        QVERIFY(!bytes.isEmpty());
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        QVERIFY2(!decoder.hasError(), "the help is UTF-8 throughout");
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(text.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        QCOMPARE(titleOf(text), QStringLiteral("そろべえ ﾍﾙﾌﾟ"));

        // Every link inside the page leads to a place that exists.
        QSet<QString> ids;
        static const QRegularExpression id(QStringLiteral("id=\"([^\"]+)\""));
        for (const auto& match : id.globalMatch(text)) {
            const QString name = match.captured(1);
            QVERIFY2(!ids.contains(name), qPrintable(name));
            ids.insert(name);
        }
        static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        int links = 0;
        for (const auto& match : link.globalMatch(text)) {
            ++links;
            QVERIFY2(ids.contains(match.captured(1)), qPrintable(match.captured(1)));
        }
        QVERIFY(links >= 9);
    }
};

QTEST_MAIN(TestHelpCommand)
#include "tst_helpcommand.moc"
