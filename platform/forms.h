#pragma once
// The small forms runtime the program's windows are written against. The model objects here hold
// everything the program can observe (geometry in twips, colours, pixels, visibility, the topmost band,
// captions); a backend peer only mirrors it onto a native window and feeds the user's actions back into
// the handlers. What a close request or a click means is decided here or in the form's own handlers,
// never in a backend. Nothing here knows about any window system.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

using Color = std::uint32_t;  // 0x00BBGGRR: red in the lowest byte

class Runtime;
class Form;
class FormPeer;
class TimerPeer;

// What a picture box shows. Every backend paints exactly these pixels, so the meter looks the same
// everywhere and an uncovered window repaints from here without waiting for the next tick.
class PixelImage {
  public:
    void resize(int width, int height, Color fill);
    int width() const { return width_; }
    int height() const { return height_; }
    Color at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const std::vector<Color>& pixels() const { return pixels_; }

    void fill(Color c);
    // One pixel; nothing when it lies outside the image.
    void plot(int x, int y, Color c);
    // Both corners are part of the box and both ends part of the line; whatever falls outside the
    // image is clipped.
    void fillRect(int x1, int y1, int x2, int y2, Color c);
    void line(int x1, int y1, int x2, int y2, Color c);

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
};

struct MouseArgs {
    std::int16_t button = 0;  // 1 left, 2 right, 4 middle
    std::int16_t shift = 0;   // 1 shift, 2 control, 4 alt
    float x = 0;              // in the form's scale units, from the control's top left corner
    float y = 0;
};

constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kMiddleButton = 4;
constexpr std::int16_t kKeyReturn = 13;
constexpr std::int16_t kKeyEscape = 27;
constexpr std::int16_t kShiftKey = 1;
constexpr std::int16_t kCtrlKey = 2;
constexpr std::int16_t kAltKey = 4;

// A rectangle in whole pixels, as a native window can have it.
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool contains(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
    bool operator==(const PixelRect&) const = default;
};

// Left, top, width and height with one rule for what a setter accepts: a value that is not finite
// leaves the old one, and a size is never negative.
class Placement {
  public:
    virtual ~Placement() = default;
    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    void setLeft(double v);
    void setTop(double v);
    void setWidth(double v);
    void setHeight(double v);

  protected:
    virtual void placementChanged() = 0;

  private:
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// A font by name and size, as the program names it; the text service finds what stands for it.
struct Font {
    std::string name = "Arial";
    double points = 9;
    bool bold = false;
    bool operator==(const Font&) const = default;
};

enum class ControlKind { Picture, Label, TextBox, CheckBox, OptionButton, CommandButton, Frame, Image };

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
    ControlKind kind() const { return kind_; }
    Form& owner() const { return owner_; }
    Control* container() const { return container_; }

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
    // A key the form hands to the control with the focus (see Form::keyPress); the handler may set
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

// A picture box: placed like every control, drawn on in pixels.
class Picture final : public Control {
  public:
    Picture(Form& owner, std::string name, Control* container = nullptr);

    Color backColor() const { return backColor_; }
    // A new background colour also wipes what was drawn: the picture starts over in the new colour.
    void setBackColor(Color c);

    double scaleWidth() const;  // drawing extent in pixels
    double scaleHeight() const;

    // A clear also puts the text position back at the top left corner.
    void cls();
    void line(int x1, int y1, int x2, int y2, Color c);
    void fillBox(int x1, int y1, int x2, int y2, Color c);
    // The box's outline only, both corners on it.
    void box(int x1, int y1, int x2, int y2, Color c);

    // Text, in the picture's font (at first the form's) and fore colour. A carriage return, a line feed
    // or the two together start a new line.
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color c) { foreColor_ = c; }
    // The widest line's width and the height of all the lines, in the form's scale units (those the
    // picture is placed in), so a picture given these sizes just holds the text.
    double textWidth(std::string_view text) const;
    double textHeight(std::string_view text) const;
    // Prints the text line under line: the first line from the text position, the others from the left
    // edge; the position ends at the left edge under the last line. Positions are in pixels.
    void print(std::string_view text);
    int currentX() const { return currentX_; }
    int currentY() const { return currentY_; }
    void setCurrentX(int x) { currentX_ = x; }

    const PixelImage& image() const { return image_; }

    void layoutChanged() override;

    // Whether the pixels differ from what the peer was last told to show; the form asks once its
    // handler has finished drawing, so the window system repaints only what really changed.
    bool takeNewPixels();

  private:
    void drawn();

    Color backColor_ = 0x00FFFFFF;
    Color foreColor_ = 0;
    int currentX_ = 0;
    int currentY_ = 0;
    PixelImage image_;
    std::vector<Color> presented_;
    int presentedWidth_ = -1;
};

// A caption on the form's background, at the size it is given or, with autoSize, the width and height
// of its caption measured in its font.
class Label final : public Control {
  public:
    Label(Form& owner, std::string name, Control* container = nullptr);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);

  protected:
    void contentChanged() override;

  private:
    bool autoSize_ = false;
};

// A line of text the user can edit, unless it is locked.
class TextBox final : public Control {
  public:
    TextBox(Form& owner, std::string name, Control* container = nullptr);
    const std::string& text() const { return text_; }
    // The program's change: shown, and not reported back as if the user had typed it.
    void setText(std::string text);
    bool locked() const { return locked_; }
    void setLocked(bool on);
    bool border() const { return border_; }
    void setBorder(bool on);
    Color backColor() const { return backColor_; }
    void setBackColor(Color c);

    // The user changed the text (the backends call this); onChange hears of it.
    void userEdited(std::string text);
    std::function<void()> onChange;

  private:
    std::string text_;
    bool locked_ = false;
    bool border_ = true;
    Color backColor_;
};

constexpr std::int16_t kUnchecked = 0;
constexpr std::int16_t kChecked = 1;

class CheckBox final : public Control {
  public:
    CheckBox(Form& owner, std::string name, Control* container = nullptr);
    std::int16_t value() const { return value_; }
    // The program's change: no click.
    void setValue(std::int16_t v);
    // The user clicked it or pressed Space on it (the backends call this): checked becomes clear and
    // anything else checked, then onClick.
    void userClicked();

  private:
    std::int16_t value_ = kUnchecked;
};

// One of a group of options: the option buttons in the same container, of which at most one is
// selected.
class OptionButton final : public Control {
  public:
    OptionButton(Form& owner, std::string name, Control* container = nullptr);
    bool value() const { return value_; }
    // Selecting one clears the others of its group. The program's change: no click.
    void setValue(bool on);
    // The user chose it (the backends call this): selected, then onClick.
    void userClicked();

  private:
    bool value_ = false;
};

class CommandButton final : public Control {
  public:
    CommandButton(Form& owner, std::string name, Control* container = nullptr);
    // Enter presses the default button and Esc the cancel button (see Form::keyPress); a form has at
    // most one of each.
    bool isDefault() const { return default_; }
    void setDefault(bool on);
    bool isCancel() const { return cancel_; }
    void setCancel(bool on);

  private:
    bool default_ = false;
    bool cancel_ = false;
};

// A container with an optional caption along its top edge: its controls' places are relative to its
// top left corner.
class Frame final : public Control {
  public:
    Frame(Form& owner, std::string name, Control* container = nullptr);
};

// A picture the program hands over whole, shown at the control's top left corner and cut off at its
// edges.
class Image final : public Control {
  public:
    Image(Form& owner, std::string name, Control* container = nullptr);
    const PixelImage& picture() const { return picture_; }
    void setPicture(PixelImage picture);

  private:
    PixelImage picture_;
};

// Which control gets the mouse, decided once for every backend: the control on top (the one added
// last) under the cursor, except that the control under a pressed button keeps the mouse until every
// button is up again. Backends feed it the native events in the form's client pixels. A left button
// pressed and let go on the same control, not as part of a double-click, is also its click.
class MouseRouter {
  public:
    explicit MouseRouter(Form& form) : form_(form) {}

    // Each returns whether a control holds the mouse afterwards, so the backend can hold or let go of
    // the native capture to match.
    bool press(std::int16_t button, std::int16_t shift, int x, int y);
    bool move(std::int16_t buttonsHeld, std::int16_t shift, int x, int y);
    bool release(std::int16_t button, std::int16_t buttonsStillHeld, std::int16_t shift, int x, int y);
    // The second press of a double-click, which comes instead of a press.
    bool doubleClick(std::int16_t button, std::int16_t shift, int x, int y);
    // The window system took the mouse away (another window grabbed it).
    void captureLost() { captured_ = clicked_ = nullptr; }

    Control* controlAt(int x, int y) const;
    Control* captured() const { return captured_; }

  private:
    Control* target(int x, int y) const { return captured_ ? captured_ : controlAt(x, y); }

    Form& form_;
    Control* captured_ = nullptr;
    Control* clicked_ = nullptr;  // where the left button went down, until it comes up
};

enum class ScaleMode { Twips, Pixels };
enum class BorderStyle { None, FixedDialog };

// What the window system puts around a window's client area (caption, border), in pixels.
struct WindowFrame {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const WindowFrame&) const = default;
};

// What a form is like, as its constructor describes it; peers build the native window from this.
struct FormStyle {
    std::string caption;
    BorderStyle border = BorderStyle::None;
    bool showInTaskbar = false;
    bool activateOnShow = false;  // a shown window that does not take the focus from the user's window
    Font font;
};

// Close reasons: what asked a form to unload.
constexpr std::int16_t kCloseFromWindow = 0;  // the window's close box, system menu or Alt+F4
constexpr std::int16_t kCloseFromCode = 1;    // the program's own unload
constexpr std::int16_t kCloseSessionEnd = 2;  // log-off, shutdown, a terminating signal

class Form : public Placement {
  public:
    Form(Runtime& runtime, std::string name, FormStyle style);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Runtime& runtime() const { return runtime_; }
    const std::string& name() const { return name_; }
    const FormStyle& style() const { return style_; }
    void setCaption(std::string caption);

    // Outer geometry in twips: the window with its frame.
    ScaleMode scaleMode() const { return scaleMode_; }
    void setScaleMode(ScaleMode m);
    double scaleWidth() const;  // inner size in scale units: the client area, inside the frame
    double scaleHeight() const;
    double unitsPerPixelX() const;
    double unitsPerPixelY() const;

    // Geometry in whole pixels, as a native window can have it.
    int pixelLeft() const;
    int pixelTop() const;
    int pixelWidth() const;
    int pixelHeight() const;
    // What the window system puts around the client area of a window of this form's style.
    WindowFrame frame() const;
    int clientPixelWidth() const;
    int clientPixelHeight() const;
    // A text's size in the form's own font, in its scale units (see Picture::textWidth).
    double textWidth(std::string_view text) const;
    double textHeight(std::string_view text) const;

    Color backColor() const { return backColor_; }
    void setBackColor(Color c);

    // Whether the window is in the topmost band. Setting it always reaches the peer, also when it does
    // not change: taking a window out of the band also brings it to the front of the ordinary windows.
    bool topmost() const { return topmost_; }
    void setTopmost(bool on);

    bool visible() const { return visible_; }
    bool loaded() const { return loaded_; }
    // Showing an unloaded form loads it first, so its load handler places it before it appears.
    void show();
    void hide();
    void load();

    // A request to close: the query handler may cancel it, then the unload handler may; otherwise the
    // form unloads (hidden, its controls as they were) and onUnloaded tells its owner, which releases
    // it only after the handler that asked has returned. Returns whether the form unloaded.
    bool queryUnload(std::int16_t reason);
    // The program's own unload of the form (close reason 1).
    bool unload() { return queryUnload(kCloseFromCode); }

    template <class C, class... Args>
    C& add(std::string name, Args&&... args) {
        controls_.push_back(std::make_unique<C>(*this, std::move(name), std::forward<Args>(args)...));
        return static_cast<C&>(*controls_.back());
    }
    Picture& addPicture(std::string name) { return add<Picture>(std::move(name)); }
    // A control array: count controls of one name, indexed from 0.
    template <class C, std::size_t N>
    std::array<C*, N> addArray(const std::string& name, Control* container = nullptr) {
        std::array<C*, N> out{};
        for (std::size_t i = 0; i < N; ++i) {
            out[i] = &add<C>(name, container);
            out[i]->setIndex(static_cast<std::int16_t>(i));
        }
        return out;
    }
    // In the form's order: a control added later lies on top of the earlier ones.
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    MouseRouter& mouse() { return mouse_; }
    FormPeer& peer() { return *peer_; }

    // The keyboard focus: the control that has it, or none. Showing the form gives it to the first
    // control in the tab order that can have it, unless one has it already.
    Control* activeControl() const { return active_; }
    // The user moved the focus (the backends call this): noted, not sent back to the window.
    void userFocused(Control* control);
    // The controls Tab stops at, in tab order (by tab index, ties in the form's order).
    std::vector<Control*> tabOrder() const;
    // Enter (13) and Esc (27), as the window system hands them to the form: the control with the focus
    // hears the key first and may consume it; then Enter clicks the button with the focus, or else the
    // default button, and Esc clicks the cancel button.
    void keyPress(std::int16_t keyAscii);
    // An arrow key on an option button: the next option of its group (or the previous one), in tab
    // order and round, is selected and takes the focus. Elsewhere it does nothing.
    void arrowKey(bool forward);

    std::function<void()> onLoad;
    std::function<void(std::int16_t& cancel, std::int16_t reason)> onQueryUnload;
    std::function<void(std::int16_t& cancel)> onUnload;
    std::function<void()> onUnloaded;

    // A control's place, visibility or pixels changed.
    void controlChanged(Control& c);
    void pixelsChanged();
    // Called by Control::setFocus.
    void focus(Control* control);

  protected:
    void placementChanged() override;

  private:
    void presentPixels();

    Runtime& runtime_;
    std::string name_;
    FormStyle style_;
    ScaleMode scaleMode_ = ScaleMode::Twips;
    Color backColor_ = 0x00C0C0C0;
    bool topmost_ = false;
    bool visible_ = false;
    bool loaded_ = false;
    bool presentPending_ = false;
    std::vector<std::unique_ptr<Control>> controls_;
    Control* active_ = nullptr;
    MouseRouter mouse_{*this};
    std::shared_ptr<Form*> self_;  // deferred calls hold a weak reference: the form may be gone by then
    std::unique_ptr<FormPeer> peer_;
};

class Timer {
  public:
    Timer(Runtime& runtime, std::string name, int intervalMs, bool enabled);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }
    void setEnabled(bool on);
    void setInterval(int ms);
    // A timer ticks only while it is enabled with a non-zero interval.
    bool running() const { return enabled_ && interval_ > 0; }

    std::function<void()> onTimer;
    void fire();  // backends call this on every tick

  private:
    Runtime& runtime_;
    std::string name_;
    int interval_;
    bool enabled_;
    std::unique_ptr<TimerPeer> peer_;
};

// The program's menus: captions are live state (the first item tells whether the meter is shown).
struct MenuItem {
    std::string caption;
};

}  // namespace corvane
