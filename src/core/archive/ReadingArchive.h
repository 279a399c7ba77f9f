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

// The archive does not let this user write (a team server's read-only role): nothing was
// written; reading goes on working.
class ArchiveWriteRefused : public ArchiveError {
public:
    using ArchiveError::ArchiveError;
};

// A stored reading whose bytes no longer match the SHA-256 kept beside them: the storage
// changed them. Such a reading is never used as good; the message names it.
class DamagedReadingError : public ArchiveError {
public:
    DamagedReadingError(std::int64_t id, const std::string& message)
        : ArchiveError(message)
        , id_(id)
    {
    }
    std::int64_t id() const { return id_; }

private:
    std::int64_t id_;
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
    std::int64_t motorMinutes = 0; // the motor-minutes counter (0x600): with the cycles, tells an erase
    std::string source;      // "ПСИ" for the reader device, otherwise the file's full name
    std::string storedAt;    // when it was stored, UTC, "yyyy-MM-ddThh:mm:ssZ"
    std::string sha256;      // SHA-256 of the 32 768 bytes, 64 lower-case hex digits: the reading's
                             // identity in every archive, and the check of its bytes
};

struct StoreResult {
    std::int64_t id = 0;
    bool newlyStored = false; // false: the same 32 768 bytes were stored before (id is theirs)
};

// One reading's bytes fetched among many: the image, nothing (no reading has that id), or
// why its bytes cannot be used.
struct FetchedImage {
    std::int64_t id = 0;
    std::optional<MemoryImage> image;
    std::optional<DamagedReadingError> damaged;
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
    bool operator==(const DesignClasses&) const = default;
};

// The crane a design belongs to.
struct CraneKey {
    std::string craneType;
    std::string craneNumber;
    bool operator==(const CraneKey&) const = default;
    auto operator<=>(const CraneKey&) const = default;
};

// One design classification as somebody entered it: archives keep every entry, and
// the newest (by changedAt, then changedBy) is the crane's current design.
struct DesignEntry {
    CraneKey crane;
    DesignClasses classes;
    std::string changedAt; // UTC, "yyyy-MM-ddThh:mm:ssZ"
    std::string changedBy; // the user name of who entered it
};

// Every reading the programs loaded, kept with its full bytes: the laptop's SQLite file
// and the team's PostgreSQL server implement it. Every call either completes or throws
// ArchiveError and changes nothing. Stored readings are never changed or deleted.
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

    // The stored bytes of a reading, checked against their SHA-256 (DamagedReadingError
    // when they differ); nullopt when no reading has that id.
    virtual std::optional<MemoryImage> image(std::int64_t id) = 0;
    // Several readings' bytes at once, each checked as image() checks it, in the order
    // asked (a server answers them in one request). Other failures throw ArchiveError.
    virtual std::vector<FetchedImage> images(const std::vector<std::int64_t>& ids)
    {
        std::vector<FetchedImage> fetched;
        fetched.reserve(ids.size());
        for (const std::int64_t id : ids) {
            FetchedImage one{id, std::nullopt, std::nullopt};
            try {
                one.image = image(id);
            } catch (const DamagedReadingError& e) {
                one.damaged = e;
            }
            fetched.push_back(std::move(one));
        }
        return fetched;
    }

    // The current design classification of a crane (empty texts when none was kept).
    virtual DesignClasses design(const CraneKey& crane) = 0;
    // A new entry by this archive's user, now; it becomes the crane's current design.
    virtual void setDesign(const CraneKey& crane, const DesignClasses& design) = 0;
    // The current entry of every crane that has one.
    virtual std::vector<DesignEntry> designs() = 0;
    // Keeps an entry made elsewhere (once: the same entry again changes nothing); it
    // becomes current only when newer than the current one. True when it became current.
    virtual bool offerDesign(const DesignEntry& entry) = 0;
    // Every entry kept for a crane, oldest first.
    virtual std::vector<DesignEntry> designHistory(const CraneKey& crane) = 0;
};

} // namespace kestrel
