#pragma once
// What X11 window managers read that Qt sets no flag for, and the few X11 calls behind it.

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

#include "platform/forms.h"

class QWindow;

namespace corvane {

// The program's connection to the X server; null on another platform.
xcb_connection_t* x11Connection();

xcb_atom_t atom(xcb_connection_t* c, const char* name);

// A window property of 32-bit items; empty when it is not there.
std::vector<std::uint32_t> property32(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type);

// Asks the window manager to keep the window off the taskbar and the pager. Call it right after the
// window is asked to map; on another platform than X11 it does nothing.
void skipTaskbarAndPager(QWindow& window);

// The frame the window manager will put around the window, which must exist but not be shown yet: it
// is asked and its answer awaited for up to half a second. No frame where there is no window manager
// that answers, or no X11.
WindowFrame requestFrameExtents(QWindow& window);

}  // namespace corvane
