#include "platform/win32/win32_services.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/win32_window_class.h"

namespace corvane {

namespace {

constexpr double kTwipsPerInch = 1440;

int screenLogPixels(int index) {
    const WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), index) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

double Win32Screen::twipsPerPixelX() { return kTwipsPerInch / screenLogPixels(LOGPIXELSX); }
double Win32Screen::twipsPerPixelY() { return kTwipsPerInch / screenLogPixels(LOGPIXELSY); }
int Win32Screen::widthPixels() { return GetSystemMetrics(SM_CXSCREEN); }
int Win32Screen::heightPixels() { return GetSystemMetrics(SM_CYSCREEN); }

std::vector<PixelRect> Win32Screen::monitors() {
    std::vector<PixelRect> all;
    const auto add = [](HMONITOR, HDC, LPRECT r, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<PixelRect>*>(data)->push_back(
            {static_cast<int>(r->left), static_cast<int>(r->top), static_cast<int>(r->right - r->left),
             static_cast<int>(r->bottom - r->top)});
        return TRUE;
    };
    EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&all));
    return all;
}

void Win32Screen::getCursorPos(PointPx& point) {
    POINT p{};
    if (GetCursorPos(&p)) point = {p.x, p.y};
}

WindowFrame Win32Screen::windowFrame(const FormStyle& style) {
    const NativeStyle native = nativeStyleOf(style);
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, native.style, FALSE, native.exStyle);
    return {static_cast<int>(-r.left), static_cast<int>(-r.top), static_cast<int>(r.right),
            static_cast<int>(r.bottom)};
}

Color Win32Screen::systemColor(SystemColor which) {
    return GetSysColor(which == SystemColor::ButtonFace ? COLOR_BTNFACE : COLOR_WINDOW);
}

int Win32Power::getSystemPowerStatus(SystemPowerStatus& status) {
    SYSTEM_POWER_STATUS s{};
    const BOOL ok = query(&s);
    if (ok) {
        // The fourth byte is left out: reserved in older headers, a flag the program does not use in
        // newer ones, and named differently in each.
        status.ACLineStatus = s.ACLineStatus;
        status.BatteryFlag = s.BatteryFlag;
        status.BatteryLifePercent = s.BatteryLifePercent;
        status.BatteryLifeTime = static_cast<std::int32_t>(s.BatteryLifeTime);  // 0xFFFFFFFF: unknown, -1
        status.BatteryFullLifeTime = static_cast<std::int32_t>(s.BatteryFullLifeTime);
    }
    return ok ? 1 : 0;
}

std::string Win32Clock::timeOfDay() {
    SYSTEMTIME t{};
    localTime(&t);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{t.wHour}, unsigned{t.wMinute},
                  unsigned{t.wSecond});
    return text;
}

void Win32Sound::playAsync(const std::string& path) {
    constexpr UINT kAsync = 1;  // SND_ASYNC: returns at once
    sndPlaySoundA(path.c_str(), kAsync);
}

std::string Win32AppInfo::executableFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return {};  // longer than any path the system allows
        path.resize(path.size() * 2);
    }
    return folderOfModulePath(path);
}

std::string folderOfModulePath(const std::string& modulePath) {
    const std::size_t last = modulePath.rfind('\\');
    if (last == std::string::npos) return {};
    std::string folder = modulePath.substr(0, last);
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';  // "C:" alone would mean the drive's current folder
    return folder;
}

}  // namespace corvane
