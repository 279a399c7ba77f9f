#include "core/reports/ReportDispatch.h"
#include "core/text/ControlCharacters.h"
#include "core/text/SaveNameProposal.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ControlCharacters, ControlsAndBrokenBytesAreReplacedCyrillicStays)
{
    EXPECT_EQ(replaceControlCharacters("КПП\x1b[31m 16/20", "?"), "КПП?[31m 16/20");
    EXPECT_EQ(replaceControlCharacters("a\tb\nc\x7f", "?"), "a?b?c?");
    EXPECT_EQ(replaceControlCharacters("\xc2\x9b" "2J \xc2\xa0№", "?"), "?2J \xc2\xa0№"); // C1 CSI; no-break space stays
    EXPECT_EQ(replaceControlCharacters("\x9b\xff\xc3", "?"), "???");                     // not UTF-8
    EXPECT_EQ(replaceControlCharacters("\xc0\x9b|\xe0\x80\x9b", "?"), "??|???");         // overlong forms
    EXPECT_EQ(replaceControlCharacters("Ёё €", "\xef\xbf\xbd"), "Ёё €");
}

TEST(SaveNameProposal, EveryCharacterNoFileNameHoldsBecomesAnUnderscore)
{
    // Every recorder number has a "/"; the reading date keeps the described "_" and loses ":".
    EXPECT_EQ(dataFileNameProposal("07.12.2026 14:30 ", "123/25"), "Данные от 07_12_2026 1430   РП №123_25");
    EXPECT_EQ(saveNameProposal("a\\b*c?d\"e<f>g|h\x01i\x1bj:k"), "a_b_c_d_e_f_g_h_i_jk");
    EXPECT_EQ(reportSaveNameProposal("ПРОТОКОЛ №2 от 12.03.2006 10:45   РП №77/06"),
        "ПРОТОКОЛ №2 от 12_03_2006 1045   РП №77_06");
}

} // namespace
} // namespace kestrel
