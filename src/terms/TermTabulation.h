#pragma once

// The term tabulation: rebuilds the twelve period lists from the ledger, adds
// the carry-forward lines, keeps the balances that are carried and has the
// six term pages refilled.

#include "SharedState.h"

#include <functional>

namespace sorobe {

// Refills the term page of one period from that period's two lists. Called
// once per period, in the order of termPeriods, each time after both of the
// period's lists are complete.
using FillTermSheet = std::function<void(Period)>;

// Rebuilds every period list and the carried totals of 1学期, 2学期 and 前期
// from state.ledger, calls fillTermSheet (when set) for each period and then
// clears state.termsStale.
//
// A total that leaves 32 bits throws OverflowError at its step. The steps
// before it stay done, the failing step changes nothing (its list keeps its
// former lines rather than half of the new ones), the later steps are not
// performed and termsStale stays set. An exception thrown by fillTermSheet
// passes through in the same way.
void tabulateTerms(SharedState& state, const FillTermSheet& fillTermSheet);

} // namespace sorobe
