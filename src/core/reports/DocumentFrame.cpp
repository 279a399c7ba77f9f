#include "core/reports/DocumentFrame.h"

#include "core/pipeline/Pipeline.h"
#include "core/reports/HtmlEscape.h"

namespace kestrel {

void writeDocumentOpening(DocumentLines& lines, const std::string& fullTitle)
{
    lines.emplace_back("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">");
    lines.emplace_back("<HTML>");
    lines.emplace_back("<HEAD>");
    lines.push_back("<TITLE>" + escapeHtml(fullTitle) + "</TITLE>");
    lines.emplace_back("<META http-equiv=Content-Language content=en-us>");
    lines.emplace_back("<META http-equiv=Content-Type content=\"text/html; charset=windows-1251\">");
    lines.push_back(std::string("<META name=GENERATOR content=\"") + kApplicationTitle + "\">");
    lines.emplace_back("</HEAD>");
    lines.emplace_back("<BODY  style=\"font-size: 12pt; margin-left: 0; margin-top: 0; margin-bottom: 0\">");
}

void writeDocumentClosing(DocumentLines& lines)
{
    lines.emplace_back("</BODY>");
    lines.emplace_back("</HTML>");
}

} // namespace kestrel
