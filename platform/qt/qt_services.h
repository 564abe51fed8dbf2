#pragma once
// The Qt backend's small services: the screen and the cursor, and the program's folder.

#include <QObject>
#include <QPoint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime.h"

class QScreen;

namespace corvane {

// The primary screen as Qt reports it; a session without one reads as 96 DPI and no pixels. The
// program's frame begins at the primary monitor's top left corner, wherever the desktop has it: every
// place the program hears of or sets is translated by that corner, the origin.
class QtScreen final : public Screen {
  public:
    QtScreen();  // after the application
    ~QtScreen() override;
    QtScreen(const QtScreen&) = delete;
    QtScreen& operator=(const QtScreen&) = delete;

    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    int widthPixels() override;
    int heightPixels() override;
    std::vector<PixelRect> monitors() override;
    void getCursorPos(PointPx& point) override;
    // The primary monitor's top left corner on Qt's desktop as the program last heard of it, where its
    // (0, 0) lies.
    QPoint origin() const { return origin_; }
    // Calls back on every change of the monitors, once the new origin is taken, with how far it moved.
    void watch(std::function<void(int dxPx, int dyPx)> changed);
    // The window manager's frame, asked once for each kind of framed window with a window of that kind
    // not yet shown; no frame without a window manager.
    WindowFrame windowFrame(const FormStyle& style) override;
    // From the fixed style's palette, so dialogs look the same whatever the desktop's theme.
    Color systemColor(SystemColor which) override;

  private:
    void rearranged();
    void watchScreen(QScreen* screen);

    std::map<std::pair<BorderStyle, bool>, WindowFrame> frames_;
    QPoint origin_;
    std::function<void(int, int)> changed_;
    std::unique_ptr<QObject> connections_;  // ends them with this
};

// While a mouse event is handled, the cursor is read where that event happened, not where the hand has
// moved on to since: on a busy desktop a press may be handled after the drag it began has gone on, and
// a drag measured from there would not follow the hand.
class PointerOfEvent {
  public:
    explicit PointerOfEvent(QPoint global);
    ~PointerOfEvent();
    PointerOfEvent(const PointerOfEvent&) = delete;
    PointerOfEvent& operator=(const PointerOfEvent&) = delete;

  private:
    const QPoint* outer_;
    QPoint global_;
};

class QtAppInfo final : public AppInfo {
  public:
    std::string executableFolder() override;
    char pathSeparator() override { return '/'; }
};

}  // namespace corvane
