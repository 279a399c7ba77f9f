#pragma once

#include "core/text/DisplayLocale.h"
#include "core/view/MainView.h"

#include <ostream>
#include <string>
#include <string_view>

namespace kestrel::cli {

// Where the walk over the window's texts goes: JSON or plain text.
class ViewSink {
public:
    virtual ~ViewSink() = default;
    virtual void beginGroup(std::string_view key) = 0; // an object
    virtual void endGroup() = 0;
    virtual void beginList(std::string_view key) = 0; // an array of groups
    virtual void endList() = 0;
    virtual void text(std::string_view key, std::string_view value) = 0;
    virtual void number(std::string_view key, double value) = 0;
    virtual void flag(std::string_view key, bool value) = 0;
};

// Everything the main window shows, in the order of its pages.
void printView(const MainView& view, const DisplayLocale& locale, ViewSink& sink);

void printViewAsJson(const MainView& view, const DisplayLocale& locale, std::ostream& out);
void printViewAsText(const MainView& view, const DisplayLocale& locale, std::ostream& out);

} // namespace kestrel::cli
