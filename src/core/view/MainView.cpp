#include "core/view/MainView.h"

namespace kestrel {

SettingsView::SettingsView()
{
    // As the window shows them before the first load: "Датчик №k" with three zeros.
    for (int k = 1; k <= 4; ++k)
        calibr.push_back({"Датчик №" + std::to_string(k), {"0", "0", "0"}});
}

} // namespace kestrel
