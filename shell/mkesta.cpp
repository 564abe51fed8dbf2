#include "shell/mkesta.h"

#include <charconv>

#include "platform/runtime.h"
#include "shell/numbers.h"
#include "shell/paths.h"
#include "shell/program_context.h"
#include "shell/tray.h"

namespace corvane {

namespace {
constexpr const char* kStartTip = "Battery status";

// A field of the clock's text, read every second: its two digits directly, anything else as any
// number is read.
std::int16_t clockField(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc{} && end == text.data() + text.size() && value >= 0 && value < 100)
        return static_cast<std::int16_t>(value);
    return num::toInt16(num::valPrefix(text));
}
}  // namespace

void mKesta::SetTopmost(Form& form, std::int16_t flag) {
    if (flag == 1 || flag == 0) form.setTopmost(flag == 1);
}

std::string mKesta::pGetAppPath() {
    AppInfo& info = program_.runtime().appInfo();
    return paths::withTrailingSeparator(info.executableFolder(), info.pathSeparator());
}

std::string mKesta::pGetDirPath(const std::string& path) {
    return paths::dirPart(path, program_.runtime().appInfo().pathSeparator(), pGetAppPath());
}

std::string mKesta::pGetFileName(const std::string& path) {
    return paths::fileNamePart(path, program_.runtime().appInfo().pathSeparator());
}

void mKesta::pGetMinSec(std::int16_t& minute, std::int16_t& second) {
    const std::string time = program_.runtime().clock().timeOfDay();  // "HH:MM:SS"
    const auto first = time.find(':');
    const auto next = first == std::string::npos ? std::string::npos : time.find(':', first + 1);
    if (next == std::string::npos) return;
    minute = clockField(std::string_view(time).substr(first + 1, next - first - 1));
    second = clockField(std::string_view(time).substr(next + 1));
}

void mKesta::TrayAddIcon() { program_.runtime().tray().add(trayTip(kStartTip)); }

void mKesta::TrayModifyIcon() { program_.runtime().tray().setTip(trayTip(psTrayTip)); }

void mKesta::TrayDeleteIcon() { program_.runtime().tray().remove(); }

}  // namespace corvane
