#pragma once
// The program's module: the variables every form shares and the procedures several forms call.

#include <array>
#include <cstdint>
#include <string>

namespace corvane {

class Form;
class ProgramContext;

class mKesta {
  public:
    explicit mKesta(ProgramContext& program) : program_(program) {}

    // ---- Stored preferences and state, in their load/save order ----
    std::int16_t pnPosOptNum = 0;  // 0..3 the screen's corners, 4 any place
    float pMonitorLeft = 0;        // twips
    float pMonitorTop = 0;         // twips
    float pMonitorWidth = 0;       // the meter's thickness in pixels
    std::int16_t pnMonitorHidden = 0;
    std::int16_t pnShowTop = 0;
    std::int16_t pnUpright = 0;
    std::int16_t pnLowUpper = 0;
    std::int16_t pnMidUpper = 0;
    std::int16_t pnAlarmEnabled = 0;
    std::string psWavFilePath;
    std::int16_t pnShowHelpNote = 0;  // kept for older versions; read and written back unchanged
    std::int32_t plFullLifeSaved = 0;
    // 0 low, 1 middle, 2 high, 3 mains mark, 4 meter background, 5 grid, 6 border; 0x00BBGGRR
    std::array<std::int32_t, 7> plColor{};

    // ---- Run-time state ----
    std::string psTrayTip;
    std::int16_t pnElapsedMin = 0;
    std::int16_t pnTwipsPerPixelX = 0;
    std::int16_t pnTwipsPerPixelY = 0;
    std::int16_t pnDragging = 0;  // -1 while the left button drags the meter
    float pDragCursorX = 0, pDragCursorY = 0;
    float pDragFormLeft = 0, pDragFormTop = 0;

    // ---- Shared procedures ----
    // flag 1 puts the window into the topmost band, 0 takes it out, anything else leaves it alone.
    void SetTopmost(Form& form, std::int16_t flag);
    std::string pGetAppPath();
    std::string pGetDirPath(const std::string& path);
    std::string pGetFileName(const std::string& path);

    // The minute and second of the local time of day.
    void pGetMinSec(std::int16_t& minute, std::int16_t& second);

    void TrayAddIcon();
    void TrayModifyIcon();
    void TrayDeleteIcon();

    void pGetTwipsPerPixel();
    void pSetFormSize();
    void pSetFormPosition();
    // Pulls the meter window back inside the screen and moves it there; the place, in twips, is
    // written back clamped. 32 bits rather than 16, so desktops wider than 2184 pixels work too.
    void pMoveIntoScreen(std::int32_t& left, std::int32_t& top);
    // Brings the meter window back inside the screen as pMoveIntoScreen does, but only when no part of
    // it lies on any monitor.
    void pMoveOntoAMonitor();
    // The monitors changed while the program runs: a meter in a corner goes to that corner of the
    // primary monitor, and one anywhere else stays unless it lies on no monitor any more.
    void pFollowScreens();

  private:
    ProgramContext& program_;
};

}  // namespace corvane
