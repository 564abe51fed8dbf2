#include "platform/buffered_store.h"

namespace corvane {

std::string BufferedSettingsStore::getSetting(const std::string& app, const std::string& section,
                                              const std::string& key, const std::string& defaultText) {
    for (auto it = pending_.rbegin(); it != pending_.rend(); ++it)
        if (it->app == app && it->section == section && it->key == key) return it->text;
    return readStored(app, section, key).value_or(defaultText);
}

void BufferedSettingsStore::saveSetting(const std::string& app, const std::string& section,
                                        const std::string& key, const std::string& text) {
    pending_.push_back({app, section, key, text});
}

void BufferedSettingsStore::commit() {
    if (pending_.empty()) return;
    std::vector<SettingWrite> writes;
    writes.swap(pending_);
    writeAll(writes);
}

}  // namespace corvane
