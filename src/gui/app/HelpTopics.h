#pragma once

#include <QString>

namespace kestrel::gui {

// Help context of the contents page; also the window's and the page control's.
inline constexpr int kHelpContents = 9999;
// The history page and what it shows: the page, the reading archive, the design working
// period (with the passport's service life) and the verdicts.
inline constexpr int kHelpHistory = 21;
inline constexpr int kHelpArchive = 22;
inline constexpr int kHelpDesignLife = 23;
inline constexpr int kHelpLifeVerdicts = 24;
inline constexpr int kHelpFleet = 25;
inline constexpr int kHelpTeamServer = 26;
// Help contexts carried by widgets and actions as this dynamic property.
inline constexpr const char* kHelpContextProperty = "helpContext";

// The topic file of a help context in the help folder: "index.html" for the contents,
// "context-N.html" otherwise; the contents when the topic is missing.
QString helpTopicFile(const QString& helpFolder, int context);

} // namespace kestrel::gui
