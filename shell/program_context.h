#pragma once
// What a form reaches of the rest of the program: the runtime, the module mKesta, and the few things
// one form asks of the others. The forms hold it by reference and never see how the others are made;
// the composition root in app/ implements it, and a test builds a whole fresh program in one line.

#include <string>

namespace corvane {

class Form;
class Picture;
class Runtime;
class frmMain;
class mKesta;

class ProgramContext {
  public:
    virtual ~ProgramContext() = default;

    virtual Runtime& runtime() = 0;
    virtual mKesta& kesta() = 0;
    // The main form, which owns the tray menu and its first caption, the record of the meter shown.
    virtual frmMain& mainForm() = 0;

    // The meter window frmMonitor and its drawing surface picHistory, made on first use.
    virtual Form& meterWindow() = 0;
    virtual Picture& meterPicture() = 0;
    virtual bool hasMonitor() const = 0;

    // The status tooltip frmToolTip, made and loaded on first use: its one way in, the label, and
    // hiding it at once.
    virtual void setToolTipLabel(const std::string& text) = 0;
    virtual void hideToolTip() = 0;

    // The preferences dialog and the About box, one of each while it is open.
    virtual void showOptions() = 0;
    virtual void showAbout() = 0;

    // The application's help file, set when the meter loads; the menu and the dialog open it.
    std::string helpFile;

  protected:
    ProgramContext() = default;
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;
};

}  // namespace corvane
