#pragma once
// The control base: what every control of a form has, whatever its kind, and the mouse events it
// hears.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/geometry.h"
#include "platform/graphics.h"

namespace corvane {

class Form;

struct MouseArgs {
    std::int16_t button = 0;  // 1 left, 2 right, 4 middle
    std::int16_t shift = 0;   // 1 shift, 2 control, 4 alt
    float x = 0;              // in the form's scale units, from the control's top left corner
    float y = 0;
};

constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kMiddleButton = 4;
constexpr std::int16_t kShiftKey = 1;
constexpr std::int16_t kCtrlKey = 2;
constexpr std::int16_t kAltKey = 4;

// The kinds of control (controls.h), as each control is tagged with its own; Control::visit and
// Control::as read it, nothing else does.
enum class ControlKind { Picture, Label, TextBox, CheckBox, OptionButton, CommandButton, Frame, Image };

// Where a control is drawn among the others of its form, from the bottom up (Form::drawingOrder). The
// layouts let a label's box reach under the text box beside it; a label is drawn on its container, as
// the layouts expect, so it lies beneath every control that takes input and never covers one.
enum class DrawingLayer { Frames, Labels, Controls };

// What every control of a form has: a place in its container's units (the form's scale units,
// relative to the container's top left corner), visibility, enabled state, a tooltip text, a place in
// the tab order and the mouse events. Its pixel rectangle is rounded here, once, so every backend puts
// it on the same pixels.
class Control : public Placement {
  public:
    Control(Form& owner, std::string name, ControlKind kind, Control* container);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Form& owner() const { return owner_; }
    Control* container() const { return container_; }

    // The control as what it is: f is called with the Picture, Label, TextBox, CheckBox, OptionButton,
    // CommandButton, Frame or Image this is, and its result returned. f must take every kind, so a
    // kind that a caller does not handle fails to build there (see Overloaded in controls.h).
    template <class F>
    decltype(auto) visit(F&& f);
    template <class F>
    decltype(auto) visit(F&& f) const;
    // The control as the kind K, or null when it is another kind.
    template <class K>
    K* as() {
        return kind_ == K::kKind ? static_cast<K*>(this) : nullptr;
    }
    template <class K>
    const K* as() const {
        return kind_ == K::kKind ? static_cast<const K*>(this) : nullptr;
    }

    bool visible() const { return visible_; }
    void setVisible(bool v);
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    const std::string& toolTipText() const { return toolTipText_; }
    void setToolTipText(std::string text);
    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int index) { tabIndex_ = index; }

    // One of a control array: the controls share a name and are told apart by the index; -1 for a
    // control of its own.
    std::int16_t index() const { return index_; }
    void setIndex(std::int16_t index) { index_ = index; }
    // Starts as the form's font.
    const Font& font() const { return font_; }
    void setFont(Font font);
    // The text a label, check box, option button, button or frame shows; the other kinds show none.
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

    // Pictures, text boxes, check and option buttons and buttons can have the keyboard focus, and Tab
    // stops at them unless told otherwise; labels, frames and images never have it. A group of option
    // buttons is one stop, at its selected option (none when none is), as in every dialog.
    bool focusable() const;
    bool tabStop() const;
    void setTabStop(bool on);
    // Focusable, shown, enabled and inside shown and enabled containers.
    bool canHaveFocus() const;
    void setFocus();
    // A key the form hands to the control with the focus (see Keyboard::keyPress); the handler may set
    // the key to 0, which consumes it.
    std::function<void(std::int16_t& keyAscii)> onKeyPress;
    void keyPress(std::int16_t& keyAscii);

    // In the form's client area, in pixels.
    PixelRect pixelRect() const;
    int pixelLeft() const { return pixelRect().left; }
    int pixelTop() const { return pixelRect().top; }
    // Shown (or enabled) and inside shown (or enabled) containers, as its native window must be.
    bool shownWithContainers() const;
    bool enabledWithContainers() const;
    // Shown, enabled and inside shown and enabled containers: only then does it take the mouse.
    bool takesMouse() const { return shownWithContainers() && enabledWithContainers(); }

    std::function<void(const MouseArgs&)> onMouseDown;
    std::function<void(const MouseArgs&)> onMouseMove;
    std::function<void(const MouseArgs&)> onMouseUp;
    std::function<void()> onClick;
    std::function<void()> onDblClick;

    // The user's actions, with the place in pixels from the control's top left corner. Backends do not
    // call these directly but through the form's MouseRouter.
    void mouseDown(std::int16_t button, std::int16_t shift, double xPx, double yPx);
    void mouseMove(std::int16_t buttons, std::int16_t shift, double xPx, double yPx);
    void mouseUp(std::int16_t button, std::int16_t shift, double xPx, double yPx);
    void click();
    void dblClick();

    // The form's scale changed, or a container moved.
    virtual void layoutChanged() { changed(); }
    // Whether this control lies inside the other one, directly or in a container within it.
    bool isInside(const Control& other) const;
    // How many containers hold it: 0 on the form itself.
    int depth() const;
    DrawingLayer drawingLayer() const;

  protected:
    void placementChanged() override;
    // The caption or the font changed: a label that sizes itself to its caption does so here.
    virtual void contentChanged() { changed(); }
    void changed();  // tells the form's peer
    bool live() const;

  private:
    MouseArgs args(std::int16_t button, std::int16_t shift, double xPx, double yPx) const;

    Form& owner_;
    std::string name_;
    ControlKind kind_;
    Control* container_;
    bool visible_ = true;
    bool enabled_ = true;
    std::string toolTipText_;
    int tabIndex_ = 0;
    std::int16_t index_ = -1;
    Font font_;
    std::string caption_;
    bool tabStop_ = true;
};

}  // namespace corvane
