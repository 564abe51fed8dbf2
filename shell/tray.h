#pragma once
// The notification-area icon as the program sees it: its tip, and its mouse messages by number.

#include <string>
#include <string_view>

#include "platform/runtime.h"

namespace corvane {

// The icon's mouse messages, by the numbers the main form's handler compares.
inline constexpr int kIconMouseMove = 512;
inline constexpr int kIconLeftDown = 513;
inline constexpr int kIconLeftUp = 514;
inline constexpr int kIconLeftDoubleClick = 515;
inline constexpr int kIconRightDown = 516;
inline constexpr int kIconRightUp = 517;

int mouseMessageOf(TrayEvent event);

// The most of a tip the notification area holds: 64 characters with the terminating NUL.
inline constexpr std::size_t kTrayTipLength = 63;

// The tip as the icon shows it: cut to kTrayTipLength characters.
std::string trayTip(std::string_view text);

}  // namespace corvane
