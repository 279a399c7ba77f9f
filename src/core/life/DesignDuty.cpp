#include "core/life/DesignDuty.h"

#include <algorithm>
#include <array>
#include <string>

namespace kestrel {

namespace {

// Upper limits of the usage classes U0..U8 (total working cycles) and of the load
// classes Q1..Q4 (the load spectrum factor Kp).
constexpr std::array<double, 9> kUsageLimits{16000, 32000, 63000, 125000, 250000, 500000, 1000000, 2000000, 4000000};
constexpr std::array<double, 4> kLoadLimits{0.125, 0.25, 0.5, 1.0};
// Groups 1..7: the largest C·Kp of the class pairs with load + usage − 2 = group.
constexpr std::array<double, 7> kGroupDuties{8000, 16000, 32000, 63000, 125000, 250000, 500000};

// Takes one letter from the front: the Latin one (either case) or its Cyrillic look-alike
// in UTF-8 (either case), as engineers type it on either keyboard layout.
bool takeLetter(std::string_view& text, char latin, std::string_view cyrillicUpper, std::string_view cyrillicLower)
{
    if (!text.empty() && (text.front() == latin || text.front() == latin + ('a' - 'A'))) {
        text.remove_prefix(1);
        return true;
    }
    for (std::string_view letter : {cyrillicUpper, cyrillicLower}) {
        if (!letter.empty() && text.starts_with(letter)) {
            text.remove_prefix(letter.size());
            return true;
        }
    }
    return false;
}

// A single digit between `lowest` and `highest` and nothing after it.
std::optional<int> singleDigit(std::string_view text, int lowest, int highest)
{
    if (text.size() != 1 || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    const int value = text.front() - '0';
    if (value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::optional<int> letterAndDigit(std::string_view text, char latin, std::string_view upper, std::string_view lower,
    int lowest, int highest)
{
    text = trimmedEntry(text);
    if (!takeLetter(text, latin, upper, lower))
        return std::nullopt;
    return singleDigit(text, lowest, highest);
}

} // namespace

std::string_view trimmedEntry(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\0'))
        text.remove_suffix(1);
    return text;
}

std::optional<double> designDutyOfGroup(int group)
{
    if (group < 1 || group > static_cast<int>(kGroupDuties.size()))
        return std::nullopt;
    return kGroupDuties[static_cast<std::size_t>(group - 1)];
}

std::optional<double> designDutyOfClasses(int usageClass, int loadClass)
{
    if (usageClass < 0 || usageClass >= static_cast<int>(kUsageLimits.size()) || loadClass < 1
        || loadClass > static_cast<int>(kLoadLimits.size()))
        return std::nullopt;
    return kUsageLimits[static_cast<std::size_t>(usageClass)] * kLoadLimits[static_cast<std::size_t>(loadClass - 1)];
}

std::optional<int> craneGroupNumber(std::string_view text)
{
    return letterAndDigit(text, 'A', "\xD0\x90", "\xD0\xB0", 1, 8); // А, а
}

std::optional<int> winchGroupNumber(std::string_view text)
{
    return letterAndDigit(text, 'M', "\xD0\x9C", "\xD0\xBC", 1, 8); // М, м
}

std::optional<DesignUsageLoad> parseDesignClasses(std::string_view text)
{
    text = trimmedEntry(text);
    const auto blank = text.find_first_of(" \t");
    if (blank == std::string_view::npos)
        return std::nullopt;
    const auto usage = letterAndDigit(text.substr(0, blank), 'U', {}, {}, 0, 9);
    const auto load = letterAndDigit(text.substr(blank), 'Q', {}, {}, 1, 4);
    if (!usage || !load)
        return std::nullopt;
    return DesignUsageLoad{*usage, *load};
}

int craneGroupOfClasses(const DesignUsageLoad& classes)
{
    return std::clamp(classes.loadClass + classes.usageClass - 2, 1, 8);
}

std::string designProblem(const DesignClasses& design)
{
    const auto quoted = [](const std::string& text) { return ", а не «" + text + "»."; };
    const auto group = craneGroupNumber(design.craneGroup);
    const auto classes = parseDesignClasses(design.craneDesign);
    if (!design.craneGroup.empty() && !group)
        return "Расчетная группа крана указывается как A1…A8" + quoted(design.craneGroup);
    if (!design.craneDesign.empty() && !classes)
        return "Классы крана указываются как «U5 Q3»" + quoted(design.craneDesign);
    if (!design.winch1Group.empty() && !winchGroupNumber(design.winch1Group))
        return "Группа лебедки №1 указывается как M1…M8" + quoted(design.winch1Group);
    if (!design.winch2Group.empty() && !winchGroupNumber(design.winch2Group))
        return "Группа лебедки №2 указывается как M1…M8" + quoted(design.winch2Group);
    if (group && classes && craneGroupOfClasses(*classes) != *group)
        return "Группа A" + std::to_string(*group) + " не соответствует классам U" + std::to_string(classes->usageClass)
            + " Q" + std::to_string(classes->loadClass) + " (им соответствует группа A"
            + std::to_string(craneGroupOfClasses(*classes)) + "): укажите что-то одно или согласуйте их.";
    return {};
}

} // namespace kestrel
