#pragma once

#include <string>
#include <string_view>

namespace kestrel::html {

// The fixed pieces every document is assembled from. They are written as they
// stand; only texts copied from the window are escaped.

inline constexpr std::string_view kH1Open = "<H1 align=\"center\">";
inline constexpr std::string_view kH1Close = "</H1>";
inline constexpr std::string_view kH2Open = "<H2 align=\"left\"><U>";
inline constexpr std::string_view kH2Close = "</H2></U>";
inline constexpr std::string_view kParagraphOpen = "<P align=\"left\">";
inline constexpr std::string_view kParagraphClose = "</P>";
inline constexpr std::string_view kLineBreak = "<BR>";

inline constexpr std::string_view kPlainTable = "<TABLE style=\"font-size: 12pt; margin-top: 5\" cellpadding=\"0\" "
                                                "cellspacing=\"0\" width=\"100%\" id=\"AutoNumber1\">";
inline constexpr std::string_view kRuledTable = "<TABLE border=\"1\" bordercolor=\"#111111\" style=\"font-size: 12pt; "
                                                "margin-top: 5\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\" "
                                                "id=\"AutoNumber1\">";

inline constexpr std::string_view kFirstRowOpen = "<TR>";
inline constexpr std::string_view kNextRowOpen = "</TR><TR>";
inline constexpr std::string_view kTableClose = "</TR></TABLE>";
inline constexpr std::string_view kTableCloseWithBreak = "</TR></TABLE><BR>";
inline constexpr std::string_view kHeaderCellClose = "</TH>";
inline constexpr std::string_view kDataCellClose = "</TD>";

// The two-line header of the table with room for the actual loads.
inline constexpr std::string_view kHeaderCellRowSpan4 = "<TH width=\"4%\" align=\"center\" rowspan=\"2\">";
inline constexpr std::string_view kHeaderCellRowSpan20 = "<TH width=\"20%\" align=\"center\" rowspan=\"2\">";
inline constexpr std::string_view kHeaderCellColSpan28 = "<TH width=\"28%\" align=\"center\" colspan=\"2\">";
inline constexpr std::string_view kDataCellColSpan28 = "<TD width=\"28%\" colspan=\"2\" align=\"center\">&nbsp;";

// Opening tags of cells `width` percent wide. A data cell starts with a
// non-breaking space so that an empty one is not collapsed by the viewer.
const std::string& headerCell(int width);
const std::string& dataCell(int width);
const std::string& leftDataCell(int width);

// `count` underscores: blanks to be filled in by hand.
std::string underscores(int count);

} // namespace kestrel::html
