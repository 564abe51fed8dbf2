#pragma once
// The model's timers as SetTimer timers on one window (the runtime's hidden window), each with an id
// of its own that the window's WM_TIMER hands back.

#include <windows.h>

#include <map>
#include <memory>

#include "platform/runtime.h"

namespace corvane {

class Win32TimerPeer;

class Win32Timers {
  public:
    void setWindow(HWND window) { window_ = window; }
    std::unique_ptr<TimerPeer> createPeer(Timer& timer);
    // A WM_TIMER for the timer with this id arrived.
    void fire(UINT_PTR id);
    // Kills every timer at once and sets none again: the program has ended.
    void stopAll();

  private:
    friend class Win32TimerPeer;
    HWND window_ = nullptr;
    std::map<UINT_PTR, Win32TimerPeer*> peers_;
    UINT_PTR nextId_ = 1;
    bool stopped_ = false;
};

class Win32TimerPeer final : public TimerPeer {
  public:
    Win32TimerPeer(Win32Timers& timers, Timer& timer);
    ~Win32TimerPeer() override;
    Win32TimerPeer(const Win32TimerPeer&) = delete;
    Win32TimerPeer& operator=(const Win32TimerPeer&) = delete;

    void stateChanged() override;
    Timer& timer() { return timer_; }

  private:
    Win32Timers& timers_;
    Timer& timer_;
    UINT_PTR id_;
};

}  // namespace corvane
