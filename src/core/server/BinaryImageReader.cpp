#include "core/server/BinaryImageReader.h"

#include <libpq-fe.h>
#include <pqxx/except>

#include <cstring>
#include <memory>
#include <utility>

namespace kestrel {

namespace {

constexpr const char* kQuery = "SELECT id, bytes, encode(sha256, 'hex'), recorder, reading_text "
                               "FROM kestrel.readings WHERE id = ANY ($1::bigint[])";

struct ResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

std::int64_t bigEndian64(const char* value)
{
    std::uint64_t number = 0;
    for (int i = 0; i < 8; ++i)
        number = (number << 8) | static_cast<unsigned char>(value[i]);
    return static_cast<std::int64_t>(number);
}

std::optional<MemoryImage> imageField(const PGresult* result, int row, int column)
{
    std::optional<MemoryImage> image;
    if (static_cast<std::size_t>(PQgetlength(result, row, column)) == kImageSize) {
        image.emplace();
        std::memcpy(image->data(), PQgetvalue(result, row, column), kImageSize);
    }
    return image;
}

std::string field(const PGresult* result, int row, int column)
{
    return {PQgetvalue(result, row, column), static_cast<std::size_t>(PQgetlength(result, row, column))};
}

std::string idArray(const std::vector<std::int64_t>& ids)
{
    std::string array = "{";
    for (const std::int64_t id : ids)
        array += (array.size() > 1 ? "," : "") + std::to_string(id);
    return array + "}";
}

} // namespace

BinaryImageReader::BinaryImageReader(std::string connection)
    : connectionString_(std::move(connection))
{
}

BinaryImageReader::~BinaryImageReader() { close(); }

void BinaryImageReader::close()
{
    if (connection_ != nullptr)
        PQfinish(connection_);
    connection_ = nullptr;
}

void BinaryImageReader::connect()
{
    connection_ = PQconnectdb(connectionString_.c_str());
    if (connection_ == nullptr)
        throw pqxx::broken_connection("out of memory");
    if (PQstatus(connection_) != CONNECTION_OK || PQsetClientEncoding(connection_, "UTF8") != 0) {
        const std::string reason = PQerrorMessage(connection_);
        close();
        throw pqxx::broken_connection(reason);
    }
}

std::vector<BinaryImageReader::Row> BinaryImageReader::read(const std::vector<std::int64_t>& ids)
{
    const std::string array = idArray(ids);
    const char* values[] = {array.c_str()};
    // A connection kept from an earlier read may have died with a restart of the server
    // in between: a read changes nothing, so it is tried once more on a new one.
    bool reused = connection_ != nullptr;
    Result result;
    for (;;) {
        if (connection_ == nullptr)
            connect();
        result.reset(PQexecParams(connection_, kQuery, 1, nullptr, values, nullptr, nullptr, 1));
        if (result && PQresultStatus(result.get()) == PGRES_TUPLES_OK)
            break;
        const std::string reason = result ? PQresultErrorMessage(result.get()) : PQerrorMessage(connection_);
        const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
        const std::string sqlState = state != nullptr ? state : "";
        // libpq's own failures (the connection lost) carry no SQLSTATE of the server's.
        if (PQstatus(connection_) != CONNECTION_OK || sqlState.empty()) {
            close();
            if (std::exchange(reused, false))
                continue;
            throw pqxx::broken_connection(reason);
        }
        if (sqlState == "42501")
            throw pqxx::insufficient_privilege(reason, kQuery, sqlState.c_str());
        throw pqxx::sql_error(reason, kQuery, sqlState.c_str());
    }
    const PGresult* rows = result.get();
    constexpr Oid kBigint = 20;
    if (PQnfields(rows) != 5 || PQftype(rows, 0) != kBigint)
        throw pqxx::failure("unexpected result columns");
    std::vector<Row> found;
    found.reserve(static_cast<std::size_t>(PQntuples(rows)));
    for (int row = 0; row < PQntuples(rows); ++row) {
        if (PQgetlength(rows, row, 0) != 8)
            throw pqxx::failure("unexpected reading number");
        found.push_back({bigEndian64(PQgetvalue(rows, row, 0)), imageField(rows, row, 1), field(rows, row, 2),
            field(rows, row, 3), field(rows, row, 4)});
    }
    return found;
}

} // namespace kestrel
