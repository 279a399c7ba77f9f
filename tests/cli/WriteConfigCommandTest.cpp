#include "cli/Commands.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "cli/CliProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

namespace kestrel::cli {
namespace {

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string bytesAt(const MemoryImage& image, std::size_t address, std::size_t length)
{
    return {image.begin() + static_cast<std::ptrdiff_t>(address),
        image.begin() + static_cast<std::ptrdiff_t>(address + length)};
}

// The simulated device keeps its memory in x.bbd; `image.bbd` is the window's image.
struct WriteConfig : ::testing::Test {
    test::TempDir dir;
    std::string out, err;

    void SetUp() override
    {
        saveImage(dir.file("x.bbd"), makeDemoImage(5));
        saveImage(dir.file("image.bbd"), makeDemoImage(5));
    }

    // In-process: for what is settled before any device is touched.
    int runHere(Args args)
    {
        std::ostringstream o, e;
        const int code = runCli(args, o, e);
        out = o.str();
        err = e.str();
        return code;
    }

    // As the program itself, with the port library beside it (device runs).
    int run(const std::string& arguments) { return runCliProcess(dir, arguments, out, err); }

    Args writeConfig(std::initializer_list<std::string> extra)
    {
        Args args = {"write-config", "--device", "sim:" + dir.file("x.bbd"), "--image", dir.file("image.bbd"),
            "--operator", "Иванов", "--code", "12345"};
        args.insert(args.end(), extra);
        return args;
    }

    bool deviceUntouched() { return readImageFile(dir.file("x.bbd")) == makeDemoImage(5); }
};

TEST_F(WriteConfig, InputNoControlCouldHoldIsAUsageErrorBeforeAnyDevice)
{
    writeFile(dir.file("broken.json"), "{\"eOwner\": \"ООО\"");
    writeFile(dir.file("unknown.json"), "{\"eOwnerr\": \"ООО\"}");
    writeFile(dir.file("feb30.json"), "{\"eRegSetup\": \"30.02.2024\"}");
    writeFile(dir.file("long.json"), "{\"eGroup\": \"A10\"}");
    writeFile(dir.file("number.json"), "{\"eSumGruz\": 16.5}");
    writeFile(dir.file("array.json"), "[\"eOwner\"]");
    writeFile(dir.file("prog-unknown.json"), "{\"chbTests\": true}");
    writeFile(dir.file("prog-range.json"), "{\"AverTime\": 999}");
    writeFile(dir.file("prog-switch.json"), "{\"chbStop1\": 1}");
    writeFile(dir.file("prog-huge.json"), "{\"StopUnload\": 18446744073709551615}"); // would wrap to −1
    writeFile(dir.file("prog-rows.json"), "{\"sgVylet\": [[\"1200\", \"80\"]]}");

    const std::vector<Args> refused = {
        {"write-config", "--device", "sim:" + dir.file("x.bbd"), "--operator", "Иванов"}, // no --code
        writeConfig({"--clock", "31.02.2026 10:00"}),
        writeConfig({"--clock", "29.02.2027 10:00"}),
        writeConfig({"--clock", "01.01.2026 24:00"}),
        writeConfig({"--clock", "01.01.2026 10:60"}),
        writeConfig({"--clock", "01.01.2026 10:00:60"}),
        writeConfig({"--clock", "31.12.1999 23:59"}), // the recorder's clock counts 2000–2099
        writeConfig({"--clock", "1.1.2026"}),
        writeConfig({"--ident", dir.file("broken.json")}),
        writeConfig({"--ident", dir.file("unknown.json")}),
        writeConfig({"--ident", dir.file("feb30.json")}),
        writeConfig({"--ident", dir.file("long.json")}),
        writeConfig({"--ident", dir.file("number.json")}),
        writeConfig({"--ident", dir.file("array.json")}),
        writeConfig({"--program", dir.file("prog-unknown.json")}),
        writeConfig({"--program", dir.file("prog-range.json")}),
        writeConfig({"--program", dir.file("prog-switch.json")}),
        writeConfig({"--program", dir.file("prog-huge.json")}),
        writeConfig({"--program", dir.file("prog-rows.json")}),
        writeConfig({"--normalisation", "1/2;3/4;5/6"}),
        writeConfig({"--normalisation", "1/2;3/4;5/6;7"}),
        {"write-config", "--device", "sim:" + dir.file("x.bbd"), "--operator", std::string(33, 'a'), "--code", "1"},
        {"write-config", "--device", "sim:" + dir.file("x.bbd"), "--operator", "a", "--code", "123456789"},
    };
    for (const auto& args : refused) {
        EXPECT_EQ(runHere(args), kExitUsage) << args.back() << "\n" << err;
        EXPECT_NE(err.find("Использование: kestrel-cli write-config"), std::string::npos) << err;
        EXPECT_EQ(err.find("Поиск ПСИ"), std::string::npos) << err;
    }
    EXPECT_TRUE(deviceUntouched());
    // The messages say what is wrong in the terms of the window.
    runHere(writeConfig({"--ident", dir.file("unknown.json")}));
    EXPECT_NE(err.find("--ident: неизвестный элемент «eOwnerr»"), std::string::npos) << err;
    runHere(writeConfig({"--program", dir.file("prog-range.json")}));
    EXPECT_NE(err.find("--program: AverTime: ожидается целое число от 1000 до 10000, а не 999"), std::string::npos)
        << err;
}

TEST_F(WriteConfig, UnreadableFilesExitOneAndAnEmptyOperatorWritesNothing)
{
    EXPECT_EQ(runHere(writeConfig({"--ident", dir.file("missing.json")})), kExitFileError);
    EXPECT_NE(err.find(dir.file("missing.json") + ": "), std::string::npos) << err;
    EXPECT_EQ(runHere({"write-config", "--device", "sim:x.bbd", "--image", dir.file("missing.bbd"), "--operator",
                  "a", "--code", "1"}),
        kExitFileError);
    EXPECT_EQ(runHere({"write-config", "--device", "sim:x.bbd", "--image", dir.file("x.txt"), "--operator", "a",
                  "--code", "1"}),
        kExitFileError);

    // The identification window's OK needs a name: nothing is searched, written or saved.
    EXPECT_EQ(runHere({"write-config", "--device", "sim:" + dir.file("x.bbd"), "--operator", "", "--code", "1",
                  "--clock", "01.01.2026 10:00", "--erase", "--dump", dir.file("d.bbd"), "--save-image",
                  dir.file("s.bbd")}),
        kExitInputRefused);
    EXPECT_NE(err.find("идентификация не подтверждена"), std::string::npos) << err;
    EXPECT_EQ(err.find("Поиск ПСИ"), std::string::npos) << err;
    EXPECT_TRUE(deviceUntouched());
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.bbd")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("s.bbd")));
}

TEST_F(WriteConfig, EveryOperationArrivesAndTheNextReadFindsExactlyTheComposedArea)
{
    writeFile(dir.file("ident.json"),
        R"({"eRegType": "РП-2000М", "eRegNum": "4711", "eRegYear": "2020", "eRegSetup": "15.03.2024",
            "eOwner": "ООО «Порт»", "eSrok": 25, "eSumGruz": "16,5"})");
    std::string rows = R"(["1200", "80"], [1300, 75])";
    for (int r = 2; r < 16; ++r)
        rows += R"(, ["0", "0"])";
    writeFile(dir.file("program.json"),
        R"({"chbTest": false, "AverTime": 1090, "StopUnload": -6, "sgVylet": [)" + rows + "]}");

    ASSERT_EQ(run("write-config --device sim:x.bbd --image image.bbd --operator Иванов --code 12345 --locale ru_RU"
                  " --clock '31.12.2026 23:59:41' --ident ident.json --normalisation '100/900;110/910;120/920;130/930'"
                  " --program program.json --erase --dump dump.bbd --save-image saved.bbd"),
        kExitOk)
        << err;
    EXPECT_NE(err.find("Данные успешно записаны в память!"), std::string::npos) << err;

    const MemoryImage device = readImageFile(dir.file("x.bbd"));
    const MemoryImage saved = readImageFile(dir.file("saved.bbd"));
    EXPECT_EQ(readImageFile(dir.file("dump.bbd")), device); // --dump reads the device back whole

    // Every block was written: the area is the composed image's, the bytes of no block zero.
    for (std::size_t a = 0x60B; a <= 0x8FF; ++a) {
        const bool outsideBlocks = (a >= 0x630 && a <= 0x634) || (a >= 0x655 && a <= 0x65F)
            || (a >= 0x6E0 && a <= 0x6EF) || (a >= 0x6FA && a <= 0x6FF);
        ASSERT_EQ(device[a], outsideBlocks ? 0 : saved[a]) << std::hex << a;
    }
    EXPECT_EQ(bytesAt(device, 0x60B, 5), "\x59\x23\x31\x12\x26");                  // clock, seconds lost
    EXPECT_EQ(bytesAt(device, 0x6F0, 10), std::string("12345\0\0\0\x1F\x1F", 10)); // code, all five flags twice
    const std::string ivanov = "\xC8\xE2\xE0\xED\xEE\xE2";                           // "Иванов" in cp1251
    for (std::size_t at : {0x610, 0x635, 0x665})
        EXPECT_EQ(bytesAt(device, at, 7), ivanov + '\0') << std::hex << at;
    EXPECT_EQ(device[0x685], makeDemoImage(5)[0x685] & 0x1E); // chbTest unticked, the other switches as filled
    EXPECT_EQ(bytesAt(device, 0x698, 4), std::string("\xFA\xFF\x1B\x00", 4)); // StopUnload −6, AverTime 1090/40
    EXPECT_EQ(bytesAt(device, 0x6A0, 6), "\xB0\x04\x50\x14\x05\x4B");
    EXPECT_EQ(bytesAt(device, 0x6D0, 4), std::string("\x64\x00\x84\x03", 4));
    EXPECT_EQ(device[layout::kServiceLife], 25);
    EXPECT_EQ(bytesAt(device, 0x868, 4), std::string("\x00\x00\x84\x41", 4)); // 16.5 f, typed with a comma
    // Controls the JSON did not name keep what the identification output filled.
    EXPECT_EQ(bytesAt(device, layout::kCraneType, 32), bytesAt(makeDemoImage(5), layout::kCraneType, 32));

    // The area read again through the device, as a later "Загрузить" reads it.
    ASSERT_EQ(run("read --device sim:x.bbd --start 0x60B --size 757 -o area.bin"), kExitOk) << err;
    EXPECT_EQ(readFile(dir.file("area.bin")), bytesAt(device, 0x60B, 757));
    // The memory is a configuration for the recorder, no reading of the crane: said so in words.
    EXPECT_EQ(run("show dump.bbd --json --yes --locale ru_RU"), kExitFileError);
    EXPECT_NE(err.find("содержит не считывание крана, а настройки, записанные для регистратора РП-2000М № 4711"),
        std::string::npos)
        << err;
    EXPECT_NE(err.find("установка часов регистратора на 31.12.2026 23:59"), std::string::npos) << err;
    EXPECT_NE(err.find("Записал: Иванов."), std::string::npos) << err;
}

TEST_F(WriteConfig, ARefusedFieldTouchesNoDevice)
{
    writeFile(dir.file("ident.json"), R"({"eRegYear": "1999"})");
    EXPECT_EQ(run("write-config --device sim:x.bbd --operator Иванов --code 1 --clock '01.02.2026 03:04'"
                  " --ident ident.json"),
        kExitInputRefused);
    EXPECT_NE(err.find("Неправильно указан год изготовления регистратора параметров!"), std::string::npos) << err;
    EXPECT_EQ(err.find("записаны на ПСИ"), std::string::npos) << err;
    EXPECT_TRUE(deviceUntouched());

    // A value the recorder's 16-bit field cannot hold is refused in words, never wrapped.
    EXPECT_EQ(run("write-config --device sim:x.bbd --operator Иванов --code 1 --normalisation '100/99999;0/0;0/0;0/0'"),
        kExitInputRefused);
    EXPECT_NE(err.find("Датчик №1, Qном: значение 99999 вне допустимого диапазона от -32768 до 32767"),
        std::string::npos)
        << err;
    EXPECT_TRUE(deviceUntouched());
}

TEST_F(WriteConfig, AMissingDeviceAndAFailedTransferHaveTheirOwnExitCodes)
{
    EXPECT_EQ(run("write-config --device sim:x.bbd,port=0x2BC --operator Иванов --code 1 --save-image s.bbd"),
        kExitDeviceNotFound);
    EXPECT_NE(err.find("Прибор считывания  информации не подключен!"), std::string::npos) << err;
    EXPECT_TRUE(deviceUntouched());
    EXPECT_TRUE(std::filesystem::exists(dir.file("s.bbd")));

    // The device vanishes during the clearing write.
    EXPECT_EQ(run("write-config --device sim:x.bbd,disconnect=300 --operator Иванов --code 1"), kExitTransferFailed);
    EXPECT_NE(err.find("Ошибка при стирания данных из ПСИ!"), std::string::npos) << err;
    EXPECT_EQ(err.find("Данные успешно записаны"), std::string::npos) << err;
}

} // namespace
} // namespace kestrel::cli
