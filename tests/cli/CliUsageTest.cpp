#include "cli/CliRun.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/TextColumns.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel::cli {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CliUsage, NoCommandPrintsEveryCommandsUsageOnStderr)
{
    const CliRun r = run({});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err.rfind("Использование: kestrel-cli КОМАНДА", 0), 0u) << r.err;
    for (const Command& c : commandTable())
        EXPECT_TRUE(contains(r.err, std::string("\n  kestrel-cli ") + c.name + " ")) << c.name;

    const CliRun unknown = run({"frobnicate"});
    EXPECT_EQ(unknown.code, kExitUsage);
    EXPECT_TRUE(contains(unknown.err, "неизвестная команда «frobnicate»")) << unknown.err;
    const CliRun option = run({"--frobnicate", "show"});
    EXPECT_EQ(option.code, kExitUsage);
    EXPECT_TRUE(contains(option.err, "неизвестный параметр --frobnicate")) << option.err;
}

TEST(CliUsage, ProgramHelpAndVersionGoToStdout)
{
    for (const char* help : {"--help", "-h"}) {
        const CliRun r = run({help});
        EXPECT_EQ(r.code, kExitOk) << help;
        EXPECT_TRUE(r.err.empty());
        EXPECT_EQ(r.out.rfind("Использование: kestrel-cli КОМАНДА", 0), 0u);
        for (const Command& c : commandTable())
            EXPECT_TRUE(contains(r.out, std::string("\n  ") + c.name + " ")) << c.name;
        EXPECT_TRUE(contains(r.out, "--version"));
        EXPECT_TRUE(contains(r.out, "Коды завершения:"));
    }
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.code, kExitOk);
    EXPECT_EQ(version.out, std::string("kestrel-cli ") + KESTREL_VERSION + "\n");
    // Not a command's option: it would be dropped there.
    EXPECT_EQ(run({"--version", "ports"}).code, kExitUsage);
    EXPECT_EQ(run({"ports", "--version"}).code, kExitUsage);
}

// help2man reads the help: every option listed with its meaning, lines that fit a terminal.
TEST(CliUsage, EveryCommandsHelpListsEveryOptionWithinEightyColumns)
{
    for (const Command& c : commandTable()) {
        CommandSyntax syntax;
        c.declare(syntax);
        for (const char* help : {"--help", "-h"}) {
            // Asked for help, nothing else is checked: not even the required options.
            const CliRun r = run({c.name, help});
            ASSERT_EQ(r.code, kExitOk) << c.name << " " << help << r.err;
            EXPECT_TRUE(r.err.empty()) << r.err;
            EXPECT_EQ(r.out.rfind(std::string("Использование: kestrel-cli ") + c.name + " ", 0), 0u) << r.out;
            EXPECT_TRUE(contains(r.out, "\nПараметры:\n")) << c.name;
            for (const auto& item : syntax.items()) {
                EXPECT_TRUE(contains(r.out, "\n  " + item.name)) << c.name << " lacks " << item.name;
                EXPECT_FALSE(item.help.empty()) << c.name << " " << item.name;
            }
            std::istringstream lines(r.out);
            for (std::string line; std::getline(lines, line);)
                EXPECT_LE(displayWidth(line), 79u) << c.name << ": " << line;
        }
        // The help also wins over what is wrong on the line.
        EXPECT_EQ(run({c.name, "--bogus", "--help"}).code, kExitOk) << c.name;
    }
}

struct UsageErrors : ::testing::Test {
    test::TempDir dir;
    void expectUsage(const Args& args, const std::string& message)
    {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, kExitUsage) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
        const std::string command = args.front();
        EXPECT_TRUE(contains(r.err, "kestrel-cli " + command + ": " + message + "\n")) << r.err;
        EXPECT_TRUE(contains(r.err, "\nИспользование: kestrel-cli " + command + " ")) << r.err;
        EXPECT_TRUE(contains(r.err, "\nСправка: kestrel-cli " + command + " --help\n")) << r.err;
    }
};

TEST_F(UsageErrors, AreSaidInRussianNamingTheOption)
{
    const std::string image = dir.file("a.bbd");
    saveImage(image, makeDemoImage(1));
    expectUsage({"show", image, "--bogus"}, "неизвестный параметр --bogus");
    expectUsage({"show", image, "--bogus=1"}, "неизвестный параметр --bogus");
    expectUsage({"show", image, "-x"}, "неизвестный параметр -x");
    expectUsage({"report", image, "-o", dir.file("r.html"), "--doc"}, "у параметра --doc нет значения");
    expectUsage({"show", image, "--json=false"}, "параметр --json задается без значения");
    expectUsage({"read", "--device", "sim"}, "не задан -o OUT.bbd");
    expectUsage({"erase", "--device", "sim", "--start", "0"}, "не задан --size N");
    expectUsage({"show"}, "не задан IMAGE.bbd");
    expectUsage({"summary"}, "не задан DIR_OR_FILES");
    expectUsage({"show", image, "b.bbd"}, "лишний аргумент b.bbd");
    expectUsage({"ports", "extra"}, "лишний аргумент extra");
    expectUsage({"report", image, "--doc", "x", "-o", dir.file("r.html")},
        "параметр --doc должен быть целым числом, а не «x»");
    // A slip in an option's name is said rather than the option it stands for being missing.
    expectUsage({"report", image, "--dco", "2", "-o", dir.file("r.html")}, "неизвестный параметр --dco");
    EXPECT_FALSE(std::filesystem::exists(dir.file("r.html")));
}

TEST_F(UsageErrors, ValuesAreTakenAsTheOldParserTookThem)
{
    // The next argument is the value whatever it looks like, and the last one given counts.
    expectUsage({"demo-image", "--seed", "-1", "-o", dir.file("a.bbd")}, "--seed: число от 0 до 4294967295");
    ASSERT_EQ(run({"demo-image", "--seed", "5", "--seed", "3", "-o", dir.file("a.bbd")}).code, kExitOk);
    EXPECT_EQ(readImageFile(dir.file("a.bbd")), makeDemoImage(3));
    // Also written --name=value, and "--" ends the options.
    ASSERT_EQ(run({"demo-image", "--seed=4", "-o", dir.file("b.bbd")}).code, kExitOk);
    EXPECT_EQ(readImageFile(dir.file("b.bbd")), makeDemoImage(4));
    ASSERT_EQ(run({"show", "--yes", "--", dir.file("b.bbd")}).code, kExitOk);
    // An empty value is a value.
    expectUsage({"report", dir.file("b.bbd"), "--doc", "", "-o", dir.file("r.html")},
        "параметр --doc должен быть целым числом, а не «»");
}

TEST(CommandSyntax, UsageLineIsMadeFromTheDeclarations)
{
    CommandSyntax syntax;
    syntax.argument("IMAGE.bbd", "файл")
        .option("--doc", "N", "документ", Need::Required)
        .option("--limit", "L", "строки")
        .flag("--yes", "да")
        .argument("MORE", "еще", Arity::OneOrMore, Need::Optional);
    EXPECT_EQ(syntax.usage("report"), "report IMAGE.bbd --doc N [--limit L] [--yes] MORE...");
    syntax.synopsis("report (особая форма)");
    EXPECT_EQ(syntax.usage("report"), "report (особая форма)");
}

TEST(CommandSyntax, LongHelpTextsWrapInTheirColumn)
{
    const std::string entry = helpEntry("--a-rather-long-option \"dd.MM.yyyy hh:mm\"",
        "очень длинное описание параметра, которое не помещается в одну строку справки и переносится");
    std::istringstream lines(entry);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "  --a-rather-long-option \"dd.MM.yyyy hh:mm\""); // the text starts on the next line
    int count = 0;
    for (; std::getline(lines, line); ++count) {
        EXPECT_EQ(line.rfind(std::string(26, ' '), 0), 0u) << line;
        EXPECT_LE(displayWidth(line), 79u) << line;
    }
    EXPECT_EQ(count, 2);
}

} // namespace
} // namespace kestrel::cli
