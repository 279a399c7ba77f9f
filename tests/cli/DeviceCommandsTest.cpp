#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "cli/DeviceLink.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"
#include "cli/CliProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace kestrel::cli {
namespace {

// The device commands run as the program itself: the port library is loaded from the
// program's folder and its simulated device lives for one run, as it would for a user.
struct DeviceCommands : ::testing::Test {
    test::TempDir dir;
    std::string out, err;

    void SetUp() override
    {
        const auto library = std::filesystem::path(KESTREL_CLI_PATH).parent_path() / "libDLPortIO.so";
        ASSERT_TRUE(std::filesystem::exists(library)) << library << " is built with the DLPortIO target";
        saveImage(dir.file("x.bbd"), makeDemoImage(5));
    }

    int run(const std::string& arguments) { return runCliProcess(dir, arguments, out, err); }
};

TEST_F(DeviceCommands, ReadCopiesTheDeviceMemoryByteForByte)
{
    ASSERT_EQ(run("read --device sim:x.bbd -o y.bbd"), 0) << err;
    EXPECT_EQ(readFile(dir.file("y.bbd")), readFile(dir.file("x.bbd")));
    EXPECT_NE(err.find("ПСИ обнаружен! Порт: 0x378."), std::string::npos) << err;
    EXPECT_NE(err.find("Данные загружены в память"), std::string::npos) << err;
    // The simulator says so before anything else it says.
    EXPECT_TRUE(err.starts_with("kestrel-cli: Симулятор ПСИ (sim:x.bbd): работа не с настоящим прибором\n")) << err;
}

TEST_F(DeviceCommands, EraseLeavesZerosThatTheNextReadFinds)
{
    ASSERT_EQ(run("erase --device sim:x.bbd --start 0x100 --size 0x45 --yes"), 0) << err;
    EXPECT_NE(err.find("Данные записаны на ПСИ"), std::string::npos) << err;

    MemoryImage expected = makeDemoImage(5);
    std::fill(expected.begin() + 0x100, expected.begin() + 0x145, std::uint8_t{0});
    EXPECT_EQ(readImageFile(dir.file("x.bbd")), expected); // the simulated device keeps its memory there

    ASSERT_EQ(run("read --device sim:x.bbd,port=0x278 --start 0xF0 --size 0x70 -o y.bbd"), 0) << err;
    const std::string area = readFile(dir.file("y.bbd"));
    ASSERT_EQ(area.size(), 0x70u);
    EXPECT_EQ(std::vector<std::uint8_t>(area.begin(), area.end()),
        std::vector<std::uint8_t>(expected.begin() + 0xF0, expected.begin() + 0x160));
}

TEST_F(DeviceCommands, DumpOfTheDeviceShowsTheAreaAsAHexTable)
{
    ASSERT_EQ(run("dump --device sim:x.bbd --start 0x7FFE --size 16"), 0) << err;
    const MemoryImage image = makeDemoImage(5);
    char line[64];
    std::snprintf(line, sizeof line, "7FF0%*s %02X %02X\n", 14 * 3, "", image[0x7FFE], image[0x7FFF]);
    EXPECT_EQ(out, "     00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n" + std::string(line));
}

TEST_F(DeviceCommands, AFailedReadWritesNothingAndSaysWhy)
{
    // The device vanishes after a few bytes; the time-out ends the read.
    EXPECT_EQ(run("read --device sim:x.bbd,disconnect=40 --start 0 --size 600 -o y.bbd"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.bbd")));
    EXPECT_NE(err.find("Превышено время ожидания ответа!"), std::string::npos) << err;
    EXPECT_NE(err.find("Данные не загружены в память"), std::string::npos) << err;
}

TEST_F(DeviceCommands, EraseWithoutYesPrintsTheQuestionAndErasesNothing)
{
    EXPECT_EQ(run("erase --device sim:x.bbd --start 0 --size 0x8000"), kExitChecksumRefused);
    EXPECT_EQ(err, "kestrel-cli: Симулятор ПСИ (sim:x.bbd): работа не с настоящим прибором\n"
                   "Стереть область 0x0000–0x7FFF (32768 байт) в ПСИ?\n"); // not even a search
    EXPECT_EQ(readImageFile(dir.file("x.bbd")), makeDemoImage(5));
}

TEST_F(DeviceCommands, AreaTextsThatAreNoNumbersAreUsageErrors)
{
    for (const char* command :
        {"erase --device sim:x.bbd --start abc --size xyz --yes", "read --device sim:x.bbd --start abc --size xyz -o y.bbd",
            "dump --device sim:x.bbd --start abc --size xyz"}) {
        EXPECT_EQ(run(command), kExitUsage) << command;
        EXPECT_NE(err.find("Адрес области задан неверно: «abc»\nРазмер области задан неверно: «xyz»\nИспользование: "),
            std::string::npos)
            << err;
        EXPECT_EQ(err.find("Поиск ПСИ"), std::string::npos) << err;
    }
    EXPECT_EQ(readImageFile(dir.file("x.bbd")), makeDemoImage(5));
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.bbd")));
    EXPECT_EQ(run("dump x.bbd --size 1O"), kExitUsage);
    EXPECT_NE(err.find("Размер области задан неверно: «1O»"), std::string::npos) << err;
}

TEST_F(DeviceCommands, ABadChecksumIsWrittenAsReadButIsTheChecksumQuestion)
{
    MemoryImage damaged = makeDemoImage(5);
    damaged[0x10] ^= 0x04;
    saveImage(dir.file("x.bbd"), damaged);

    EXPECT_EQ(run("read --device sim:x.bbd -o y.bbd"), kExitChecksumRefused);
    EXPECT_EQ(readFile(dir.file("y.bbd")), readFile(dir.file("x.bbd"))); // what the device holds
    EXPECT_NE(err.find("Неправильная контрольная сумма!\nВозможно, ошибка чтения ПСИ.\n Продолжить обработку?"),
        std::string::npos)
        << err;

    std::filesystem::remove(dir.file("y.bbd"));
    EXPECT_EQ(run("read --device sim:x.bbd --yes -o y.bbd"), kExitOk) << err;
    EXPECT_EQ(readFile(dir.file("y.bbd")), readFile(dir.file("x.bbd")));
    // An area has no checksum of its own.
    EXPECT_EQ(run("read --device sim:x.bbd --size 0x100 -o y.bbd"), kExitOk) << err;
}

TEST_F(DeviceCommands, VerifyTakesOnlyTwoEqualReadings)
{
    // The simulated device flips bit 0 of byte 0xF5 of its first reading only: an odd
    // offset, which the checksum does not cover.
    // An area keeps the test short; the whole memory is read the same way.
    EXPECT_EQ(run("read --device sim:x.bbd,flip=245 --verify --size 0x200 -o y.bbd"), kExitDeviceFailed);
    EXPECT_NE(err.find("Два чтения ПСИ не совпадают: первое различие по адресу 0x00F5!"), std::string::npos) << err;
    EXPECT_NE(err.find("Данные не загружены в память"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.bbd")));

    EXPECT_EQ(run("read --device sim:x.bbd --verify --size 0x200 -o y.bbd"), kExitOk) << err;
    EXPECT_EQ(readFile(dir.file("y.bbd")), readFile(dir.file("x.bbd")).substr(0, 0x200));
}

TEST(DumpCommand, FileAreasAsHexTables)
{
    test::TempDir dir;
    const MemoryImage image = makeDemoImage(2);
    saveImage(dir.file("a.bbd"), image);
    std::ostringstream out, err;
    ASSERT_EQ(runCli({"dump", dir.file("a.bbd"), "--start", "5", "--size", "3"}, out, err), kExitOk) << err.str();
    char expected[160];
    std::snprintf(expected, sizeof expected,
        "     00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n0000%*s %02X %02X %02X\n", 5 * 3, "", image[5],
        image[6], image[7]);
    EXPECT_EQ(out.str(), expected);

    out.str({});
    ASSERT_EQ(runCli({"dump", dir.file("a.bbd")}, out, err), kExitOk);
    std::size_t lines = 0;
    for (const char c : out.str())
        lines += c == '\n';
    EXPECT_EQ(lines, 2049u);
    EXPECT_NE(out.str().find("\n7FF0 "), std::string::npos);

    EXPECT_EQ(runCli({"dump", dir.file("a.bbd"), "--start", "0x8000"}, out, err), kExitFileError);
    EXPECT_NE(err.str().find("Адрес области должен быть от 0x0000 до 0x7FFF!"), std::string::npos);
    EXPECT_EQ(runCli({"dump", dir.file("missing.bbd")}, out, err), kExitFileError);
}

TEST(DeviceCommandUsage, MissingOrContradictoryArguments)
{
    std::ostringstream out, err;
    EXPECT_EQ(runCli({"read", "-o", "y.bbd"}, out, err), kExitUsage);
    EXPECT_EQ(runCli({"read", "--device", "sim"}, out, err), kExitUsage);
    EXPECT_EQ(runCli({"read", "--device", "bogus:", "-o", "y.bbd"}, out, err), kExitUsage);
    EXPECT_EQ(runCli({"erase", "--device", "sim", "--start", "0"}, out, err), kExitUsage);
    EXPECT_EQ(runCli({"dump"}, out, err), kExitUsage);
    EXPECT_EQ(runCli({"dump", "a.bbd", "--device", "sim"}, out, err), kExitUsage);
    EXPECT_NE(err.str().find("Использование: kestrel-cli dump IMAGE.bbd|--device DEVICE"), std::string::npos);
}

// --port answers the search's input dialog, so a card at an address of its own (a
// PCIe card at 0xBC00) is found as the fourth candidate.
TEST_F(DeviceCommands, PortOptionAnswersTheFourthCandidate)
{
    ASSERT_EQ(run("dump --device sim:x.bbd,port=0xBC00 --port 0xBC00 --start 0x10 --size 1"), 0) << err;
    EXPECT_NE(err.find("Поиск ПСИ по адресу 0x3BC..."), std::string::npos) << err;
    EXPECT_NE(err.find("Поиск ПСИ по адресу 0xBC00..."), std::string::npos) << err;
    EXPECT_NE(err.find("ПСИ обнаружен! Порт: 0xBC00."), std::string::npos) << err;
    EXPECT_NE(out.find("\n0010 "), std::string::npos) << out;
}

// Only the parallel port's search asks for an address: with an I2C adapter --port would do nothing.
TEST_F(DeviceCommands, PortOptionIsRefusedForAnI2cAdapter)
{
    EXPECT_EQ(run("dump --device i2c-sim:x.bbd --port 0xBC00 --start 0x10 --size 1"), kExitUsage);
    EXPECT_NE(err.find("--port: адрес порта задается только для ПСИ на параллельном порту"), std::string::npos) << err;
    EXPECT_EQ(run("read --device i2c:/dev/i2c-9 --port 0x278 -o y.bbd"), kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.bbd")));
    ASSERT_EQ(run("dump --device i2c-sim:x.bbd --start 0x10 --size 1"), 0) << err;
}

TEST_F(DeviceCommands, ASimulatedDeviceWhoseFileIsMissingIsRefusedByName)
{
    EXPECT_EQ(run("read --device sim:mistyped.bbd -o y.bbd"), 1);
    EXPECT_NE(err.find("mistyped.bbd не найден"), std::string::npos) << err;
    EXPECT_EQ(err.find("Поиск ПСИ"), std::string::npos) << "no search without a port library: " << err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("mistyped.bbd")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.bbd")));
}

TEST(DeviceCommandUsage, PortAddressesAreTypedAsInTheDialog)
{
    for (const char* text : {"0xBC00", "$BC00", "48128", " 0XBC00"})
        EXPECT_EQ(parsePortOption(text), 0xBC00) << text;
    std::ostringstream out, err;
    for (const char* text : {"abc", "0", "0xFFFE", "-888", ""}) {
        err.str({});
        EXPECT_EQ(runCli({"dump", "--device", "sim:none.bbd", "--port", text}, out, err), kExitUsage) << text;
        EXPECT_NE(err.str().find("--port: адрес порта должен быть числом"), std::string::npos) << err.str();
    }
    EXPECT_EQ(runCli({"dump", "a.bbd", "--port", "0x278"}, out, err), kExitUsage);
}

TEST_F(DeviceCommands, TheSameWriteBackThroughAUsbAdapterAndThePortLeavesTheSameMemory)
{
    saveImage(dir.file("port.bbd"), makeDemoImage(5));
    const std::string options = " --operator Иванов --code 12345 --clock '31.12.2026 23:59:41'"
                                " --normalisation '100/900;110/910;120/920;130/930'";
    ASSERT_EQ(run("write-config --device i2c-sim:x.bbd,profile=cp2112" + options), 0) << err;
    EXPECT_NE(err.find("ПСИ обнаружен! Симулятор USB-адаптера I2C: CP2112"), std::string::npos) << err;
    EXPECT_NE(err.find("Данные успешно записаны в память!"), std::string::npos) << err;
    ASSERT_EQ(run("write-config --device sim:port.bbd" + options), 0) << err;
    EXPECT_EQ(readFile(dir.file("x.bbd")), readFile(dir.file("port.bbd")));

    // And reading it back through every profile gives the device's bytes.
    for (const char* profile : {"mcp2221", "ft260", "cp2112", "ch341", "generic"}) {
        ASSERT_EQ(run(std::string("read --device i2c-sim:x.bbd,profile=") + profile + " -o y.bbd"), 0) << err;
        EXPECT_EQ(readFile(dir.file("y.bbd")), readFile(dir.file("x.bbd"))) << profile;
    }
}

} // namespace
} // namespace kestrel::cli
