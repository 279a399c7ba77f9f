#pragma once

class QCoreApplication;

namespace kestrel::gui {

// Qt's own texts (Yes/No of the questions, OK/Cancel, the file and print dialogs, the
// context menus of edits) in Russian, like every text of the program, whatever the
// desktop's language. Looked for in Qt's translations folder, then in "translations"
// beside the program (an installed copy on Windows). False when none was found: the
// program still runs, with Qt's English texts.
bool installRussianQtTranslations(QCoreApplication& application);

} // namespace kestrel::gui
