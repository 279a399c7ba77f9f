#pragma once

#include "core/archive/ReadingArchive.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kestrel {

struct SyncOptions {
    bool allReadings = false;    // fetch every reading of the server, not only the local recorders'
    std::size_t batchSize = 200; // readings per transaction on either side
    // Called after each committed batch (and before the first): what is done so far. Tests
    // stop the server here; the window shows progress.
    std::function<void(const struct SyncProgress&)> progress;
    // Asked between batches: true stops the sync there (ArchiveError says what was done).
    std::function<bool()> stopRequested;
};

struct SyncProgress {
    std::size_t sent = 0;
    std::size_t toSend = 0;
    std::size_t fetched = 0;
    std::size_t toFetch = 0;
};

struct SyncReport {
    std::size_t sent = 0;           // readings the server did not have
    std::size_t fetched = 0;        // readings the laptop did not have
    std::size_t designsSent = 0;    // design entries that became current on the server
    std::size_t designsFetched = 0; // design entries that became current on the laptop
    std::vector<std::string> damaged; // readings not moved because their bytes fail their SHA-256, in words
    std::string sendRefused;          // why nothing more went up (a read-only role); the rest came down
};

// Brings `local` and `server` together: the local readings the server lacks go up, the
// server's readings of every recorder the local archive knows (or all of them) come down,
// and design entries go both ways (the newer is current on both sides, both are kept).
// A server that lets this user only read (an auditor) still gives its readings: what could
// not go up is said in the report.
// Readings move by their SHA-256 in batches, each its own transaction: stopped at any
// point, nothing is half-stored and the next sync finishes the work. Throws ArchiveError
// (with what was done before) when either side fails.
SyncReport synchroniseArchives(ReadingArchive& local, ReadingArchive& server, const SyncOptions& options = {});

// "Отправлено считываний: 3, получено: 5; классификации: отправлено 1, получено 0." and the damaged ones.
std::string syncReportText(const SyncReport& report);

} // namespace kestrel
