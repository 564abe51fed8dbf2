#pragma once
// The popup menu through TrackPopupMenu, owned by a window that takes the keyboard for it.

#include <windows.h>

#include "platform/runtime.h"

namespace corvane {

class Win32PopupMenu final : public PopupMenu {
  public:
    void setOwner(HWND owner) { owner_ = owner; }
    std::optional<int> show(std::span<const MenuItem> items) override;

  private:
    HWND owner_ = nullptr;
};

}  // namespace corvane
