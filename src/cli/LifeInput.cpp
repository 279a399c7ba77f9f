#include "cli/LifeInput.h"

#include "cli/ArchiveOption.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/life/DesignDuty.h"
#include "core/life/LifeHistory.h"

namespace kestrel::cli {

namespace {

DateTime readingOf(const MemoryImage& image)
{
    try {
        return stampToDateTime(stampAt(image, layout::kReadingStamp));
    } catch (const DateConversionError&) {
        return 0.0;
    }
}

// The options given, checked; `design` keeps what they do not name. The crane's group
// and its classes are one choice: naming one of them drops the other one kept before,
// unless both are named (and then they must agree).
bool applyDesignOptions(const ParsedArgs& args, DesignClasses& design)
{
    bool given = false;
    const auto take = [&](const char* option, std::string& field, bool (*valid)(const std::string&),
                          const char* form) {
        const auto value = args.value(option);
        if (!value)
            return false;
        if (!valid(*value))
            throw UsageError(std::string(option) + ": " + form + ", а не «" + *value + "»");
        field = *value;
        given = true;
        return true;
    };
    const bool group = take("--group", design.craneGroup,
        [](const std::string& t) { return craneGroupNumber(t).has_value(); }, "группа крана пишется как A1…A8");
    const bool classes = take("--design", design.craneDesign,
        [](const std::string& t) { return parseDesignClasses(t).has_value(); }, "классы крана пишутся как «U5 Q3»");
    take("--winch1", design.winch1Group, [](const std::string& t) { return winchGroupNumber(t).has_value(); },
        "группа лебедки пишется как M1…M8");
    take("--winch2", design.winch2Group, [](const std::string& t) { return winchGroupNumber(t).has_value(); },
        "группа лебедки пишется как M1…M8");
    if (group && !classes)
        design.craneDesign.clear();
    if (classes && !group)
        design.craneGroup.clear();
    if (group && classes) {
        if (const std::string problem = designProblem(design); !problem.empty())
            throw UsageError("--group и --design: " + problem);
    }
    return given;
}

} // namespace

void declareLifeOptions(CommandSyntax& syntax)
{
    syntax.option("--archive", "DB", "архив считываний (по умолчанию архив пользователя, если он есть)")
        .option("--group", "G", "группа классификации крана A1…A8 вместо паспортной; сохраняется в архиве")
        .option("--design", "\"Ux Qy\"", "классы использования и нагружения крана, например \"U5 Q3\"; "
                                           "сохраняются в архиве")
        .option("--winch1", "Mx", "группа лебедки №1 M1…M8; сохраняется в архиве")
        .option("--winch2", "Mx", "группа лебедки №2 M1…M8; сохраняется в архиве");
}

LifeOfImage assessImage(const ParsedArgs& args, const MemoryImage& image, const DisplayLocale& locale)
{
    std::vector<HistoryInput> readings;
    DesignClasses design;
    const auto archive = openArchiveOption(args, true);
    if (archive) {
        const CraneKey crane{fixedTextTrimmed(image, layout::kCraneType, 32),
            fixedTextTrimmed(image, layout::kCraneSerial, 16)};
        design = archive->design(crane);
        if (applyDesignOptions(args, design))
            archive->setDesign(crane, design);
        // The readings before this one; a later one would not be this reading's history.
        // A damaged earlier reading would count wrong cycles: left out, and said.
        std::vector<std::string> notes;
        const DateTime reading = readingOf(image);
        for (const StoredReading& stored : archive->readings(fixedTextTrimmed(image, layout::kRecorderSerial, 16))) {
            if (!(stored.reading < reading))
                continue;
            try {
                if (const auto earlier = archive->image(stored.id); earlier && *earlier != image)
                    readings.push_back({stored.id, *earlier});
            } catch (const DamagedReadingError& error) {
                notes.push_back(std::string(error.what()) + " Срок службы оценен без него.");
            }
        }
        readings.push_back({0, image});
        return {assessLife(readings, design, locale), static_cast<int>(readings.size()), true, std::move(notes)};
    }
    applyDesignOptions(args, design);
    readings.push_back({0, image});
    return {assessLife(readings, design, locale), static_cast<int>(readings.size()), false, {}};
}

} // namespace kestrel::cli
