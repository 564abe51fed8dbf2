#pragma once
// What X11 window managers read that Qt sets no flag for.

class QWindow;

namespace corvane {

// Asks the window manager to keep the window off the taskbar and the pager. Call it right after the
// window is asked to map; on another platform than X11 it does nothing.
void skipTaskbarAndPager(QWindow& window);

}  // namespace corvane
