#pragma once
// The main form: never seen, it starts and ends the program and owns the tray icon's menu.

#include <array>
#include <cstdint>

#include "platform/forms.h"
#include "platform/timer.h"

namespace corvane {

class ProgramContext;

inline constexpr const char* kHideMeterCaption = "Hide Battery Meter";
inline constexpr const char* kShowMeterCaption = "Show Battery Meter";
inline constexpr double kOffScreenLeft = -30000;  // twips: beyond every screen, where the main form stays

// The menu's items by index.
inline constexpr std::int16_t kMenuToggle = 0;
inline constexpr std::int16_t kMenuPreferences = 2;
inline constexpr std::int16_t kMenuHelp = 4;
inline constexpr std::int16_t kMenuAbout = 5;
inline constexpr std::int16_t kMenuExit = 7;

class frmMain {
  public:
    explicit frmMain(ProgramContext& program);
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    Form window;
    // The first caption is the live record of whether the meter is shown.
    std::array<MenuItem, 8> mnuMenuArray;
    Timer tmrShow;

    void Form_Load();
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode);
    void ToggleMonitor();
    // Hides the meter the way the menu does: the first caption and the stored state say so too.
    void HideMeter();
    // The program was started again while it runs: the user is looking for the meter.
    void BringMeterForward();
    // The icon's mouse events arrive here, each as the number of its mouse message (shell/tray.h).
    void picIcon_MouseMove(int mouseMessage);
    void mnuMenuArray_Click(std::int16_t index);
    void tmrShow_Timer();
    // Pops mnuMenu up at the cursor and runs the command chosen, if any.
    void popUpMenu();

  private:
    void LoadSettings();
    void SaveSettings();

    ProgramContext& program_;
    std::int16_t nShowTicks_ = 0;
};

}  // namespace corvane
