#pragma once
// The platform's date-time number: days since 1899-12-30, the fraction being the time of day.
// A distinct type (not a bare double) so that a Variant built from it is a date.

namespace rt {

struct TDateTime {
    double Val = 0.0;
    constexpr TDateTime() = default;
    constexpr TDateTime(double v) : Val(v) {} // NOLINT(google-explicit-constructor): dates mix with numbers
    constexpr operator double() const { return Val; } // NOLINT(google-explicit-constructor)
    TDateTime& operator+=(double d) {
        Val += d;
        return *this;
    }
    TDateTime& operator-=(double d) {
        Val -= d;
        return *this;
    }
};

} // namespace rt
