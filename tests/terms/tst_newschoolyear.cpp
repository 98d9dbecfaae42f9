#include "NewSchoolYear.h"

#include <QTest>

using namespace sorobe;

class TestNewSchoolYear : public QObject {
    Q_OBJECT

private slots:
    // year 0 and a null next: the text names no school year.
    void yearTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("next");
        const auto row = [](const char* name, const QString& text, int year, const QString& next) {
            QTest::newRow(name) << text << year << next;
        };
        row("settings page", QStringLiteral("令和8年度(2026年度）"), 2026,
            QStringLiteral("令和9年度(2027年度）"));
        row("settings page, into a new era", QStringLiteral("平成30年度(2018年度）"), 2018,
            QStringLiteral("令和元年度(2019年度）"));
        row("settings page, 元 and blanks", QStringLiteral("　令和元年度(2019年度） "), 2019,
            QStringLiteral("令和2年度(2020年度）"));
        row("western", QStringLiteral("2026年度"), 2026, QStringLiteral("2027年度"));
        row("full-width western", QStringLiteral("２０２６年度"), 2026,
            QStringLiteral("２０２７年度"));
        row("era, kept outside the page's form", QStringLiteral("昭和63年度"), 1988,
            QStringLiteral("昭和64年度"));
        row("full-width carry", QStringLiteral("令和９年度"), 2027, QStringLiteral("令和１０年度"));
        row("元", QStringLiteral("令和元年度"), 2019, QStringLiteral("令和2年度"));
        row("元 among full-width digits", QStringLiteral("令和元年度（２０１９年度）"), 2019,
            QStringLiteral("令和２年度（２０２０年度）"));
        row("western wins", QStringLiteral("令和7年度(2026年度）"), 2026,
            QStringLiteral("令和8年度(2027年度）"));
        row("a grade is no year", QStringLiteral("2026年度 5年1組"), 2026,
            QStringLiteral("2027年度 5年1組"));
        row("only 年度 names the school year", QStringLiteral("創立1950年 令和8年度"), 2026,
            QStringLiteral("創立1950年 令和9年度"));
        row("a year without 度", QStringLiteral("2026年"), 0, QString());
        row("western out of range", QStringLiteral("1899年度"), 0, QString());
        row("five digits", QStringLiteral("12026年度"), 0, QString());
        row("empty", QStringLiteral(""), 0, QString());
        row("no number", QStringLiteral("来年度"), 0, QString());
        row("no year", QStringLiteral("abc"), 0, QString());
    }
    void yearTexts() {
        QFETCH(QString, text);
        QFETCH(int, year);
        QFETCH(QString, next);
        QCOMPARE(schoolYearInText(text).value_or(0), year);
        const std::optional<QString> result = nextSchoolYearText(text);
        QCOMPARE(result.has_value(), !next.isNull());
        QCOMPARE(result.value_or(QString()), next);
    }

    // Entries alternate income and expense, in the order given.
    void ledgerSchoolYear_data() {
        QTest::addColumn<QString>("yearText");
        QTest::addColumn<QList<QDate>>("dates");
        QTest::addColumn<int>("year");
        const QDate march(2027, 3, 31), autumn(2026, 10, 1), spring(2025, 5, 1);
        QTest::newRow("the text") << QStringLiteral("令和6年度") << QList<QDate>{march} << 2024;
        QTest::newRow("latest entry, an income")
            << QStringLiteral("来年度") << QList<QDate>{march, spring} << 2026;
        QTest::newRow("latest entry, an expense")
            << QString() << QList<QDate>{spring, autumn, QDate()} << 2026;
        QTest::newRow("today") << QString() << QList<QDate>{} << 2029;
        QTest::newRow("today, no valid date") << QString() << QList<QDate>{QDate()} << 2029;
    }
    void ledgerSchoolYear() {
        QFETCH(QString, yearText);
        QFETCH(QList<QDate>, dates);
        QFETCH(int, year);
        ArticlePtr ledger = SorobeArticle::create();
        ArticlePtr tail = ledger;
        for (const QDate& date : dates) {
            ArticlePtr entry = SorobeArticle::create();
            entry->setTaIncome(tail == ledger || !tail->taIncome());
            // An unreadable date: a day count beyond any calendar.
            entry->setTaDate(date.isValid() ? DateTime::fromQDate(date) : DateTime(1e15));
            tail->insertArticle(entry);
            tail = entry;
        }
        QCOMPARE(sorobe::ledgerSchoolYear(yearText, ledger, QDate(2030, 2, 1)), year);
    }

    void makeYearCarry_data() {
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("schoolYear");
        QTest::addColumn<int>("pupils");
        QTest::newRow("money left") << 12345 << 2026 << 31;
        QTest::newRow("money owed") << -800 << 2019 << 28;
    }
    void makeYearCarry() {
        QFETCH(int, amount);
        QFETCH(int, schoolYear);
        QFETCH(int, pupils);
        const ArticlePtr carry = sorobe::makeYearCarry(amount, schoolYear, std::int16_t(pupils));
        QCOMPARE(carry->taDate().toQDate(), QDate(schoolYear, 4, 1));
        QVERIFY(carry->taIncome());
        QCOMPARE(carry->taArticle(), QStringLiteral("前年度繰越金"));
        QCOMPARE(carry->taSubArticle(), QString());
        QCOMPARE(carry->taAmount(), amount);
        QCOMPARE(carry->taStudentsNumber(), pupils);
        QCOMPARE(carry->taPerPerson(), 0);
        QCOMPARE(carry->taReceipt(), 0);
        QCOMPARE(carry->taKey(), 0);
        QVERIFY(!carry->nextArticle());
    }
};

QTEST_APPLESS_MAIN(TestNewSchoolYear)
#include "tst_newschoolyear.moc"
