#include "core/text/SaveNameProposal.h"

#include "core/text/ControlCharacters.h"

namespace kestrel {

std::string saveNameProposal(std::string_view title)
{
    std::string name;
    name.reserve(title.size());
    for (const char ch : replaceControlCharacters(title, "_")) {
        switch (ch) {
        case ':':
            break;
        case '.':
        case '/':
        case '\\':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            name += '_';
            break;
        default:
            name += ch;
        }
    }
    return name;
}

std::string dataFileNameProposal(const std::string& readingDate, const std::string& recorderNumber)
{
    return saveNameProposal("Данные от " + readingDate + "  РП №" + recorderNumber);
}

} // namespace kestrel
