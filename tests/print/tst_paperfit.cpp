#include "PaperFit.h"

#include <QPageSize>
#include <QTest>

using namespace sorobe;

// The A4 layout on other paper, with the narrow margins of 10 points a PDF
// printer has: smaller paper takes the page smaller, larger paper as it is.
class TestPaperFit : public QObject {
    Q_OBJECT

private slots:
    void fit_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("pageHeight"); // twips the layout sees
        // Qt's sizes in whole points: A4 595 × 842, A3 842 × 1191, JIS B5
        // 516 × 729, ISO B5 499 × 709, Letter 612 × 792.
        QTest::newRow("A4") << int(QPageSize::A4) << 1.0 << 16440.0;
        QTest::newRow("A3") << int(QPageSize::A3) << 1.0 << 23420.0;
        QTest::newRow("JIS B5") << int(QPageSize::JisB5) << 0.8625 << 16440.0;
        QTest::newRow("ISO B5") << int(QPageSize::B5) << 0.8330 << 16440.0;
        QTest::newRow("Letter") << int(QPageSize::Letter) << 0.9392 << 16440.0;
    }
    void fit() {
        QFETCH(int, paper);
        QFETCH(double, scale);
        QFETCH(double, pageHeight);
        const QPageLayout layout(QPageSize(QPageSize::PageSizeId(paper)), QPageLayout::Portrait,
                                 QMarginsF(10, 10, 10, 10), QPageLayout::Point);
        const PaperFit fit = fitA4Layout(layout, 1200);
        QVERIFY2(qAbs(fit.scale - scale) < 0.0005, qPrintable(QString::number(fit.scale)));
        QVERIFY2(qAbs(fit.pageHeight - pageHeight) < 2,
                 qPrintable(QString::number(fit.pageHeight)));
    }

    // The collection roll's landscape sheet fits the same way, measured
    // across: its height is that of A4 turned on its side.
    void fitLandscape_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("pageHeight");
        QTest::newRow("A4") << int(QPageSize::A4) << 1.0 << 11500.0;
        QTest::newRow("A3") << int(QPageSize::A3) << 1.0 << 16440.0;
        QTest::newRow("JIS B5") << int(QPageSize::JisB5) << 0.8625 << 11500.0;
        QTest::newRow("Letter") << int(QPageSize::Letter) << 0.9392 << 11500.0;
    }
    void fitLandscape() {
        QFETCH(int, paper);
        QFETCH(double, scale);
        QFETCH(double, pageHeight);
        const QPageLayout layout(QPageSize(QPageSize::PageSizeId(paper)), QPageLayout::Landscape,
                                 QMarginsF(10, 10, 10, 10), QPageLayout::Point);
        const PaperFit fit = fitA4Layout(layout, 1200);
        QVERIFY2(qAbs(fit.scale - scale) < 0.0005, qPrintable(QString::number(fit.scale)));
        QVERIFY2(qAbs(fit.pageHeight - pageHeight) < 2,
                 qPrintable(QString::number(fit.pageHeight)));
    }
};

QTEST_MAIN(TestPaperFit)
#include "tst_paperfit.moc"
