#pragma once

#include "core/archive/ReadingArchive.h"
#include "core/image/DateTime.h"
#include "core/text/DisplayLocale.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// The columns of the fleet overview, in the order the page, the table and CSV show them.
enum FleetColumn : std::size_t {
    kFleetCraneType,
    kFleetCraneNumber,
    kFleetOwner,
    kFleetRecorder,
    kFleetLastReading,
    kFleetDaysSince,
    kFleetCycles,
    kFleetUsed,
    kFleetVerdict,
    kFleetMarks,
    kFleetColumnCount
};

inline constexpr std::array<const char*, kFleetColumnCount> kFleetHeader{"Тип крана", "Зав. № крана", "Владелец",
    "Зав. № РП", "Последнее считывание", "Дней с него", "Циклов", "Использовано, %", "Заключение", "Отметки"};

// A crane is marked from this used share of its design working period on (the verdict
// says "близок к исчерпанию" from there), and when its newest reading is older than this.
inline constexpr double kFleetNearShare = 0.9;
inline constexpr int kFleetOverdueDays = 365;

inline constexpr const char* kFleetMarkNear = "срок ≥ 90 %";
inline constexpr const char* kFleetMarkOverdue = "не считывался > 1 года";

// One crane: what its newest usable reading says, and the design working period at it,
// assessed as `kestrel-cli life` assesses that reading with the archive.
struct FleetRow {
    std::string craneType;   // as listed; both crane texts empty: the recorder stands for the crane
    std::string craneNumber;
    std::string owner;       // the passport's owner in the newest reading
    std::string recorder;    // recorder serial number of the newest reading
    DateTime lastReading = 0.0;     // 0 when the newest reading names no date
    std::optional<int> daysSince;   // whole days from the last reading to today
    std::int64_t cycles = 0;        // the crane's total cycles at the newest reading
    std::optional<double> usedPercent; // the crane's used share of its design working period, %
    std::string verdict;            // the crane's verdict, as the history page says it after "Кран: "
    bool nearLimit = false;         // used ≥ 90 %
    bool overdue = false;           // last reading more than 365 days before today
    std::int64_t newestId = 0;      // the reading to open; 0 when none of the crane's is usable
    int readings = 0;               // the crane's stored readings
    int damaged = 0;                // readings read and skipped because their bytes fail their SHA-256
    std::array<std::string, kFleetColumnCount> texts; // display texts, through the display locale
    std::string attention;          // why the row is marked (and what was skipped), in sentences
};

struct FleetOverview {
    std::vector<FleetRow> rows; // by crane type, then crane number
    std::size_t readings = 0;   // stored readings listed
    std::size_t damaged = 0;    // readings skipped as damaged, all rows together
    std::string note;           // what the user should know about the whole table; empty when nothing
};

// One row per crane of the archive (crane type and number as listed; readings with
// neither go under their recorder). `today` is the day "days since" counts to. Only the
// bytes the assessment needs are read: the newest reading, the oldest, and the first and
// last between erases (the list's counters tell where); the assessment equals that of all
// readings. Readings read whose bytes fail their SHA-256 are skipped and counted (others
// take their place), configuration memories are no readings; any other failure of the
// archive throws ArchiveError. The archive is used from the calling thread only; the
// assessments run on every core.
FleetOverview fleetOverview(ReadingArchive& archive, DateTime today, const DisplayLocale& locale);

// The texts of "Отметки" and of the row's tool tip, from its fields (fleetOverview sets them).
void setFleetTexts(FleetRow& row, const DisplayLocale& locale);

} // namespace kestrel
