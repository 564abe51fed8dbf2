#include "platform/win32/win32_popup_menu.h"

#include "platform/win32/handles.h"

namespace corvane {

std::optional<int> Win32PopupMenu::show(std::span<const MenuItem> items) {
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu) return std::nullopt;
    // Item i answers with i + 1: TrackPopupMenu's 0 means nothing was chosen.
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].caption == "-")
            AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu.get(), MF_STRING, i + 1, items[i].caption.c_str());
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    // A menu whose owner is not the foreground window stays up when the user clicks elsewhere; and the
    // owner must get a message after it, or the next menu closes at once. The owner is a window of its
    // own, shown for the menu's life, fully transparent and without a frame: a window that is shown can
    // take the keyboard (the program's hidden window cannot), so the arrow keys, Enter and Esc reach
    // the menu wherever the pointer is; under Wine that is what gives the menu the X input focus.
    const UniqueWindow owner(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED, "STATIC", "",
                                             WS_POPUP, cursor.x, cursor.y, 1, 1, owner_, nullptr,
                                             GetModuleHandleA(nullptr), nullptr));
    HWND menuOwner = owner ? owner.get() : owner_;
    if (owner) {
        SetLayeredWindowAttributes(menuOwner, 0, 0, LWA_ALPHA);
        ShowWindow(menuOwner, SW_SHOWNOACTIVATE);
    }
    SetForegroundWindow(menuOwner);
    const BOOL chosen =
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y, 0, menuOwner, nullptr);
    PostMessageA(owner_, WM_NULL, 0, 0);
    if (chosen <= 0) return std::nullopt;
    return static_cast<int>(chosen) - 1;
}

}  // namespace corvane
