#pragma once

// The values of the settings page that go on paper. They live in the window's
// controls; the window copies them here when it prints.

#include <QDate>
#include <QString>

namespace sorobe {

struct PrintTitles {
    // "学級の会計" selected (optTiTle 0); otherwise "その他の会計".
    bool classAccount = true;
    QString schoolName; // TextSchoolName
    QString year;       // ComboYearHome (travels with the others; no printout shows it)
    QString grade;      // ComboGradeHome, e.g. "第１学年"
    QString room;       // ComboRoomHome, e.g. "１組"
    QString teacher;    // TextChargeHome
    QString title;      // TextTlTle, the free title of another account
    QString reporter;   // TextReporter
    QDate reportDate;   // DTPickerPrintDate
};

} // namespace sorobe
