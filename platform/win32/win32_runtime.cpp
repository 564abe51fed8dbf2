#include "platform/win32/win32_runtime.h"

#include <cstdio>

#include "platform/win32/win32_form_peer.h"
#include "platform/win32/win32_window_class.h"

namespace corvane {

namespace {

// A later start and the installer find the running copy by this name (packaging/windows/corvane.nsi).
constexpr const char* kRuntimeWindowClass = "CorvaneRuntime";
constexpr UINT kRunPosted = WM_APP;
// "Local": one running copy per session, the way the settings are one per user.
constexpr const char* kSoleMutex = "Local\\Corvane.Running";
constexpr DWORD kPatienceMs = 2000;

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
    anotherStartMessage_ = RegisterWindowMessageA("Corvane.AnotherStart");
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
        // Tab, the arrows, Enter and Esc in a form's window mean what they mean in a dialog.
        if (HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            isFormWindow(top) && (Win32FormPeer::formKey(top, msg) || IsDialogMessageA(top, &msg)))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void Win32Runtime::stopLoop() {
    EndMenu();  // a menu up when the program ends goes with it
    // The settings are saved by now: a start from here on may become the running copy.
    if (soleMutex_) ReleaseMutex(soleMutex_.get());
    soleMutex_.reset();
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

// The mutex is held for the whole run; one whose holder died without letting go (killed) comes to the
// next start abandoned, which counts as free. A holder that does not answer yet (starting) or any more
// (on its way out) is tried again for a while.
bool Win32Runtime::claimSoleInstance() {
    soleMutex_.reset(CreateMutexA(nullptr, FALSE, kSoleMutex));
    if (!soleMutex_) {
        reportProblem("runs without the guard against a second copy");
        return true;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD held = WaitForSingleObject(soleMutex_.get(), 0);
        if (held == WAIT_OBJECT_0 || held == WAIT_ABANDONED) return true;
        if (knockOnRunningCopy() || GetTickCount() - start >= kPatienceMs) {
            soleMutex_.reset();
            return false;
        }
        Sleep(20);
    }
}

bool Win32Runtime::knockOnRunningCopy() const {
    for (HWND other = nullptr; (other = FindWindowExA(nullptr, other, kRuntimeWindowClass, nullptr));)
        if (other != window() && PostMessageA(other, anotherStartMessage_, 0, 0)) return true;
    return false;
}

LRESULT CALLBACK Win32Runtime::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<Win32Runtime>(window, message, lParam);
    // Messages that come while the window is being created, before window_ is set, go by default.
    if (!self || self->window() != window) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Win32Runtime::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == anotherStartMessage_ && anotherStartMessage_ != 0) {
        anotherStarted();
        return 0;
    }
    switch (message) {
        case WM_TIMER:
            if (wParam != kTrayRetryTimer)
                timers_.fire(wParam);
            else if (!ended())
                tray_.retry();
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
        case WM_DISPLAYCHANGE:
            if (!ended()) displayChanged();
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

// A new resolution, a monitor come or gone, another one made primary: Windows has renumbered the
// desktop so that the primary monitor begins at the origin again, and may have moved windows off a
// monitor that went. The model hears where each window stands now, as it would of a user's move.
void Win32Runtime::displayChanged() {
    for (Form* f : forms()) {
        RECT r{};
        if (HWND w = windowOf(*f); !w || !GetWindowRect(w, &r)) continue;
        if (r.left != f->pixelLeft()) f->setLeft(r.left * screen_.twipsPerPixelX());
        if (r.top != f->pixelTop()) f->setTop(r.top * screen_.twipsPerPixelY());
    }
    screensChanged(0, 0);
}

// The command line has been read before: nothing in it is for the runtime.
std::unique_ptr<Runtime> createRuntime(int, char**) { return std::make_unique<Win32Runtime>(); }

// A windowed program gets no console of its own. Its output reaches one through the handles it was
// given (redirected to a file or a pipe), or else through the console of the program that started it,
// a command prompt for instance, which has not waited for it and shows the text after its prompt.
bool writeToConsole(const std::string& out, const std::string& err) {
    const auto usable = [](HANDLE h) {
        return h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
    };
    HANDLE outHandle = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE errHandle = GetStdHandle(STD_ERROR_HANDLE);
    UniqueHandle console;
    if ((!usable(outHandle) || !usable(errHandle)) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE opened = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (opened != INVALID_HANDLE_VALUE) console.reset(opened);
        if (!usable(outHandle)) outHandle = console.get();
        if (!usable(errHandle)) errHandle = console.get();
    }
    // A text with no handle to take it is as unwritten as one the handle refused.
    const auto write = [](HANDLE h, const std::string& text) {
        DWORD written = 0;
        return text.empty() ||
               (h && h != INVALID_HANDLE_VALUE &&
                WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                written == text.size());
    };
    const bool outWritten = write(outHandle, out);
    if (!outWritten) {
        const DWORD code = GetLastError();
        char reason[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, reason,
                       sizeof reason, nullptr);
        std::string line = "corvane: write error: " + std::string(reason);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        write(errHandle, line + "\n");
    }
    return write(errHandle, err) && outWritten;
}

}  // namespace corvane
