#include "platform/headless/headless_runtime.h"

#include <algorithm>
#include <cstdio>

namespace corvane {

// ---- MemoryStore ------------------------------------------------------------------------------

void MemoryStore::set(const std::string& section, const std::string& key, const std::string& text) {
    for (auto& [s, k, t] : entries_)
        if (s == section && k == key) {
            t = text;
            return;
        }
    entries_.emplace_back(section, key, text);
}

std::optional<std::string> MemoryStore::get(const std::string& section, const std::string& key) const {
    for (const auto& [s, k, t] : entries_)
        if (s == section && k == key) return t;
    return std::nullopt;
}

std::vector<std::tuple<std::string, std::string, std::string>> MemoryStore::entries() const {
    return entries_;
}

std::optional<std::string> MemoryStore::readStored(const std::string&, const std::string& section,
                                                   const std::string& key) {
    rt_.calls.push_back("GetSetting(" + section + "," + key + ")");
    return get(section, key);
}

void MemoryStore::writeAll(const std::vector<SettingWrite>& writes) {
    if (failWrites) {
        rt_.calls.push_back("Commit failed");
        rt_.reportProblem("settings could not be written");
        return;
    }
    for (const auto& w : writes) {
        rt_.calls.push_back("SaveSetting(" + w.section + "," + w.key + "," + w.text + ")");
        set(w.section, w.key, w.text);
    }
}

// ---- Peers ------------------------------------------------------------------------------------

class HeadlessFormPeer final : public FormPeer {
  public:
    HeadlessFormPeer(HeadlessRuntime& rt, Form& form) : rt_(rt), form_(form) { rt_.forms_.push_back(&form_); }
    ~HeadlessFormPeer() override {
        std::erase(rt_.forms_, &form_);
        rt_.topmost_.erase(&form_);
    }
    void geometryChanged() override {}
    void visibilityChanged() override {}
    void backColorChanged() override {}
    void pictureChanged(Picture&) override {}
    void setWindowPos(int insertAfter, int x, int y, int cx, int cy, unsigned flags) override {
        char buf[128];
        std::snprintf(buf, sizeof buf, "SetWindowPos(%s,%d,%d,%d,%d,%d,%u)", form_.name().c_str(),
                      insertAfter, x, y, cx, cy, flags);
        rt_.calls.emplace_back(buf);
        if (insertAfter == -1) rt_.topmost_[&form_] = true;
        if (insertAfter == -2) rt_.topmost_[&form_] = false;
    }

  private:
    HeadlessRuntime& rt_;
    Form& form_;
};

class HeadlessTimerPeer final : public TimerPeer {
  public:
    HeadlessTimerPeer(HeadlessRuntime& rt, Timer& timer) : rt_(rt), timer_(timer) {
        rt_.timers_.push_back({&timer_, -1});
        stateChanged();
    }
    ~HeadlessTimerPeer() override {
        std::erase_if(rt_.timers_, [this](const auto& e) { return e.timer == &timer_; });
    }
    void stateChanged() override {
        for (auto& e : rt_.timers_)
            if (e.timer == &timer_) e.due = timer_.running() ? rt_.nowMs_ + timer_.interval() : -1;
    }

  private:
    HeadlessRuntime& rt_;
    Timer& timer_;
};

// ---- HeadlessRuntime --------------------------------------------------------------------------

HeadlessRuntime::HeadlessRuntime() : store_(*this) {}
HeadlessRuntime::~HeadlessRuntime() = default;

std::unique_ptr<FormPeer> HeadlessRuntime::createFormPeer(Form& form) {
    return std::make_unique<HeadlessFormPeer>(*this, form);
}

std::unique_ptr<TimerPeer> HeadlessRuntime::createTimerPeer(Timer& timer) {
    return std::make_unique<HeadlessTimerPeer>(*this, timer);
}

void HeadlessRuntime::end() {
    calls.emplace_back("End");
    ended_ = true;
}

void HeadlessRuntime::setScreen(int widthPx, int heightPx, double twipsPerPixel) {
    screenW_ = widthPx;
    screenH_ = heightPx;
    tppX_ = tppY_ = twipsPerPixel;
}

void HeadlessRuntime::setTimeOfDay(int hour, int minute, int second) {
    startSecondOfDay_ =
        static_cast<int>((hour * 3600 + minute * 60 + second - nowMs_ / 1000) % 86400 + 86400) % 86400;
}

void HeadlessRuntime::setExecutableFolder(std::string folder, char separator) {
    exeFolder_ = std::move(folder);
    separator_ = separator;
}

void HeadlessRuntime::advance(long long ms) {
    const long long target = nowMs_ + ms;
    while (!ended_) {
        // The earliest due timer; ties go to the one created first, as a message queue would order them.
        TimerEntry* next = nullptr;
        for (auto& e : timers_)
            if (e.due >= 0 && e.due <= target && (!next || e.due < next->due)) next = &e;
        if (!next) break;
        nowMs_ = next->due;
        next->due += next->timer->interval();
        next->timer->fire();  // may create or destroy timers: next is not used after this
    }
    nowMs_ = target;
}

bool HeadlessRuntime::topmost(const Form& form) const {
    const auto it = topmost_.find(&form);
    return it != topmost_.end() && it->second;
}

void HeadlessRuntime::sessionEnd() {
    for (Form* f : forms_)
        if (f->kind() == FormKind::Main) {
            f->queryUnload(2);
            return;
        }
}

void HeadlessRuntime::getCursorPos(PointPx& point) {
    calls.emplace_back("GetCursorPos");
    if (!cursorFails_) point = cursor_;
}

int HeadlessRuntime::getSystemPowerStatus(SystemPowerStatus& status) {
    calls.emplace_back("GetSystemPowerStatus");
    status = power_;
    return 1;
}

std::string HeadlessRuntime::timeOfDay() {
    calls.emplace_back("Time");
    const long long s = (startSecondOfDay_ + nowMs_ / 1000) % 86400;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(s / 3600),
                  static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
    return buf;
}

void HeadlessRuntime::shellNotifyIcon(int message, const NotifyIconData& data) {
    trayCalls.emplace_back(message, data);
    calls.push_back("Shell_NotifyIcon(" + std::to_string(message) + "," + std::string(data.szTip.data()) +
                    ")");
}

std::unique_ptr<Runtime> createRuntime(int, char**) { return std::make_unique<HeadlessRuntime>(); }

}  // namespace corvane
