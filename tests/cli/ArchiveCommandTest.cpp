// kestrel-cli archive: importing files and folders, listing, exporting the bytes unchanged.
#include "CliRun.h"
#include "cli/Commands.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"

#include "support/TempDir.h"

#ifdef KESTREL_HAVE_ARCHIVE
#include "core/archive/ReadingDigest.h"
#include "support/ArchiveDamage.h"
#endif

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrel::cli {
namespace {

#ifdef KESTREL_HAVE_ARCHIVE

TEST(ArchiveCommand, ImportsEachReadingOnceAndRefusesWhatIsNotOne)
{
    test::TempDir dir;
    const std::string db = dir.file("archive.sqlite");
    saveImage(dir.file("first.bbd"), makeDemoImage(1));
    std::filesystem::create_directories(dir.file("Данные/2024"));
    saveImage(dir.file("Данные/2024/second.bbd"), makeDemoImage(2));
    saveImage(dir.file("Данные/copy.bbd"), makeDemoImage(1));
    std::ofstream(dir.file("Данные/short.bbd")) << "обрывок";
    std::ofstream(dir.file("Данные/notes.txt")) << "не файл данных"; // not a *.bbd: not looked at

    const CliRun first = run({"archive", "import", "--archive", db, dir.file("first.bbd"), dir.file("Данные"),
        dir.file("absent.bbd")});
    EXPECT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, "imported 2, already stored 1, refused 2\n");
    EXPECT_NE(first.err.find("short.bbd: размер 14 байт"), std::string::npos) << first.err;
    EXPECT_NE(first.err.find("absent.bbd: файл не найден"), std::string::npos) << first.err;

    const CliRun again = run({"archive", "import", "--archive", db, dir.file("first.bbd")});
    EXPECT_EQ(again.out, "imported 0, already stored 1, refused 0\n");

    const CliRun nothing = run({"archive", "import", "--archive", db, dir.file("Данные/short.bbd")});
    EXPECT_EQ(nothing.code, 1);
}

TEST(ArchiveCommand, ListsAsTableCsvAndJsonAndExportsTheStoredBytes)
{
    test::TempDir dir;
    const std::string db = dir.file("archive.sqlite");
    const MemoryImage image = makeDemoImage(3);
    saveImage(dir.file("demo.bbd"), image);
    ASSERT_EQ(run({"archive", "import", "--archive", db, dir.file("demo.bbd")}).code, 0);

    const CliRun json = run({"archive", "list", "--archive", db, "--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    const auto list = nlohmann::json::parse(json.out);
    ASSERT_EQ(list.size(), 1u);
    for (const char* key : {"id", "recorder", "crane_type", "crane_number", "reading", "checksum_ok", "cycles"})
        EXPECT_TRUE(list[0].contains(key)) << key;
    const std::string recorder = list[0]["recorder"];
    EXPECT_EQ(list[0]["reading"].get<std::string>().size(), 16u);

    const CliRun csv = run({"archive", "list", "--archive", db, "--csv", "--recorder", recorder});
    EXPECT_EQ(csv.out.substr(0, csv.out.find("\r\n")), "№,РП №,Тип крана,Зав. №,Считывание,Контрольная сумма,Циклов,Источник,Сохранено");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 2);
    const CliRun other = run({"archive", "list", "--archive", db, "--json", "--recorder", "нет такого"});
    EXPECT_EQ(nlohmann::json::parse(other.out).size(), 0u);
    const CliRun table = run({"archive", "list", "--archive", db});
    EXPECT_NE(table.out.find("верна"), std::string::npos);

    const std::string id = std::to_string(list[0]["id"].get<long>());
    const CliRun exported = run({"archive", "export", "--archive", db, id, "-o", dir.file("back.bbd")});
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(readImageFile(dir.file("back.bbd")), image);
    EXPECT_EQ(run({"archive", "export", "--archive", db, "999", "-o", dir.file("x.bbd")}).code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.bbd")));
}

// A bit flipped in the file: the reading's bytes no longer match their SHA-256. Export
// says so and writes nothing, rather than hand the changed bytes on as the reading.
TEST(ArchiveCommand, RefusesToExportADamagedReading)
{
    test::TempDir dir;
    const std::string db = dir.file("archive.sqlite");
    saveImage(dir.file("a.bbd"), makeDemoImage(1));
    saveImage(dir.file("b.bbd"), makeDemoImage(2));
    ASSERT_EQ(run({"archive", "import", "--archive", db, dir.file("a.bbd"), dir.file("b.bbd")}).code, 0);
    const auto list = nlohmann::json::parse(run({"archive", "list", "--archive", db, "--json"}).out);
    ASSERT_EQ(list.size(), 2u);
    for (const auto& item : list)
        EXPECT_EQ(item["sha256"].get<std::string>().size(), 64u);
    const long damaged = list[0]["id"].get<long>();
    const long intact = list[1]["id"].get<long>();
    kestrel::test::flipStoredBit(db, damaged);

    const CliRun refused
        = run({"archive", "export", "--archive", db, std::to_string(damaged), "-o", dir.file("back.bbd")});
    EXPECT_EQ(refused.code, kExitFileError);
    EXPECT_NE(refused.err.find("Считывание №" + std::to_string(damaged) + " ("), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("повреждено"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("back.bbd")));

    const CliRun other = run({"archive", "export", "--archive", db, std::to_string(intact), "-o", dir.file("b2.bbd")});
    ASSERT_EQ(other.code, 0) << other.err;
    EXPECT_EQ(readingDigest(readImageFile(dir.file("b2.bbd"))), list[1]["sha256"].get<std::string>());
}

// Each option belongs to one action: under another it is refused, not dropped.
TEST(ArchiveCommand, OptionsOfAnotherActionAreRefused)
{
    test::TempDir dir;
    const std::string db = dir.file("archive.sqlite");
    saveImage(dir.file("demo.bbd"), makeDemoImage(3));
    const std::vector<std::pair<Args, std::string>> refused{
        {{"archive", "list", "--archive", db, "-o", dir.file("x.bbd")}, "-o: задается только для archive export"},
        {{"archive", "import", "--archive", db, "--json", dir.file("demo.bbd")},
            "--json: задается только для archive list"},
        {{"archive", "export", "--archive", db, "1", "--recorder", "7", "-o", dir.file("x.bbd")},
            "--recorder: задается только для archive list"},
        {{"archive", "export", "--archive", db, "-1", "-o", dir.file("x.bbd")}, "ID: номер считывания"},
    };
    for (const auto& [args, message] : refused) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, kExitUsage) << message;
        EXPECT_NE(r.err.find("kestrel-cli archive: " + message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(db)); // refused before the archive is opened
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.bbd")));
}

TEST(ArchiveCommand, SaysWhyADatabaseIsNotUsed)
{
    test::TempDir dir;
    std::ofstream(dir.file("data.bbd"), std::ios::binary) << std::string(32768, 'x');
    const CliRun refused = run({"archive", "list", "--archive", dir.file("data.bbd")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("не является архивом Kestrel"), std::string::npos) << refused.err;
    EXPECT_EQ(std::filesystem::file_size(dir.file("data.bbd")), 32768u);
    EXPECT_EQ(run({"archive", "prune", "--archive", dir.file("a.sqlite")}).code, 2);
}

#else

TEST(ArchiveCommand, SaysTheProgramHasNoArchive)
{
    const CliRun refused = run({"archive", "list", "--archive", "a.sqlite"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("собрана без SQLite"), std::string::npos);
}

#endif

} // namespace
} // namespace kestrel::cli
