#pragma once

#include "core/image/DateTime.h"

#include <array>
#include <string>

namespace kestrel {

// RTCDate and RTCTime of the service page: the clock value the write-back sends.
struct ClockSetting {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The passport and recorder edits of the main page as typed (UTF-8), and the
// installation date picker eRegSetup.
struct IdentificationTexts {
    std::string eRegType, eRegNum, eRegYear, eRegProd, eRegSetupName;
    DateTime eRegSetup = 0.0;
    std::string eMarka, eNumber, eYear, eProd, eOwner;
    std::string eSumGruz, eGruz1, eGruz2, eGroup, eSrok, eEnter;
};

// Everything the write-back reads from the window: the operation boxes, the clock
// pickers, the identification edits, the "Qo"/"Qном" texts of lvCalibr, and the
// program settings (switch boxes, spin edit texts, sgVylet cells). The window fills
// it from its widgets, the command line from its options. The write-back unticks the
// box of each operation whose block it has written.
struct ServicePage {
    bool chbSetRTC = false;
    bool chbEditPKR = false;
    bool chbNormir = false;
    bool chbProgram = false;
    bool chbErase = false;

    ClockSetting clock;
    IdentificationTexts identification;

    // lvCalibr rows 0..3: columns "Qo" and "Qном" as shown (integers, or volts "0.00").
    std::array<std::array<std::string, 2>, 4> calibr{};

    // chbTest, chbStop1, chbStop2, chbUnload, chbStopSens.
    std::array<bool, 5> switches{true, true, true, true, true};
    // LowSpeed1 … SensEnable in the order of the program block, as the spin edits hold
    // them (AverTime in milliseconds).
    std::array<std::string, 13> thresholds{"50", "50", "105", "115", "110", "120", "75", "6", "5", "-6", "1000",
        "170", "150"};
    // sgVylet rows 1..16: columns "Код датчика" and "Нагрузка, %".
    std::array<std::array<std::string, 2>, 16> vylet{};
};

} // namespace kestrel
