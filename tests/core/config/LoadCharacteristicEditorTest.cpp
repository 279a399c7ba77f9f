#include "core/config/LoadCharacteristicEditor.h"

#include "core/image/MemoryImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrel;
using Editor = LoadCharacteristicEditor;

namespace {

std::vector<Editor::CodeAndLoad> vyletOf16()
{
    std::vector<Editor::CodeAndLoad> vylet;
    for (int zone = 0; zone < 16; ++zone)
        vylet.push_back({std::to_string(1000 + 10 * zone), std::to_string(90 - zone)});
    return vylet;
}

MemoryImage imageWithAnchors(std::int16_t first, std::int16_t last)
{
    MemoryImage image{};
    writeI16(image, Editor::kFirstZoneCodeOffset, first);
    writeI16(image, Editor::kLastZoneCodeOffset, last);
    return image;
}

// Rows 0 and 2 as the worked example: 5.0 m / 1000 / 100 and 15.0 m / 2000 / 50.
Editor exampleEditor(const std::string& outreachOfRow1, DisplayLocale locale = DisplayLocale::c())
{
    Editor editor(locale);
    editor.open(vyletOf16(), imageWithAnchors(1000, 3000));
    const char separator = locale.decimalSeparator;
    editor.setCell(0, Editor::Outreach, std::string("5") + separator + "0");
    editor.setCell(2, Editor::Outreach, std::string("15") + separator + "0");
    editor.setCell(2, Editor::Code, "2000");
    editor.setCell(2, Editor::Load, "50");
    editor.setCell(1, Editor::Outreach, outreachOfRow1);
    return editor;
}

std::pair<std::string, std::string> codeAndLoad(const Editor& editor, int row)
{
    return {editor.cell(row, Editor::Code), editor.cell(row, Editor::Load)};
}

} // namespace

TEST(LoadCharacteristicEditor, OpensFromVyletAndTheImageAnchors)
{
    Editor editor;
    editor.open(vyletOf16(), imageWithAnchors(-12, 4321));
    EXPECT_EQ(editor.row(0), (Editor::Row{"0", "?", "-12", "100"}));
    EXPECT_EQ(editor.row(1), (Editor::Row{"1  ***", "?", "1010", "89"}));
    EXPECT_EQ(editor.row(10), (Editor::Row{"10", "?", "1100", "80"}));
    // The last zone keeps its load from sgVylet.
    EXPECT_EQ(editor.row(11), (Editor::Row{"11  ***", "?", "4321", "79"}));

    // Reopening forgets the outreach entered before.
    editor.setCell(4, Editor::Outreach, "7.5");
    editor.open(vyletOf16(), imageWithAnchors(-12, 4321));
    EXPECT_EQ(editor.cell(4, Editor::Outreach), "?");
}

TEST(LoadCharacteristicEditor, ClearKeepsZonesAndAnchors)
{
    Editor editor;
    editor.open(vyletOf16(), imageWithAnchors(700, 2500));
    editor.setCell(3, Editor::Outreach, "9");
    editor.clear();
    EXPECT_EQ(editor.row(0), (Editor::Row{"0", "?", "700", "100"}));
    EXPECT_EQ(editor.row(3), (Editor::Row{"3  ***", "?", "?", "?"}));
    EXPECT_EQ(editor.row(11), (Editor::Row{"11  ***", "?", "2500", "?"}));
    EXPECT_EQ(editor.chartPoints().size(), 1u); // zone 11 has no load any more
}

TEST(LoadCharacteristicEditor, InterpolatesBetweenTheNearestCompleteRows)
{
    Editor middle = exampleEditor("10.0");
    EXPECT_FALSE(middle.interpolateRow(1));
    EXPECT_EQ(codeAndLoad(middle, 1), std::make_pair(std::string("1500"), std::string("75")));

    // 100 + (-37.5) truncated toward zero.
    Editor truncated = exampleEditor("12.5");
    EXPECT_FALSE(truncated.interpolateRow(1));
    EXPECT_EQ(codeAndLoad(truncated, 1), std::make_pair(std::string("1750"), std::string("63")));

    // The bounds belong to the range and give the neighbour's own values.
    Editor atUpper = exampleEditor("5.0");
    EXPECT_FALSE(atUpper.interpolateRow(1));
    EXPECT_EQ(codeAndLoad(atUpper, 1), std::make_pair(std::string("1000"), std::string("100")));
    Editor atLower = exampleEditor("15");
    EXPECT_FALSE(atLower.interpolateRow(1));
    EXPECT_EQ(codeAndLoad(atLower, 1), std::make_pair(std::string("2000"), std::string("50")));
}

TEST(LoadCharacteristicEditor, ReadsTheOutreachWithTheLocaleSeparator)
{
    Editor russian = exampleEditor("12,5", DisplayLocale::russian());
    EXPECT_FALSE(russian.interpolateRow(1));
    EXPECT_EQ(codeAndLoad(russian, 1), std::make_pair(std::string("1750"), std::string("63")));

    // A point is not the Russian separator.
    Editor point = exampleEditor("12.5", DisplayLocale::russian());
    EXPECT_EQ(point.interpolateRow(1), Editor::kBadOutreachMessage);
}

TEST(LoadCharacteristicEditor, RefusesOutreachOutsideOrUnreadable)
{
    for (const char* outside : {"4.99", "15.01"}) {
        Editor editor = exampleEditor(outside);
        EXPECT_EQ(editor.interpolateRow(1), Editor::kOutreachOutsideMessage) << outside;
        EXPECT_EQ(codeAndLoad(editor, 1), std::make_pair(std::string("1010"), std::string("89")));
    }
    for (const char* unreadable : {"?", "", "abc", "1e999", "inf", "+-3", "5 m"}) {
        Editor editor = exampleEditor(unreadable);
        EXPECT_EQ(editor.interpolateRow(1), Editor::kBadOutreachMessage) << unreadable;
    }
    // The unreadable outreach is reported even where there is no row above.
    Editor first = exampleEditor("7");
    first.setCell(0, Editor::Outreach, "?");
    EXPECT_EQ(first.interpolateRow(0), Editor::kBadOutreachMessage);
}

TEST(LoadCharacteristicEditor, DoesNothingWithoutACompleteRowOnBothSides)
{
    Editor editor = exampleEditor("10");
    // Row 2 has no complete row below it: rows 3..11 lack an outreach.
    editor.setCell(2, Editor::Outreach, "15");
    EXPECT_FALSE(editor.interpolateRow(2));
    EXPECT_EQ(codeAndLoad(editor, 2), std::make_pair(std::string("2000"), std::string("50")));

    // Row 0 has nothing above it, row 11 nothing below.
    editor.setCell(0, Editor::Outreach, "1");
    EXPECT_FALSE(editor.interpolateRow(0));
    EXPECT_EQ(codeAndLoad(editor, 0), std::make_pair(std::string("1000"), std::string("100")));
    editor.setCell(11, Editor::Outreach, "30");
    EXPECT_FALSE(editor.interpolateRow(11));
    EXPECT_EQ(editor.cell(11, Editor::Code), "3000");
}

TEST(LoadCharacteristicEditor, PassesOverIncompleteRows)
{
    Editor editor;
    editor.open(vyletOf16(), imageWithAnchors(1000, 3000));
    editor.clear();
    editor.setCell(0, Editor::Outreach, "5");
    editor.setCell(11, Editor::Outreach, "16");
    editor.setCell(11, Editor::Load, "45");
    editor.setCell(5, Editor::Outreach, "10.5");
    editor.setCell(4, Editor::Outreach, "20"); // no code or load: not a neighbour
    EXPECT_FALSE(editor.interpolateRow(5));
    // t = 0.5: 1000 + 1000 and 100 - 27.5 truncated.
    EXPECT_EQ(codeAndLoad(editor, 5), std::make_pair(std::string("2000"), std::string("73")));
}

TEST(LoadCharacteristicEditor, NeighboursAtTheSameOutreachGiveTheUpperValues)
{
    Editor editor = exampleEditor("5");
    editor.setCell(2, Editor::Outreach, "5");
    EXPECT_FALSE(editor.interpolateRow(1));
    EXPECT_EQ(codeAndLoad(editor, 1), std::make_pair(std::string("1000"), std::string("100")));

    // A ratio that cannot be formed at the limits of double is refused, not guessed.
    Editor huge = exampleEditor("1e308");
    huge.setCell(0, Editor::Outreach, "-1e308");
    huge.setCell(2, Editor::Outreach, "1e308");
    EXPECT_EQ(huge.interpolateRow(1), Editor::kOutreachOutsideMessage);
}

TEST(LoadCharacteristicEditor, ConfirmsOnlyAFullTable)
{
    Editor editor;
    editor.open(vyletOf16(), imageWithAnchors(1000, 3000));
    editor.setCell(7, Editor::Load, "?");
    EXPECT_EQ(std::get<std::string>(editor.confirm()), Editor::kIncompleteMessage);

    // An emptied cell is not "?": it goes back as it stands; the outreach is never looked at.
    editor.setCell(7, Editor::Load, "");
    const auto confirmed = editor.confirm();
    using Rows = std::array<Editor::CodeAndLoad, Editor::kRows>;
    ASSERT_TRUE(std::holds_alternative<Rows>(confirmed));
    const auto& rows = std::get<Rows>(confirmed);
    EXPECT_EQ(rows[0], (Editor::CodeAndLoad{"1000", "100"}));
    EXPECT_EQ(rows[7], (Editor::CodeAndLoad{"1070", ""}));
    EXPECT_EQ(rows[11], (Editor::CodeAndLoad{"3000", "79"}));
}

TEST(LoadCharacteristicEditor, ChartSkipsRowsThatDoNotConvert)
{
    Editor editor;
    editor.open(vyletOf16(), imageWithAnchors(0, 500));
    editor.setCell(3, Editor::Code, "x");
    editor.setCell(4, Editor::Load, "?");
    editor.setCell(5, Editor::Outreach, "8,5");
    const auto points = editor.chartPoints();
    // Zone 0 has code 0; zones 3 and 4 do not convert; zone 11's code 500 comes first.
    ASSERT_EQ(points.size(), 9u);
    EXPECT_EQ(points.front().code, 500);
    EXPECT_EQ(points[1].code, 1010);
    EXPECT_EQ(points[3].label, "8,5");
}
