#include "platform/win32/win32_form_peer.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <tuple>

#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_text.h"

namespace corvane::win32 {

namespace {

constexpr const char* kFormClass = "CorvaneForm";
constexpr const char* kPixelsClass = "CorvanePixels";
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL, which the dialog manager sends

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

// The dialog manager's groups run from a WS_GROUP window to the next: every control is one of its own,
// except the option buttons of one container, which are one group from the first in tab order.
bool startsGroup(const Control& control) {
    if (control.kind() != ControlKind::OptionButton) return true;
    for (const auto& c : control.owner().controls())
        if (c.get() != &control && c->kind() == ControlKind::OptionButton &&
            c->container() == control.container() && c->tabIndex() < control.tabIndex())
            return false;
    return true;
}

std::string windowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setStyleBit(HWND window, int index, LONG_PTR bit, bool on) {
    const LONG_PTR style = GetWindowLongPtrA(window, index);
    const LONG_PTR wanted = on ? (style | bit) : (style & ~bit);
    if (wanted == style) return;
    SetWindowLongPtrA(window, index, wanted);
    if (index == GWL_EXSTYLE)
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
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

// What a control is as a window of a standard class: its class, and the style bits it never changes.
struct ChildClass {
    const char* name;
    DWORD style;
};

ChildClass childClassOf(const Control& control) {
    switch (control.kind()) {
        case ControlKind::Label:
            return {"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX};
        case ControlKind::TextBox:
            return {"EDIT", ES_LEFT | ES_AUTOHSCROLL};
        // The buttons do not check themselves: the model decides, and the window mirrors it. BS_NOTIFY
        // tells the form when one takes the focus.
        case ControlKind::CheckBox:
            return {"BUTTON", BS_CHECKBOX | BS_NOTIFY};
        // Option buttons check themselves as Windows does it in every dialog (a click, the arrow keys
        // in their group), and tell the form, which agrees.
        case ControlKind::OptionButton:
            return {"BUTTON", BS_AUTORADIOBUTTON | BS_NOTIFY};
        case ControlKind::CommandButton:
            return {"BUTTON", BS_PUSHBUTTON | BS_NOTIFY};
        case ControlKind::Frame:
            return {"BUTTON", BS_GROUPBOX};
        case ControlKind::Picture:
        case ControlKind::Image:
            break;
    }
    return {kPixelsClass, 0};
}

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
    wc.lpfnWndProc = &Win32FormPeer::pixelsProc;
    wc.hIcon = nullptr;
    wc.lpszClassName = kPixelsClass;
    RegisterClassExA(&wc);
    // The tooltip control.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

void unregisterFormClass(HINSTANCE instance) {
    UnregisterClassA(kFormClass, instance);
    UnregisterClassA(kPixelsClass, instance);
}

bool isFormWindow(HWND window) {
    char name[32] = {};
    return window && GetClassNameA(window, name, sizeof name) > 0 && std::string_view(name) == kFormClass;
}

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
    // The controls paint themselves; the form paints only around them.
    n.style |= WS_CLIPCHILDREN;
    n.exStyle |= style.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    n.showCommand = style.activateOnShow ? SW_SHOW : SW_SHOWNOACTIVATE;
    return n;
}

void paintPixels(HDC dc, const Control& control, const RECT& client) {
    const bool picture = control.kind() == ControlKind::Picture;
    const PixelImage& image =
        picture ? static_cast<const Picture&>(control).image() : static_cast<const Image&>(control).picture();
    const int saved = SaveDC(dc);
    const int w = image.width(), h = image.height();
    if (w > 0 && h > 0) {
        std::vector<std::uint32_t> bits(image.pixels().size());
        for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = toDibPixel(image.pixels()[i]);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;  // top row first, as the image keeps them
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                          static_cast<UINT>(h), bits.data(), &bmi, DIB_RGB_COLORS);
        // The form's colour goes only around the pixels, so nothing flickers between two colours.
        ExcludeClipRect(dc, 0, 0, w, h);
    }
    const UniqueBrush back(CreateSolidBrush(control.owner().backColor()));  // a COLORREF is 0x00BBGGRR too
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
    // From here on the windows' messages no longer reach a form that is going away.
    for (const auto& c : children_) {
        if (c->original) SetWindowLongPtrA(c->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(c->original));
        if (c->original || GetWindowLongPtrA(c->window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(c.get()))
            SetWindowLongPtrA(c->window, GWLP_USERDATA, 0);
    }
    if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

void Win32FormPeer::geometryChanged() {
    SetWindowPos(hwnd(), nullptr, form_.pixelLeft(), form_.pixelTop(), form_.pixelWidth(),
                 form_.pixelHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormPeer::visibilityChanged() {
    if (form_.visible()) makeAll();
    ShowWindow(hwnd(), form_.visible() ? nativeStyleOf(form_.style()).showCommand : SW_HIDE);
}

void Win32FormPeer::backColorChanged() { InvalidateRect(hwnd(), nullptr, TRUE); }

void Win32FormPeer::captionChanged() { SetWindowTextA(hwnd(), form_.style().caption.c_str()); }

// Made on every call, also when the band stays the same: taking a window out of the band also brings
// it to the front of the ordinary windows.
void Win32FormPeer::topmostChanged() {
    constexpr UINT kKeepSizeAndPlace = SWP_NOSIZE | SWP_NOMOVE;  // 3
    SetWindowPos(hwnd(), form_.topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kKeepSizeAndPlace);
}

void Win32FormPeer::controlChanged(Control& control) {
    if (!made_) return;  // the first show makes every control's window as it is then
    Child* child = childOf(control);
    if (!child) {
        child = &make(control, kFirstControlId + static_cast<int>(children_.size()));
        order();
    }
    mirror(*child);
}

// A window that is not active takes the focus into the control once it is activated (WM_SETFOCUS).
void Win32FormPeer::focusChanged() {
    const Control* active = form_.keyboard().activeControl();
    if (HWND w = active ? windowOf(*active) : nullptr; w && GetActiveWindow() == hwnd()) SetFocus(w);
}

HWND Win32FormPeer::windowOf(const Control& control) const {
    const Child* c = childOf(control);
    return c ? c->window : nullptr;
}

Win32FormPeer::Child* Win32FormPeer::childOf(HWND window) const {
    for (const auto& c : children_)
        if (c->window == window) return c.get();
    return nullptr;
}

Win32FormPeer::Child* Win32FormPeer::childOf(const Control& control) const {
    for (const auto& c : children_)
        if (c->control == &control) return c.get();
    return nullptr;
}

HBRUSH Win32FormPeer::brush(Color colour) {
    auto it = brushes_.find(colour);
    if (it == brushes_.end()) it = brushes_.emplace(colour, UniqueBrush(CreateSolidBrush(colour))).first;
    return it->second.get();
}

void Win32FormPeer::makeAll() {
    if (made_) return;
    made_ = true;
    for (const auto& c : form_.controls())
        mirror(make(*c, kFirstControlId + static_cast<int>(children_.size())));
    order();
}

Win32FormPeer::Child& Win32FormPeer::make(Control& control, int id) {
    const ChildClass cls = childClassOf(control);
    // Siblings overlap where a frame holds controls: each paints only where none above it lies.
    HWND window = CreateWindowExA(0, cls.name, "", WS_CHILD | WS_CLIPSIBLINGS | cls.style, 0, 0, 0, 0, hwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    auto& child =
        *children_.emplace_back(std::make_unique<Child>(Child{this, &control, window, {}, nullptr}));
    if (!window) {
        form_.runtime().reportProblem("a control's window could not be created (error " +
                                      std::to_string(GetLastError()) + ")");
        return child;
    }
    if (control.kind() == ControlKind::Picture || control.kind() == ControlKind::Image) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&child));
    } else if (control.kind() == ControlKind::Frame) {
        // A group box paints its border and caption only; what lies inside it is the form's colour,
        // which the form itself cannot paint there (it paints around its child windows).
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&child));
        child.original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32FormPeer::frameProc)));
    }
    return child;
}

// Every state of the model the window shows; a text only when it differs, so the caret stays where the
// user left it and no change is reported that the user did not make.
void Win32FormPeer::mirror(Child& child) {
    HWND w = child.window;
    if (!w) return;
    Control& control = *child.control;
    const PixelRect r = control.pixelRect();
    SetWindowPos(w, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    setStyleBit(w, GWL_STYLE, WS_TABSTOP, control.tabStop());
    setStyleBit(w, GWL_STYLE, WS_GROUP, startsGroup(control));
    EnableWindow(w, control.enabledWithContainers());
    auto& text = static_cast<Win32Text&>(form_.runtime().text());
    HFONT font = text.fontFor(control.font());
    if (reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)) != font)
        SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    std::string shown = control.caption();
    switch (control.kind()) {
        case ControlKind::TextBox: {
            const auto& box = static_cast<const TextBox&>(control);
            shown = box.text();
            SendMessageA(w, EM_SETREADONLY, box.locked(), 0);
            setStyleBit(w, GWL_EXSTYLE, WS_EX_CLIENTEDGE, box.border());
            InvalidateRect(w, nullptr, TRUE);  // its colour may have changed
            break;
        }
        case ControlKind::CheckBox:
            SendMessageA(w, BM_SETCHECK, static_cast<const CheckBox&>(control).value() == kChecked, 0);
            break;
        case ControlKind::OptionButton:
            SendMessageA(w, BM_SETCHECK, static_cast<const OptionButton&>(control).value(), 0);
            break;
        case ControlKind::CommandButton:
            SendMessageA(
                w, BM_SETSTYLE,
                (static_cast<const CommandButton&>(control).isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                    BS_NOTIFY,
                TRUE);
            break;
        case ControlKind::Picture:
        case ControlKind::Image:
            InvalidateRect(w, nullptr, FALSE);
            break;
        case ControlKind::Label:
        case ControlKind::Frame:
            break;
    }
    if (control.kind() != ControlKind::Picture && control.kind() != ControlKind::Image &&
        windowText(w) != shown) {
        mirroring_ = true;
        SetWindowTextA(w, shown.c_str());
        mirroring_ = false;
    }
    mirrorTip(child);
    const bool shownNow = control.shownWithContainers();
    if (((GetWindowLongPtrA(w, GWL_STYLE) & WS_VISIBLE) != 0) != shownNow)
        ShowWindow(w, shownNow ? SW_SHOWNA : SW_HIDE);
}

// One tooltip control for the form, with a tool for each control that has a text.
void Win32FormPeer::mirrorTip(Child& child) {
    const std::string& tip = child.control->toolTipText();
    if (tip == child.tip) return;
    if (!tooltip_ && !tip.empty())
        tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                       GetModuleHandleA(nullptr), nullptr));
    if (!tooltip_) return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // the size every version of the control knows
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(child.window);
    tool.lpszText = const_cast<char*>(tip.c_str());
    if (child.tip.empty())
        SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    else if (tip.empty())
        SendMessageA(tooltip_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    else
        SendMessageA(tooltip_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    child.tip = tip;
}

// Windows walks Tab down the window order, so the controls stand in tab order, ties the later one
// first (on top, as the form's order has it); the frames below them all, one inside another above
// that one. The program's controls overlap only where a frame holds them.
void Win32FormPeer::order() {
    auto depth = [](const Control& c) {
        int d = 0;
        for (const Control* p = c.container(); p; p = p->container()) ++d;
        return d;
    };
    std::vector<std::pair<std::tuple<bool, int, int>, HWND>> stack;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        const Control& c = *children_[i]->control;
        const bool frame = c.kind() == ControlKind::Frame;
        stack.push_back(
            {{frame, frame ? -depth(c) : c.tabIndex(), -static_cast<int>(i)}, children_[i]->window});
    }
    std::sort(stack.begin(), stack.end());
    HWND after = HWND_TOP;
    for (const auto& [key, w] : stack) {
        SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = w;
    }
}

LRESULT CALLBACK Win32FormPeer::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<Win32FormPeer>(window, message, lParam);
    // Messages that come while the window is being created, before window_ is set, go by default.
    if (!self || self->hwnd() != window) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT CALLBACK Win32FormPeer::pixelsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* child = reinterpret_cast<Child*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!child || child->window != window) return DefWindowProcA(window, message, wParam, lParam);
    return child->peer->handlePixels(*child, message, wParam, lParam);
}

LRESULT CALLBACK Win32FormPeer::frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* child = reinterpret_cast<Child*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!child) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, child->peer->brush(child->peer->form_.backColor()));
        return 1;
    }
    return CallWindowProcA(child->original, window, message, wParam, lParam);
}

bool Win32FormPeer::mouseMessage(UINT message, WPARAM wParam, LPARAM lParam, HWND from) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (from != hwnd()) MapWindowPoints(from, hwnd(), &p, 1);
    for (const ButtonMessage& b : kButtonMessages)
        if (b.message == message) {
            button(b.step, b.button, wParam, p.x, p.y, from);
            return true;
        }
    if (message == WM_MOUSEMOVE) {
        holdCapture(form_.mouse().move(buttonsHeld(wParam), shiftState(wParam), p.x, p.y), from);
        return true;
    }
    if (message == WM_CAPTURECHANGED) {
        if (!releasingCapture_ && !ours(reinterpret_cast<HWND>(lParam))) form_.mouse().captureLost();
        return true;
    }
    return false;
}

LRESULT Win32FormPeer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (mouseMessage(message, wParam, lParam, hwnd())) return 0;
    switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_COMMAND:
            command(wParam, lParam);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_SETFOCUS:
            // The window was activated: the focus goes back to the control that had it.
            if (const Control* active = form_.keyboard().activeControl())
                if (HWND w = windowOf(*active)) SetFocus(w);
            return 0;
        case WM_CLOSE:
            // Alt+F4, the close box, the system menu, the task manager: the form's own handlers decide.
            form_.queryUnload(kCloseFromWindow);
            return 0;
        default:
            return DefWindowProcA(hwnd(), message, wParam, lParam);
    }
}

LRESULT Win32FormPeer::handlePixels(Child& child, UINT message, WPARAM wParam, LPARAM lParam) {
    if (mouseMessage(message, wParam, lParam, child.window)) return 0;
    switch (message) {
        case WM_PAINT: {
            PaintScope scope(child.window);
            RECT client{};
            GetClientRect(child.window, &client);
            paintPixels(scope.dc(), *child.control, client);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
            form_.keyboard().userFocused(child.control);
            return 0;
        default:
            return DefWindowProcA(child.window, message, wParam, lParam);
    }
}

// The controls' notifications, and the dialog manager's Enter and Esc: IDOK and IDCANCEL from no
// control, or a click of the focused default button.
void Win32FormPeer::command(WPARAM wParam, LPARAM lParam) {
    Child* child = childOf(reinterpret_cast<HWND>(lParam));
    if (!child) {
        if (LOWORD(wParam) == IDOK) form_.keyboard().keyPress(kKeyReturn);
        if (LOWORD(wParam) == IDCANCEL) form_.keyboard().keyPress(kKeyEscape);
        return;
    }
    Control& control = *child->control;
    const WORD code = HIWORD(wParam);
    if (control.kind() == ControlKind::TextBox) {
        if (code == EN_SETFOCUS) form_.keyboard().userFocused(&control);
        if (code == EN_CHANGE && !mirroring_)
            static_cast<TextBox&>(control).userEdited(windowText(child->window));
        return;
    }
    // With BS_NOTIFY a quick second click comes as a double-click of its own: it is a click all the same.
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
        if (control.kind() == ControlKind::CheckBox) static_cast<CheckBox&>(control).userClicked();
        if (control.kind() == ControlKind::OptionButton) static_cast<OptionButton&>(control).userClicked();
        if (control.kind() == ControlKind::CommandButton) control.click();
    }
    if (code == BN_SETFOCUS) form_.keyboard().userFocused(&control);
}

// The standard controls ask their parent for their colours: the form's, or a text box's own.
LRESULT Win32FormPeer::colours(HDC dc, HWND control) {
    Color colour = form_.backColor();
    if (const Child* c = childOf(control); c && c->control->kind() == ControlKind::TextBox)
        colour = static_cast<const TextBox&>(*c->control).backColor();
    SetBkColor(dc, colour);
    return reinterpret_cast<LRESULT>(brush(colour));
}

void Win32FormPeer::paint() {
    PaintScope scope(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(scope.dc(), &client, brush(form_.backColor()));
}

// Dragging relies on the moves and the release still arriving once the cursor is outside the window,
// as it is at once when a quick hand leaves the window behind. The native capture is taken with the
// button, before the handler runs, and then matched to what the router holds: a menu the handler
// opens takes the mouse from us, which the router hears as a lost capture, and nothing takes it back
// once the menu has gone. The last button up lets go before its handler runs, as the router does,
// for the same menu.
void Win32FormPeer::button(ButtonStep step, std::int16_t button, WPARAM wParam, int x, int y, HWND from) {
    MouseRouter& mouse = form_.mouse();
    const std::int16_t shift = shiftState(wParam);
    if (step == ButtonStep::Up) {
        const std::int16_t stillHeld = buttonsHeld(wParam);
        if (stillHeld == 0) holdCapture(false, from);
        holdCapture(mouse.release(button, stillHeld, shift, x, y), from);
        return;
    }
    holdCapture(true, from);
    holdCapture(
        step == ButtonStep::Down ? mouse.press(button, shift, x, y) : mouse.doubleClick(button, shift, x, y),
        from);
}

void Win32FormPeer::holdCapture(bool hold, HWND on) {
    if (hold) {
        if (GetCapture() != on) SetCapture(on);
    } else if (GetCapture() == on) {
        releasingCapture_ = true;
        ReleaseCapture();
        releasingCapture_ = false;
    }
}

}  // namespace corvane::win32
