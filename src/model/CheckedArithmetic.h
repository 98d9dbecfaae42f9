#pragma once

// Amounts are signed 32-bit yen, pupil counts and receipt numbers signed 16-bit.
// A total that leaves its width must stop the operation, never wrap into a
// wrong figure that a teacher would hand to the parents.

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace sorobe {

class OverflowError : public std::overflow_error {
public:
    OverflowError()
        : std::overflow_error("sorobe: a total left its range") {}
};

template <typename T> T checkedAdd(T a, T b) {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T>);
    T result;
    if (__builtin_add_overflow(a, b, &result))
        throw OverflowError();
    return result;
}

template <typename T> T checkedSub(T a, T b) {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T>);
    T result;
    if (__builtin_sub_overflow(a, b, &result))
        throw OverflowError();
    return result;
}

template <typename T> T checkedMul(T a, T b) {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T>);
    T result;
    if (__builtin_mul_overflow(a, b, &result))
        throw OverflowError();
    return result;
}

// Narrows a wider value to T, refusing what T cannot hold.
template <typename T> T checkedNarrow(std::int64_t value) {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T>);
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        throw OverflowError();
    return static_cast<T>(value);
}

} // namespace sorobe
