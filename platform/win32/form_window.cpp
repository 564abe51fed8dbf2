#include "platform/win32/form_window.h"

#include <windowsx.h>

#include <cstdint>
#include <vector>

#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_runtime.h"

namespace corvane::win32 {

namespace {

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// The picture's 0x00BBGGRR pixels as a 32-bit DIB wants them in memory: blue, green, red, unused.
std::uint32_t toDibPixel(Color c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }

std::int16_t buttonsHeld(WPARAM wParam) {
    return static_cast<std::int16_t>(((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
                                     ((wParam & MK_MBUTTON) ? 4 : 0));
}

std::int16_t shiftState(WPARAM wParam) {
    return static_cast<std::int16_t>(((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
                                     (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window) { BeginPaint(window_, &ps_); }
    ~PaintScope() { EndPaint(window_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return ps_.hdc; }

  private:
    HWND window_;
    PAINTSTRUCT ps_{};
};

ATOM registerClass(HINSTANCE instance, const char* name, UINT style) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &FormWindow::windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_CORVANE));  // shared: never destroyed
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));     // the arrow (IDC_ARROW)
    wc.lpszClassName = name;
    return RegisterClassExA(&wc);
}

}  // namespace

void registerFormClasses(HINSTANCE instance) {
    registerClass(instance, kMainWindowClass, 0);
    // Double-clicks hide the meter; a resize repaints it whole.
    registerClass(instance, kMeterWindowClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

void unregisterFormClasses(HINSTANCE instance) {
    UnregisterClassA(kMainWindowClass, instance);
    UnregisterClassA(kMeterWindowClass, instance);
}

void paintForm(HDC dc, Form& form, const RECT& client) {
    const int saved = SaveDC(dc);
    std::vector<std::uint32_t> bits;
    for (Picture& picture : form.pictures()) {
        const PixelImage& image = picture.image();
        const int w = image.width(), h = image.height();
        if (w <= 0 || h <= 0) continue;
        bits.resize(image.pixels().size());
        for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = toDibPixel(image.pixels()[i]);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;  // top row first, as the image keeps them
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        const int x = picture.pixelLeft(), y = picture.pixelTop();
        SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                          static_cast<UINT>(h), bits.data(), &bmi, DIB_RGB_COLORS);
        // The back colour goes only around the pictures, so nothing flickers between two colours.
        ExcludeClipRect(dc, x, y, x + w, y + h);
    }
    const UniqueBrush back(CreateSolidBrush(form.backColor()));  // a COLORREF is 0x00BBGGRR too
    FillRect(dc, &client, back.get());
    RestoreDC(dc, saved);
}

FormWindow::FormWindow(Win32Runtime& runtime, Form& form) : runtime_(runtime), form_(form) {
    const bool meter = form.kind() == FormKind::Meter;
    // The meter has no taskbar button; the main window has a system menu so that closing it from the
    // task manager reaches the program as a close request.
    const DWORD exStyle = meter ? WS_EX_TOOLWINDOW : 0;
    const DWORD style = meter ? WS_POPUP : WS_OVERLAPPEDWINDOW;
    HWND window = CreateWindowExA(exStyle, meter ? kMeterWindowClass : kMainWindowClass, kWindowTitle, style,
                                  0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    window_.reset(window);
    if (!window) {
        runtime_.reportProblem("a window could not be created (error " + std::to_string(GetLastError()) +
                               ")");
        return;
    }
    if (!meter) runtime_.shellTray().setWindow(window);
}

FormWindow::~FormWindow() {
    if (!window_) return;
    // From here on the window's messages no longer reach a form that is going away.
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
    if (runtime_.shellTray().window() == window_.get()) runtime_.shellTray().setWindow(nullptr);
}

void FormWindow::geometryChanged() {
    SetWindowPos(hwnd(), nullptr, form_.pixelLeft(), form_.pixelTop(), form_.pixelWidth(),
                 form_.pixelHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::visibilityChanged() {
    if (form_.kind() == FormKind::Main) return;  // never seen
    ShowWindow(hwnd(), form_.visible() ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void FormWindow::backColorChanged() { InvalidateRect(hwnd(), nullptr, FALSE); }

// The meter is tiny: repainting all of it is cheaper than working out what moved.
void FormWindow::pictureChanged(Picture&) { InvalidateRect(hwnd(), nullptr, FALSE); }

void FormWindow::setWindowPos(int insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    SetWindowPos(hwnd(), reinterpret_cast<HWND>(static_cast<INT_PTR>(insertAfter)), x, y, cx, cy, flags);
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    // Messages that come while the window is being created, before window_ is set, go by default.
    if (!self || self->hwnd() != window) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (form_.kind() == FormKind::Main) {
        LRESULT result = 0;
        if (handleMainMessage(message, wParam, lParam, result)) return result;
        return DefWindowProcA(hwnd(), message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_LBUTTONDOWN:
            buttonDown(kLeftButton, wParam, lParam);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:  // only the left button's double-click means anything to the meter
            buttonDown(kRightButton, wParam, lParam);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            buttonDown(4, wParam, lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            doubleClick(lParam);
            return 0;
        case WM_LBUTTONUP:
            buttonUp(kLeftButton, wParam, lParam);
            return 0;
        case WM_RBUTTONUP:
            buttonUp(kRightButton, wParam, lParam);
            return 0;
        case WM_MBUTTONUP:
            buttonUp(4, wParam, lParam);
            return 0;
        case WM_MOUSEMOVE:
            mouseMove(wParam, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd()) captured_ = nullptr;
            return 0;
        case WM_CLOSE:
            return 0;  // Alt+F4 on the meter: the meter lives as long as the program
        default:
            return DefWindowProcA(hwnd(), message, wParam, lParam);
    }
}

bool FormWindow::handleMainMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    ShellTray& tray = runtime_.shellTray();
    if (message == tray.callbackMessage() && message != 0) {
        // The icon's notifications: lParam is the mouse message that happened on the icon.
        if (tray.onNotify && !runtime_.ended()) tray.onNotify(static_cast<int>(lParam));
        return true;
    }
    if (message == tray.taskbarCreatedMessage() && message != 0) {
        if (!runtime_.ended()) tray.restore();
        return true;
    }
    switch (message) {
        case WM_QUERYENDSESSION:
            sessionEnds();
            result = TRUE;  // the program has saved its settings and ended: the session may end
            return true;
        case WM_ENDSESSION:
            if (wParam) sessionEnds();
            return true;
        case WM_CLOSE:
            // Closed from outside (system menu, task manager): the program decides what closing means.
            form_.queryUnload(0);
            return true;
        default:
            return false;
    }
}

// Log-off or shutdown. Saving at the query already, not only at the end, means the settings are safe
// even where the process is cut off right after it agrees to end.
void FormWindow::sessionEnds() {
    if (sessionEnded_) return;
    sessionEnded_ = true;
    form_.queryUnload(2);
}

void FormWindow::paint() {
    PaintScope scope(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    paintForm(scope.dc(), form_, client);
}

Picture* FormWindow::pictureAt(int x, int y) {
    auto& pictures = form_.pictures();
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {  // later pictures lie on top
        const int left = it->pixelLeft(), top = it->pixelTop();
        if (x >= left && y >= top && x < left + it->image().width() && y < top + it->image().height())
            return &*it;
    }
    return nullptr;
}

void FormWindow::buttonDown(std::int16_t button, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    Picture* target = captured_ ? captured_ : pictureAt(x, y);
    if (!target) return;
    // Dragging relies on the moves and the release still arriving once the cursor is outside the
    // window, as it is at once when a quick hand leaves the window behind.
    captured_ = target;
    SetCapture(hwnd());
    target->mouseDown(button, shiftState(wParam), x - target->pixelLeft(), y - target->pixelTop());
}

void FormWindow::buttonUp(std::int16_t button, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    Picture* target = captured_ ? captured_ : pictureAt(x, y);
    if ((wParam & kAnyButton) == 0) {
        // Let go before the handler runs: a menu it opens needs the mouse.
        captured_ = nullptr;
        if (GetCapture() == hwnd()) ReleaseCapture();
    }
    if (target) target->mouseUp(button, shiftState(wParam), x - target->pixelLeft(), y - target->pixelTop());
}

void FormWindow::mouseMove(WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    Picture* target = captured_ ? captured_ : pictureAt(x, y);
    if (target)
        target->mouseMove(buttonsHeld(wParam), shiftState(wParam), x - target->pixelLeft(),
                          y - target->pixelTop());
}

// The second press of a double-click comes as this message instead of a button down, so the handlers
// see down, up, double-click, up. Capture still follows the button, so the last up arrives even when
// the double-click has hidden the window.
void FormWindow::doubleClick(LPARAM lParam) {
    Picture* target = pictureAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!target) return;
    captured_ = target;
    SetCapture(hwnd());
    target->dblClick();
}

}  // namespace corvane::win32
