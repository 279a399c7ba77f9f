#pragma once

#include "core/image/DateTime.h"
#include "core/image/MemoryImage.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrel {

// A failure of the archive, with the Russian message the user is shown.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The source of a reading taken from the reader device.
inline constexpr const char* kDeviceSource = "ПСИ";

// What lists and look-ups need of one stored reading. Everything else is recomputed
// from the stored bytes, so that a better decoder improves the whole history.
struct StoredReading {
    std::int64_t id = 0;
    std::string recorder;    // recorder serial number (0x720), UTF-8, trailing blanks and zeros cut
    std::string craneType;   // 0x7B6, as above
    std::string craneNumber; // 0x7D6, as above
    DateTime reading = 0.0;  // reading stamp (0x606) as a date-time; 0 when it names no date
    std::string readingText; // "dd.MM.yyyy hh:mm", empty when it names no date
    bool checksumOk = false;
    std::int64_t cycles = 0; // the crane's total cycles as the main page shows them
    std::string source;      // "ПСИ" for the reader device, otherwise the file's full name
    std::string storedAt;    // when it was stored, UTC, "yyyy-MM-ddThh:mm:ssZ"
};

struct StoreResult {
    std::int64_t id = 0;
    bool newlyStored = false; // false: the same 32 768 bytes were stored before (id is theirs)
};

struct ImageToStore {
    MemoryImage image{};
    std::string source;
};

// The design classification of a crane as the user entered it; empty texts are unknown.
struct DesignClasses {
    std::string craneGroup;  // "A5"
    std::string craneDesign; // "U5 Q3"
    std::string winch1Group; // "M5"
    std::string winch2Group; // "M4"
};

// The crane a design belongs to.
struct CraneKey {
    std::string craneType;
    std::string craneNumber;
};

// Every reading the programs loaded, kept with its full bytes. SQLite implements it
// today; a server database could implement it later. Every call either completes or
// throws ArchiveError and changes nothing.
class ReadingArchive {
public:
    virtual ~ReadingArchive() = default;

    // Stores the image with where it came from; the same bytes are stored once.
    virtual StoreResult store(const MemoryImage& image, const std::string& source) = 0;
    // Many images at once (an import): all of them are stored, or none. Results in order.
    virtual std::vector<StoreResult> storeAll(const std::vector<ImageToStore>& images) = 0;

    // The stored readings, oldest reading first (equal readings by id); all of them,
    // or those of one recorder serial number.
    virtual std::vector<StoredReading> readings(const std::optional<std::string>& recorder = std::nullopt) = 0;

    // The stored bytes of a reading; nullopt when no reading has that id.
    virtual std::optional<MemoryImage> image(std::int64_t id) = 0;

    // The design classification kept for a crane (empty texts when none was kept).
    virtual DesignClasses design(const CraneKey& crane) = 0;
    virtual void setDesign(const CraneKey& crane, const DesignClasses& design) = 0;
};

} // namespace kestrel
