#pragma once
// The backend the tests drive: windows are data, pictures are pixel buffers, time moves only when a
// test advances it, and every service call is written to a log the test can read.

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/buffered_store.h"
#include "platform/runtime.h"

namespace corvane {

class HeadlessRuntime;

// A store in memory that keeps the keys of each section in the order they were first written.
class MemoryStore final : public BufferedSettingsStore {
  public:
    explicit MemoryStore(HeadlessRuntime& rt) : rt_(rt) {}
    void set(const std::string& section, const std::string& key, const std::string& text);
    std::optional<std::string> get(const std::string& section, const std::string& key) const;
    // (section, key, text) in store order.
    std::vector<std::tuple<std::string, std::string, std::string>> entries() const;
    bool failWrites = false;  // commit fails and keeps what was there

  protected:
    std::optional<std::string> readStored(const std::string& app, const std::string& section,
                                          const std::string& key) override;
    void writeAll(const std::vector<SettingWrite>& writes) override;

  private:
    HeadlessRuntime& rt_;
    std::vector<std::tuple<std::string, std::string, std::string>> entries_;
};

class HeadlessRuntime final : public Runtime, Screen, PowerService, Clock, TrayIcon, ProgramInfo {
  public:
    HeadlessRuntime();
    ~HeadlessRuntime() override;

    // ---- Runtime ----
    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) override;
    Screen& screen() override { return *this; }
    SettingsStore& settings() override { return store_; }
    PowerService& power() override { return *this; }
    Clock& clock() override { return *this; }
    TrayIcon& tray() override { return *this; }
    ProgramInfo& program() override { return *this; }
    int run() override { return 0; }
    void end() override;
    bool ended() const override { return ended_; }
    void reportProblem(const std::string& text) override { problems.push_back(text); }

    // ---- What a test sets ----
    void setScreen(int widthPx, int heightPx, double twipsPerPixel);
    void setCursor(int x, int y) { cursor_ = {x, y}; }
    void setCursorFails(bool fails) { cursorFails_ = fails; }
    void setPowerStatus(const SystemPowerStatus& s) { power_ = s; }
    void setTimeOfDay(int hour, int minute, int second);
    void setExecutableFolder(std::string folder, char separator);
    // Runs every timer that falls due within the next ms milliseconds, in time order.
    void advance(long long ms);
    long long now() const { return nowMs_; }

    // ---- What a test reads ----
    MemoryStore& store() { return store_; }
    std::vector<std::string> calls;  // service calls, in order
    std::vector<std::string> problems;
    std::vector<std::pair<int, NotifyIconData>> trayCalls;
    bool topmost(const Form& form) const;

    // ---- Input, as the window system would deliver it ----
    void sessionEnd();  // the user logs off or the machine shuts down

    // Screen
    double twipsPerPixelX() override { return tppX_; }
    double twipsPerPixelY() override { return tppY_; }
    int widthPixels() override { return screenW_; }
    int heightPixels() override { return screenH_; }
    void getCursorPos(PointPx& point) override;
    // PowerService
    int getSystemPowerStatus(SystemPowerStatus& status) override;
    // Clock
    std::string timeOfDay() override;
    // TrayIcon
    void shellNotifyIcon(int message, const NotifyIconData& data) override;
    // ProgramInfo
    std::string executableFolder() override { return exeFolder_; }
    char pathSeparator() override { return separator_; }

  private:
    friend class HeadlessFormPeer;
    friend class HeadlessTimerPeer;
    struct TimerEntry {
        Timer* timer;
        long long due;  // -1 while stopped
    };
    std::vector<TimerEntry> timers_;
    std::vector<Form*> forms_;
    std::map<const Form*, bool> topmost_;
    MemoryStore store_;
    long long nowMs_ = 0;
    int startSecondOfDay_ = 10 * 3600;
    int screenW_ = 1024, screenH_ = 768;
    double tppX_ = 15, tppY_ = 15;
    PointPx cursor_;
    bool cursorFails_ = false;
    SystemPowerStatus power_;
    std::string exeFolder_ = "C:\\Program Files\\Corvane";
    char separator_ = '\\';
    bool ended_ = false;
};

}  // namespace corvane
