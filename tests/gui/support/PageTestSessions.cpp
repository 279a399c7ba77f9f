#include "gui/support/PageTestSessions.h"

#include "core/demo/DemoImage.h"
#include "core/pipeline/Pipeline.h"
#include "core/ui/ScriptedUserInterface.h"

#include <stdexcept>

namespace kestrel::gui::test {

Session processedSession(const MemoryImage& image)
{
    Session session;
    session.locale = DisplayLocale::russian();
    session.image = image;
    resetPeriodStart(session);
    ScriptedUserInterface ui;
    processImage(session, ui);
    if (!ui.messages.empty())
        throw std::runtime_error("the pipeline complained: " + ui.messages.front());
    return session;
}

Session demoSession(std::uint32_t seed) { return processedSession(makeDemoImage(seed)); }

} // namespace kestrel::gui::test
