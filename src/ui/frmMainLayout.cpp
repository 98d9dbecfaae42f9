// The window at any size: the lists of the entry pages and the term pages
// take whatever room the window gains beyond its designed size, and their
// item column with it, so that a maximised window shows more rows and longer
// item names on one line. Below the designed size nothing moves.

#include "FlexGrid.h"
#include "Twips.h"
#include "frmMain.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>

namespace sorobe {

void frmMain::rememberDesignedLayout() {
    for (QWidget* grown :
         {static_cast<QWidget*>(MSFlexGridIncome), static_cast<QWidget*>(MSFlexGridSupply),
          static_cast<QWidget*>(MSFlexGridSpring), static_cast<QWidget*>(MSFlexGridAutumn),
          static_cast<QWidget*>(MSFlexGridWinter), static_cast<QWidget*>(MSFlexGridBefore),
          static_cast<QWidget*>(MSFlexGridLater), static_cast<QWidget*>(MSFlexGridYear)})
        m_designedGeometry.push_back({grown, grown->geometry(), true});
    // The money left stays under the right end of its list.
    for (QWidget* moved :
         {static_cast<QWidget*>(LabelIncomeRest), static_cast<QWidget*>(LabelIncomeRemainder),
          static_cast<QWidget*>(LabelSuppluRest), static_cast<QWidget*>(LabelSupplyRemainder)})
        m_designedGeometry.push_back({moved, moved->geometry(), false});

    m_refitRows = new QTimer(this);
    m_refitRows->setSingleShot(true);
    // Row heights follow the item column once the user stops dragging the
    // window's edge: a long ledger has many rows to measure.
    m_refitRows->setInterval(100);
    connect(m_refitRows, &QTimer::timeout, this, [this] { guarded([&] { refitShownList(); }); });
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    guarded([&] { fitListsToWindow(); });
}

void frmMain::fitListsToWindow() {
    const int wider = std::max(0, width() - twipsToPixels(designedWidth));
    const int taller = std::max(0, height() - twipsToPixels(designedHeight));
    for (const DesignedGeometry& placed : m_designedGeometry) {
        placed.widget->setGeometry(placed.grows ? placed.rect.adjusted(0, 0, wider, taller)
                                                : placed.rect.translated(wider, taller));
    }

    for (const ItemColumn& item : itemColumns()) {
        // Before the window load a grid has not got its columns yet.
        if (item.grid->Cols() != 6)
            continue;
        const int width = std::max(0, item.grid->Width() - item.others);
        if (item.grid->ColWidth(item.column) == width)
            continue;
        item.grid->setColWidth(item.column, width);
        if (std::find(m_unfittedLists.begin(), m_unfittedLists.end(), item.grid) ==
            m_unfittedLists.end())
            m_unfittedLists.push_back(item.grid);
        if (m_refitRows)
            m_refitRows->start();
    }
}

std::array<frmMain::ItemColumn, 8> frmMain::itemColumns() const {
    // The item column takes the grid's width less the other columns (and
    // the room of the scroll bar), as the window load sets it up.
    return {{{MSFlexGridIncome, 2, 4240},
             {MSFlexGridSupply, 3, 4240},
             {MSFlexGridSpring, 1, 4440},
             {MSFlexGridAutumn, 1, 4440},
             {MSFlexGridWinter, 1, 4440},
             {MSFlexGridBefore, 1, 4440},
             {MSFlexGridLater, 1, 4440},
             {MSFlexGridYear, 1, 4440}}};
}

void frmMain::refitShownList() {
    QWidget* page = SSTabSheets->currentWidget();
    for (const ItemColumn& item : itemColumns()) {
        FlexGrid* grid = item.grid;
        const auto unfitted = std::find(m_unfittedLists.begin(), m_unfittedLists.end(), grid);
        if (unfitted == m_unfittedLists.end() || !page || !page->isAncestorOf(grid))
            continue;
        m_unfittedLists.erase(unfitted);
        // Rows of an entry or a term line carry its key in the hidden
        // column; their height is the lines their item takes in the new width.
        const QFontMetricsF metrics(font());
        const int width = grid->ColWidth(item.column);
        for (int row = 1; row < grid->Rows(); ++row) {
            if (!grid->TextMatrix(row, 5).isEmpty())
                grid->setRowHeight(
                    row, listRowHeight(metrics, grid->TextMatrix(row, item.column), width));
        }
    }
}

} // namespace sorobe
