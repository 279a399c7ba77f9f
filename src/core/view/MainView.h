#pragma once

#include "core/image/DateTime.h"

#include <array>
#include <string>
#include <vector>

namespace kestrel {

// Every text the main window shows, as plain data. The core fills it; the GUI
// copies it into widgets, and for documents builds it back from the widgets, so
// a document always matches the screen. Field names are the widgets' names.

struct IdentificationView {
    // Crane passport
    std::string eMarka, eNumber, eYear, eProd, eOwner, eSrok, eSumGruz, eGruz1, eGruz2, eGroup, eEnter;
    // Recorder
    std::string eRegType, eRegNum, eRegProd, eRegYear, eRegSetupName;
    DateTime eRegSetup = 0.0; // the date picker's value
    // Reporting period and last operations
    std::string eChangePassport, eChangeRTC, eDateCheck, eStartDateCheck, eProgramChange;
    std::string lVersion;

    bool operator==(const IdentificationView&) const = default;
};

struct ListRow {
    std::string caption;
    std::vector<std::string> subItems;

    bool operator==(const ListRow&) const = default;
};

struct SettingsView {
    // chbTest, chbStop1, chbStop2, chbUnload, chbStopSens: ticked as the window is designed.
    std::array<bool, 5> switches{true, true, true, true, true};
    // LowSpeed1 .. SensEnable as the spin fields show them (AverTime in ms); design start values.
    std::array<int, 13> thresholds{50, 50, 105, 115, 110, 120, 75, 6, 5, -6, 1000, 170, 150};
    // sgVylet rows 1..16: zone number, sensor code, permitted load.
    std::array<std::array<std::string, 3>, 16> vylet{};
    // lvCalibr: one row per sensor.
    std::vector<ListRow> calibr;

    SettingsView();

    bool operator==(const SettingsView&) const = default;
};

struct StatisticsView {
    std::string eKp, eQi, eUi, eAi, eNcicl, eMoto, eKranHar, eStop, eMass;
    // lvCommon value columns (winch 1, winch 2) of its seven rows.
    std::array<std::array<std::string, 2>, 7> lvCommon{};

    bool operator==(const StatisticsView&) const = default;
};

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
    std::string label;

    bool operator==(const ChartPoint&) const = default;
};

struct DistributionView {
    int step = 20; // rgStep
    // lvLoad: caption = zone number; sub-items: range text, crane, winch 1, winch 2.
    std::vector<ListRow> lvLoad;
    // Chart1 series: crane, winch 1, winch 2.
    std::array<std::vector<ChartPoint>, 3> series;
    std::array<bool, 3> shown{true, true, true}; // chbKran, chbLeb1, chbLeb2
    double leftAxisMaximum = 353.0;
    bool legendVisible = true;

    bool operator==(const DistributionView&) const = default;
};

// A row of lvLast / lvStop. Icons index the image list (-1 = none).
struct CycleListRow {
    std::string caption;                // date and time
    std::array<std::string, 4> subItems; // winch 1, winch 2, mass, state
    int icon = -1;
    int stateIcon = -1;

    bool operator==(const CycleListRow&) const = default;
};

struct MainView {
    IdentificationView identification;
    SettingsView settings;
    StatisticsView statistics;
    DistributionView distribution;
    std::vector<CycleListRow> lvLast;
    std::vector<CycleListRow> lvStop;

    bool operator==(const MainView&) const = default;
};

// Fixed captions of the lists and settings the window is built with.
inline constexpr std::array<const char*, 7> kCommonRowCaptions = {"Коэф. распределения нагрузки (Кm)",
    "Режим нагружения (L)", "Класс использования (T)", "Группа режима (M)", "Характеристическое число",
    "Суммарное число рабочих циклов", "Суммарная масса поднятых грузов, т"};

inline constexpr std::array<const char*, 13> kThresholdNames = {"LowSpeed1", "LowSpeed2", "Stop1", "Stop2", "Stop",
    "StopMax", "UpEnable", "CycleStart", "CycleEnd", "StopUnload", "AverTime", "StopSens", "SensEnable"};

inline constexpr std::array<const char*, 5> kSwitchNames = {"chbTest", "chbStop1", "chbStop2", "chbUnload", "chbStopSens"};

} // namespace kestrel
