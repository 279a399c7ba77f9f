#pragma once

#include "core/config/ServicePage.h"

#include <nlohmann/json.hpp>

#include <string>

namespace kestrel::cli {

// The options of write-config turned into what the window's controls would hold.
// Every function throws UsageError for a text that no control could hold (an
// impossible date, an unknown control name, a value of the wrong kind, a text longer
// than the control's input limit); values a control can hold but the write-back
// refuses (a year out of range, a capacity that is no number) pass through, so the
// write-back's own checks answer them as in the window.

// --clock "dd.MM.yyyy hh:mm[:ss]": the date and time pickers. Years 2000–2099 only,
// the recorder's clock counts no others.
ClockSetting parseClockOption(const std::string& text);

// --ident: edit texts by control name; eRegSetup is a date "dd.MM.yyyy".
void applyIdentificationJson(const nlohmann::json& document, IdentificationTexts& texts);

// --normalisation "q0/qnom;q0/qnom;q0/qnom;q0/qnom": the "Qo" and "Qном" texts of the four rows.
void applyNormalisationOption(const std::string& text, ServicePage& page);

// --program: switch ticks (booleans), spin values (integers within the spin's range),
// and sgVylet as 16 pairs [code, load] of texts.
void applyProgramJson(const nlohmann::json& document, ServicePage& page);

// The JSON file named by `option`; FileError when it cannot be read, UsageError when
// it holds no JSON.
nlohmann::json readJsonFile(const std::string& path, const std::string& option);

// Characters of a UTF-8 text, as an edit field with an input limit counts them.
std::size_t characterCount(const std::string& text);

} // namespace kestrel::cli
