#include "platform/win32/win32_tray.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/resource_ids.h"

namespace corvane {

namespace {

// The mouse messages on the icon, as the program names them; the others (the middle button, say) mean
// nothing to it.
std::optional<TrayEvent> trayEventOf(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_MOUSEMOVE:
            return TrayEvent::MouseMove;
        case WM_LBUTTONDOWN:
            return TrayEvent::LeftButtonDown;
        case WM_LBUTTONUP:
            return TrayEvent::LeftButtonUp;
        case WM_LBUTTONDBLCLK:
            return TrayEvent::LeftDoubleClick;
        case WM_RBUTTONDOWN:
            return TrayEvent::RightButtonDown;
        case WM_RBUTTONUP:
            return TrayEvent::RightButtonUp;
        default:
            return std::nullopt;
    }
}

}  // namespace

NOTIFYICONDATAA toShellRecord(const std::string& tip, HWND window, HICON icon) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = window;
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kTrayCallbackMessage;
    nid.hIcon = icon;
    constexpr std::size_t kTipField = 64;  // the first-version record's
    static_assert(sizeof nid.szTip >= kTipField);
    const std::size_t n = std::min(tip.size(), kTipField - 1);
    std::memcpy(nid.szTip, tip.data(), n);
    std::memset(nid.szTip + n + 1, ' ', kTipField - n - 1);
    return nid;
}

Win32Tray::Win32Tray() : taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {
    // The small icon size of this screen: 16 pixels at 96 DPI, more on denser screens.
    icon_.reset(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_CORVANE),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
}

void Win32Tray::add(const std::string& tip) {
    lastAdd_ = toShellRecord(tip, window_, icon_.get());
    lastModify_.reset();
    restore();
}

void Win32Tray::setTip(const std::string& tip) {
    NOTIFYICONDATAA nid = toShellRecord(tip, window_, icon_.get());
    shell(NIM_MODIFY, &nid);
    lastModify_ = nid;
}

void Win32Tray::remove() {
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = window_;
    nid.uID = kTrayIconId;
    shell(NIM_DELETE, &nid);
    KillTimer(window_, kTrayRetryTimer);
    lastAdd_.reset();
    lastModify_.reset();
}

bool Win32Tray::handleMessage(UINT message, LPARAM lParam) {
    if (message == 0) return false;
    if (message == kTrayCallbackMessage && lastAdd_) {
        if (const std::optional<TrayEvent> event = trayEventOf(lParam); event && onEvent) onEvent(*event);
        return true;
    }
    if (message == taskbarCreated_) {
        restore();
        return true;
    }
    return false;
}

void Win32Tray::restore() {
    if (!lastAdd_) return;
    if (!shell(NIM_ADD, &*lastAdd_) && !shell(NIM_MODIFY, &*lastAdd_)) {
        SetTimer(window_, kTrayRetryTimer, 1000, nullptr);
        return;
    }
    KillTimer(window_, kTrayRetryTimer);
    if (lastModify_) shell(NIM_MODIFY, &*lastModify_);
}

}  // namespace corvane
