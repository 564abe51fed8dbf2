#include "shell/settings.h"

#include "platform/runtime.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"

namespace corvane {

std::array<SettingRow, kSettingCount> settingRows(mKesta& k) {
    return {{
        {"Form", "Position", "2", &k.pnPosOptNum},
        {"Form", "Left", "0", &k.pMonitorLeft},
        {"Form", "Top", "0", &k.pMonitorTop},
        {"Form", "Width", "10", &k.pMonitorWidth},
        {"Form", "State", "0", &k.pnMonitorHidden},
        {"Options", "ShowTop", "1", &k.pnShowTop},
        {"Options", "Upright", "1", &k.pnUpright},
        {"Options", "LowBound", "25", &k.pnLowUpper},
        {"Options", "MidBound", "50", &k.pnMidUpper},
        {"Options", "EnableAlarm", "1", &k.pnAlarmEnabled},
        {"Options", "SoundFile", nullptr, &k.psWavFilePath},
        {"Options", "ShowHelp", "1", &k.pnShowHelpNote},
        {"Options", "FullLife", nullptr, &k.plFullLifeSaved},
        {"Options", "LowColor", "&HFFF&", &k.plColor[0]},
        {"Options", "MidColor", "&HFFFF&", &k.plColor[1]},
        {"Options", "HighColor", "&HFF00&", &k.plColor[2]},
        {"Options", "ACColor", "&HFF0000", &k.plColor[3]},
        {"Options", "BGColor", "&H808080", &k.plColor[4]},
        {"Options", "GridColor", "&HFFFFFF", &k.plColor[5]},
        {"Options", "BorderColor", "&HFFFFFF", &k.plColor[6]},
    }};
}

namespace {

struct FromText {
    const std::string& text;
    void operator()(std::int16_t* v) const { *v = num::toInt16(num::valPrefix(text)); }
    void operator()(std::int32_t* v) const { *v = num::toInt32(num::valPrefix(text)); }
    void operator()(float* v) const { *v = num::toSingle(num::valPrefix(text)); }
    void operator()(std::string* v) const { *v = text; }
};

struct ToText {
    std::string operator()(const std::int16_t* v) const { return num::toText(*v); }
    std::string operator()(const std::int32_t* v) const { return num::toText(*v); }
    std::string operator()(const float* v) const { return num::toText(*v); }
    std::string operator()(const std::string* v) const { return *v; }
};

}  // namespace

void loadSettings(SettingsStore& store, mKesta& k) {
    for (const SettingRow& row : settingRows(k)) {
        const std::string text =
            store.getSetting(kAppName, row.section, row.key, row.defaultText ? row.defaultText : "");
        std::visit(FromText{text}, row.variable);
    }
}

void saveSettings(SettingsStore& store, mKesta& k) {
    for (const SettingRow& row : settingRows(k))
        store.saveSetting(kAppName, row.section, row.key, std::visit(ToText{}, row.variable));
    store.commit();
}

}  // namespace corvane
