#pragma once
// A settings store that collects saves and writes them as one set on commit, so a failure part-way
// can never leave half of the old settings and half of the new ones.

#include <optional>
#include <string>
#include <vector>

#include "platform/runtime.h"

namespace corvane {

struct SettingWrite {
    std::string app, section, key, text;
};

class BufferedSettingsStore : public SettingsStore {
  public:
    std::string getSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultText) final;
    void saveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& text) final;
    void commit() final;

  protected:
    virtual std::optional<std::string> readStored(const std::string& app, const std::string& section,
                                                  const std::string& key) = 0;
    // Writes the whole set or nothing; reports its own failure.
    virtual void writeAll(const std::vector<SettingWrite>& writes) = 0;

  private:
    std::vector<SettingWrite> pending_;
};

}  // namespace corvane
