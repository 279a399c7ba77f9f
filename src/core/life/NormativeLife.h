#pragma once

#include "core/image/DateTime.h"
#include "core/image/MemoryImage.h"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// Where the count of the normative service life starts.
enum class NormativeStart {
    None,          // neither a commissioning date nor a year of manufacture could be read
    Commissioning, // the passport's commissioning text read as a date
    Manufacture,   // 1 January of the year of manufacture
};

// The normative service life from the crane's passport (years of service, counted from
// commissioning), compared with the reading's date.
struct NormativeLife {
    int years = 0;                  // 0 when the passport names none
    NormativeStart basis = NormativeStart::None;
    std::optional<DateTime> start;  // the day the count starts
    std::optional<DateTime> end;    // start + years (the same day and month)
    std::optional<bool> passed;     // at the reading's date; nullopt when either date is unknown
    std::string missing;            // why there is no figure (or no comparison): a clause in words
};

// "12.05.1990", "12/05/1990", "12-05-1990" (day first, four-digit year) or "1990-05-12",
// optionally followed by "г." → that day; nullopt for anything else (a two-digit year is
// not guessed at: the year of manufacture is the safer start).
std::optional<DateTime> parseCommissioningDate(std::string_view text);

// Years of service as the passport gives them (≤ 0: none), its commissioning text, the
// year of manufacture, and the reading's date (0 when it names none).
NormativeLife normativeLife(int years, std::string_view commissioning, int yearOfManufacture, DateTime reading);

// The same from the passport fields of `image` (eSrok, eEnter, eYear).
NormativeLife normativeLifeOf(const MemoryImage& image, DateTime reading);

} // namespace kestrel
