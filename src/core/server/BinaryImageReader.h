#pragma once

#include "core/image/MemoryImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct pg_conn;

namespace kestrel {

// Reads stored readings in libpq's binary result format. libpqxx 6 takes every result as
// text, in which a reading's 32 768 bytes travel as 65 536 hex digits, made by the server
// and decoded again here: for the few thousand readings of a fleet overview that is most
// of its time. It keeps a connection of its own, opened at the first read and opened
// again after one was lost. Failures are thrown as libpqxx's exceptions, so that the
// archive's messages treat them as those of its own connection.
class BinaryImageReader {
public:
    struct Row {
        std::int64_t id = 0;
        std::optional<MemoryImage> image; // none when the stored bytes are not a whole memory
        std::string sha256;               // hex, as the server stored it
        std::string recorder;
        std::string readingText;
    };

    explicit BinaryImageReader(std::string connection);
    ~BinaryImageReader();
    BinaryImageReader(const BinaryImageReader&) = delete;
    BinaryImageReader& operator=(const BinaryImageReader&) = delete;

    // The rows of those of `ids` the server has, in no particular order.
    std::vector<Row> read(const std::vector<std::int64_t>& ids);

private:
    void connect();
    void close();

    std::string connectionString_;
    pg_conn* connection_ = nullptr;
};

} // namespace kestrel
