#pragma once

// At start: the recovery copies that programs which ended without saving
// (a crash, a power cut) left behind, offered to the teacher one by one.

#include "frmMain.h"

namespace sorobe {

// Asks about each copy in the folder whose program is gone, newest first:
// はい brings it back into the window as an unsaved document (the copies
// older than it wait for the next start), いいえ keeps it aside in the
// folder under the date it was taken. True when a copy was brought back.
bool offerRecoveryCopies(frmMain& window, const QString& folder);

} // namespace sorobe
