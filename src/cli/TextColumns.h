#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kestrel::cli {

// Terminal columns of a UTF-8 text: one per code point.
std::size_t displayWidth(const std::string& text);

// The text padded with blanks to `width` columns, on the left when `right` is set.
std::string padded(const std::string& text, std::size_t width, bool right);

// The rows as lines of columns two blanks apart, each as wide as its widest text;
// columns for which `rightAligned` holds are aligned right. No trailing blanks.
std::string formatColumns(const std::vector<std::vector<std::string>>& rows, const std::function<bool(std::size_t)>& rightAligned);

// A CSV field (RFC 4180): quoted only where a comma, quote or line end needs it.
std::string csvField(const std::string& text);

} // namespace kestrel::cli
