#pragma once
// The Linux settings store: one INI file per application, $XDG_CONFIG_HOME/<app>/<app>.ini, with the
// keys in the order the program saves them and every value the text exactly as saved. Lines the
// program does not know (comments, other keys, garbage) are kept as they are, and so are a leading
// byte-order mark and values whose text did not change.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/buffered_store.h"

namespace corvane {

// The parsed file, kept in its own order so a rewrite changes only the values the program saved.
class IniDocument {
  public:
    static IniDocument parse(const std::string& text);
    std::string serialize() const;

    std::optional<std::string> get(const std::string& section, const std::string& key) const;
    void set(const std::string& section, const std::string& key, const std::string& value);

  private:
    struct Line {
        std::string key;    // empty for a line that is not an entry
        std::string value;  // decoded
        std::string raw;    // the line as read; empty once the program has set the value
    };
    struct Section {
        std::string name;  // empty for the lines before the first section header
        std::string header;
        std::vector<Line> lines;
    };
    static bool isBlankLine(const Line& l);
    Section* find(const std::string& name);
    const Section* find(const std::string& name) const;
    std::vector<Section> sections_{Section{}};  // the first holds the lines before any header
    bool byteOrderMark_ = false;
};

class IniSettingsStore final : public BufferedSettingsStore {
  public:
    using Reporter = std::function<void(const std::string&)>;
    IniSettingsStore(std::string configRoot, Reporter report);

    // $XDG_CONFIG_HOME when it is an absolute path, otherwise ~/.config.
    static std::string defaultConfigRoot();
    std::string fileFor(const std::string& app) const;

  protected:
    std::optional<std::string> readStored(const std::string& app, const std::string& section,
                                          const std::string& key) override;
    void writeAll(const std::vector<SettingWrite>& writes) override;

  private:
    void ensureLoaded(const std::string& app);
    // Writes the text to a temporary file beside target and renames it over target; false with the
    // reason when the old file was left in place.
    bool replaceFile(const std::string& target, const std::string& text, std::string& why);

    std::string root_;
    Reporter report_;
    std::string loadedApp_;
    bool loaded_ = false;
    bool readFailed_ = false;  // then the file is left alone: it may hold settings we could not see
    bool readOnlyReported_ = false;
    IniDocument doc_;
};

}  // namespace corvane
