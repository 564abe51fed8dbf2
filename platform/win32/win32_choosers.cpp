#include "platform/win32/win32_choosers.h"

#include <windows.h>
// (after windows.h, which they need)
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <vector>

#include "platform/win32/win32_runtime.h"

namespace corvane {

std::string nulSeparatedFilter(const std::string& filter) {
    std::string nul = filter;
    std::replace(nul.begin(), nul.end(), '|', '\0');
    nul.push_back('\0');
    nul.push_back('\0');
    return nul;
}

std::optional<Color> Win32Choosers::chooseColor(Form& owner, Color initial) {
    // The sixteen custom colours the user mixes stay for the rest of the run, as the dialog expects.
    static std::array<COLORREF, 16> custom{};
    custom.fill(custom[0] ? custom[0] : RGB(255, 255, 255));
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = Win32Runtime::windowOf(owner);
    cc.rgbResult = initial;  // a COLORREF is 0x00BBGGRR too
    cc.lpCustColors = custom.data();
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorA(&cc)) return std::nullopt;
    return static_cast<Color>(cc.rgbResult);
}

std::optional<std::string> Win32Choosers::chooseFile(Form& owner, const FileChooserRequest& request) {
    const std::string filter = nulSeparatedFilter(request.filter);
    std::vector<char> file(32768, '\0');  // the longest path the system allows
    std::copy_n(request.fileName.begin(), std::min(request.fileName.size(), file.size() - 1), file.begin());
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Win32Runtime::windowOf(owner);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(std::max(request.filterIndex, 0));
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = request.initialDir.empty() ? nullptr : request.initialDir.c_str();
    ofn.lpstrTitle = request.title.c_str();
    // The look of today's open dialog; no read-only box when asked.
    ofn.Flags = OFN_EXPLORER | (request.hideReadOnly ? OFN_HIDEREADONLY : 0);
    if (!GetOpenFileNameA(&ofn)) return std::nullopt;
    return std::string(file.data());
}

void Win32Choosers::messageBox(Form& owner, const std::string& text, MessageBoxKind kind,
                               const std::string& title) {
    UINT style = MB_OK;
    switch (kind) {
        case MessageBoxKind::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
    }
    MessageBoxA(Win32Runtime::windowOf(owner), text.c_str(), title.c_str(), style);
}

}  // namespace corvane
