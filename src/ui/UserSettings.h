#pragma once

// The per-user settings of the window (placement, class size, recent files):
// one store, named after the program, group "Settings".

#include <QSettings>
#include <QString>

namespace sorobe {

inline QString userSettingsName() {
    return QStringLiteral("そろべえ");
}

// Opened on the group the window's values live in.
class UserSettings : public QSettings {
public:
    UserSettings()
        : QSettings(userSettingsName(), userSettingsName()) {
        beginGroup(QStringLiteral("Settings"));
    }
};

} // namespace sorobe
