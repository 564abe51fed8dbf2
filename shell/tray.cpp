#include "shell/tray.h"

#include <algorithm>

namespace corvane {

NotifyIconData makeNotifyIconData(int message, std::string_view tip) {
    NotifyIconData d;  // all zero: what a delete needs
    d.uID = kTrayIconId;
    if (message == kNimDelete) return d;
    d.uFlags = kTrayFlags;
    d.uCallbackMessage = kTrayCallbackMessage;
    d.hIcon = true;
    const std::size_t n = std::min(tip.size(), d.szTip.size() - 1);
    std::copy_n(tip.begin(), n, d.szTip.begin());
    d.szTip[n] = '\0';
    std::fill(d.szTip.begin() + static_cast<std::ptrdiff_t>(n) + 1, d.szTip.end(), ' ');
    return d;
}

}  // namespace corvane
