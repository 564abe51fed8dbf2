#include "platform/win32/win32_popup_menu.h"

#include "platform/win32/handles.h"
#include "platform/win32/win32_window_class.h"

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
    // owner must get a message after it, or the next menu closes at once. The anchor is the foreground
    // window for the menu's life, so the arrow keys, Enter and Esc reach it wherever the pointer is.
    const UniqueWindow anchor = keyboardAnchor(cursor);
    HWND menuOwner = anchor ? anchor.get() : owner_;
    if (!anchor) SetForegroundWindow(owner_);
    const BOOL chosen =
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y, 0, menuOwner, nullptr);
    PostMessageA(owner_, WM_NULL, 0, 0);
    if (chosen <= 0) return std::nullopt;
    return static_cast<int>(chosen) - 1;
}

}  // namespace corvane
