#pragma once
// Owners for the native handles the backend holds. The meter is redrawn every second for as long as
// the machine runs, so a handle that is not given back shows up as a GDI leak within the hour.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace corvane {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct GdiDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

template <typename Handle, typename Deleter>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

using UniqueKey = Unique<HKEY, KeyCloser>;
using UniqueIcon = Unique<HICON, IconDestroyer>;
using UniqueBrush = Unique<HBRUSH, GdiDeleter>;
using UniqueBitmap = Unique<HBITMAP, GdiDeleter>;
using UniqueFont = Unique<HFONT, GdiDeleter>;
using UniqueMemoryDc = Unique<HDC, DcDeleter>;
using UniqueWindow = Unique<HWND, WindowDestroyer>;
using UniqueHandle = Unique<HANDLE, HandleCloser>;
using UniqueMenu = Unique<HMENU, MenuDestroyer>;

// A device context borrowed with GetDC, given back with ReleaseDC to the same window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for as long as this lives.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() {
        if (old_) SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// The object behind one of our windows: handed to CreateWindowExA as its creation parameter and kept in
// the window's user data from the first message on. Null before that, and once the object has cleared
// the user data on its way out.
template <typename Owner>
Owner* windowOwner(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace corvane
