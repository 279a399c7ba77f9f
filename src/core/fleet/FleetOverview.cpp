#include "core/fleet/FleetOverview.h"

#include "core/config/ConfigurationMemory.h"
#include "core/image/Counter24.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/life/LifeHistory.h"
#include "core/records/RecordDecoder.h"
#include "core/stats/Classification.h"
#include "core/text/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <tuple>
#include <unordered_map>

namespace kestrel {

namespace {

std::string integerText(std::int64_t value)
{
    char buffer[24] = {};
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string dateText(DateTime value, const DisplayLocale& locale)
{
    if (value == 0.0)
        return "дата не указана";
    try {
        return formatShortDate(value, locale);
    } catch (const DateConversionError&) {
        return "дата не указана";
    }
}

// A crane as the list names it; a reading that names no crane stands for its recorder's.
struct FleetKey {
    std::string craneType;
    std::string craneNumber;
    std::string recorder; // only when both crane texts are empty
    auto operator<=>(const FleetKey&) const = default;
};

FleetKey keyOf(const StoredReading& reading)
{
    if (reading.craneType.empty() && reading.craneNumber.empty())
        return {{}, {}, reading.recorder};
    return {reading.craneType, reading.craneNumber, {}};
}

// What one crane's assessment needs, fetched from the archive on the calling thread.
struct Job {
    std::size_t row = 0;
    std::vector<HistoryInput> inputs; // the newest reading last
    std::vector<const StoredReading*> listed; // beside each input, what the list says of it
    DesignClasses design;
};

// Fetches the bytes of listed readings, a batch at a time in the order they will be
// asked for (a server answers a batch in one request), remembering those that fail their
// SHA-256 so that each is tried (and counted) once.
class Fetcher {
public:
    explicit Fetcher(ReadingArchive& archive) : archive_(archive) {}

    // The readings about to be asked for, in that order; a guess: others are fetched too.
    void expect(const std::vector<std::int64_t>& ids) { upcoming_.assign(ids.begin(), ids.end()); }

    // nullopt for a damaged reading, for one that is gone and for a configuration memory.
    std::optional<MemoryImage> reading(std::int64_t id, std::set<std::int64_t>& damagedSeen)
    {
        if (damaged_.contains(id)) {
            damagedSeen.insert(id);
            return std::nullopt;
        }
        FetchedImage fetched = take(id);
        if (fetched.damaged) {
            damaged_.insert(id);
            damagedSeen.insert(id);
            return std::nullopt;
        }
        if (fetched.image && configurationMemoryOf(*fetched.image))
            return std::nullopt;
        return std::move(fetched.image);
    }

    std::size_t damagedCount() const { return damaged_.size(); }

private:
    // A few megabytes of bytes waiting at most.
    static constexpr std::size_t kBatch = 64;

    FetchedImage take(std::int64_t id)
    {
        auto at = ready_.find(id);
        if (at == ready_.end()) {
            std::vector<std::int64_t> batch{id};
            while (batch.size() < kBatch && !upcoming_.empty()) {
                const std::int64_t next = upcoming_.front();
                upcoming_.pop_front();
                if (next != id && !ready_.contains(next) && !damaged_.contains(next))
                    batch.push_back(next);
            }
            for (FetchedImage& fetched : archive_.images(batch))
                ready_.insert_or_assign(fetched.id, std::move(fetched));
            at = ready_.find(id);
        }
        FetchedImage fetched = std::move(at->second);
        ready_.erase(at);
        return fetched;
    }

    ReadingArchive& archive_;
    std::set<std::int64_t> damaged_;
    std::deque<std::int64_t> upcoming_;
    std::unordered_map<std::int64_t, FetchedImage> ready_;
};

// The assessments run while the next cranes' readings are fetched: a bounded number of
// jobs wait (a few megabytes), so that the bytes of the whole archive are never in memory
// at once, yet a helper that is briefly off its core does not hold the fetching up.
class JobQueue {
public:
    explicit JobQueue(std::size_t capacity) : capacity_(capacity) {}

    void push(Job job)
    {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [&] { return jobs_.size() < capacity_; });
        jobs_.push_back(std::move(job));
        ready_.notify_one();
    }

    // nullopt once the queue is closed and empty.
    std::optional<Job> pop()
    {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !jobs_.empty() || closed_; });
        if (jobs_.empty())
            return std::nullopt;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        room_.notify_one();
        return job;
    }

    void close()
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        ready_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable room_;
    std::deque<Job> jobs_;
    std::size_t capacity_;
    bool closed_ = false;
};

// The crane's total cycles as the window's processing finds them; none when the records
// cannot be decoded or the loads classified (the assessment then leaves the reading out).
std::optional<std::int64_t> processedCraneCycles(const MemoryImage& image)
{
    StatisticsBlocks blocks{};
    auto rows = std::make_unique<CycleRows>();
    try {
        decodeImage(image, blocks, *rows);
        classifyLoads(blocks);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return blocks[kCrane].totalCycles;
}

// The readings were chosen by the counters the list gives; the assessment goes by the
// counters the window's processing finds in the bytes. They agree whenever the processing
// succeeds; where a reading read says otherwise (a crane capacity that is no number,
// totals beyond 32 bits, an archive that lists no motor minutes) the choice may be wrong,
// and the crane is assessed again over all its readings.
bool listedAsProcessed(const Job& job)
{
    for (std::size_t i = 0; i < job.inputs.size(); ++i) {
        const MemoryImage& image = job.inputs[i].image;
        const StoredReading& listed = *job.listed[i];
        if (static_cast<std::int64_t>(readCounter24(image, layout::kMotorMinutes)) != listed.motorMinutes
            || processedCraneCycles(image) != listed.cycles)
            return false;
    }
    return true;
}

// False when the readings chosen for the job may not give the assessment of all of them.
bool assess(FleetRow& row, const Job& job, const DisplayLocale& locale)
{
    if (!job.listed.empty() && !listedAsProcessed(job))
        return false;
    try {
        const LifeAssessment life = assessLife(job.inputs, job.design, locale);
        if (life.crane.usedShare)
            row.usedPercent = *life.crane.usedShare * 100.0;
        row.nearLimit = life.crane.usedShare && *life.crane.usedShare >= kFleetNearShare;
        row.verdict = life.crane.verdict;
    } catch (const std::exception& error) {
        row.verdict = std::string("срок службы не оценен: ") + error.what();
    }
    return true;
}

// Workers that take jobs until the queue closes; joined (after closing) however the
// caller leaves, so that no thread outlives the rows it writes.
class Workers {
public:
    Workers(JobQueue& queue, std::vector<FleetRow>& rows, std::vector<char>& again, const DisplayLocale& locale,
        std::size_t count)
        : queue_(queue), rows_(rows), again_(again), locale_(locale)
    {
        for (std::size_t i = 0; i < count; ++i)
            threads_.emplace_back([this] { work(); });
    }
    ~Workers()
    {
        queue_.close();
        for (std::thread& thread : threads_)
            thread.join();
    }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    void work()
    {
        while (auto job = queue_.pop())
            if (!assess(rows_[job->row], *job, locale_))
                again_[job->row] = 1;
    }

private:
    JobQueue& queue_;
    std::vector<FleetRow>& rows_;
    std::vector<char>& again_; // one element per row: rows are written by one thread each
    const DisplayLocale& locale_;
    std::vector<std::thread> threads_;
};

// True when the recorder was erased between two consecutive readings, as the life
// assessment tells it: its counters never go down otherwise.
bool erasedBetween(const StoredReading& earlier, const StoredReading& later)
{
    return later.cycles < earlier.cycles || later.motorMinutes < earlier.motorMinutes;
}

// Of a recorder's readings up to the one assessed (oldest first, as listed), those the
// assessment takes its figures from. It keeps the first of equal reading dates, starts a
// segment where the recorder was erased, sums the duty of every segment's last reading and
// takes the installation day from the oldest: the first and last reading of each segment
// give what all of them give. The first ones stay so that each erase still shows between
// the readings kept (a segment can end with more cycles than the one before it ended).
std::vector<const StoredReading*> readingsAssessed(const std::vector<const StoredReading*>& readings)
{
    std::vector<const StoredReading*> visits;
    for (const StoredReading* reading : readings)
        if (visits.empty() || visits.back()->reading != reading->reading)
            visits.push_back(reading);
    std::vector<const StoredReading*> needed;
    for (std::size_t i = 0; i < visits.size(); ++i) {
        const bool first = i == 0 || erasedBetween(*visits[i - 1], *visits[i]);
        const bool last = i + 1 == visits.size() || erasedBetween(*visits[i], *visits[i + 1]);
        if (first || last)
            needed.push_back(visits[i]);
    }
    return needed;
}

// One crane's assessment as planned on the calling thread: kept for the rare crane whose
// readings must be assessed again, all of them.
struct Plan {
    std::vector<const StoredReading*> readings; // the recorder's up to the newest usable one
    std::set<std::int64_t> damaged;             // of the crane's, as far as they were read
    DesignClasses design;
};

std::string damagedText(std::size_t count)
{
    return "Пропущено поврежденных считываний: " + integerText(static_cast<std::int64_t>(count))
        + " (их байты не совпадают с сохраненной контрольной суммой SHA-256).";
}

} // namespace

void setFleetTexts(FleetRow& row, const DisplayLocale& locale)
{
    auto& t = row.texts;
    t[kFleetCraneType] = row.craneType;
    t[kFleetCraneNumber] = row.craneNumber;
    t[kFleetOwner] = row.owner;
    t[kFleetRecorder] = row.recorder;
    const bool usable = row.newestId != 0;
    t[kFleetLastReading] = usable ? dateText(row.lastReading, locale) : "";
    t[kFleetDaysSince] = row.daysSince ? integerText(*row.daysSince) : "";
    t[kFleetCycles] = usable ? integerText(row.cycles) : "";
    t[kFleetUsed] = row.usedPercent ? formatFixed(*row.usedPercent, 1, locale) : (usable ? "—" : "");
    t[kFleetVerdict] = row.verdict;

    std::string marks;
    std::string attention;
    const auto add = [](std::string& text, const std::string& part, const char* separator) {
        text += (text.empty() ? "" : separator) + part;
    };
    if (row.nearLimit) {
        add(marks, kFleetMarkNear, ", ");
        add(attention,
            "Расчетный срок службы использован на " + formatFixed(row.usedPercent.value_or(0.0), 1, locale) + " %.",
            "\n");
    }
    if (row.overdue) {
        add(marks, kFleetMarkOverdue, ", ");
        add(attention,
            "Последнее считывание " + integerText(row.daysSince.value_or(0)) + " дн. назад: больше года.", "\n");
    }
    if (row.damaged > 0) {
        add(marks, "пропущено: " + integerText(row.damaged), ", ");
        add(attention, damagedText(static_cast<std::size_t>(row.damaged)), "\n");
    }
    t[kFleetMarks] = marks;
    row.attention = attention;
}

FleetOverview fleetOverview(ReadingArchive& archive, DateTime today, const DisplayLocale& locale)
{
    FleetOverview overview;
    const std::vector<StoredReading> list = archive.readings();
    overview.readings = list.size();

    // Oldest first within each crane and recorder, as the list gives them.
    std::map<FleetKey, std::vector<std::size_t>> cranes;
    std::unordered_map<std::string, std::vector<std::size_t>> recorders;
    for (std::size_t i = 0; i < list.size(); ++i) {
        cranes[keyOf(list[i])].push_back(i);
        recorders[list[i].recorder].push_back(i);
    }

    std::map<CraneKey, DesignClasses> designs;
    for (DesignEntry& entry : archive.designs())
        designs.emplace(std::move(entry.crane), std::move(entry.classes));

    std::vector<FleetRow> rows(cranes.size());
    std::vector<Plan> plans(cranes.size());
    std::vector<char> again(cranes.size(), 0);
    Fetcher fetcher(archive);
    {
        // What the loop below will ask for when no reading is damaged: each crane's newest
        // reading, then the others its assessment takes.
        std::vector<std::int64_t> expected;
        for (const auto& [key, indices] : cranes) {
            const StoredReading& newest = list[indices.back()];
            std::vector<const StoredReading*> earlier;
            for (const std::size_t i : recorders[newest.recorder])
                if (list[i].reading < newest.reading)
                    earlier.push_back(&list[i]);
            earlier.push_back(&newest);
            expected.push_back(newest.id);
            for (const StoredReading* reading : readingsAssessed(earlier))
                if (reading->id != newest.id)
                    expected.push_back(reading->id);
        }
        fetcher.expect(expected);

        const std::size_t cores = std::max<std::size_t>(std::thread::hardware_concurrency(), 1);
        const std::size_t helpers = std::min<std::size_t>(cores - 1, 7);
        JobQueue queue(64);
        Workers workers(queue, rows, again, locale, helpers);

        std::size_t r = 0;
        for (const auto& [key, indices] : cranes) {
            FleetRow& row = rows[r];
            Plan& plan = plans[r];
            row.craneType = key.craneType;
            row.craneNumber = key.craneNumber;
            row.recorder = key.recorder;
            row.readings = static_cast<int>(indices.size());

            // The newest reading whose bytes are good.
            std::optional<MemoryImage> newest;
            const StoredReading* stored = nullptr;
            for (auto at = indices.rbegin(); at != indices.rend() && !newest; ++at) {
                newest = fetcher.reading(list[*at].id, plan.damaged);
                stored = &list[*at];
            }
            if (newest) {
                row.newestId = stored->id;
                row.recorder = stored->recorder;
                row.owner = fixedTextTrimmed(*newest, layout::kCraneOwner, 64);
                row.cycles = stored->cycles;
                row.lastReading = stored->reading;
                if (stored->reading > 0.0) {
                    row.daysSince = static_cast<int>(std::floor(today) - std::floor(stored->reading));
                    row.overdue = *row.daysSince > kFleetOverdueDays;
                }
                // The readings `kestrel-cli life` would take for this one: its recorder's earlier ones.
                for (const std::size_t i : recorders[stored->recorder])
                    if (list[i].reading < stored->reading)
                        plan.readings.push_back(&list[i]);
                plan.readings.push_back(stored);
                if (const auto design = designs.find({key.craneType, key.craneNumber}); design != designs.end())
                    plan.design = design->second;

                // Only the bytes of the readings the assessment takes are read; one that is
                // damaged (or no reading) drops out, and the choice is made again without it.
                std::unordered_map<std::int64_t, MemoryImage> images;
                images.emplace(stored->id, std::move(*newest));
                std::set<std::int64_t> unusable;
                Job job;
                for (bool complete = false; !complete;) {
                    std::vector<const StoredReading*> usable;
                    for (const StoredReading* reading : plan.readings)
                        if (!unusable.contains(reading->id))
                            usable.push_back(reading);
                    job.listed = readingsAssessed(usable);
                    complete = true;
                    for (const StoredReading* reading : job.listed) {
                        if (images.contains(reading->id))
                            continue;
                        if (auto image = fetcher.reading(reading->id, plan.damaged)) {
                            images.emplace(reading->id, std::move(*image));
                        } else {
                            unusable.insert(reading->id);
                            complete = false;
                        }
                    }
                }
                std::erase_if(plan.readings,
                    [&](const StoredReading* reading) { return unusable.contains(reading->id); });
                job.row = r;
                for (const StoredReading* reading : job.listed)
                    job.inputs.push_back({reading->id, std::move(images.at(reading->id))});
                job.design = plan.design;
                queue.push(std::move(job));
            } else {
                row.verdict = plan.damaged.empty() ? "" : "все считывания крана повреждены: оценки нет";
            }
            ++r;
        }
        queue.close();
        workers.work(); // the calling thread helps with what is left
    }

    // Cranes whose bytes do not say what the list says: every reading, as `life` takes them.
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!again[r])
            continue;
        Job job;
        job.row = r;
        job.design = plans[r].design;
        for (const StoredReading* reading : plans[r].readings)
            if (auto image = fetcher.reading(reading->id, plans[r].damaged))
                job.inputs.push_back({reading->id, std::move(*image)});
        assess(rows[r], job, locale);
    }
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r].damaged = static_cast<int>(plans[r].damaged.size());

    // A "crane" of configuration memories only is no crane.
    std::erase_if(rows, [](const FleetRow& row) { return row.newestId == 0 && row.damaged == 0; });
    for (FleetRow& row : rows)
        setFleetTexts(row, locale);
    overview.rows = std::move(rows);
    overview.damaged = fetcher.damagedCount();
    if (overview.damaged > 0)
        overview.note = damagedText(overview.damaged) + " Они не учтены в оценках.";
    return overview;
}

} // namespace kestrel
