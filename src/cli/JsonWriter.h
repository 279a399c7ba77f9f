#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace kestrel::cli {

// A minimal streaming JSON writer: enough for stable, readable output of the views.
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
    void separator(std::string_view key);
    void newline();
    static std::string quoted(std::string_view text);

    std::ostream& out_;
    int depth_ = 0;
    bool first_ = true;
};

} // namespace kestrel::cli
