#pragma once

#include "core/archive/ReadingArchive.h"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The design duty of a classification: the number of full-load-equivalent cycles
// (the characteristic number) the crane or winch was designed for.

// What a user typed into a passport or design field, without the blanks (and padding
// zeros) around it.
std::string_view trimmedEntry(std::string_view text);

// Groups 1..7 (A1..A7, M1..M7): 8 000 … 500 000. Group 8 has no upper limit: nullopt,
// as for any number outside 1..8.
std::optional<double> designDutyOfGroup(int group);

// Usage class U0..U9 and load class Q1..Q4 (numbers 0..9 and 1..4): C·Kp of the
// class limits; nullopt for U9 (no upper limit) and for numbers outside the classes.
std::optional<double> designDutyOfClasses(int usageClass, int loadClass);

// "A5", "a5", Cyrillic "А5"/"а5" (UTF-8), blanks around allowed → 5; nullopt otherwise.
std::optional<int> craneGroupNumber(std::string_view text);
// "M5", Cyrillic "М5" → 5; nullopt otherwise.
std::optional<int> winchGroupNumber(std::string_view text);

struct DesignUsageLoad {
    int usageClass = 0;
    int loadClass = 0;
};
// "U5 Q3" (Latin or Cyrillic-free, case-insensitive, blanks between) → {5, 3}; nullopt otherwise.
std::optional<DesignUsageLoad> parseDesignClasses(std::string_view text);

// The crane group of a pair of classes: load class + usage class − 2, within 1..8.
int craneGroupOfClasses(const DesignUsageLoad& classes);

// What is wrong with the design a user entered (empty fields are fine), in words; empty
// when nothing is. A group and classes given together must name the same group, so that
// neither of them is silently passed over.
std::string designProblem(const DesignClasses& design);

} // namespace kestrel
