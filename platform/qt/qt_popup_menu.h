#pragma once
// The popup menu as a QMenu at the cursor, run in its own event loop until the user chooses or
// dismisses it.

#include "platform/runtime.h"

namespace corvane {

class QtPopupMenu final : public PopupMenu {
  public:
    std::optional<int> show(std::span<const MenuItem> items) override;
};

}  // namespace corvane
