#pragma once

#include "core/image/DateTime.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::cli {

// "1990-05-12": dates in JSON and CSV do not follow the display locale.
std::string isoDay(DateTime value);

// Builds a JSON document in the order the values arrive (keys keep that order) and
// prints it, indented by two blanks, when its outermost object or array closes.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject(std::string_view key = {});
    void endObject();
    void beginArray(std::string_view key = {});
    void endArray();
    void value(std::string_view key, std::string_view text);
    void value(std::string_view key, const char* text) { value(key, std::string_view(text)); }
    void value(std::string_view key, double number);
    void value(std::string_view key, int number);
    void value(std::string_view key, bool flag);
    void value(std::string_view text) { value({}, text); }

private:
    // Adds `item` to the open container (under `key` in an object) and returns it there.
    nlohmann::ordered_json& add(std::string_view key, nlohmann::ordered_json item);
    void close();

    std::ostream& out_;
    nlohmann::ordered_json root_;
    // The containers still open, outermost first; each lives inside the one before it.
    std::vector<nlohmann::ordered_json*> open_;
};

// The document as text: two-blank indentation, UTF-8 kept as it is except that the
// C0 controls, DEL and U+0080–U+009F are escaped as \u00XX (a terminal would obey
// them), and invalid UTF-8 becomes U+FFFD.
std::string jsonText(const nlohmann::ordered_json& document);

} // namespace kestrel::cli
