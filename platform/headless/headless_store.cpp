#include "platform/headless/headless_store.h"

namespace corvane {

void MemoryStore::set(const std::string& section, const std::string& key, const std::string& text) {
    for (auto& [s, k, t] : entries_)
        if (s == section && k == key) {
            t = text;
            return;
        }
    entries_.emplace_back(section, key, text);
}

std::optional<std::string> MemoryStore::get(const std::string& section, const std::string& key) const {
    for (const auto& [s, k, t] : entries_)
        if (s == section && k == key) return t;
    return std::nullopt;
}

std::optional<std::string> MemoryStore::readStored(const std::string&, const std::string& section,
                                                   const std::string& key) {
    log_.push_back("GetSetting(" + section + "," + key + ")");
    return get(section, key);
}

void MemoryStore::writeAll(const std::vector<SettingWrite>& writes) {
    if (failWrites) {
        log_.push_back("Commit failed");
        report_("settings could not be written");
        return;
    }
    for (const auto& w : writes) {
        log_.push_back("SaveSetting(" + w.section + "," + w.key + "," + w.text + ")");
        set(w.section, w.key, w.text);
    }
}

}  // namespace corvane
