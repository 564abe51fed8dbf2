#pragma once
// The whole program over one runtime: the module and the forms, each created on first use. A test
// builds a fresh one over a headless runtime and throws it away.

#include <memory>
#include <string>

#include "shell/mkesta.h"

namespace corvane {

class Runtime;
class frmMain;
class frmMonitor;
class frmToolTip;

class Program {
  public:
    explicit Program(Runtime& runtime);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // What the runtime does at start: create the main form and run its load.
    void start();

    Runtime& runtime() { return runtime_; }
    mKesta& kesta() { return kesta_; }
    frmMain& mainForm();
    frmMonitor& monitor();
    bool hasMonitor() const { return monitor_ != nullptr; }
    // Loaded on its first use, as the meter's mouse first reaches it.
    frmToolTip& toolTip();
    bool hasToolTip() const { return toolTip_ != nullptr; }

    // The preferences dialog, shown not modal; the menu's "Preferences..." opens it through the main
    // form's tmrShow. Empty until the dialog's form exists.
    void showOptions();
    // The About box, shown not modal, from the menu's "About". Empty until the About box's form exists.
    void showAbout();

    std::string helpFile;  // the application's help file, set when the meter loads

  private:
    Runtime& runtime_;
    mKesta kesta_;
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<frmMonitor> monitor_;
    std::unique_ptr<frmToolTip> toolTip_;
};

}  // namespace corvane
