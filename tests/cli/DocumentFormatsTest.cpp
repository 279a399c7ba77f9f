// `report --pdf` and `summary --xlsx`: the document as PDF and the fleet as a workbook,
// written whole or not at all, and the option combinations that cannot act refused.
#include "cli/CliRun.h"
#include "core/demo/DemoImage.h"
#include "core/export/XlsxWorkbook.h"
#include "core/image/DataFile.h"
#include "support/TempDir.h"
#include "support/XlsxDump.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DocumentFormats : public ::testing::Test {
protected:
    test::TempDir dir;
    void SetUp() override { saveImage(dir.file("crane.bbd"), makeDemoImage(4)); }
};

TEST_F(DocumentFormats, ReportWritesThePdfWholeOrNothing)
{
    const std::string pdf = dir.file("Протокол 2.pdf");
    const CliRun written = run({"report", dir.file("crane.bbd"), "--doc", "2", "--yes", "--pdf", "-o", pdf});
#ifdef KESTREL_HAVE_PDF
    ASSERT_EQ(written.code, kExitOk) << written.err;
    EXPECT_EQ(written.err, "");
    const std::string bytes = contents(pdf);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_NE(bytes.find("%%EOF"), std::string::npos);

    const std::string missing = dir.file("нет/p.pdf");
    const CliRun failed = run({"report", dir.file("crane.bbd"), "--doc", "2", "--yes", "--pdf", "-o", missing});
    EXPECT_EQ(failed.code, kExitFileError);
    EXPECT_EQ(failed.err.rfind(missing + ": ", 0), 0u) << failed.err;
    EXPECT_FALSE(fs::exists(dir.file("нет")));
#else
    EXPECT_EQ(written.code, kExitUsage);
    EXPECT_NE(written.err.find("не умеет сохранять документы в PDF"), std::string::npos) << written.err;
    EXPECT_FALSE(fs::exists(pdf));
#endif
}

TEST_F(DocumentFormats, SummaryWritesAWorkbookOnlyWhenAskedForOne)
{
    const std::string book = dir.file("Парк.xlsx");
    const CliRun written = run({"summary", dir.path().string(), "--xlsx", "-o", book});
    if (xlsxSupported()) {
        ASSERT_EQ(written.code, kExitOk) << written.err;
        EXPECT_EQ(written.out, "");
        if (test::xlsxReaderAvailable()) {
            std::string error;
            const auto sheets = test::dumpXlsx(book, &error);
            ASSERT_EQ(sheets.size(), 1u) << error;
        }
    } else {
        EXPECT_EQ(written.code, kExitFileError);
        EXPECT_FALSE(fs::exists(book));
    }
    // Options that could not act are refused before anything is read or written.
    EXPECT_EQ(run({"summary", dir.path().string(), "--xlsx"}).code, kExitUsage);
    EXPECT_EQ(run({"summary", dir.path().string(), "--xlsx", "--csv", "-o", dir.file("b.xlsx")}).code, kExitUsage);
    const CliRun textToFile = run({"summary", dir.path().string(), "-o", dir.file("c.xlsx")});
    EXPECT_EQ(textToFile.code, kExitUsage);
    EXPECT_NE(textToFile.err.find("-o: "), std::string::npos) << textToFile.err;
    EXPECT_FALSE(fs::exists(dir.file("b.xlsx")));
    EXPECT_FALSE(fs::exists(dir.file("c.xlsx")));
}

} // namespace
} // namespace kestrel::cli
