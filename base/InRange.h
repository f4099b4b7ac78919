#pragma once
// True exactly when low <= value <= high; used by the forms and the scoring rules alike.
constexpr bool InRange(double value, double low, double high) { return low <= value && value <= high; }
