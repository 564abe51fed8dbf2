#include "shell/mkesta.h"

#include <cctype>

#include "platform/runtime.h"
#include "shell/paths.h"
#include "shell/program_context.h"
#include "shell/tray.h"

namespace corvane {

namespace {
constexpr const char* kStartTip = "Battery status";

// The number whose digits follow a colon of the clock's text; the text's terminator ends the last one.
std::int16_t digitsAfter(const std::string& time, std::size_t colon) {
    int value = 0;
    for (const char* at = time.c_str() + colon + 1; std::isdigit(static_cast<unsigned char>(*at)); ++at)
        value = value * 10 + (*at - '0');
    return static_cast<std::int16_t>(value);
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
    // "HH:MM:SS": the number between the two colons, and the one after the second. Both are always
    // written: a text without a colon, which no clock gives, would be read from its start (npos + 1 is 0).
    const std::string time = program_.runtime().clock().timeOfDay();
    minute = digitsAfter(time, time.find(':'));
    second = digitsAfter(time, time.rfind(':'));
}

void mKesta::TrayAddIcon() { program_.runtime().tray().add(trayTip(kStartTip)); }

void mKesta::TrayModifyIcon() { program_.runtime().tray().setTip(trayTip(psTrayTip)); }

void mKesta::TrayDeleteIcon() { program_.runtime().tray().remove(); }

}  // namespace corvane
