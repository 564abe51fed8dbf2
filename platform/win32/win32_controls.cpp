#include <optional>
#include <string>

#include "platform/win32/win32_form_peer.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_class.h"

namespace corvane {

namespace {

constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL, which the dialog manager sends

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

// What a control is as a window: one of a standard class and the style bits it never changes, or one
// of the program's own that shows a picture's or an image's pixels.
struct ChildClass {
    const char* name;
    DWORD style;
    const PixelImage* pixels = nullptr;  // what the program's own class shows
    bool frame = false;                  // a group box, whose inside the form's colour fills
};

ChildClass childClassOf(const Control& control) {
    return control.visit(Overloaded{
        [](const Label&) {
            return ChildClass{"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX};
        },
        [](const TextBox&) {
            return ChildClass{"EDIT", ES_LEFT | ES_AUTOHSCROLL};
        },
        // The buttons do not check themselves, nor do option buttons clear the others of their group:
        // the model decides, and the window mirrors it. BS_NOTIFY tells the form when one takes the
        // focus.
        [](const CheckBox&) {
            return ChildClass{"BUTTON", BS_CHECKBOX | BS_NOTIFY};
        },
        [](const OptionButton&) {
            return ChildClass{"BUTTON", BS_RADIOBUTTON | BS_NOTIFY};
        },
        [](const CommandButton&) {
            return ChildClass{"BUTTON", BS_PUSHBUTTON | BS_NOTIFY};
        },
        [](const Frame&) {
            return ChildClass{"BUTTON", BS_GROUPBOX, nullptr, true};
        },
        [](const Picture& picture) {
            return ChildClass{kPixelsClass, 0, &picture.image()};
        },
        [](const Image& image) {
            return ChildClass{kPixelsClass, 0, &image.picture()};
        },
    });
}

}  // namespace

void Win32FormPeer::controlChanged(Control& control) {
    if (!made_) return;  // the first show makes every control's window as it is then
    Child* child = childOf(control);
    if (!child) {
        child = &make(control);
        order();
    }
    mirror(*child);
}

void Win32FormPeer::makeAll() {
    if (made_) return;
    made_ = true;
    for (const auto& c : form_.controls()) mirror(make(*c));
    order();
}

Win32FormPeer::Child& Win32FormPeer::make(Control& control) {
    const int id = kFirstControlId + static_cast<int>(children_.size());
    const ChildClass cls = childClassOf(control);
    // Siblings overlap where a frame holds controls: each paints only where none above it lies.
    HWND window = CreateWindowExA(0, cls.name, "", WS_CHILD | WS_CLIPSIBLINGS | cls.style, 0, 0, 0, 0, hwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    auto& child = *children_.emplace_back(
        std::make_unique<Child>(Child{this, &control, window, cls.pixels, {}, nullptr}));
    if (!window) {
        form_.runtime().reportProblem("a control's window could not be created (error " +
                                      std::to_string(GetLastError()) + ")");
        return child;
    }
    if (cls.pixels) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&child));
    } else if (cls.frame) {
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
    EnableWindow(w, control.enabledWithContainers());
    auto& text = static_cast<Win32Text&>(form_.runtime().text());
    HFONT font = text.fontFor(control.font());
    if (reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)) != font)
        SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    std::optional<std::string> shown;  // the window's text; the program's own windows have none
    control.visit(Overloaded{
        [&](const Label& label) { shown = label.caption(); },
        [&](const TextBox& box) {
            shown = box.text();
            SendMessageA(w, EM_SETREADONLY, box.locked(), 0);
            setStyleBit(w, GWL_EXSTYLE, WS_EX_CLIENTEDGE, box.border());
            InvalidateRect(w, nullptr, TRUE);  // its colour may have changed
        },
        [&](const CheckBox& box) {
            shown = box.caption();
            SendMessageA(w, BM_SETCHECK, box.value() == kChecked, 0);
        },
        [&](const OptionButton& option) {
            shown = option.caption();
            SendMessageA(w, BM_SETCHECK, option.value(), 0);
        },
        [&](const CommandButton& button) {
            shown = button.caption();
            SendMessageA(w, BM_SETSTYLE, (button.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY,
                         TRUE);
        },
        [&](const Frame& frame) { shown = frame.caption(); },
        [&](const Picture&) { InvalidateRect(w, nullptr, FALSE); },
        [&](const Image&) { InvalidateRect(w, nullptr, FALSE); },
    });
    if (shown && windowText(w) != *shown) {
        mirroring_ = true;
        SetWindowTextA(w, shown->c_str());
        mirroring_ = false;
    }
    mirrorTip(child);
    const bool shownNow = control.shownWithContainers();
    if (((GetWindowLongPtrA(w, GWL_STYLE) & WS_VISIBLE) != 0) != shownNow)
        ShowWindow(w, shownNow ? SW_SHOWNA : SW_HIDE);
}

// The controls' notifications, and the dialog manager's Enter and Esc: IDOK and IDCANCEL from no
// control, or a click of the focused default button.
void Win32FormPeer::command(WPARAM wParam, LPARAM lParam) {
    Child* child = childOf(reinterpret_cast<HWND>(lParam));
    if (!child) {
        dialogKey(LOWORD(wParam));
        return;
    }
    const WORD code = HIWORD(wParam);
    const auto buttonNotice = [&](Control& button, auto&& click) {
        // With BS_NOTIFY a quick second click comes as a double-click of its own: a click all the same.
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) click();
        if (code == BN_SETFOCUS) form_.keyboard().userFocused(&button);
    };
    child->control->visit(Overloaded{
        [&](TextBox& box) {
            if (code == EN_SETFOCUS) form_.keyboard().userFocused(&box);
            if (code == EN_CHANGE && !mirroring_) box.userEdited(windowText(child->window));
        },
        [&](CheckBox& box) { buttonNotice(box, [&box] { box.userClicked(); }); },
        [&](OptionButton& option) { buttonNotice(option, [&option] { option.userClicked(); }); },
        [&](CommandButton& button) { buttonNotice(button, [&button] { button.click(); }); },
        // Static controls, group boxes and the program's own windows send no notifications.
        [](Label&) {},
        [](Frame&) {},
        [](Picture&) {},
        [](Image&) {},
    });
}

}  // namespace corvane
