#include "platform/qt/qt_form_peer.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <algorithm>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_display_loss.h"
#include "platform/qt/qt_frame_widget.h"
#include "platform/qt/qt_pixels_widget.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_x11_hints.h"

namespace corvane {

Qt::WindowFlags windowFlagsOf(const FormStyle& style) {
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

// Tells the form which control the user gave the keyboard focus to, and hands it Tab and the arrow
// keys before the widgets see them: where they move is the form's to say, not Qt's.
class QtFormPeer::FocusWatch final : public QObject {
  public:
    explicit FocusWatch(QtFormPeer& peer) : peer_(peer) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        Keyboard& keyboard = peer_.form_.keyboard();
        if (e->type() == QEvent::FocusIn)
            for (const auto& [control, w] : peer_.children_)
                if (w == watched) keyboard.userFocused(const_cast<Control*>(control));
        if (e->type() != QEvent::KeyPress ||
            (static_cast<QKeyEvent*>(e)->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        switch (static_cast<QKeyEvent*>(e)->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                keyboard.tab(static_cast<QKeyEvent*>(e)->key() == Qt::Key_Tab);
                return true;
            case Qt::Key_Down:
            case Qt::Key_Right:
                return keyboard.arrowKey(true);
            case Qt::Key_Up:
            case Qt::Key_Left:
                return keyboard.arrowKey(false);
            default:
                return false;
        }
    }

  private:
    QtFormPeer& peer_;
};

QtFormPeer::QtFormPeer(Form& form)
    : form_(form),
      widget_(form, windowFlagsOf(form.style())),
      focusWatch_(std::make_unique<FocusWatch>(*this)) {
    widget_.setAttribute(Qt::WA_ShowWithoutActivating, !form.style().activateOnShow);
    widget_.installEventFilter(focusWatch_.get());
    captionChanged();
    geometryChanged();
}

// The controls' widgets go first, each without a word to the form: their signals and focus changes
// would otherwise reach controls that are gone already.
QtFormPeer::~QtFormPeer() {
    widget_.removeEventFilter(focusWatch_.get());
    for (const auto& [control, w] : children_) {
        w->removeEventFilter(focusWatch_.get());
        w->blockSignals(true);
    }
    for (const auto& [control, w] : children_) delete w;
}

void QtFormPeer::geometryChanged() {
    if (QtDisplayLoss::lost()) return;
    // A hidden window takes its place when it is shown: a framed one's size needs the frame's
    // extents, which a window made only to ask for them tells, and a form never shown (the main form,
    // which holds the menu and the timers) then costs no such window.
    if (!widget_.isVisible() && !form_.visible()) return;
    const QPoint place = QPoint(form_.pixelLeft(), form_.pixelTop()) +
                         static_cast<QtScreen&>(form_.runtime().screen()).origin();
    // X11 has no empty windows; a zero size still gets one pixel.
    if (form_.style().border == BorderStyle::None) {
        widget_.setGeometry(place.x(), place.y(), std::max(1, form_.pixelWidth()),
                            std::max(1, form_.pixelHeight()));
    } else {
        // A framed window's place is that of its frame, its size that of the client area inside; the
        // user cannot resize it.
        widget_.setFixedSize(std::max(1, form_.clientPixelWidth()), std::max(1, form_.clientPixelHeight()));
        widget_.move(place);
    }
}

void QtFormPeer::visibilityChanged() {
    if (QtDisplayLoss::lost()) return;
    const bool showing = form_.visible() && !widget_.isVisible();
    if (showing) {
        geometryChanged();
        makeAll();
    }
    widget_.setVisible(form_.visible());
    // A window manager gives a new window the focus; without one, the window takes it itself (Qt sets
    // the X input focus then, once the window is mapped).
    if (showing && form_.style().activateOnShow) widget_.activateWindow();
    if (QWindow* w = widget_.windowHandle(); showing && w && !form_.style().showInTaskbar)
        skipTaskbarAndPager(*w);
}

void QtFormPeer::backColorChanged() {
    if (!QtDisplayLoss::lost()) widget_.update();
}

void QtFormPeer::captionChanged() {
    if (!QtDisplayLoss::lost()) widget_.setWindowTitle(latin1(form_.style().caption));
}

void QtFormPeer::topmostChanged() {
    if (QtDisplayLoss::lost()) return;
    // The widget is told the new flags without acting on them (it would re-create its window at the
    // next show); the native window, once there is one, gets them directly, which keeps it as it is: no
    // flicker. Before that, the window is created with them.
    Qt::WindowFlags flags = widget_.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, form_.topmost());
    widget_.overrideWindowFlags(flags);
    if (QWindow* w = widget_.windowHandle()) w->setFlags(flags);
    if (widget_.isVisible()) widget_.raise();
}

void QtFormPeer::controlChanged(Control& control) {
    if (QtDisplayLoss::lost()) return;
    if (!made_) return;  // the first show makes every control's widget as it is then
    QWidget* w = widgetOf(control);
    if (!w) {
        w = make(control);
        order();
    }
    mirror(control, *w);
}

void QtFormPeer::focusChanged() {
    if (QtDisplayLoss::lost()) return;
    // A window that is not active takes the focus into this widget once it is activated. The focus moves
    // as Tab moves it: a text box it comes to has its text selected, to be typed over.
    if (QWidget* w = form_.keyboard().activeControl() ? widgetOf(*form_.keyboard().activeControl()) : nullptr)
        w->setFocus(Qt::TabFocusReason);
}

QWidget* QtFormPeer::widgetOf(const Control& control) const {
    const auto it = children_.find(&control);
    return it == children_.end() ? nullptr : it->second;
}

void QtFormPeer::makeAll() {
    if (made_) return;
    made_ = true;
    for (const auto& c : form_.controls()) mirror(*c, *make(*c));
    order();
}

// The user's actions come back as the model's user entry points, never through the setters the
// program uses, so nothing the program does is reported back as the user's. Labels and frames take no
// mouse of their own: it goes to the form's router beneath them.
QWidget* QtFormPeer::make(Control& control) {
    QWidget* w = control.visit(Overloaded{
        [this](Picture& picture) -> QWidget* {
            return new QtPixelsWidget(widget_, picture.image(), form_.keyboard());
        },
        [this](Image& image) -> QWidget* {
            return new QtPixelsWidget(widget_, image.picture(), form_.keyboard());
        },
        [this](Label&) -> QWidget* {
            auto* label = new QLabel(&widget_);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            return label;
        },
        [this](TextBox& box) -> QWidget* {
            auto* edit = new QLineEdit(&widget_);
            QObject::connect(edit, &QLineEdit::textEdited,
                             [&box](const QString& text) { box.userEdited(toLocal(text)); });
            return edit;
        },
        [this](CheckBox& box) -> QWidget* {
            auto* check = new QCheckBox(&widget_);
            QObject::connect(check, &QCheckBox::clicked, [&box] { box.userClicked(); });
            return check;
        },
        [this](OptionButton& button) -> QWidget* {
            // The model keeps the groups (one a container), not Qt, which groups by parent widget.
            auto* option = new QRadioButton(&widget_);
            option->setAutoExclusive(false);
            QObject::connect(option, &QRadioButton::clicked, [&button] { button.userClicked(); });
            return option;
        },
        [this](CommandButton& command) -> QWidget* {
            auto* button = new QPushButton(&widget_);
            button->setAutoDefault(false);
            QObject::connect(button, &QPushButton::clicked, [&command] { command.click(); });
            return button;
        },
        [this](Frame&) -> QWidget* { return new QtFrameWidget(&widget_); },
    });
    w->installEventFilter(focusWatch_.get());
    children_[&control] = w;
    return w;
}

void QtFormPeer::mirror(Control& control, QWidget& w) {
    const PixelRect r = control.pixelRect();
    w.setGeometry(r.left, r.top, r.width, r.height);
    w.setToolTip(latin1(control.toolTipText()));
    // A picture's text is drawn into its pixels by the text service, never by its widget: a font there
    // would only bring Qt's font matching into a program whose one window is a picture.
    if (!control.as<Picture>() && !control.as<Image>())
        w.setFont(static_cast<QtText&>(form_.runtime().text()).qfont(control.font()));
    w.setFocusPolicy(control.tabStop()     ? Qt::StrongFocus
                     : control.focusable() ? Qt::ClickFocus
                                           : Qt::NoFocus);
    w.setEnabled(control.enabledWithContainers());
    control.visit(Overloaded{
        [&w](const Picture&) { w.update(); },
        [&w](const Image&) { w.update(); },
        [&w](const Label& label) { static_cast<QLabel&>(w).setText(latin1(label.caption())); },
        [&w](const TextBox& box) {
            auto& edit = static_cast<QLineEdit&>(w);
            // Only a real change: setting the same text again would move the cursor to the end.
            // The program's text is shown from its start, as a new text is in a native edit box: a
            // line that scrolls by losing its first characters then moves.
            if (const QString text = fromLocal(box.text()); edit.text() != text) {
                edit.setText(text);
                edit.setCursorPosition(0);
            }
            edit.setReadOnly(box.locked());
            edit.setFrame(box.border());
            QPalette palette = edit.palette();
            palette.setColor(QPalette::Base, toQColor(box.backColor()));
            edit.setPalette(palette);
        },
        [&w](const CheckBox& box) {
            auto& check = static_cast<QCheckBox&>(w);
            check.setText(latin1(box.caption()));
            check.setChecked(box.value() == kChecked);
        },
        [&w](const OptionButton& button) {
            auto& option = static_cast<QRadioButton&>(w);
            option.setText(latin1(button.caption()));
            option.setChecked(button.value());
        },
        [&w](const CommandButton& command) {
            auto& button = static_cast<QPushButton&>(w);
            button.setText(latin1(command.caption()));
            button.setDefault(command.isDefault());
        },
        [&w](const Frame& frame) { static_cast<QtFrameWidget&>(w).setCaption(latin1(frame.caption())); },
    });
    w.setVisible(control.shownWithContainers());
}

// Stacked in the form's drawing order: frames beneath what they hold, labels beneath the controls
// that take input.
void QtFormPeer::order() {
    for (const Control* c : form_.drawingOrder())
        if (QWidget* w = widgetOf(*c)) w->raise();
}

}  // namespace corvane
