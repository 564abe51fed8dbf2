#pragma once
// The headless settings store: texts in memory, each section's keys in the order they were first
// written, every read and write in the runtime's log.

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/buffered_store.h"

namespace corvane {

class MemoryStore final : public BufferedSettingsStore {
  public:
    using Reporter = std::function<void(const std::string&)>;
    MemoryStore(std::vector<std::string>& log, Reporter report) : log_(log), report_(std::move(report)) {}

    void set(const std::string& section, const std::string& key, const std::string& text);
    std::optional<std::string> get(const std::string& section, const std::string& key) const;
    // (section, key, text) in store order.
    const std::vector<std::tuple<std::string, std::string, std::string>>& entries() const { return entries_; }
    bool failWrites = false;  // commit fails and keeps what was there

  protected:
    std::optional<std::string> readStored(const std::string& app, const std::string& section,
                                          const std::string& key) override;
    void writeAll(const std::vector<SettingWrite>& writes) override;

  private:
    std::vector<std::string>& log_;
    Reporter report_;
    std::vector<std::tuple<std::string, std::string, std::string>> entries_;
};

}  // namespace corvane
