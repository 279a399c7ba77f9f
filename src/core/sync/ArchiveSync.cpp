#include "core/sync/ArchiveSync.h"

#include <algorithm>
#include <set>
#include <unordered_set>

namespace kestrel {

namespace {

// A laptop that knows many recorders gets the server's whole list in one answer instead
// of one question per recorder.
constexpr std::size_t kRecordersAskedOneByOne = 20;

struct Move {
    std::int64_t id = 0;
    std::string source;
};

// The readings of `list` whose SHA-256 `known` lacks, each once.
std::vector<Move> missingFrom(const std::vector<StoredReading>& list, const std::unordered_set<std::string>& known)
{
    std::vector<Move> moves;
    std::unordered_set<std::string> taken;
    for (const StoredReading& reading : list)
        if (!known.contains(reading.sha256) && taken.insert(reading.sha256).second)
            moves.push_back({reading.id, reading.source});
    return moves;
}

std::unordered_set<std::string> digestsOf(const std::vector<StoredReading>& list)
{
    std::unordered_set<std::string> digests;
    digests.reserve(list.size());
    for (const StoredReading& reading : list)
        digests.insert(reading.sha256);
    return digests;
}

class Synchronisation {
public:
    Synchronisation(ReadingArchive& local, ReadingArchive& server, const SyncOptions& options)
        : local_(local)
        , server_(server)
        , options_(options)
    {
    }

    SyncReport run()
    {
        try {
            moveReadings();
            moveDesigns();
        } catch (const ArchiveError& e) {
            throw ArchiveError(std::string(e.what()) + "\n" + doneSoFar());
        }
        return report_;
    }

private:
    void moveReadings()
    {
        const std::vector<StoredReading> localList = local_.readings();
        std::set<std::string> recorders;
        for (const StoredReading& reading : localList)
            recorders.insert(reading.recorder);
        std::vector<StoredReading> serverList;
        if (options_.allReadings || recorders.size() > kRecordersAskedOneByOne) {
            serverList = server_.readings();
            if (!options_.allReadings)
                std::erase_if(serverList, [&](const StoredReading& r) { return !recorders.contains(r.recorder); });
        } else {
            for (const std::string& recorder : recorders) {
                auto part = server_.readings(recorder);
                serverList.insert(serverList.end(), std::make_move_iterator(part.begin()),
                    std::make_move_iterator(part.end()));
            }
        }
        const auto toSend = missingFrom(localList, digestsOf(serverList));
        const auto toFetch = missingFrom(serverList, digestsOf(localList));
        progress_.toSend = toSend.size();
        progress_.toFetch = toFetch.size();
        tell();
        try {
            transfer(toSend, local_, server_, report_.sent, progress_.sent);
        } catch (const ArchiveWriteRefused& e) {
            report_.sendRefused = e.what();
        }
        transfer(toFetch, server_, local_, report_.fetched, progress_.fetched);
    }

    // In batches, each stored in one transaction: a batch is there whole or not at all.
    void transfer(const std::vector<Move>& moves, ReadingArchive& from, ReadingArchive& to, std::size_t& counted,
        std::size_t& shown)
    {
        const std::size_t batchSize = std::max<std::size_t>(options_.batchSize, 1);
        for (std::size_t start = 0; start < moves.size(); start += batchSize) {
            stopIfAsked();
            const std::size_t end = std::min(moves.size(), start + batchSize);
            std::vector<ImageToStore> batch;
            batch.reserve(end - start);
            for (std::size_t i = start; i < end; ++i) {
                try {
                    if (const auto image = from.image(moves[i].id))
                        batch.push_back({*image, moves[i].source});
                } catch (const DamagedReadingError& e) {
                    report_.damaged.push_back(e.what());
                }
            }
            if (!batch.empty()) {
                const auto results = to.storeAll(batch);
                counted += static_cast<std::size_t>(
                    std::count_if(results.begin(), results.end(), [](const StoreResult& r) { return r.newlyStored; }));
            }
            shown = end;
            tell();
        }
    }

    // Every entry the laptop holds goes up (the server keeps them all); the server's
    // current entries come down, where they win only when newer.
    void moveDesigns()
    {
        stopIfAsked();
        try {
            if (report_.sendRefused.empty())
                for (const DesignEntry& current : local_.designs())
                    for (const DesignEntry& entry : local_.designHistory(current.crane))
                        if (server_.offerDesign(entry))
                            ++report_.designsSent;
        } catch (const ArchiveWriteRefused& e) {
            report_.sendRefused = e.what();
        }
        stopIfAsked();
        for (const DesignEntry& entry : server_.designs())
            if (local_.offerDesign(entry))
                ++report_.designsFetched;
    }

    void stopIfAsked()
    {
        if (options_.stopRequested && options_.stopRequested())
            throw ArchiveError("Синхронизация остановлена.");
    }

    void tell()
    {
        if (options_.progress)
            options_.progress(progress_);
    }

    std::string doneSoFar() const
    {
        return "До остановки отправлено считываний: " + std::to_string(report_.sent) + ", получено: "
            + std::to_string(report_.fetched)
            + ". Сохраненное осталось сохраненным, незавершенная часть не сохранена ни на одной стороне; следующая "
              "синхронизация продолжит работу.";
    }

    ReadingArchive& local_;
    ReadingArchive& server_;
    const SyncOptions& options_;
    SyncReport report_;
    SyncProgress progress_;
};

} // namespace

SyncReport synchroniseArchives(ReadingArchive& local, ReadingArchive& server, const SyncOptions& options)
{
    return Synchronisation(local, server, options).run();
}

std::string syncReportText(const SyncReport& report)
{
    std::string text = "Отправлено считываний: " + std::to_string(report.sent) + ", получено: "
        + std::to_string(report.fetched) + "; классификации кранов: отправлено " + std::to_string(report.designsSent)
        + ", получено " + std::to_string(report.designsFetched) + ".";
    if (!report.sendRefused.empty())
        text += "\nНа сервер ничего не отправлено: " + report.sendRefused;
    if (!report.damaged.empty()) {
        text += "\nНе переданы поврежденные считывания (" + std::to_string(report.damaged.size()) + "):";
        for (const std::string& line : report.damaged)
            text += "\n  " + line;
    }
    return text;
}

} // namespace kestrel
