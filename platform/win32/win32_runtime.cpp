#include "platform/win32/win32_runtime.h"

#include <cstdio>

#include "platform/win32/win32_form_peer.h"

namespace corvane::win32 {

namespace {

constexpr const char* kRuntimeWindowClass = "CorvaneRuntime";
constexpr UINT kRunPosted = WM_APP;

}  // namespace

Win32Runtime::Win32Runtime() : store_([this](const std::string& text) { reportProblem(text); }) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    registerFormClass(instance);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Runtime::windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kRuntimeWindowClass;
    RegisterClassExA(&wc);
    // Top-level and never shown: only such a window hears the broadcasts (the end of the session,
    // "TaskbarCreated"); a message-only one would not.
    window_.reset(
        CreateWindowExA(0, kRuntimeWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this));
    if (!window_) reportProblem("the program's hidden window could not be created; the meter will not tick");
    timers_.setWindow(window());
    tray_.setWindow(window());
    popupMenu_.setOwner(window());
    help_.setOwner(window());
}

Win32Runtime::~Win32Runtime() {
    window_.reset();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    UnregisterClassA(kRuntimeWindowClass, instance);
    unregisterFormClass(instance);
}

std::unique_ptr<FormPeer> Win32Runtime::createFormPeer(Form& form) {
    return std::make_unique<Win32FormPeer>(form);
}

HWND Win32Runtime::windowOf(Form& form) { return static_cast<Win32FormPeer&>(form.peer()).hwnd(); }

void Win32Runtime::post(std::function<void()> fn) {
    if (ended()) return;
    posted_.push_back(std::move(fn));
    if (!postPending_) postPending_ = PostMessageA(window(), kRunPosted, 0, 0) != 0;
}

// The calls posted so far run now; those they post run at the next message, after whatever else has
// come in meanwhile.
void Win32Runtime::runPosted() {
    postPending_ = false;
    std::deque<std::function<void()>> batch;
    batch.swap(posted_);
    while (!batch.empty() && !ended()) {
        const auto fn = std::move(batch.front());
        batch.pop_front();
        fn();
    }
}

int Win32Runtime::run() {
    MSG msg{};
    while (!ended()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) break;
        // Tab, Enter and Esc in a form's window mean what they mean in a dialog.
        if (HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            isFormWindow(top) && IsDialogMessageA(top, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void Win32Runtime::stopLoop() {
    EndMenu();  // a menu up when the program ends goes with it
    timers_.stopAll();
    posted_.clear();
    PostQuitMessage(0);
}

void Win32Runtime::reportProblem(const std::string& text) {
    const std::string line = "Corvane: " + text + "\n";
    OutputDebugStringA(line.c_str());
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

LRESULT CALLBACK Win32Runtime::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<Win32Runtime>(window, message, lParam);
    // Messages that come while the window is being created, before window_ is set, go by default.
    if (!self || self->window() != window) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Win32Runtime::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            timers_.fire(wParam);
            return 0;
        case kRunPosted:
            runPosted();
            return 0;
        case WM_QUERYENDSESSION:
            sessionEnds();
            return TRUE;  // the program has saved its settings and ended: the session may end
        case WM_ENDSESSION:
            if (wParam) sessionEnds();
            return 0;
        case WM_CLOSE:
            return 0;  // not a form: nothing to close, and destroying it would stop the timers
        default:
            break;
    }
    if (!ended() && tray_.handleMessage(message, lParam)) return 0;
    return DefWindowProcA(window(), message, wParam, lParam);
}

// Log-off or shutdown, heard once: at the query already, where Windows asks, and at the end itself
// where it does not.
void Win32Runtime::sessionEnds() {
    if (sessionEnded_) return;
    sessionEnded_ = true;
    endSession();
}

}  // namespace corvane::win32

namespace corvane {
// The program reads no command line.
std::unique_ptr<Runtime> createRuntime(int, char**) { return std::make_unique<win32::Win32Runtime>(); }
}  // namespace corvane
