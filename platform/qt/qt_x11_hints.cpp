#include "platform/qt/qt_x11_hints.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace corvane {

// Qt rewrites the state property just before mapping, so the atoms are added to the property after
// that (a window manager reads it when it takes the window on) and also sent as the message that a
// window already managed needs.
void skipTaskbarAndPager(QWindow& w) {
    // Qt's offscreen platform offers the X11 interface too, with no connection behind it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    auto atom = [c](const char* name) {
        const auto len = static_cast<std::uint16_t>(std::strlen(name));
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, len, name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(r);
        return a;
    };
    const auto window = static_cast<xcb_window_t>(w.winId());  // the native window as it is now
    const xcb_atom_t netWmState = atom("_NET_WM_STATE");
    const xcb_atom_t skip[] = {atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER")};

    std::vector<xcb_atom_t> states;
    const auto cookie = xcb_get_property(c, 0, window, netWmState, XCB_ATOM_ATOM, 0, 64);
    if (xcb_get_property_reply_t* r = xcb_get_property_reply(c, cookie, nullptr)) {
        const auto* a = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
        states.assign(a, a + xcb_get_property_value_length(r) / sizeof(xcb_atom_t));
        std::free(r);
    }
    for (const xcb_atom_t a : skip)
        if (std::find(states.begin(), states.end(), a) == states.end()) states.push_back(a);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());

    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = window;
    e.type = netWmState;
    e.data.data32[0] = 1;  // add
    e.data.data32[1] = skip[0];
    e.data.data32[2] = skip[1];
    e.data.data32[3] = 1;  // from an application
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(c);
}

}  // namespace corvane
