#pragma once

// Drives the main window's entry pages as a teacher does: keys typed into
// whatever has the focus, fields and list rows clicked, and the page read
// back as texts.

#include "FlexGrid.h"
#include "SharedState.h"
#include "frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

inline QString focusName() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// One key event per character into the focused widget, Japanese text included.
inline void type(const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                            c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown,
                            QString(c), Qt::NoModifier);
}

inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QTest::qWait(5); // the window settles between two keystrokes
}

struct PageDriver {
    sorobe::SharedState state;
    sorobe::frmMain window{state};

    // The loaded window, shown and active, on page `tab`.
    explicit PageDriver(int tab) {
        window.Form_Load();
        window.show();
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("window not active");
        get<QTabWidget>("SSTabSheets")->setCurrentIndex(tab);
    }
    template <class T = QWidget> T* get(const QString& name) {
        T* control = window.findChild<T*>(name);
        if (!control)
            qFatal("no control %s", qPrintable(name));
        return control;
    }
    // The texts of the named fields, joined by "|".
    QString texts(const QStringList& names) {
        QStringList out;
        for (const QString& name : names)
            out << (window.findChild<QComboBox*>(name) ? get<QComboBox>(name)->currentText()
                                                       : get<QLineEdit>(name)->text());
        return out.join(u'|');
    }
    void click(const QString& name) {
        QTest::mouseClick(get(name), Qt::LeftButton);
        QTest::qWait(10);
    }
    void clickCell(const QString& grid, int row, int col) {
        auto* g = get<sorobe::FlexGrid>(grid);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->cellRect(row, col).center());
        QTest::qWait(10);
    }
    // "Browsing", "New" or "Editing" as the page's four buttons show it.
    QString mode(const QString& page) {
        QString bits;
        for (const char* b : {"New", "Record", "Delete", "Cancel"})
            bits += get<QPushButton>("Command" + page + b)->isEnabled() ? u'1' : u'0';
        return bits == u"1000"   ? QStringLiteral("Browsing")
               : bits == u"0101" ? QStringLiteral("New")
               : bits == u"1111" ? QStringLiteral("Editing")
                                 : bits;
    }
    // Columns 0-4 of every data row of the grid, "|"-joined.
    QStringList rows(const QString& grid) {
        auto* g = get<sorobe::FlexGrid>(grid);
        QStringList out;
        for (int r = 1; r < g->Rows(); ++r) {
            QStringList cells;
            for (int c = 0; c <= 4; ++c)
                cells << g->TextMatrix(r, c);
            out << cells.join(u'|');
        }
        return out;
    }
    // Entries as a loaded ledger file brings them, both lists shown.
    void addEntries(const QList<sorobe::ArticlePtr>& entries) {
        for (const sorobe::ArticlePtr& e : entries) {
            e->setTaKey(state.keyCounter++);
            state.ledger->addArticle(e);
            ++(e->taIncome() ? state.incomeCount : state.supplyCount);
        }
        window.showSupplyList();
        window.showIncomeList();
    }
};
