#pragma once
// The three coded fields of the client record: the stored digit is the position in its list.
#include <array>

// Code 0 is "N/A" in every list.
extern const std::array<const char*, 3> GenderText;
extern const std::array<const char*, 7> RaceText;
extern const std::array<const char*, 6> MaritalText;

class QString;

// Which entry a typed or shown list text stands for: the code, or -1 when it matches none
// (the form then opens the list). A whole-text digit is tried first, then the text's
// beginning, with "N/A" last so that "Native American" and "N/A" stay apart.
int RecognizeGender(const QString& text);
int RecognizeRace(const QString& text);
int RecognizeMarital(const QString& text);
