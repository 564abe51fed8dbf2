#pragma once
// The small forms runtime the program's windows are written against. The model objects here hold the
// state (geometry in twips, colours, pixels); a backend peer mirrors it onto a native window and feeds
// native events back into the handlers. Nothing here knows about any window system.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
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
    // Both corners are part of the box and both ends part of the line; whatever falls outside the
    // image is clipped.
    void fillRect(int x1, int y1, int x2, int y2, Color c);
    void line(int x1, int y1, int x2, int y2, Color c);

  private:
    void plot(int x, int y, Color c);
    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
};

struct MouseArgs {
    std::int16_t button = 0;  // 1 left, 2 right, 4 middle
    std::int16_t shift = 0;
    float x = 0;  // in the picture's scale units
    float y = 0;
};

constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;

// A picture box: placed in its form's scale units, drawn on in pixels.
class Picture {
  public:
    Picture(Form& owner, std::string name);

    const std::string& name() const { return name_; }
    Form& owner() const { return owner_; }

    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    void setLeft(double v);
    void setTop(double v);
    void setWidth(double v);
    void setHeight(double v);

    Color backColor() const { return backColor_; }
    // A new background colour also wipes what was drawn: the picture starts over in the new colour.
    void setBackColor(Color c);

    double scaleWidth() const;  // drawing extent in pixels
    double scaleHeight() const;

    void cls();
    void line(int x1, int y1, int x2, int y2, Color c);
    void fillBox(int x1, int y1, int x2, int y2, Color c);

    const PixelImage& image() const { return image_; }

    std::function<void(const MouseArgs&)> onMouseDown;
    std::function<void(const MouseArgs&)> onMouseMove;
    std::function<void(const MouseArgs&)> onMouseUp;
    std::function<void()> onDblClick;

    // Called by backends with the position in pixels inside the picture.
    void mouseDown(std::int16_t button, std::int16_t shift, double xPx, double yPx);
    void mouseMove(std::int16_t button, std::int16_t shift, double xPx, double yPx);
    void mouseUp(std::int16_t button, std::int16_t shift, double xPx, double yPx);
    void dblClick();

    // Pixel rectangle of the picture inside its form, for backends.
    int pixelLeft() const;
    int pixelTop() const;

    void layoutChanged();  // the owner's scale changed

  private:
    MouseArgs args(std::int16_t button, std::int16_t shift, double xPx, double yPx) const;
    void geometryChanged();
    void changed();

    Form& owner_;
    std::string name_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    Color backColor_ = 0x00FFFFFF;
    PixelImage image_;
};

enum class ScaleMode { Twips, Pixels };

enum class FormKind {
    Main,   // never shown; owns the tray icon and receives the end of the session
    Meter,  // borderless, no taskbar button
};

class Form {
  public:
    Form(Runtime& runtime, std::string name, FormKind kind);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Runtime& runtime() const { return runtime_; }
    const std::string& name() const { return name_; }
    FormKind kind() const { return kind_; }

    // Outer geometry in twips (the program's windows have no border, so outer = inner).
    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    void setLeft(double v);
    void setTop(double v);
    void setWidth(double v);
    void setHeight(double v);

    ScaleMode scaleMode() const { return scaleMode_; }
    void setScaleMode(ScaleMode m);
    double scaleWidth() const;  // inner size in scale units
    double scaleHeight() const;
    double unitsPerPixelX() const;
    double unitsPerPixelY() const;

    // Size in whole pixels, as a native window can have it.
    int pixelLeft() const;
    int pixelTop() const;
    int pixelWidth() const;
    int pixelHeight() const;

    Color backColor() const { return backColor_; }
    void setBackColor(Color c);

    bool visible() const { return visible_; }
    bool loaded() const { return loaded_; }
    // Showing an unloaded form loads it first, so its load handler places it before it appears.
    void show();
    void hide();
    void load();

    // The close request: reason 0 system menu, 1 the program's own unload, 2 end of the session,
    // 3 task manager. The handler may set cancel.
    void queryUnload(std::int16_t reason);

    Picture& addPicture(std::string name);
    std::deque<Picture>& pictures() { return pictures_; }

    FormPeer& peer() { return *peer_; }

    std::function<void()> onLoad;
    std::function<void(std::int16_t& cancel, std::int16_t reason)> onQueryUnload;

    void pictureChanged(Picture& p);  // new pixels or a new place

  private:
    void geometryChanged();

    Runtime& runtime_;
    std::string name_;
    FormKind kind_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    ScaleMode scaleMode_ = ScaleMode::Twips;
    Color backColor_ = 0x00C0C0C0;
    bool visible_ = false;
    bool loaded_ = false;
    std::deque<Picture> pictures_;  // deque: handlers keep references to their pictures
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
