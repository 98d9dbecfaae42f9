#pragma once

// The balance added up entry by entry in ledger order, as every list and
// printout shows it: each running total, not only the last, must fit in the
// 32 bits of an amount.

#include "SorobeArticle.h"

#include <cstdint>
#include <limits>

namespace sorobe {

class RunningBalance {
public:
    void add(const SorobeArticle& entry) {
        m_balance +=
            entry.taIncome() ? std::int64_t(entry.taAmount()) : -std::int64_t(entry.taAmount());
        m_fits = m_fits && m_balance >= std::numeric_limits<std::int32_t>::min() &&
                 m_balance <= std::numeric_limits<std::int32_t>::max();
    }
    // Whether every total so far fitted.
    bool fits() const { return m_fits; }

private:
    std::int64_t m_balance = 0;
    bool m_fits = true;
};

} // namespace sorobe
