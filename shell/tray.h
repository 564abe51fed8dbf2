#pragma once

#include <string_view>

#include "platform/runtime.h"

namespace corvane {

inline constexpr unsigned kTrayIconId = 1;
inline constexpr unsigned kTrayFlags = 7;              // message, icon and tip are valid
inline constexpr unsigned kTrayCallbackMessage = 512;  // the icon's notifications arrive as mouse moves

// The record for one icon call, built afresh each time. The tip is cut so its terminating NUL always
// fits, and the rest of the field is padded with blanks.
NotifyIconData makeNotifyIconData(int message, std::string_view tip);

}  // namespace corvane
