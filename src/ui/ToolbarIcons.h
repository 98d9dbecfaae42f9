#pragma once

// The toolbar's pictures, drawn rather than looked up: a desktop's icon theme
// may lack them, and searching it slows the window's start.

#include <QIcon>
#include <QString>

namespace sorobe {

// The picture for an image key of the toolbar: "Open", "Folder04", "Save",
// "Setup" or "Print". An unknown key gives an empty icon.
QIcon toolbarIcon(const QString& imageKey);

} // namespace sorobe
