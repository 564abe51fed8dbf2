#pragma once
// The settings store in the registry, at the place where earlier versions of the program kept their
// settings: HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>, one REG_SZ value
// per key. Keeping that place means a user's colours and position survive the upgrade.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/buffered_store.h"

namespace corvane {

inline constexpr const char* kSettingsRoot = "Software\\VB and VBA Program Settings";

// The key below HKEY_CURRENT_USER that holds one section of one application.
std::string sectionKeyPath(const std::string& app, const std::string& section);

class RegistryStore final : public BufferedSettingsStore {
  public:
    using Reporter = std::function<void(const std::string&)>;
    explicit RegistryStore(Reporter report) : report_(std::move(report)) {}

  protected:
    // A missing key or value gives no text (the caller's default); a REG_DWORD gives its number as
    // unsigned decimal text; a value of any other type than REG_SZ, or one that cannot be read, gives
    // the empty text.
    std::optional<std::string> readStored(const std::string& app, const std::string& section,
                                          const std::string& key) override;
    void writeAll(const std::vector<SettingWrite>& writes) override;

  private:
    void reportOnce(const std::string& text);

    Reporter report_;
    bool reported_ = false;
};

}  // namespace corvane
