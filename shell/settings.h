#pragma once
// The twenty stored preferences: where each lives in the store, its default text, and how its text
// becomes the variable's value and back.

#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace corvane {

class SettingsStore;
class mKesta;

inline constexpr const char* kAppName = "Corvane";

struct SettingRow {
    const char* section;
    const char* key;
    const char* defaultText;  // nullptr: no default is passed (the store gives the empty text)
    std::variant<std::int16_t*, std::int32_t*, float*, std::string*> variable;
};

inline constexpr std::size_t kSettingCount = 20;

// The rows in the order they are loaded and saved, bound to the variables of one module instance.
std::array<SettingRow, kSettingCount> settingRows(mKesta& k);

void loadSettings(SettingsStore& store, mKesta& k);
// Writes every row and commits them as one set.
void saveSettings(SettingsStore& store, mKesta& k);

}  // namespace corvane
