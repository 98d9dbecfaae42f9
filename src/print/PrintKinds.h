#pragma once

// The twelve print kinds of the settings page (one ledger and one report for
// each period) and the one call the print command makes once the user has
// confirmed the kind, chosen the printer and the term tabulation has run.

#include "PrintSurface.h"
#include "PrintTitles.h"
#include "SharedState.h"

#include <QString>
#include <functional>

namespace sorobe {

struct PrintResult {
    bool ok = true;
    // Why the printout stopped, for a message box; empty when it was printed.
    QString message;
};

// The period as the title of its report names it: "１学期", "２学期",
// "３学期", "前期", "後期" or "年度"; empty for a ledger kind or a kind outside 1-12.
QString reportPeriodLabel(int printKind);

// The last sentence of the report of the kind. 1学期, 2学期 and 前期 hand
// their remaining money on ("尚、残金の7,500円は第２学期学級会計に繰り越させて
// いただきます。", without 学級 for another account); the reports closing the
// year thank the parents. Empty for a ledger kind. Throws OverflowError when the
// remaining money leaves 32 bits.
QString closingSentence(const SharedState& state, int printKind, bool classAccount);

// Prints the kind (1-12) on the surface from the period lists and carried
// totals in the state, numbering the sheets when there are more than one. The
// sheets are counted before any ink, so a total too large to add up stops the
// printout before its first sheet; a printer that fails ends it with the
// sheets finished so far printed. The ledger is untouched, and the result
// says what happened.
PrintResult printKind(PrintSurface& surface, const SharedState& state, int printKind,
                      const PrintTitles& titles);

// Runs a printout: a total too large to add up, or a printer that fails,
// ends the document and is told in the result instead of thrown.
PrintResult printDocument(PrintSurface& surface, const std::function<void()>& print);

} // namespace sorobe
