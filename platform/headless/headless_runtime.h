#pragma once
// The backend the tests drive.
//
// Implements: forms as data (pictures are pixel buffers, the peer notes what a window would have been
// asked), scripted time (timers, deferred calls and the time of day move only when a test advances
// them), a settings store in memory, a scripted screen, cursor and battery, a tray icon that records
// its calls, popup menus answered by the test ahead, a help that notes what it was asked, a
// fixed-pitch test font (headless_text.h). Every service call goes into one log the test can read.
// Differs from the others: nothing is drawn or shown anywhere, run() returns at once, and the tray's
// hover reporting is a switch a test can flip to try both kinds of platform.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_form_peer.h"
#include "platform/headless/headless_services.h"
#include "platform/headless/headless_store.h"
#include "platform/headless/headless_text.h"
#include "platform/headless/headless_time.h"
#include "platform/runtime.h"

namespace corvane {

class HeadlessRuntime final : public Runtime {
  public:
    HeadlessRuntime();
    ~HeadlessRuntime() override;

    // ---- Runtime ----
    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) override { return time_.createTimerPeer(timer); }
    Screen& screen() override { return screen_; }
    SettingsStore& settings() override { return store_; }
    PowerService& power() override { return power_; }
    Clock& clock() override { return time_; }
    HeadlessTray& tray() override { return tray_; }
    AppInfo& appInfo() override { return appInfo_; }
    Sound& sound() override { return sound_; }
    HeadlessChoosers& choosers() override { return choosers_; }
    HeadlessText& text() override { return text_; }
    HeadlessPopupMenu& popupMenu() override { return popupMenu_; }
    HeadlessHelp& help() override { return help_; }
    void post(std::function<void()> fn) override {
        ++posts;
        time_.post(std::move(fn));
    }
    int run() override { return 0; }
    void reportProblem(const std::string& text) override { problems.push_back(text); }
    bool claimSoleInstance() override { return true; }  // each test's program is alone in its runtime

    // ---- What a test sets ----
    void setScreen(int widthPx, int heightPx, double twipsPerPixel) {
        screen_.set(widthPx, heightPx, twipsPerPixel);
    }
    // The monitors besides the primary one, in the program's pixels.
    void setOtherMonitors(std::vector<PixelRect> others) { screen_.setOtherMonitors(std::move(others)); }
    // The window system changes the monitors while the program runs: the primary one takes the size
    // given, and its top left corner moves by (dxPx, dyPx) on the desktop; the others, in the
    // program's pixels afterwards, are as listed.
    void changeScreens(int widthPx, int heightPx, std::vector<PixelRect> others = {}, int dxPx = 0,
                       int dyPx = 0) {
        screen_.set(widthPx, heightPx, screen_.twipsPerPixelX());
        screen_.setOtherMonitors(std::move(others));
        screensChanged(dxPx, dyPx);
    }
    void setCursor(int x, int y) { screen_.setCursor(x, y); }
    void setSystemColor(SystemColor which, Color c) { screen_.setSystemColor(which, c); }
    void setCursorFails(bool fails) { screen_.setCursorFails(fails); }
    void setDialogFrame(WindowFrame frame) { screen_.setDialogFrame(frame); }
    void setPowerStatus(const SystemPowerStatus& s) { power_.set(s); }
    void setTimeOfDay(int hour, int minute, int second) { time_.setTimeOfDay(hour, minute, second); }
    void setExecutableFolder(std::string folder, char separator) {
        appInfo_.set(std::move(folder), separator);
    }
    // Runs the deferred calls and every timer that falls due within the next ms milliseconds.
    void advance(long long ms) { time_.advance(ms); }
    // Runs the deferred calls, as the event loop would once the current handler has returned.
    void runPosted() { time_.runPosted(); }
    long long now() const { return time_.now(); }

    // ---- What a test reads ----
    MemoryStore& store() { return store_; }
    std::vector<std::string> calls;  // service calls, in order
    std::vector<std::string> problems;
    int posts = 0;  // calls left for the event loop, so a test can tell work done twice from once
    HeadlessFormPeer& peerOf(Form& form) { return static_cast<HeadlessFormPeer&>(form.peer()); }

  protected:
    void stopLoop() override { calls.emplace_back("End"); }

  private:
    HeadlessScreen screen_{calls};
    HeadlessPower power_{calls};
    HeadlessTray tray_{calls};
    HeadlessAppInfo appInfo_;
    HeadlessSound sound_{calls};
    HeadlessChoosers choosers_{calls};
    HeadlessText text_{screen_};
    HeadlessPopupMenu popupMenu_{calls};
    HeadlessHelp help_{calls};
    HeadlessTime time_{*this, calls};
    MemoryStore store_{calls, [this](const std::string& text) { reportProblem(text); }};
};

}  // namespace corvane
