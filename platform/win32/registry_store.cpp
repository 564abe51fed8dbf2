#include "platform/win32/registry_store.h"

#include <windows.h>

#include <cstring>
#include <map>

#include "platform/win32/handles.h"

namespace corvane {

namespace {

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// The value as stored, whatever its type. Not there: nullopt with ERROR_SUCCESS in status.
std::optional<RawValue> readRaw(HKEY key, const std::string& name, LONG& status) {
    RawValue value;
    DWORD size = 0;
    // The value can grow between asking for its size and reading it; ask again until it fits.
    for (int attempt = 0; attempt < 4; ++attempt) {
        value.data.resize(size);
        status = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, size ? value.data.data() : nullptr,
                                  &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            status = ERROR_SUCCESS;
            return std::nullopt;
        }
        if (status == ERROR_SUCCESS && size <= value.data.size()) {
            value.data.resize(size);
            return value;
        }
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return std::nullopt;
    }
    status = ERROR_MORE_DATA;
    return std::nullopt;
}

std::string describe(const std::string& path, LONG status) {
    return "the settings could not be saved to HKEY_CURRENT_USER\\" + path + " (error " +
           std::to_string(status) + "); the previous settings were kept";
}

}  // namespace

std::string sectionKeyPath(const std::string& app, const std::string& section) {
    return std::string(kSettingsRoot) + "\\" + app + "\\" + section;
}

std::optional<std::string> RegistryStore::readStored(const std::string& app, const std::string& section,
                                                     const std::string& key) {
    HKEY raw = nullptr;
    // A section that is missing or cannot be opened: the defaults, and the program carries on.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, sectionKeyPath(app, section).c_str(), 0, KEY_QUERY_VALUE, &raw) !=
        ERROR_SUCCESS)
        return std::nullopt;
    const UniqueKey sectionKey(raw);
    LONG status = ERROR_SUCCESS;
    const std::optional<RawValue> value = readRaw(sectionKey.get(), key, status);
    if (status != ERROR_SUCCESS) return std::string();
    if (!value) return std::nullopt;
    if (value->type == REG_DWORD && value->data.size() == sizeof(DWORD)) {
        // A number put in with the registry editor's DWORD type reads as the decimal the editor shows,
        // so a colour of 255 stays red rather than reading as 0, black, and being overwritten at exit.
        DWORD number = 0;
        std::memcpy(&number, value->data.data(), sizeof number);
        return std::to_string(number);
    }
    if (value->type != REG_SZ) return std::string();
    const auto* chars = reinterpret_cast<const char*>(value->data.data());
    std::string text(chars, value->data.size());
    return text.substr(0, text.find('\0'));  // a stored text may or may not carry its terminator
}

void RegistryStore::writeAll(const std::vector<SettingWrite>& writes) {
    // Every section key first: if one cannot be opened for writing, nothing at all is written.
    std::map<std::string, UniqueKey> keys;
    for (const SettingWrite& w : writes) {
        const std::string path = sectionKeyPath(w.app, w.section);
        if (keys.count(path)) continue;
        HKEY raw = nullptr;
        const LONG status =
            RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &raw, nullptr);
        if (status != ERROR_SUCCESS) {
            reportOnce(describe(path, status));
            return;
        }
        keys.emplace(path, UniqueKey(raw));
    }

    // What each value held before, so that a failure part-way can put the old set back.
    struct Before {
        HKEY key;
        const std::string* name;
        std::optional<RawValue> value;
    };
    std::vector<Before> before;
    before.reserve(writes.size());
    for (const SettingWrite& w : writes) {
        const std::string path = sectionKeyPath(w.app, w.section);
        HKEY key = keys.at(path).get();
        LONG status = ERROR_SUCCESS;
        std::optional<RawValue> old = readRaw(key, w.key, status);
        if (status != ERROR_SUCCESS) {
            reportOnce(describe(path, status));
            return;
        }
        before.push_back({key, &w.key, std::move(old)});
    }

    for (std::size_t i = 0; i < writes.size(); ++i) {
        const std::string& text = writes[i].text;
        const LONG status =
            RegSetValueExA(before[i].key, writes[i].key.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
        if (status == ERROR_SUCCESS) continue;
        // Newest first, so a key written twice in one set ends with what it held before the set.
        for (std::size_t j = i; j-- > 0;) {
            const Before& b = before[j];
            if (b.value)
                RegSetValueExA(b.key, b.name->c_str(), 0, b.value->type, b.value->data.data(),
                               static_cast<DWORD>(b.value->data.size()));
            else
                RegDeleteValueA(b.key, b.name->c_str());
        }
        reportOnce(describe(sectionKeyPath(writes[i].app, writes[i].section), status));
        return;
    }
}

void RegistryStore::reportOnce(const std::string& text) {
    if (reported_) return;
    reported_ = true;
    if (report_) report_(text);
}

}  // namespace corvane
