#pragma once
// The common dialogs: ChooseColorA, GetOpenFileNameA and MessageBoxA, each owned by the form that
// opens it. Their modal loops go on dispatching the program's timers and the end of the session; an
// end of the program while one is up closes it (its loop sees the quit message).

#include <string>

#include "platform/runtime.h"

namespace corvane {

class Win32Choosers final : public Choosers {
  public:
    // Starts at the colour given (CC_RGBINIT).
    std::optional<Color> chooseColor(Form& owner, Color initial) override;
    std::optional<std::string> chooseFile(Form& owner, const FileChooserRequest& request) override;
    void messageBox(Form& owner, const std::string& text, MessageBoxKind kind,
                    const std::string& title) override;
};

// "Sound files (*.wav)|*.wav" as the file dialog takes it: each "|" a NUL, and a second NUL at the end.
std::string nulSeparatedFilter(const std::string& filter);

}  // namespace corvane
