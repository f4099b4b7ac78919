#include "clients/CodeTables.h"

#include <QString>

const std::array<const char*, 3> GenderText = {"N/A", "Male", "Female"};

const std::array<const char*, 7> RaceText = {"N/A",   "Caucasian",       "Black", "Hispanic",
                                             "Asian", "Native American", "Other"};

const std::array<const char*, 6> MaritalText = {"N/A", "Single", "Married", "Divorced", "Separated", "Widowed"};

namespace {

// Codes 1..n-1 first, then 0: each matched by its digit or by the first `prefixLength`
// letters of its text.
template <std::size_t N>
int Recognize(const QString& text, const std::array<const char*, N>& table, int prefixLength)
{
    const QString upper = text.toUpper();
    for (std::size_t i = 1; i <= N; ++i) {
        const std::size_t code = i % N;
        const QString prefix = QString::fromLatin1(table[code]).left(prefixLength).toUpper();
        if (text == QString::number(code) || (upper.size() >= prefixLength && upper.left(prefixLength) == prefix))
            return int(code);
    }
    return -1;
}

}  // namespace

int RecognizeGender(const QString& text) { return Recognize(text, GenderText, 1); }

int RecognizeRace(const QString& text) { return Recognize(text, RaceText, 2); }

int RecognizeMarital(const QString& text) { return Recognize(text, MaritalText, 2); }
