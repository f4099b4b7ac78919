#include "clients/CodeTables.h"

const std::array<const char*, 3> GenderText = {"N/A", "Male", "Female"};

const std::array<const char*, 7> RaceText = {
    "N/A", "Caucasian", "Black", "Hispanic", "Asian", "Native American", "Other"};

const std::array<const char*, 6> MaritalText = {
    "N/A", "Single", "Married", "Divorced", "Separated", "Widowed"};
