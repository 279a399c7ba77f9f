#include "core/server/ServerArchive.h"

#include "core/archive/CurrentUser.h"
#include "core/archive/ReadingDigest.h"
#include "core/archive/ReadingSummary.h"
#include "core/archive/UtcStamp.h"
#include "core/server/BinaryImageReader.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerErrors.h"
#include "core/server/ServerSchema.h"

#include <pqxx/pqxx>

#include <algorithm>
#include <chrono>
#include <map>
#include <string_view>

namespace kestrel {

namespace {

constexpr const char* kListColumns
    = "SELECT id, recorder, crane_type, crane_number, reading, reading_text, checksum_ok, cycles, source, "
      "motor_minutes, "
      "floor(extract(epoch FROM stored_at))::bigint, sha256 " // a few times cheaper than to_char and encode
      "FROM kestrel.readings ";

constexpr const char* kDesignColumns
    = "SELECT crane_type, crane_number, crane_group, crane_design, winch1_group, winch2_group, changed_at, changed_by "
      "FROM kestrel.design_changes ";
// The current entry is the newest; equal stamps by the same user: the one stored last.
constexpr const char* kNewestFirst = "ORDER BY crane_type, crane_number, changed_at DESC, changed_by DESC, id DESC";

StoredReading storedReadingFrom(const pqxx::row& row)
{
    StoredReading reading;
    reading.id = row[0].as<std::int64_t>();
    reading.recorder = row[1].as<std::string>();
    reading.craneType = row[2].as<std::string>();
    reading.craneNumber = row[3].as<std::string>();
    reading.reading = row[4].as<double>();
    reading.readingText = row[5].as<std::string>();
    reading.checksumOk = row[6].as<bool>();
    reading.cycles = row[7].as<std::int64_t>();
    reading.source = row[8].as<std::string>();
    reading.motorMinutes = row[9].as<std::int64_t>();
    reading.storedAt = utcStamp(std::chrono::sys_seconds(std::chrono::seconds(row[10].as<std::int64_t>())));
    // bytea in text form: "\\x" and the hex digits.
    const std::string_view digest(row[11].c_str(), row[11].size());
    reading.sha256 = digest.starts_with("\\x") ? std::string(digest.substr(2)) : std::string(digest);
    return reading;
}

DesignEntry designEntryFrom(const pqxx::row& row)
{
    DesignEntry entry;
    entry.crane = {row[0].as<std::string>(), row[1].as<std::string>()};
    entry.classes = {row[2].as<std::string>(), row[3].as<std::string>(), row[4].as<std::string>(),
        row[5].as<std::string>()};
    entry.changedAt = row[6].as<std::string>();
    entry.changedBy = row[7].as<std::string>();
    return entry;
}


std::string readingName(std::int64_t id, const std::string& recorder, const std::string& readingText)
{
    std::string name = "Считывание №" + std::to_string(id) + " на сервере команды";
    if (!recorder.empty() || !readingText.empty())
        name += " (регистратор " + (recorder.empty() ? std::string("без номера") : recorder)
            + (readingText.empty() ? std::string() : ", " + readingText) + ")";
    return name;
}

// Every read is one statement, consistent by itself: it runs without BEGIN and COMMIT,
// a third of the round trips (the fleet overview reads a few thousand readings).
class PostgresArchive final : public ReadingArchive {
public:
    explicit PostgresArchive(const std::string& connection)
        : server_(connection)
        , imageReader_(withTimeLimits(connection))
    {
        prepareServerSchema(server_.connection(), server_.database());
        prepareStatements();
    }

    StoreResult store(const MemoryImage& image, const std::string& source) override
    {
        return storeAll({ImageToStore{image, source}}).front();
    }

    std::vector<StoreResult> storeAll(const std::vector<ImageToStore>& images) override
    {
        return onServer("сохранить считывания", [&] {
            std::vector<StoreResult> results;
            results.reserve(images.size());
            pqxx::work tx(server_.connection());
            for (const ImageToStore& item : images) {
                const std::string digest = readingDigest(item.image);
                const StoredReading summary = summariseReading(item.image);
                const pqxx::result inserted = tx.exec_prepared("store", pqxx::binarystring(item.image.data(), item.image.size()),
                    summary.recorder, summary.craneType, summary.craneNumber, summary.reading, summary.readingText,
                    summary.checksumOk, summary.cycles, summary.motorMinutes, serverText(item.source));
                if (!inserted.empty()) {
                    // The server hashed what arrived: a difference means the bytes changed on the way.
                    if (inserted[0][1].as<std::string>() != digest)
                        throw ArchiveError("Сервер команды получил не те байты, что были отправлены (контрольные суммы "
                                           "SHA-256 не совпали); ничего не сохранено. Повторите синхронизацию.");
                    results.push_back({inserted[0][0].as<std::int64_t>(), true});
                    continue;
                }
                const pqxx::result earlier = tx.exec_prepared("find", digest);
                if (earlier.empty())
                    throw ArchiveError("Сервер команды не сохранил считывание и не нашел сохраненное ранее.");
                results.push_back({earlier[0][0].as<std::int64_t>(), false});
            }
            tx.commit();
            return results;
        });
    }

    std::vector<StoredReading> readings(const std::optional<std::string>& recorder) override
    {
        return onServer("прочитать список считываний", [&] {
            pqxx::nontransaction tx(server_.connection());
            const pqxx::result rows = recorder
                ? tx.exec_params(std::string(kListColumns) + "WHERE recorder = $1 ORDER BY reading, id", *recorder)
                : tx.exec(std::string(kListColumns) + "ORDER BY reading, id");
            std::vector<StoredReading> list;
            list.reserve(rows.size());
            for (const auto& row : rows)
                list.push_back(storedReadingFrom(row));
            return list;
        });
    }

    std::optional<MemoryImage> image(std::int64_t id) override
    {
        FetchedImage fetched = std::move(images({id}).front());
        if (fetched.damaged)
            throw *fetched.damaged;
        return std::move(fetched.image);
    }

    std::vector<FetchedImage> images(const std::vector<std::int64_t>& ids) override
    {
        return onServer("прочитать считывания", [&] {
            std::map<std::int64_t, FetchedImage> found;
            for (BinaryImageReader::Row& row : imageReader_.read(ids))
                found[row.id] = checked(row.id, std::move(row.image), row.sha256, row.recorder, row.readingText);
            std::vector<FetchedImage> fetched;
            fetched.reserve(ids.size());
            for (const std::int64_t id : ids) {
                const auto at = found.find(id);
                fetched.push_back(at != found.end() ? std::move(at->second) : FetchedImage{id, std::nullopt, std::nullopt});
            }
            return fetched;
        });
    }

    DesignClasses design(const CraneKey& crane) override
    {
        return onServer("прочитать классификацию крана", [&] {
            pqxx::nontransaction tx(server_.connection());
            const pqxx::result rows = tx.exec_params(std::string(kDesignColumns)
                    + "WHERE crane_type = $1 AND crane_number = $2 " + kNewestFirst + " LIMIT 1",
                crane.craneType, crane.craneNumber);
            return rows.empty() ? DesignClasses{} : designEntryFrom(rows[0]).classes;
        });
    }

    void setDesign(const CraneKey& crane, const DesignClasses& design) override
    {
        const std::string now = onServer("прочитать время сервера", [&] {
            pqxx::nontransaction tx(server_.connection());
            return tx.exec("SELECT to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')")[0][0]
                .as<std::string>();
        });
        offerDesign({crane, design, now, currentUserName()});
    }

    std::vector<DesignEntry> designs() override
    {
        return onServer("прочитать классификации кранов", [&] {
            pqxx::nontransaction tx(server_.connection());
            const pqxx::result rows = tx.exec(
                "SELECT DISTINCT ON (crane_type, crane_number) " + std::string(kDesignColumns).substr(7) + kNewestFirst);
            std::vector<DesignEntry> list;
            for (const auto& row : rows)
                list.push_back(designEntryFrom(row));
            return list;
        });
    }

    bool offerDesign(const DesignEntry& entry) override
    {
        return onServer("сохранить классификацию крана", [&] {
            pqxx::work tx(server_.connection());
            const pqxx::result inserted = tx.exec_params(
                "INSERT INTO kestrel.design_changes (crane_type, crane_number, crane_group, crane_design, "
                "winch1_group, winch2_group, changed_at, changed_by) VALUES ($1, $2, $3, $4, $5, $6, $7, $8) "
                "ON CONFLICT ON CONSTRAINT design_once DO NOTHING RETURNING id",
                serverText(entry.crane.craneType), serverText(entry.crane.craneNumber),
                serverText(entry.classes.craneGroup), serverText(entry.classes.craneDesign),
                serverText(entry.classes.winch1Group), serverText(entry.classes.winch2Group), serverText(entry.changedAt),
                serverText(entry.changedBy));
            bool current = false;
            if (!inserted.empty()) {
                const pqxx::result newest = tx.exec_params("SELECT id FROM kestrel.design_changes WHERE crane_type = $1 "
                                                           "AND crane_number = $2 "
                        + std::string(kNewestFirst) + " LIMIT 1",
                    serverText(entry.crane.craneType), serverText(entry.crane.craneNumber));
                current = !newest.empty() && newest[0][0].as<std::int64_t>() == inserted[0][0].as<std::int64_t>();
            }
            tx.commit();
            return current;
        });
    }

    std::vector<DesignEntry> designHistory(const CraneKey& crane) override
    {
        return onServer("прочитать классификации крана", [&] {
            pqxx::nontransaction tx(server_.connection());
            const pqxx::result rows = tx.exec_params(std::string(kDesignColumns)
                    + "WHERE crane_type = $1 AND crane_number = $2 ORDER BY changed_at, changed_by, id",
                crane.craneType, crane.craneNumber);
            std::vector<DesignEntry> list;
            for (const auto& row : rows)
                list.push_back(designEntryFrom(row));
            return list;
        });
    }

private:
    // The bytes as they came, checked against the digest the server stored with them.
    static FetchedImage checked(std::int64_t id, std::optional<MemoryImage> image, const std::string& stored,
        const std::string& recorder, const std::string& readingText)
    {
        if (image && readingDigest(*image) == stored)
            return {id, std::move(image), std::nullopt};
        return {id, std::nullopt,
            DamagedReadingError(id,
                readingName(id, recorder, readingText)
                    + " повреждено: его байты не совпадают с сохраненной контрольной суммой SHA-256; оно не используется.")};
    }

    void prepareStatements()
    {
        pqxx::connection_base& c = server_.connection();
        c.prepare("store",
            "INSERT INTO kestrel.readings (bytes, recorder, crane_type, crane_number, reading, reading_text, "
            "checksum_ok, cycles, motor_minutes, source) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10) "
            "ON CONFLICT ON CONSTRAINT reading_once DO NOTHING RETURNING id, encode(sha256, 'hex')");
        c.prepare("find", "SELECT id FROM kestrel.readings WHERE sha256 = decode($1, 'hex')");
    }

    ServerConnection server_;
    BinaryImageReader imageReader_;
};

} // namespace

std::unique_ptr<ReadingArchive> openServerArchive(const std::string& connection)
{
    return std::make_unique<PostgresArchive>(connection);
}

} // namespace kestrel
