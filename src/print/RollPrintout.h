#pragma once

// The collection roll on paper, for the office: A4 landscape, the pupils
// down the side and the collections across, 済 where a pupil has paid, each
// column's paid / expected count and money at its foot, each pupil's row
// ending with what is still owed; then the list of what each pupil still
// owes (未納一覧). Collections that do not fit across a sheet go on to the
// next sheets, the pupils' numbers and names repeated.

#include "CollectionRoll.h"
#include "PrintKinds.h"
#include "PrintSurface.h"
#include "PrintTitles.h"

namespace sorobe {

// The printable width of an A4 landscape sheet the roll is laid out for, in twips.
inline constexpr double rollPageWidth = 16000.0;

// Lays the roll out on the surface (a landscape sheet, its height from the
// surface). Throws PrintFailure when the printer refuses.
void printRoll(PrintSurface& surface, const CollectionRoll& roll, const PrintTitles& titles);

// The print command's call: the roll with its sheets numbered when there
// are more than one; a printer that fails ends the document and says so.
PrintResult printRollDocument(PrintSurface& surface, const CollectionRoll& roll,
                              const PrintTitles& titles);

} // namespace sorobe
