#pragma once
// The help in the desktop's browser: Linux has no viewer for Windows help files, so the HTML help
// beside the program opens, through QDesktopServices (xdg-open where the desktop has it).

#include "platform/runtime.h"

namespace corvane {

class QtHelp final : public HelpService {
  public:
    void show(const std::string& helpFile, HelpCommand command, int context) override;
};

}  // namespace corvane
