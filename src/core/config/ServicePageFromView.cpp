#include "core/config/ServicePageFromView.h"

namespace kestrel {

namespace {

IdentificationTexts identificationTexts(const IdentificationView& view)
{
    IdentificationTexts texts;
    texts.eRegType = view.eRegType;
    texts.eRegNum = view.eRegNum;
    texts.eRegYear = view.eRegYear;
    texts.eRegProd = view.eRegProd;
    texts.eRegSetupName = view.eRegSetupName;
    texts.eRegSetup = view.eRegSetup;
    texts.eMarka = view.eMarka;
    texts.eNumber = view.eNumber;
    texts.eYear = view.eYear;
    texts.eProd = view.eProd;
    texts.eOwner = view.eOwner;
    texts.eSumGruz = view.eSumGruz;
    texts.eGruz1 = view.eGruz1;
    texts.eGruz2 = view.eGruz2;
    texts.eGroup = view.eGroup;
    texts.eSrok = view.eSrok;
    texts.eEnter = view.eEnter;
    return texts;
}

} // namespace

ServicePage servicePageFromView(const MainView& view, const ClockSetting& clock)
{
    ServicePage page;
    page.clock = clock;
    page.identification = identificationTexts(view.identification);

    const SettingsView& settings = view.settings;
    page.switches = settings.switches;
    for (std::size_t i = 0; i < page.thresholds.size(); ++i)
        page.thresholds[i] = std::to_string(settings.thresholds[i]);
    for (std::size_t row = 0; row < page.vylet.size(); ++row)
        page.vylet[row] = {settings.vylet[row][1], settings.vylet[row][2]};
    // A sensor row the list does not have reads as the zeros of an empty list.
    for (std::size_t k = 0; k < page.calibr.size(); ++k) {
        const auto* sub = k < settings.calibr.size() ? &settings.calibr[k].subItems : nullptr;
        page.calibr[k][0] = sub && sub->size() > 0 ? (*sub)[0] : "0";
        page.calibr[k][1] = sub && sub->size() > 1 ? (*sub)[1] : "0";
    }
    return page;
}

} // namespace kestrel
