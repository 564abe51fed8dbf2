#pragma once
// The help: WinHelpA with the program's help file where that file is there, otherwise the HTML help
// beside the program in the browser, since current Windows has no viewer for such files.

#include <windows.h>

#include "platform/runtime.h"

namespace corvane {

class Win32Help final : public HelpService {
  public:
    void setOwner(HWND owner) { owner_ = owner; }
    void show(const std::string& helpFile, HelpCommand command, int context) override;

  private:
    HWND owner_ = nullptr;
};

// "file:///C:/Program%20Files/Corvane/help/index.html#preferences": a path as a URL, which keeps its
// anchor on its way to the browser.
std::string fileUrl(const std::string& path, const std::string& anchor);

}  // namespace corvane
