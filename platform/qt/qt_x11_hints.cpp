#include "platform/qt/qt_x11_hints.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace corvane {

xcb_connection_t* x11Connection() {
    // Qt's offscreen platform offers the X11 interface too, with no connection behind it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    return c && QGuiApplication::platformName() == QLatin1String("xcb") ? c : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto len = static_cast<std::uint16_t>(std::strlen(name));
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, len, name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(r);
    return a;
}

std::vector<std::uint32_t> property32(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
    std::vector<std::uint32_t> items;
    const auto cookie = xcb_get_property(c, 0, w, name, type, 0, 1024);
    if (xcb_get_property_reply_t* r = xcb_get_property_reply(c, cookie, nullptr)) {
        if (r->format == 32) {
            const auto* a = static_cast<const std::uint32_t*>(xcb_get_property_value(r));
            items.assign(a, a + xcb_get_property_value_length(r) / 4);
        }
        std::free(r);
    }
    return items;
}

namespace {

void sendToRoot(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type,
                std::initializer_list<std::uint32_t> data) {
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = window;
    e.type = type;
    std::size_t i = 0;
    for (const std::uint32_t d : data) e.data.data32[i++] = d;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(c);
}

}  // namespace

WindowFrame requestFrameExtents(QWindow& w) {
    xcb_connection_t* c = x11Connection();
    if (!c) return {};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const auto supported = property32(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (std::find(supported.begin(), supported.end(), request) == supported.end()) return {};
    const auto window = static_cast<xcb_window_t>(w.winId());
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    sendToRoot(c, window, request, {});
    // A window manager answers within a millisecond (the tests' does), and this runs before the
    // first frame: asked soon, then less and less often, for half a second in all.
    using namespace std::chrono_literals;
    auto pause = 1ms;
    for (auto waited = 0ms; waited < 500ms; waited += pause, pause = std::min(2 * pause, 20ms)) {
        // left, right, top, bottom
        if (const auto e = property32(c, window, extents, XCB_ATOM_CARDINAL); e.size() == 4)
            return {static_cast<int>(e[0]), static_cast<int>(e[2]), static_cast<int>(e[1]),
                    static_cast<int>(e[3])};
        std::this_thread::sleep_for(pause);
    }
    return {};
}

// Qt rewrites the state property just before mapping, so the atoms are added to the property after
// that (a window manager reads it when it takes the window on) and also sent as the message that a
// window already managed needs.
void skipTaskbarAndPager(QWindow& w) {
    xcb_connection_t* c = x11Connection();
    if (!c) return;
    const auto window = static_cast<xcb_window_t>(w.winId());  // the native window as it is now
    const xcb_atom_t netWmState = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip[] = {atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), atom(c, "_NET_WM_STATE_SKIP_PAGER")};

    std::vector<std::uint32_t> states = property32(c, window, netWmState, XCB_ATOM_ATOM);
    for (const xcb_atom_t a : skip)
        if (std::find(states.begin(), states.end(), a) == states.end()) states.push_back(a);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());
    sendToRoot(c, window, netWmState, {1 /* add */, skip[0], skip[1], 1 /* from an application */});
}

}  // namespace corvane
