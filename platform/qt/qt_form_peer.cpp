#include "platform/qt/qt_form_peer.h"

#include <QWindow>
#include <algorithm>

#include "platform/qt/qt_x11_hints.h"

namespace corvane {

namespace {

Qt::WindowFlags windowFlags(const FormStyle& style) {
    // A tool window is the kind window managers leave off the taskbar; the pager needs the hint too.
    Qt::WindowFlags flags = style.showInTaskbar ? Qt::Window : Qt::Tool;
    switch (style.border) {
        case BorderStyle::None:
            flags |= Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint;
            break;
        case BorderStyle::FixedDialog:
            flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                     Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
            break;
    }
    return flags;
}

// The program's texts are single-byte, as the Windows program's are.
QString toQString(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QtFormPeer::QtFormPeer(Form& form) : form_(form), widget_(form, windowFlags(form.style())) {
    widget_.setAttribute(Qt::WA_ShowWithoutActivating, !form.style().activateOnShow);
    captionChanged();
    geometryChanged();
}

void QtFormPeer::geometryChanged() {
    // X11 has no empty windows; a zero size still gets one pixel.
    const QRect r(form_.pixelLeft(), form_.pixelTop(), std::max(1, form_.pixelWidth()),
                  std::max(1, form_.pixelHeight()));
    if (form_.style().border == BorderStyle::None) {
        widget_.setGeometry(r);
    } else {
        // A framed window's place is that of its frame; the user cannot resize it.
        widget_.setFixedSize(r.size());
        widget_.move(r.topLeft());
    }
}

void QtFormPeer::visibilityChanged() {
    const bool showing = form_.visible() && !widget_.isVisible();
    widget_.setVisible(form_.visible());
    if (QWindow* w = widget_.windowHandle(); showing && w && !form_.style().showInTaskbar)
        skipTaskbarAndPager(*w);
}

void QtFormPeer::backColorChanged() { widget_.update(); }

void QtFormPeer::captionChanged() { widget_.setWindowTitle(toQString(form_.style().caption)); }

void QtFormPeer::topmostChanged() {
    // The widget is told the new flags without acting on them (it would re-create its window at the
    // next show); the native window, once there is one, gets them directly, which keeps it as it is: no
    // flicker. Before that, the window is created with them.
    Qt::WindowFlags flags = widget_.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, form_.topmost());
    widget_.overrideWindowFlags(flags);
    if (QWindow* w = widget_.windowHandle()) w->setFlags(flags);
    if (widget_.isVisible()) widget_.raise();
}

void QtFormPeer::controlChanged(Control&) { widget_.update(); }

}  // namespace corvane
