#pragma once
// The small forms runtime the program's windows are written against. The model objects hold
// everything the program can observe (geometry in twips, colours, pixels, visibility, the topmost band,
// captions); a backend peer only mirrors it onto a native window and feeds the user's actions back into
// the handlers. What a close request or a click means is decided here or in the form's own handlers,
// never in a backend. Nothing here knows about any window system.
//
// This header is the form itself; a form is made of what the headers it includes hold: the control
// base (control.h) and its kinds (controls.h, picture.h), the mouse (mouse_router.h) and the keyboard
// (keyboard.h). Timers are in timer.h, the services and the peers in runtime.h.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control.h"
#include "platform/controls.h"
#include "platform/geometry.h"
#include "platform/graphics.h"
#include "platform/keyboard.h"
#include "platform/mouse_router.h"
#include "platform/picture.h"

namespace corvane {

class Runtime;
class FormPeer;

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
    // In the order they were added.
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    // From the bottom up, as every backend stacks them: the frames, each beneath the frames it holds;
    // then the labels; then every other control. Within a layer a control added later lies on top.
    std::vector<Control*> drawingOrder() const;

    MouseRouter& mouse() { return mouse_; }
    Keyboard& keyboard() { return keyboard_; }
    const Keyboard& keyboard() const { return keyboard_; }
    FormPeer& peer() { return *peer_; }

    std::function<void()> onLoad;
    std::function<void(std::int16_t& cancel, std::int16_t reason)> onQueryUnload;
    std::function<void(std::int16_t& cancel)> onUnload;
    std::function<void()> onUnloaded;

    // A control's place, visibility or pixels changed.
    void controlChanged(Control& c);
    void pixelsChanged();

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
    MouseRouter mouse_{*this};
    Keyboard keyboard_{*this};
    std::shared_ptr<Form*> self_;  // deferred calls hold a weak reference: the form may be gone by then
    std::unique_ptr<FormPeer> peer_;
};

// The program's menus: captions are live state (the first item tells whether the meter is shown).
struct MenuItem {
    std::string caption;
};

}  // namespace corvane
