#include "platform/qt/qt_docked_tray_icon.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/qt/qt_x11_hints.h"

namespace corvane {

namespace {

constexpr std::uint32_t kRequestDock = 0;  // the tray's opcode that takes a window in

// The screen the program shows on, as the display's name gives it; a tray serves one screen.
xcb_screen_t* programScreen(xcb_connection_t* c, int& number) {
    char* host = nullptr;
    int display = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &number)) number = 0;
    std::free(host);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < number && it.rem > 1; ++i) xcb_screen_next(&it);
    return it.data;
}

xcb_window_t selectionOwner(xcb_connection_t* c, xcb_atom_t selection) {
    xcb_get_selection_owner_reply_t* r =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const xcb_window_t owner = r ? r->owner : xcb_window_t{XCB_NONE};
    std::free(r);
    return owner;
}

// Whether the tray composes its icons itself, with their alpha channel: it names a visual 32 bits deep.
bool trayHasAlpha(xcb_connection_t* c, const xcb_screen_t* screen, xcb_window_t tray) {
    const auto visual = property32(c, tray, atom(c, "_NET_SYSTEM_TRAY_VISUAL"), XCB_ATOM_VISUALID);
    if (visual.empty()) return false;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == visual[0]) return d.data->depth == 32;
    return false;
}

}  // namespace

std::unique_ptr<DockedTrayIcon> DockedTrayIcon::dock(QIcon icon, std::function<void(TrayEvent)> report) {
    xcb_connection_t* c = x11Connection();
    if (!c) return nullptr;
    int number = 0;
    const xcb_screen_t* screen = programScreen(c, number);
    char selection[32];
    std::snprintf(selection, sizeof selection, "_NET_SYSTEM_TRAY_S%d", number);
    const Atoms atoms{atom(c, selection), atom(c, "_NET_SYSTEM_TRAY_OPCODE"), atom(c, "MANAGER")};
    const xcb_window_t tray = selectionOwner(c, atoms.selection);
    if (tray == XCB_NONE) return nullptr;
    return std::unique_ptr<DockedTrayIcon>(new DockedTrayIcon(
        c, screen->root, atoms, trayHasAlpha(c, screen, tray), std::move(icon), std::move(report)));
}

DockedTrayIcon::DockedTrayIcon(xcb_connection_t* c, xcb_window_t root, Atoms atoms, bool alpha, QIcon icon,
                               std::function<void(TrayEvent)> report)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint),
      c_(c),
      root_(root),
      atoms_(atoms),
      icon_(std::move(icon)),
      report_(std::move(report)) {
    // A tray that composes its icons gets a window with an alpha channel, which Qt gives a see-through
    // one. Other trays show the window as it is: Qt's X11 backend gives a window of this name a backing
    // store that draws the tray's own background under the icon's clear pixels.
    if (!alpha) setObjectName(QStringLiteral("QSystemTrayIconSys"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_AlwaysShowToolTips);  // the icon's window is never the active one
    setAttribute(Qt::WA_QuitOnClose, false);
    // Trays size a slot by the least size a window asks for, and some give one that asks for none a
    // single pixel; this is the size trays have used for icons since they began.
    setMinimumSize(22, 22);
    createWinId();
    QCoreApplication::instance()->installNativeEventFilter(this);
    requestDock();
}

DockedTrayIcon::~DockedTrayIcon() { hide(); }  // a tray may let a slot go only when its window goes

void DockedTrayIcon::requestDock() {
    const xcb_window_t tray = selectionOwner(c_, atoms_.selection);
    if (tray == XCB_NONE) return;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = tray;
    e.type = atoms_.opcode;
    e.data.data32[0] = XCB_CURRENT_TIME;
    e.data.data32[1] = kRequestDock;
    e.data.data32[2] = static_cast<std::uint32_t>(winId());
    xcb_send_event(c_, 0, tray, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
    xcb_flush(c_);
    show();
}

// Qt itself listens to the root window's structure, where a new tray announces itself.
bool DockedTrayIcon::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            const auto* m = static_cast<const xcb_client_message_event_t*>(message);
            if (m->window == root_ && m->type == atoms_.manager && m->data.data32[1] == atoms_.selection)
                QMetaObject::invokeMethod(
                    this, [this] { requestDock(); }, Qt::QueuedConnection);
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            const auto* r = static_cast<const xcb_reparent_notify_event_t*>(message);
            if (r->window == static_cast<xcb_window_t>(winId()) && r->parent == root_)
                QMetaObject::invokeMethod(
                    this, [this] { hide(); }, Qt::QueuedConnection);
            break;
        }
        default:
            break;
    }
    return false;  // Qt goes on with every event as before
}

void DockedTrayIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    icon_.paint(&painter, rect());
}

// As Qt's own tray icon tells them: a left press is the click, a right press asks for the menu.
void DockedTrayIcon::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) report_(TrayEvent::LeftButtonDown);
    if (event->button() == Qt::RightButton) report_(TrayEvent::RightButtonUp);
}

void DockedTrayIcon::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) report_(TrayEvent::LeftDoubleClick);
}

}  // namespace corvane
