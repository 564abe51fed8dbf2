#include "platform/win32/win32_tray.h"

#include <cstring>

#include "platform/win32/resource_ids.h"

namespace corvane::win32 {

static_assert(sizeof(NotifyIconData::szTip) == 64 && sizeof(NOTIFYICONDATAA::szTip) >= 64,
              "the program's tip fills the first-version record's 64 characters");

NOTIFYICONDATAA toShellRecord(const NotifyIconData& data, HWND window, HICON icon) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = window;
    nid.uID = data.uID;
    nid.uFlags = data.uFlags;
    nid.uCallbackMessage = data.uCallbackMessage;
    nid.hIcon = data.hIcon ? icon : nullptr;
    std::memcpy(nid.szTip, data.szTip.data(), data.szTip.size());
    return nid;
}

Win32Tray::Win32Tray() : taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {
    // The small icon size of this screen: 16 pixels at 96 DPI, more on denser screens.
    icon_.reset(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_CORVANE),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
}

void Win32Tray::shellNotifyIcon(int message, const NotifyIconData& data) {
    NOTIFYICONDATAA nid = toShellRecord(data, window_, icon_.get());
    shell(static_cast<DWORD>(message), &nid);
    switch (message) {
        case kNimAdd:
            lastAdd_ = nid;
            lastModify_.reset();
            if (data.uFlags & NIF_MESSAGE) callbackMessage_ = data.uCallbackMessage;
            break;
        case kNimModify:
            lastModify_ = nid;
            if (data.uFlags & NIF_MESSAGE) callbackMessage_ = data.uCallbackMessage;
            break;
        case kNimDelete:
            lastAdd_.reset();
            lastModify_.reset();
            callbackMessage_ = 0;
            break;
        default:
            break;
    }
}

bool Win32Tray::handleMessage(UINT message, LPARAM lParam) {
    if (message == 0) return false;
    if (message == callbackMessage_) {
        // lParam is the mouse message that happened on the icon.
        if (onNotify) onNotify(static_cast<int>(lParam));
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
    shell(NIM_ADD, &*lastAdd_);
    if (lastModify_) shell(NIM_MODIFY, &*lastModify_);
}

}  // namespace corvane::win32
