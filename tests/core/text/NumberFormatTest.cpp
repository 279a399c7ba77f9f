#include "core/text/DisplayLocale.h"
#include "core/text/NumberFormat.h"
#include "core/text/PlatformInteger.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace kestrel {
namespace {

const DisplayLocale kC = DisplayLocale::c();
const DisplayLocale kRussian = DisplayLocale::russian();

TEST(NumberFormat, GeneralFormatHasAtMost15SignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(formatGeneral(16.0f, kC), "16");
    EXPECT_EQ(formatGeneral(12.5f, kRussian), "12,5");
    EXPECT_EQ(formatGeneral(-0.25, kC), "-0.25");
    EXPECT_EQ(formatGeneral(0.1f, kC), "0.100000001490116"); // the float widened, rounded to 15 digits
    EXPECT_EQ(formatGeneral(123456789012345.0, kC), "123456789012345");
    EXPECT_EQ(formatGeneral(1e15, kC), "1E15");
    EXPECT_EQ(formatGeneral(1.5e-6, kRussian), "1,5E-6");
    EXPECT_EQ(formatGeneral(0.00001, kC), "0.00001");
    EXPECT_EQ(formatGeneral(0.0, kC), "0");
}

TEST(NumberFormat, FixedFormatRoundsTheBinaryValue)
{
    EXPECT_EQ(formatFixed(2.675, 2, kC), "2.67"); // 2.67499999...
    EXPECT_EQ(formatFixed(0.05, 1, kRussian), "0,1");
    EXPECT_EQ(formatFixed(-0.004, 2, kC), "0.00");
}

TEST(NumberFormat, ShortDateFollowsThePattern)
{
    const DateTime day = encodeDateTime(2026, 3, 7, 0, 0);
    EXPECT_EQ(formatShortDate(day, kRussian), "07.03.2026");
    EXPECT_EQ(formatShortDate(day, DisplayLocale{'.', "M/d/yy"}), "3/7/26");
    EXPECT_EQ(formatShortDate(encodeDateTime(5, 1, 1, 0, 0), kC), "01.01.0005");
}

TEST(PlatformInteger, HexTextIsUpperCaseAndPadded)
{
    EXPECT_EQ(hexText(0xAB, 2), "AB");
    EXPECT_EQ(hexText(0x7, 4), "0007");
    EXPECT_EQ(hexText(0x12345, 4), "12345");
    EXPECT_EQ(hexText(0xFFFFFFFFu, 1), "FFFFFFFF");
}

// The desktop program sets the C runtime locale from the environment when it starts; on
// a Russian desktop "%.14e" gave "1,6..." and the crane capacity read "1,,6".
TEST(NumberFormat, NothingDependsOnTheCRuntimeLocale)
{
    if (std::setlocale(LC_ALL, "ru_RU.UTF-8") == nullptr)
        GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed (scripts/install-deps.sh generates it)";
    struct RestoreC {
        ~RestoreC() { std::setlocale(LC_ALL, "C"); }
    } restore;

    EXPECT_EQ(formatGeneral(16.0f, kRussian), "16");
    EXPECT_EQ(formatGeneral(0.5, kRussian), "0,5");
    EXPECT_EQ(formatGeneral(0.5, kC), "0.5");
    EXPECT_EQ(formatGeneral(2.5e20, kC), "2.5E20");
    EXPECT_EQ(formatFixed(1234.5, 1, kC), "1234.5");
    EXPECT_EQ(formatFixed(0.125, 2, kRussian), "0,12");
    EXPECT_EQ(formatShortDate(encodeDateTime(2026, 12, 7, 0, 0), kRussian), "07.12.2026");
    EXPECT_EQ(platformStrToInt(" -42"), std::optional<std::int32_t>{-42});
    EXPECT_EQ(platformStrToInt("$7FFF"), std::optional<std::int32_t>{0x7FFF});
}

// Sets environment variables for one test and puts the old values back.
class Environment {
public:
    void set(const char* name, const char* value)
    {
        if (saved_.find(name) == saved_.end()) {
            const char* old = std::getenv(name);
            saved_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~Environment()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(DisplayLocale, SeparatorFollowsNumericCategoryAndDateFollowsTimeCategory)
{
    Environment env;
    env.set("LC_ALL", nullptr);
    env.set("LANG", "en_US.UTF-8");
    env.set("LC_NUMERIC", "ru_RU.UTF-8");
    env.set("LC_TIME", nullptr);
    DisplayLocale locale = DisplayLocale::system();
    EXPECT_EQ(locale.decimalSeparator, ',');
    EXPECT_EQ(locale.shortDateFormat, "M/d/yyyy");

    env.set("LC_NUMERIC", nullptr);
    env.set("LC_TIME", "ru_RU.UTF-8");
    locale = DisplayLocale::system();
    EXPECT_EQ(locale.decimalSeparator, '.');
    EXPECT_EQ(locale.shortDateFormat, "dd.MM.yyyy");

    env.set("LC_ALL", "C"); // over every category
    env.set("LC_NUMERIC", "ru_RU.UTF-8");
    locale = DisplayLocale::system();
    EXPECT_EQ(locale.decimalSeparator, '.');
    EXPECT_EQ(locale.shortDateFormat, "dd.MM.yyyy");
}

} // namespace
} // namespace kestrel
