#pragma once

// A teacher's steps through the window: entries recorded by clicks and keys.

#include "EntryPageDriver.h"

namespace evening {

inline void clickOn(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton);
    QTest::qWait(5);
}

inline void recordIncome(sorobe::frmMain& window, const QString& item, const QString& perPupil) {
    window.SSTabSheets->setCurrentIndex(1);
    clickOn(window.CommandIncomeNew);
    clickOn(window.ComboIncomeArticle->lineEdit());
    type(item);
    clickOn(window.TextIncomePerPerson);
    type(perPupil);
    clickOn(window.CommandIncomeRecord);
}

inline void recordExpense(sorobe::frmMain& window, const QString& item, const QString& amount) {
    window.SSTabSheets->setCurrentIndex(2);
    clickOn(window.CommandSupplyNew);
    clickOn(window.ComboSupplyArticle->lineEdit());
    type(item);
    clickOn(window.TextSupplyAmount);
    type(amount);
    clickOn(window.CommandSupplyRecord);
}

} // namespace evening
