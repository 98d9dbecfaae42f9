// The install tree: `cmake --install` with the prefix /usr into a scratch
// DESTDIR puts every file where the desktop and the program look for it, the
// desktop entry and the AppStream metadata pass their validators, and the
// installed icons are the program's own drawing.

#include "InstallTree.h"
#include "frmAbout.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace installtree;

namespace {

const QString sourceDir = QStringLiteral(SOROBE_SOURCE_DIR);
const QString desktopEntry = QStringLiteral("share/applications/jp.sorobe.Sorobe.desktop");
const QString svgIcon = QStringLiteral("share/icons/hicolor/scalable/apps/jp.sorobe.Sorobe.svg");
const QString metainfo = QStringLiteral("share/metainfo/jp.sorobe.Sorobe.metainfo.xml");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage renderSvg(const QString& path, int size) {
    QSvgRenderer renderer(path);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!renderer.isValid())
        return {};
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// The mean difference of two images of one size, per colour channel and pixel (0 to 255).
double meanDifference(const QImage& a, const QImage& b) {
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QRgb p = first.pixel(x, y);
            const QRgb q = second.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                   qAbs(qBlue(p) - qBlue(q)) + qAbs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * first.width() * first.height());
}

// The value of the key in the desktop entry's main group; "" when it is absent.
QString desktopValue(const QString& entry, const QString& key, bool* found = nullptr) {
    bool inMainGroup = false;
    for (const QString& line : entry.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inMainGroup = line == QLatin1String("[Desktop Entry]");
        else if (inMainGroup && line.startsWith(key + QLatin1Char('='))) {
            if (found)
                *found = true;
            return line.mid(key.size() + 1);
        }
    }
    if (found)
        *found = false;
    return {};
}

} // namespace

class TestInstallTree : public QObject {
    Q_OBJECT

    QTemporaryDir m_destdir;
    QString m_prefix;

    QString installed(const QString& file) const { return QDir(m_prefix).filePath(file); }

private slots:
    void initTestCase() {
        QVERIFY(m_destdir.isValid());
        QProcessEnvironment environment = toolEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), m_destdir.path());
        const ToolRun install =
            runTool(QStringLiteral(SOROBE_CMAKE_COMMAND),
                    {QStringLiteral("--install"), QStringLiteral(SOROBE_BUILD_DIR),
                     QStringLiteral("--prefix"), QStringLiteral("/usr")},
                    environment);
        QVERIFY2(succeeded(install), qPrintable(install.output));
        m_prefix = m_destdir.filePath(QStringLiteral("usr"));
    }

    // Nothing is missing, nothing lands elsewhere, nothing more is installed.
    void everyFileIsInItsPlace() {
        QCOMPARE(filesUnder(m_destdir.path()), [] {
            QStringList underUsr;
            for (const QString& file : installedFiles())
                underUsr.append(QStringLiteral("usr/") + file);
            return underUsr;
        }());
    }

    void programIsExecutable() {
        const QFileInfo program(installed(QStringLiteral("bin/sorobe")));
        QVERIFY(program.isFile());
        QVERIFY(program.isExecutable());
        QVERIFY(program.size() > 0);
    }

    void filesAreInstalledAsWritten_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("source");
        QTest::newRow("help") << QStringLiteral("share/sorobe/SOROBEHELP.html")
                              << QStringLiteral("help/SOROBEHELP.html");
        QTest::newRow("desktop entry")
            << desktopEntry << QStringLiteral("data/jp.sorobe.Sorobe.desktop");
        QTest::newRow("SVG icon") << svgIcon << QStringLiteral("data/jp.sorobe.Sorobe.svg");
    }

    void filesAreInstalledAsWritten() {
        QFETCH(QString, file);
        QFETCH(QString, source);
        const QByteArray written = readAll(QDir(sourceDir).filePath(source));
        QVERIFY(!written.isEmpty());
        QCOMPARE(readAll(installed(file)), written);
    }

    void pngIconsAreTheSvgIcon_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("48 px") << 48;
        QTest::newRow("256 px") << 256;
    }

    // Rendered from the installed SVG at their size, pixel for pixel: a PNG
    // left over from an older drawing would differ.
    void pngIconsAreTheSvgIcon() {
        QFETCH(int, size);
        const QString png = installed(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/jp.sorobe.Sorobe.png").arg(size));
        const QImage icon(png);
        QVERIFY2(!icon.isNull(), qPrintable(png));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        const QImage expected = renderSvg(installed(svgIcon), size);
        QVERIFY(!expected.isNull());
        QCOMPARE(icon.convertToFormat(QImage::Format_ARGB32),
                 expected.convertToFormat(QImage::Format_ARGB32));
    }

    // The desktop shows the same picture as the program's own windows.
    void svgIconLooksLikeTheWindowIcon() {
        const int size = 64;
        const QImage svg = renderSvg(installed(svgIcon), size);
        QVERIFY(!svg.isNull());
        const QImage window = sorobe::paintApplicationIcon(size).toImage();
        QCOMPARE(window.size(), svg.size());
        // Anti-aliasing differs a little at the edges; another drawing differs a lot.
        const double difference = meanDifference(svg, window);
        QVERIFY2(difference < 2.0, qPrintable(QString::number(difference)));
        // The measure tells an empty picture from the icon.
        QImage empty(size, size, QImage::Format_ARGB32);
        empty.fill(Qt::transparent);
        QVERIFY(meanDifference(svg, empty) > 40.0);
    }

    void desktopEntryValidates() {
        const ToolRun validate =
            runTool(QStringLiteral("desktop-file-validate"), {installed(desktopEntry)});
        QVERIFY2(validate.finished, qPrintable(validate.output));
        QVERIFY2(validate.exitCode == 0, qPrintable(validate.output));
        QVERIFY2(!validate.output.contains(QLatin1String("error")) &&
                     !validate.output.contains(QLatin1String("warning")),
                 qPrintable(validate.output));
    }

    void desktopEntryNamesTheProgram_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("Type") << QStringLiteral("Type") << QStringLiteral("Application");
        QTest::newRow("Name") << QStringLiteral("Name") << QStringLiteral("そろべえ");
        QTest::newRow("GenericName") << QStringLiteral("GenericName") << QStringLiteral("学級会計");
        QTest::newRow("Comment") << QStringLiteral("Comment")
                                 << QStringLiteral("学級のお金の収入・支出を記録し、"
                                                   "元帳と会計報告を印刷します");
        QTest::newRow("Exec") << QStringLiteral("Exec") << QStringLiteral("sorobe %f");
        QTest::newRow("Icon") << QStringLiteral("Icon") << QStringLiteral("jp.sorobe.Sorobe");
        QTest::newRow("Terminal") << QStringLiteral("Terminal") << QStringLiteral("false");
        QTest::newRow("Categories")
            << QStringLiteral("Categories") << QStringLiteral("Office;Finance;");
    }

    void desktopEntryNamesTheProgram() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString entry = QString::fromUtf8(readAll(installed(desktopEntry)));
        bool found = false;
        QCOMPARE(desktopValue(entry, key, &found), value);
        QVERIFY(found);
    }

    // Ledgers are .txt files; the program does not offer itself for every text file.
    void desktopEntryClaimsNoFileTypes() {
        const QString entry = QString::fromUtf8(readAll(installed(desktopEntry)));
        QVERIFY(desktopValue(entry, QStringLiteral("Name")) == QStringLiteral("そろべえ"));
        bool found = true;
        desktopValue(entry, QStringLiteral("MimeType"), &found);
        QVERIFY(!found);
    }

    // Errors and warnings fail; notes of style (I:, P:) do not.
    void metainfoValidates() {
        const ToolRun validate =
            runTool(QStringLiteral("appstreamcli"),
                    {QStringLiteral("validate"), QStringLiteral("--no-net"), installed(metainfo)});
        QVERIFY2(validate.finished, qPrintable(validate.output));
        QVERIFY2(validate.exitCode == 0, qPrintable(validate.output));
        static const QRegularExpression problem(QStringLiteral("^[EW]: "),
                                                QRegularExpression::MultilineOption);
        QVERIFY2(!validate.output.contains(problem), qPrintable(validate.output));
    }

    void metainfoDescribesThisRelease_data() {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("value");
        QTest::newRow("id") << QStringLiteral("id") << QString()
                            << QStringLiteral("jp.sorobe.Sorobe");
        QTest::newRow("launchable")
            << QStringLiteral("launchable") << QString() << QFileInfo(desktopEntry).fileName();
        QTest::newRow("release") << QStringLiteral("release") << QStringLiteral("version")
                                 << QStringLiteral(SOROBE_VERSION);
        QTest::newRow("binary") << QStringLiteral("binary") << QString()
                                << QStringLiteral("sorobe");
        QTest::newRow("Japanese name")
            << QStringLiteral("name") << QString() << QStringLiteral("そろべえ");
    }

    // The first such element: its attribute, or its text when no attribute is named.
    void metainfoDescribesThisRelease() {
        QFETCH(QString, element);
        QFETCH(QString, attribute);
        QFETCH(QString, value);
        QXmlStreamReader xml(readAll(installed(metainfo)));
        QString seen;
        bool found = false;
        while (!found && !xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element) {
                found = true;
                seen = attribute.isEmpty() ? xml.readElementText()
                                           : xml.attributes().value(attribute).toString();
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY2(found, qPrintable(element));
        QCOMPARE(seen, value);
    }
};

QTEST_MAIN(TestInstallTree)
#include "tst_installtree.moc"
