#include "platform/win32/win32_form_peer.h"

#include <windowsx.h>

#include <string>
#include <vector>

#include "platform/win32/resource_ids.h"

namespace corvane::win32 {

namespace {

constexpr const char* kFormClass = "CorvaneForm";

// The picture's 0x00BBGGRR pixels as a 32-bit DIB wants them in memory: blue, green, red, unused.
std::uint32_t toDibPixel(Color c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }

// The native bits of the mouse messages in the program's terms: the only part of the mouse that
// differs from one window system to the next.
std::int16_t buttonsHeld(WPARAM wParam) {
    return static_cast<std::int16_t>(((wParam & MK_LBUTTON) ? kLeftButton : 0) |
                                     ((wParam & MK_RBUTTON) ? kRightButton : 0) |
                                     ((wParam & MK_MBUTTON) ? kMiddleButton : 0));
}

std::int16_t shiftState(WPARAM wParam) {
    return static_cast<std::int16_t>(((wParam & MK_SHIFT) ? kShiftKey : 0) |
                                     ((wParam & MK_CONTROL) ? kCtrlKey : 0) |
                                     (GetKeyState(VK_MENU) < 0 ? kAltKey : 0));
}

// Shown, and inside shown containers.
bool shown(const Control& control) {
    for (const Control* c = &control; c; c = c->container())
        if (!c->visible()) return false;
    return true;
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

}  // namespace

// The second press of a double-click comes as a message of its own instead of a button down.
const Win32FormPeer::ButtonMessage Win32FormPeer::kButtonMessages[] = {
    {WM_LBUTTONDOWN, ButtonStep::Down, kLeftButton},
    {WM_RBUTTONDOWN, ButtonStep::Down, kRightButton},
    {WM_MBUTTONDOWN, ButtonStep::Down, kMiddleButton},
    {WM_LBUTTONDBLCLK, ButtonStep::DoubleClick, kLeftButton},
    {WM_RBUTTONDBLCLK, ButtonStep::DoubleClick, kRightButton},
    {WM_MBUTTONDBLCLK, ButtonStep::DoubleClick, kMiddleButton},
    {WM_LBUTTONUP, ButtonStep::Up, kLeftButton},
    {WM_RBUTTONUP, ButtonStep::Up, kRightButton},
    {WM_MBUTTONUP, ButtonStep::Up, kMiddleButton},
};

void registerFormClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    // Double-clicks are events of their own (the meter hides on one); a resize repaints the form whole.
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &Win32FormPeer::windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_CORVANE));  // shared: never destroyed
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));     // the arrow (IDC_ARROW)
    wc.lpszClassName = kFormClass;
    RegisterClassExA(&wc);
}

void unregisterFormClass(HINSTANCE instance) { UnregisterClassA(kFormClass, instance); }

NativeStyle nativeStyleOf(const FormStyle& style) {
    NativeStyle n;
    if (style.border == BorderStyle::FixedDialog) {
        // A caption with a system menu and a frame the user cannot drag to another size. The system
        // menu also lets the task manager's close reach a form that is never shown.
        n.style = WS_CAPTION | WS_SYSMENU;
        n.exStyle = WS_EX_DLGMODALFRAME;
    } else {
        n.style = WS_POPUP;
    }
    n.exStyle |= style.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    n.showCommand = style.activateOnShow ? SW_SHOW : SW_SHOWNOACTIVATE;
    return n;
}

void paintForm(HDC dc, Form& form, const RECT& client) {
    const int saved = SaveDC(dc);
    std::vector<std::uint32_t> bits;
    // Topmost first: each picture painted is clipped away, so one lower down shows only where no
    // later control covers it, and nothing is painted twice.
    const auto& controls = form.controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        const Control& control = **it;
        if (control.kind() != ControlKind::Picture || !shown(control)) continue;
        const PixelImage& image = static_cast<const Picture&>(control).image();
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
        const PixelRect r = control.pixelRect();
        SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                          static_cast<UINT>(h), bits.data(), &bmi, DIB_RGB_COLORS);
        // The back colour goes only around the pictures, so nothing flickers between two colours.
        ExcludeClipRect(dc, r.left, r.top, r.left + w, r.top + h);
    }
    const UniqueBrush back(CreateSolidBrush(form.backColor()));  // a COLORREF is 0x00BBGGRR too
    FillRect(dc, &client, back.get());
    RestoreDC(dc, saved);
}

Win32FormPeer::Win32FormPeer(Form& form) : form_(form) {
    const NativeStyle native = nativeStyleOf(form.style());
    HWND window = CreateWindowExA(native.exStyle, kFormClass, form.style().caption.c_str(), native.style, 0,
                                  0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    window_.reset(window);
    if (!window)
        form_.runtime().reportProblem("a window could not be created (error " +
                                      std::to_string(GetLastError()) + ")");
}

Win32FormPeer::~Win32FormPeer() {
    // From here on the window's messages no longer reach a form that is going away.
    if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

void Win32FormPeer::geometryChanged() {
    SetWindowPos(hwnd(), nullptr, form_.pixelLeft(), form_.pixelTop(), form_.pixelWidth(),
                 form_.pixelHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormPeer::visibilityChanged() {
    ShowWindow(hwnd(), form_.visible() ? nativeStyleOf(form_.style()).showCommand : SW_HIDE);
}

void Win32FormPeer::backColorChanged() { InvalidateRect(hwnd(), nullptr, FALSE); }

void Win32FormPeer::captionChanged() { SetWindowTextA(hwnd(), form_.style().caption.c_str()); }

// Made on every call, also when the band stays the same: taking a window out of the band also brings
// it to the front of the ordinary windows.
void Win32FormPeer::topmostChanged() {
    constexpr UINT kKeepSizeAndPlace = SWP_NOSIZE | SWP_NOMOVE;  // 3
    SetWindowPos(hwnd(), form_.topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kKeepSizeAndPlace);
}

// The forms are small: repainting all of one is cheaper than working out what moved.
void Win32FormPeer::controlChanged(Control&) { InvalidateRect(hwnd(), nullptr, FALSE); }

LRESULT CALLBACK Win32FormPeer::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<Win32FormPeer>(window, message, lParam);
    // Messages that come while the window is being created, before window_ is set, go by default.
    if (!self || self->hwnd() != window) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Win32FormPeer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const ButtonMessage& b : kButtonMessages)
        if (b.message == message) {
            button(b.step, b.button, wParam, lParam);
            return 0;
        }
    switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_MOUSEMOVE:
            holdCapture(form_.mouse().move(buttonsHeld(wParam), shiftState(wParam), GET_X_LPARAM(lParam),
                                           GET_Y_LPARAM(lParam)));
            return 0;
        case WM_CAPTURECHANGED:
            if (!releasingCapture_ && reinterpret_cast<HWND>(lParam) != hwnd()) form_.mouse().captureLost();
            return 0;
        case WM_CLOSE:
            // Alt+F4, the close box, the system menu, the task manager: the form's own handlers decide.
            form_.queryUnload(kCloseFromWindow);
            return 0;
        default:
            return DefWindowProcA(hwnd(), message, wParam, lParam);
    }
}

void Win32FormPeer::paint() {
    PaintScope scope(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    paintForm(scope.dc(), form_, client);
}

// Dragging relies on the moves and the release still arriving once the cursor is outside the window,
// as it is at once when a quick hand leaves the window behind. The native capture is taken with the
// button, before the handler runs, and then matched to what the router holds: a menu the handler
// opens takes the mouse from us, which the router hears as a lost capture, and nothing takes it back
// once the menu has gone. The last button up lets go before its handler runs, as the router does,
// for the same menu.
void Win32FormPeer::button(ButtonStep step, std::int16_t button, WPARAM wParam, LPARAM lParam) {
    MouseRouter& mouse = form_.mouse();
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const std::int16_t shift = shiftState(wParam);
    if (step == ButtonStep::Up) {
        const std::int16_t stillHeld = buttonsHeld(wParam);
        if (stillHeld == 0) holdCapture(false);
        holdCapture(mouse.release(button, stillHeld, shift, x, y));
        return;
    }
    holdCapture(true);
    holdCapture(step == ButtonStep::Down ? mouse.press(button, shift, x, y)
                                         : mouse.doubleClick(button, shift, x, y));
}

void Win32FormPeer::holdCapture(bool hold) {
    if (hold) {
        if (GetCapture() != hwnd()) SetCapture(hwnd());
    } else if (GetCapture() == hwnd()) {
        releasingCapture_ = true;
        ReleaseCapture();
        releasingCapture_ = false;
    }
}

}  // namespace corvane::win32
