#pragma once
// The main form: never seen, it starts and ends the program and owns the tray icon's menu.

#include <array>
#include <cstdint>

#include "platform/forms.h"

namespace corvane {

class Program;

inline constexpr const char* kHideMeterCaption = "Hide Battery Meter";
inline constexpr const char* kShowMeterCaption = "Show Battery Meter";
inline constexpr double kOffScreenLeft = -30000;  // twips: beyond every screen, where the main form stays

class frmMain {
  public:
    explicit frmMain(Program& program);

    Form window;
    // The first caption is the live record of whether the meter is shown.
    std::array<MenuItem, 8> mnuMenuArray;

    void Form_Load();
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode);
    void ToggleMonitor();
    // The program was started again while it runs: the user is looking for the meter.
    void BringMeterForward();

  private:
    void LoadSettings();
    void SaveSettings();

    Program& program_;
};

}  // namespace corvane
