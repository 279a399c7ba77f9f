#pragma once

#include "core/image/DateTime.h"
#include "core/reports/DocumentLines.h"
#include "core/reports/ReportInput.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kestrel::test {

// A main window filled by hand, as after loading a reading of recorder 77.
struct ReportFixture {
    MainView view;
    CycleRows cycleRows{};
    StatisticsBlocks stats{};
    DisplayLocale locale = DisplayLocale::russian();

    ReportFixture()
    {
        IdentificationView& id = view.identification;
        id.eMarka = "Кондор 16/32";
        id.eNumber = "1234";
        id.eYear = "1987";
        id.eProd = "ОАО \"Подъемтрансмаш\"";
        id.eOwner = "Порт & терминал";
        id.eSrok = "25";
        id.eSumGruz = "20";
        id.eGruz1 = "16";
        id.eGruz2 = "4";
        id.eGroup = "А6";
        id.eEnter = "12.05.1988";
        id.eRegType = "РП-02";
        id.eRegNum = "77";
        id.eRegProd = "НПП Технология";
        id.eRegYear = "2004";
        id.eRegSetupName = "Сервис <Юг>";
        id.eRegSetup = encodeDateTime(2005, 6, 15, 0, 0);
        id.eDateCheck = "12.03.2006 10:45 ";
        id.eStartDateCheck = "15.06.2005";
        id.lVersion = "RP02 (версия 2.1.7)";

        view.settings.calibr[0].subItems = {"120", "870", "750", "130"};
        view.settings.calibr[1].subItems = {"118", "866", "748", "119"};

        StatisticsView& st = view.statistics;
        st = {.eKp = "0,42", .eQi = "Q2", .eUi = "U5", .eAi = "A5", .eNcicl = "1530", .eMoto = "812,5",
            .eKranHar = "3,21", .eStop = "3", .eMass = "9876,4", .lvCommon = {}};
        for (std::size_t i = 0; i < st.lvCommon.size(); ++i)
            st.lvCommon[i] = {"w1-" + std::to_string(i), "w2-" + std::to_string(i)};

        view.distribution.lvLoad = {{"1", {"0 - 20%", "700", "600", "100"}},
            {"2", {"20 - 40%", "500", "380", "120"}}, {"3", {"40 - 60%", "330", "220", "110"}}};
        stats[kWinch1].capacity = 16.0f;
        stats[kWinch2].capacity = 4.0f;
        stats[kWinch1].totalCycles = 1200;
        stats[kWinch2].totalCycles = 330;

        // Six working cycles, the third of them without a valid stamp.
        const int loads[6][2] = {{50, 0}, {100, 25}, {0, 0}, {75, 100}, {5, 10}, {20, 20}};
        for (int k = 0; k < 6; ++k) {
            cycleRows[static_cast<std::size_t>(k)].winch1Load = loads[k][0];
            cycleRows[static_cast<std::size_t>(k)].winch2Load = loads[k][1];
            CycleListRow row;
            row.caption = k == 2 ? "" : "1" + std::to_string(k) + ".03.2006 08:15 ";
            row.subItems = {std::to_string(loads[k][0]) + "%", std::to_string(loads[k][1]) + "%", "8,0 т",
                k == 3 ? "Стоп(Л1) " : ""};
            view.lvLast.push_back(row);
        }
        view.lvStop = {{"02.03.2006 11:00 ", {"110%", "0%", "17,6 т", "Стоп(Л1) "}},
            {"", {"0%", "0%", "0,00 т", ""}}, {"01.03.2006 09:30 ", {"0%", "115%", "4,6 т", "Стоп(Л2)"}}};
    }

    ReportInput input() const { return {view, cycleRows, stats, locale}; }
};

// Index of the first line equal to `text`, or lines.size().
inline std::size_t indexOf(const DocumentLines& lines, const std::string& text, std::size_t from = 0)
{
    return static_cast<std::size_t>(std::find(lines.begin() + static_cast<long>(from), lines.end(), text) - lines.begin());
}

inline bool contains(const DocumentLines& lines, const std::string& text)
{
    return indexOf(lines, text) != lines.size();
}

} // namespace kestrel::test
