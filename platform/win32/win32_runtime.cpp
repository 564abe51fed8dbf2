#include "platform/win32/win32_runtime.h"

#include <cstdint>
#include <cstdio>

#include "platform/win32/form_window.h"

namespace corvane::win32 {

namespace {

constexpr const char* kTimerWindowClass = "CorvaneTimers";
constexpr double kTwipsPerInch = 1440;

int screenLogPixels(int index) {
    const WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), index) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

// ---- Timers -----------------------------------------------------------------------------------

// One SetTimer timer on the runtime's hidden window, running while the model's timer runs.
class TimerSlot final : public TimerPeer {
  public:
    TimerSlot(Win32Runtime& runtime, Timer& timer)
        : runtime_(runtime), timer_(timer), id_(runtime.nextTimerId_++) {
        runtime_.timers_[id_] = this;
        stateChanged();
    }
    ~TimerSlot() override {
        KillTimer(runtime_.timerWindow(), id_);
        runtime_.timers_.erase(id_);
    }
    TimerSlot(const TimerSlot&) = delete;
    TimerSlot& operator=(const TimerSlot&) = delete;

    void stateChanged() override {
        if (timer_.running() && !runtime_.ended())
            SetTimer(runtime_.timerWindow(), id_, static_cast<UINT>(timer_.interval()), nullptr);
        else
            KillTimer(runtime_.timerWindow(), id_);
    }
    Timer& timer() { return timer_; }

  private:
    Win32Runtime& runtime_;
    Timer& timer_;
    UINT_PTR id_;
};

LRESULT CALLBACK Win32Runtime::timerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Runtime*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_TIMER && self) {
        // Looked up afresh for every tick: a handler may create or destroy timers.
        const auto it = self->timers_.find(wParam);
        if (it != self->timers_.end()) it->second->timer().fire();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- Runtime ----------------------------------------------------------------------------------

Win32Runtime::Win32Runtime() : store_([this](const std::string& text) { reportProblem(text); }) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    registerFormClasses(instance);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Runtime::timerWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kTimerWindowClass;
    RegisterClassExA(&wc);
    // Message-only: the timers need a window to arrive at, nothing more.
    timerWindow_.reset(
        CreateWindowExA(0, kTimerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this));
    if (!timerWindow_) reportProblem("the timer window could not be created; the meter will not tick");
}

Win32Runtime::~Win32Runtime() {
    timerWindow_.reset();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    UnregisterClassA(kTimerWindowClass, instance);
    unregisterFormClasses(instance);
}

std::unique_ptr<FormPeer> Win32Runtime::createFormPeer(Form& form) {
    return std::make_unique<FormWindow>(*this, form);
}

std::unique_ptr<TimerPeer> Win32Runtime::createTimerPeer(Timer& timer) {
    return std::make_unique<TimerSlot>(*this, timer);
}

HWND Win32Runtime::windowOf(Form& form) { return static_cast<FormWindow&>(form.peer()).hwnd(); }

int Win32Runtime::run() {
    MSG msg{};
    while (!ended_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void Win32Runtime::end() {
    if (ended_) return;
    ended_ = true;
    // Every timer at once: ticks already queued are dropped by the model, which sees ended().
    for (const auto& [id, slot] : timers_) KillTimer(timerWindow(), id);
    PostQuitMessage(0);
}

void Win32Runtime::reportProblem(const std::string& text) {
    const std::string line = "Corvane: " + text + "\n";
    OutputDebugStringA(line.c_str());
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

// ---- Services ---------------------------------------------------------------------------------

double Win32Runtime::twipsPerPixelX() { return kTwipsPerInch / screenLogPixels(LOGPIXELSX); }
double Win32Runtime::twipsPerPixelY() { return kTwipsPerInch / screenLogPixels(LOGPIXELSY); }
int Win32Runtime::widthPixels() { return GetSystemMetrics(SM_CXSCREEN); }
int Win32Runtime::heightPixels() { return GetSystemMetrics(SM_CYSCREEN); }

void Win32Runtime::getCursorPos(PointPx& point) {
    POINT p{};
    if (GetCursorPos(&p)) point = {p.x, p.y};
}

int Win32Runtime::getSystemPowerStatus(SystemPowerStatus& status) {
    SYSTEM_POWER_STATUS s{};
    const BOOL ok = GetSystemPowerStatus(&s);
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

std::string Win32Runtime::timeOfDay() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{t.wHour}, unsigned{t.wMinute},
                  unsigned{t.wSecond});
    return text;
}

std::string Win32Runtime::executableFolder() {
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

}  // namespace corvane::win32

namespace corvane {
// The program reads no command line.
std::unique_ptr<Runtime> createRuntime(int, char**) { return std::make_unique<win32::Win32Runtime>(); }
}  // namespace corvane
