#include "cli/ViewPrinter.h"

#include "cli/JsonWriter.h"
#include "core/text/ControlCharacters.h"
#include "core/text/NumberFormat.h"

#include <charconv>
#include <cmath>

namespace kestrel::cli {

namespace {

void listRow(ViewSink& sink, const ListRow& row)
{
    sink.beginGroup({});
    sink.text("caption", row.caption);
    sink.beginList("subItems");
    for (const auto& item : row.subItems)
        sink.text({}, item);
    sink.endList();
    sink.endGroup();
}

void cycleList(ViewSink& sink, std::string_view key, const std::vector<CycleListRow>& rows)
{
    sink.beginList(key);
    for (const auto& row : rows) {
        sink.beginGroup({});
        sink.text("date", row.caption);
        sink.text("winch1", row.subItems[0]);
        sink.text("winch2", row.subItems[1]);
        sink.text("mass", row.subItems[2]);
        sink.text("state", row.subItems[3]);
        sink.number("icon", row.icon);
        sink.number("stateIcon", row.stateIcon);
        sink.endGroup();
    }
    sink.endList();
}

void identification(ViewSink& sink, const IdentificationView& id, const DisplayLocale& locale)
{
    sink.beginGroup("identification");
    const std::pair<const char*, const std::string*> fields[] = {{"eMarka", &id.eMarka}, {"eNumber", &id.eNumber},
        {"eYear", &id.eYear}, {"eProd", &id.eProd}, {"eOwner", &id.eOwner}, {"eSrok", &id.eSrok},
        {"eSumGruz", &id.eSumGruz}, {"eGruz1", &id.eGruz1}, {"eGruz2", &id.eGruz2}, {"eGroup", &id.eGroup},
        {"eEnter", &id.eEnter}, {"eRegType", &id.eRegType}, {"eRegNum", &id.eRegNum}, {"eRegProd", &id.eRegProd},
        {"eRegYear", &id.eRegYear}, {"eRegSetupName", &id.eRegSetupName}, {"eChangePassport", &id.eChangePassport},
        {"eChangeRTC", &id.eChangeRTC}, {"eDateCheck", &id.eDateCheck}, {"eStartDateCheck", &id.eStartDateCheck},
        {"lVersion", &id.lVersion}, {"eProgramChange", &id.eProgramChange}};
    for (const auto& [key, value] : fields)
        sink.text(key, *value);
    // The date picker shows its value in the short date format.
    try {
        sink.text("eRegSetup", formatShortDate(id.eRegSetup, locale));
    } catch (const DateConversionError&) {
        sink.number("eRegSetup", id.eRegSetup);
    }
    sink.endGroup();
}

void statistics(ViewSink& sink, const StatisticsView& st)
{
    sink.beginGroup("statistics");
    const std::pair<const char*, const std::string*> fields[] = {{"eKp", &st.eKp}, {"eQi", &st.eQi},
        {"eUi", &st.eUi}, {"eAi", &st.eAi}, {"eNcicl", &st.eNcicl}, {"eMoto", &st.eMoto},
        {"eKranHar", &st.eKranHar}, {"eStop", &st.eStop}, {"eMass", &st.eMass}};
    for (const auto& [key, value] : fields)
        sink.text(key, *value);
    sink.beginList("lvCommon");
    for (std::size_t i = 0; i < st.lvCommon.size(); ++i) {
        sink.beginGroup({});
        sink.text("caption", kCommonRowCaptions[i]);
        sink.text("winch1", st.lvCommon[i][0]);
        sink.text("winch2", st.lvCommon[i][1]);
        sink.endGroup();
    }
    sink.endList();
    sink.endGroup();
}

void distribution(ViewSink& sink, const DistributionView& d)
{
    static const char* const kSeriesKeys[] = {"crane", "winch1", "winch2"};
    sink.beginGroup("distribution");
    sink.number("step", d.step);
    sink.beginList("lvLoad");
    for (const auto& row : d.lvLoad)
        listRow(sink, row);
    sink.endList();
    sink.beginGroup("chart");
    sink.number("leftAxisMaximum", d.leftAxisMaximum);
    sink.flag("legendVisible", d.legendVisible);
    sink.beginList("series");
    for (std::size_t k = 0; k < d.series.size(); ++k) {
        sink.beginGroup({});
        sink.text("mechanism", kSeriesKeys[k]);
        sink.flag("shown", d.shown[k]);
        sink.beginList("points");
        for (const auto& p : d.series[k]) {
            sink.beginGroup({});
            sink.number("x", p.x);
            sink.number("y", p.y);
            sink.text("label", p.label);
            sink.endGroup();
        }
        sink.endList();
        sink.endGroup();
    }
    sink.endList();
    sink.endGroup();
    sink.endGroup();
}

void settings(ViewSink& sink, const SettingsView& s)
{
    sink.beginGroup("settings");
    sink.beginGroup("switches");
    for (std::size_t i = 0; i < s.switches.size(); ++i)
        sink.flag(kSwitchNames[i], s.switches[i]);
    sink.endGroup();
    sink.beginGroup("thresholds");
    for (std::size_t i = 0; i < s.thresholds.size(); ++i)
        sink.number(kThresholdNames[i], s.thresholds[i]);
    sink.endGroup();
    sink.beginList("sgVylet");
    for (const auto& row : s.vylet) {
        sink.beginGroup({});
        sink.text("zone", row[0]);
        sink.text("code", row[1]);
        sink.text("load", row[2]);
        sink.endGroup();
    }
    sink.endList();
    sink.beginList("lvCalibr");
    for (const auto& row : s.calibr)
        listRow(sink, row);
    sink.endList();
    sink.endGroup();
}

class JsonSink : public ViewSink {
public:
    explicit JsonSink(std::ostream& out) : json_(out) {}
    void beginGroup(std::string_view key) override { json_.beginObject(key); }
    void endGroup() override { json_.endObject(); }
    void beginList(std::string_view key) override { json_.beginArray(key); }
    void endList() override { json_.endArray(); }
    void text(std::string_view key, std::string_view value) override { json_.value(key, value); }
    void number(std::string_view key, double value) override { json_.value(key, value); }
    void flag(std::string_view key, bool value) override { json_.value(key, value); }

private:
    JsonWriter json_;
};

// Indented "key: value" lines; list entries are numbered from 1.
class TextSink : public ViewSink {
public:
    explicit TextSink(std::ostream& out) : out_(out) {}
    void beginGroup(std::string_view key) override
    {
        if (inList())
            key = nextIndexKey();
        if (!key.empty())
            line() << key << ":\n";
        push(false, !key.empty());
    }
    void endGroup() override { pop(); }
    void beginList(std::string_view key) override
    {
        line() << key << ":\n";
        push(true, true);
    }
    void endList() override { pop(); }
    void text(std::string_view key, std::string_view value) override
    {
        if (inList())
            key = nextIndexKey();
        // Texts from the recorder's memory may hold control characters (an ESC in a
        // crane name); they never reach the terminal as such.
        line() << key << ": " << replaceControlCharacters(value, "?") << "\n";
    }
    void number(std::string_view key, double value) override
    {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, value);
        text(key, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
    }
    void flag(std::string_view key, bool value) override { text(key, value ? "да" : "нет"); }

private:
    struct Level {
        bool list;
        int index;
        bool indented;
    };
    bool inList() const { return !levels_.empty() && levels_.back().list; }
    std::string_view nextIndexKey()
    {
        indexKey_ = "[" + std::to_string(++levels_.back().index) + "]";
        return indexKey_;
    }
    std::ostream& line()
    {
        for (std::size_t i = 0; i < indent_; ++i)
            out_ << "  ";
        return out_;
    }
    void push(bool list, bool indented)
    {
        levels_.push_back({list, 0, indented});
        if (indented)
            ++indent_;
    }
    void pop()
    {
        if (levels_.back().indented)
            --indent_;
        levels_.pop_back();
    }

    std::ostream& out_;
    std::vector<Level> levels_;
    std::size_t indent_ = 0;
    std::string indexKey_;
};

} // namespace

void printView(const MainView& view, const DisplayLocale& locale, ViewSink& sink)
{
    sink.beginGroup({});
    identification(sink, view.identification, locale);
    statistics(sink, view.statistics);
    distribution(sink, view.distribution);
    cycleList(sink, "lvLast", view.lvLast);
    cycleList(sink, "lvStop", view.lvStop);
    settings(sink, view.settings);
    sink.endGroup();
}

void printViewAsJson(const MainView& view, const DisplayLocale& locale, std::ostream& out)
{
    JsonSink sink(out);
    printView(view, locale, sink);
}

void printViewAsText(const MainView& view, const DisplayLocale& locale, std::ostream& out)
{
    TextSink sink(out);
    printView(view, locale, sink);
}

} // namespace kestrel::cli
