#pragma once
// The colour chooser, the file chooser and the message box as Qt's own dialogs (not the desktop's,
// which differ from one desktop to the next), modal over the form that opens them.

#include <QStringList>

#include "platform/runtime.h"

namespace corvane {

class QtChoosers final : public Choosers {
  public:
    std::optional<Color> chooseColor(Form& owner, Color initial) override;
    // The filter's description and pattern pairs become Qt's "description (patterns)" filters; Qt's
    // chooser has no read-only box to hide.
    std::optional<std::string> chooseFile(Form& owner, const FileChooserRequest& request) override;
    // The icon from the style (16 stop, 32 question, 48 exclamation, 64 information) and one OK button,
    // the only kind the program shows.
    void messageBox(Form& owner, const std::string& text, MessageBoxKind kind,
                    const std::string& title) override;
};

// "Sound files (*.wav)|*.wav" as Qt's file dialog takes it: "Sound files (*.wav)".
QStringList qtNameFilters(const std::string& filter);

}  // namespace corvane
