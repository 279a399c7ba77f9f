#include "cli/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace kestrel::cli {
namespace {

TEST(JsonWriter, KeepsOrderAndReadsBackAsWritten)
{
    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject();
    json.value("z", "последний ключ первым");
    json.value("a", 46000.0);
    json.value("half", 0.5);
    json.value("none", std::nan(""));
    json.beginArray("rows");
    json.beginObject();
    json.value("ok", true);
    json.endObject();
    json.value("текст");
    json.endArray();
    json.beginObject("empty");
    json.endObject();
    json.endObject();

    EXPECT_EQ(out.str(),
        "{\n  \"z\": \"последний ключ первым\",\n  \"a\": 46000,\n  \"half\": 0.5,\n  \"none\": null,\n"
        "  \"rows\": [\n    {\n      \"ok\": true\n    },\n    \"текст\"\n  ],\n  \"empty\": {}\n}\n");
    const auto parsed = nlohmann::ordered_json::parse(out.str());
    EXPECT_EQ(parsed.begin().key(), "z");
    EXPECT_EQ(parsed["rows"][1], "текст");
}

TEST(JsonWriter, EscapesEveryControlCharacterAndReplacesBrokenUtf8)
{
    nlohmann::ordered_json document = {{"t", "a\x01\x7f\xc2\x85\xc2\xa0\xd0\xaf\xff"}};
    // C0, DEL and C1 escaped; U+00A0 and Cyrillic kept; the stray byte becomes U+FFFD.
    EXPECT_EQ(jsonText(document), "{\n  \"t\": \"a\\u0001\\u007f\\u0085\xc2\xa0\xd0\xaf\xef\xbf\xbd\"\n}");
    EXPECT_EQ(nlohmann::json::parse(jsonText(document))["t"], "a\x01\x7f\xc2\x85\xc2\xa0\xd0\xaf\xef\xbf\xbd");
}

} // namespace
} // namespace kestrel::cli
