// Golden documents: the five documents of ReportFixture with row limit 5, as
// UTF-8 lines joined by "\n", in golden/<name>.txt next to this file.
//
// To regenerate after an intended change, run
//     KESTREL_UPDATE_GOLDEN=1 build-<name>/bin/core_tests --gtest_filter='ReportGolden.*'
// then review every changed line with `git diff tests/core/reports/golden` before committing.

#include "ReportFixture.h"

#include "core/reports/ReportDispatch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrel {
namespace {

// An absolute path from the build: __FILE__ can be relative (ccache's base_dir makes it so).
const std::filesystem::path kGoldenFolder = KESTREL_GOLDEN_FOLDER;

std::string joined(const DocumentLines& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

void checkGolden(int tag, const std::string& name)
{
    const test::ReportFixture f;
    const ReportKind* kind = findReportKind(tag);
    ASSERT_NE(kind, nullptr);
    DocumentLines lines;
    kind->writer(lines, fullReportTitle(kind->title, f.view.identification), 5, f.input());
    const std::string actual = joined(lines);
    const auto path = kGoldenFolder / (name + ".txt");

    if (const char* update = std::getenv("KESTREL_UPDATE_GOLDEN"); update != nullptr && *update == '1') {
        std::ofstream(path, std::ios::binary) << actual;
        GTEST_SKIP() << "rewrote " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing " << path;
    std::ostringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(actual, expected.str()) << name;
}

TEST(ReportGolden, Journal) { checkGolden(5, "journal"); }
TEST(ReportGolden, Protocol1) { checkGolden(1, "protocol1"); }
TEST(ReportGolden, Protocol2) { checkGolden(2, "protocol2"); }
TEST(ReportGolden, Protocol3) { checkGolden(3, "protocol3"); }
TEST(ReportGolden, Protocol4) { checkGolden(4, "protocol4"); }

} // namespace
} // namespace kestrel
