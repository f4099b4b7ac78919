#pragma once
// The three coded fields of the client record: the stored digit is the position in its list.
#include <array>

// Code 0 is "N/A" in every list.
extern const std::array<const char*, 3> GenderText;
extern const std::array<const char*, 7> RaceText;
extern const std::array<const char*, 6> MaritalText;
