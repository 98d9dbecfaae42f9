#include "Cp932.h"
#include "GeneralDate.h"
#include "ModalWatcher.h"
#include "StartUp.h"
#include "Twips.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace sorobe;

namespace {

// Records when the splash and the main window are shown and hidden, and what
// the shared state held when the main window first appeared.
class WindowEvents : public QObject {
public:
    explicit WindowEvents(const SharedState& state)
        : m_state(state) {
        qApp->installEventFilter(this);
    }
    ~WindowEvents() override { qApp->removeEventFilter(this); }

    QStringList events;
    int namesWhenShown = -1;
    QSize sizeWhenShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow())
            return false;
        const QString name = widget->objectName();
        if (name != QLatin1String("frmSplash") && name != QLatin1String("frmMain"))
            return false;
        if (event->type() == QEvent::Show) {
            events.append(QStringLiteral("show ") + name);
            if (name == QLatin1String("frmMain")) {
                namesWhenShown = int(m_state.printKindNames.size());
                sizeWhenShown = widget->size();
            }
        } else if (event->type() == QEvent::Hide) {
            events.append(QStringLiteral("hide ") + name);
        }
        return false;
    }

private:
    const SharedState& m_state;
};

QByteArray historyBytes(const QString& income, const QString& supply) {
    const QByteArray date = formatGeneralDate(DateTime::today()).toLatin1();
    return "Income\r\n" + encodeCp932(income).bytes + "\r\n 2\r\n" + date + "\r\nSupply\r\n" +
           encodeCp932(supply).bytes + "\r\n 1\r\n" + date + "\r\n";
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_data;
    QString m_history;
    QString m_besideProgram;

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        QVERIFY(m_data.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        // The user's data folder of this run, away from the real one.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        configureApplication();
        m_history = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                    QStringLiteral("/Sorobe.ini");
        QVERIFY(m_history.startsWith(m_data.path()));
        m_besideProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/Sorobe.ini");
    }

    void cleanup() {
        QFile::remove(m_history);
        QFile::remove(m_besideProgram);
    }

    void splashComesFirstAndGoesBeforeTheWindowShows() {
        {
            QSettings settings(QStringLiteral("そろべえ"), QStringLiteral("そろべえ"));
            settings.beginGroup(QStringLiteral("Settings"));
            settings.setValue("MainLeft", "1500");
            settings.setValue("MainTop", "750");
            settings.setValue("MainWidth", "12000");
            settings.setValue("MainHeight", "9000");
        }
        SharedState state;
        WindowEvents watch(state);
        auto window = startUp(state);

        QCOMPARE(watch.events, (QStringList{"show frmSplash", "hide frmSplash", "show frmMain"}));
        QCOMPARE(watch.namesWhenShown, 13);
        // The stored place is kept, the stored size is not: every run opens at the designed size.
        QCOMPARE(watch.sizeWhenShown, QSize(twipsToPixels(9330), twipsToPixels(6705)));
        QCOMPARE(window->pos(), QPoint(twipsToPixels(1500), twipsToPixels(750)));
        QCOMPARE(window->windowTitle(), QStringLiteral("そろべえ 1.3.5"));

        QCOMPARE(state.printKind, 11);
        QCOMPARE(state.printKindNames.value(11), QStringLiteral("年間元帳"));
        QCOMPARE(state.studentCount, 30);
        QVERIFY(!state.modified);
        QVERIFY(!state.ledger->nextArticle());
        QVERIFY(state.gridRowHeight > 0);
        QVERIFY(!window->windowIcon().isNull());
        window->close();
    }

    // The history is read from the user's data folder, or taken over from
    // beside the program while the data folder has none, and is written
    // into the data folder at the close, never beside the program.
    void itemHistoryIsReadAtStartAndWrittenAtClose_data() {
        QTest::addColumn<bool>("leftBesideProgram");
        QTest::newRow("in the data folder") << false;
        QTest::newRow("taken over from beside the program") << true;
    }

    void itemHistoryIsReadAtStartAndWrittenAtClose() {
        QFETCH(bool, leftBesideProgram);
        const QByteArray before = historyBytes(QStringLiteral("遠足代"), QStringLiteral("画用紙"));
        const QString start = leftBesideProgram ? m_besideProgram : m_history;
        QVERIFY(QDir().mkpath(QFileInfo(start).path()));
        {
            QFile file(start);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        SharedState state;
        auto window = startUp(state);
        QCOMPARE(window->ComboIncomeArticle->count(), 1);
        QCOMPARE(window->ComboIncomeArticle->itemText(0), QStringLiteral("遠足代"));
        QCOMPARE(window->ComboSupplyArticle->itemText(0), QStringLiteral("画用紙"));

        // A name fed to the history during the run is in the file after the close.
        SelectionPtr used = SorobeSelection::create(QStringLiteral("学級費"), 1, DateTime::today());
        state.incomeHistory->appendSelectionWithCount(used);
        QVERIFY(window->close());

        QFile file(m_history);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray date = formatGeneralDate(DateTime::today()).toLatin1();
        QCOMPARE(file.readAll(), "Income\r\n" + encodeCp932(u"遠足代").bytes + "\r\n 2\r\n" + date +
                                     "\r\n" + encodeCp932(u"学級費").bytes + "\r\n 1\r\n" + date +
                                     "\r\nSupply\r\n" + encodeCp932(u"画用紙").bytes +
                                     "\r\n 1\r\n" + date + "\r\n");
        // What was taken over is left as it was.
        if (leftBesideProgram) {
            QFile old(m_besideProgram);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), before);
        } else {
            QVERIFY(!QFileInfo::exists(m_besideProgram));
        }
    }

    // 生徒の数 starts at the class size of the last run, 30 the first time
    // or when what is stored is no class size; the close stores the one used.
    void theClassSizeIsRemembered_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("first run") << QVariant() << 30;
        QTest::newRow("35 last time") << QVariant(QStringLiteral("35")) << 35;
        QTest::newRow("no pupils") << QVariant(QStringLiteral("0")) << 30;
        QTest::newRow("not a number") << QVariant(QStringLiteral("三十")) << 30;
        QTest::newRow("too many") << QVariant(QStringLiteral("40000")) << 30;
    }

    void theClassSizeIsRemembered() {
        QFETCH(QVariant, stored);
        QFETCH(int, shown);
        {
            QSettings settings(QStringLiteral("そろべえ"), QStringLiteral("そろべえ"));
            settings.beginGroup(QStringLiteral("Settings"));
            if (stored.isValid())
                settings.setValue("StudentCount", stored);
            else
                settings.remove("StudentCount");
        }
        SharedState state;
        auto window = startUp(state);
        auto* pupils = window->findChild<QLineEdit*>(QStringLiteral("TextIncomeStudents"));
        QVERIFY(pupils);
        QCOMPARE(pupils->text(), QString::number(shown));
        QCOMPARE(int(state.studentCount), shown);

        // Typed for the next entry, the size is the class's from now on.
        pupils->selectAll();
        QTest::keyClicks(pupils, QStringLiteral("28"));
        QCOMPARE(int(state.studentCount), 28);
        QVERIFY(window->close());
        QSettings settings(QStringLiteral("そろべえ"), QStringLiteral("そろべえ"));
        QCOMPARE(settings.value("Settings/StudentCount").toString(), QStringLiteral("28"));
    }

    void helpWithoutAHelpFileExplainsWhy() {
        // The tests run beside no help file, so the command has nothing to show.
        SharedState state;
        auto window = startUp(state);
        QString text;
        QString title;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            text = box->text();
            title = box->windowTitle();
            box->accept();
        });
        window->mnuHelpHelp->trigger();
        QTRY_VERIFY(watcher.sawModal());
        QCOMPARE(text, QStringLiteral("ﾍﾙﾌﾟの目次を表示できません。 "
                                      "このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。"));
        QCOMPARE(title, window->windowTitle());
        window->close();
    }

    // The id the installed desktop entry, icon and metadata are named by.
    void theDesktopKnowsTheProgramByItsEntry() {
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("jp.sorobe.Sorobe"));
    }

    void qtsOwnButtonsSpeakJapanese() {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("そろべえ"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")),
                 qPrintable(box.button(QMessageBox::Yes)->text()));
        QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
    }

    void aboutBoxOpensFromTheMenu() {
        SharedState state;
        auto window = startUp(state);
        QString caption;
        QWidget* parent = nullptr;
        ModalWatcher watcher([&](QWidget* modal) {
            caption = modal->windowTitle();
            parent = modal->parentWidget();
        });
        window->mnuHelpAbout->trigger();
        QTRY_VERIFY(watcher.sawModal());
        QCOMPARE(caption, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 そろべえ"));
        QCOMPARE(parent, window.get());
        window->close();
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
