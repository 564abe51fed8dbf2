#pragma once
// The Qt backend's small services: the screen and the cursor, and the program's folder.

#include <map>
#include <string>

#include "platform/runtime.h"

namespace corvane {

// The primary screen as Qt reports it; a session without one reads as 96 DPI and no pixels.
class QtScreen final : public Screen {
  public:
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    int widthPixels() override;
    int heightPixels() override;
    void getCursorPos(PointPx& point) override;
    // The window manager's frame, asked once for each kind of framed window with a window of that kind
    // not yet shown; no frame without a window manager.
    WindowFrame windowFrame(const FormStyle& style) override;
    // From the fixed style's palette, so dialogs look the same whatever the desktop's theme.
    Color systemColor(SystemColor which) override;

  private:
    std::map<std::pair<BorderStyle, bool>, WindowFrame> frames_;
};

class QtAppInfo final : public AppInfo {
  public:
    std::string executableFolder() override;
    char pathSeparator() override { return '/'; }
};

}  // namespace corvane
