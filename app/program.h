#pragma once
// The whole program over one runtime: the module and the forms, each created on first use. A test
// builds a fresh one over a headless runtime and throws it away.

#include <memory>
#include <string>

#include "platform/form_instance.h"
#include "shell/mkesta.h"

namespace corvane {

class Runtime;
class frmMain;
class frmMonitor;
class frmOptions;
class frmInfo;
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
    // The preferences dialog exists only while it is open; showing it while it is open shows the same
    // one. The menu's "Preferences..." opens it through the main form's tmrShow.
    FormInstance<frmOptions>& options() { return options_; }
    void showOptions();
    // The About box, shown not modal, from the menu's "About"; like the dialog, one while it is open.
    FormInstance<frmInfo>& about() { return about_; }
    void showAbout();

    // The application's help file, set when the meter loads; the menu and the dialog open it.
    std::string helpFile;

  private:
    Runtime& runtime_;
    mKesta kesta_;
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<frmMonitor> monitor_;
    FormInstance<frmOptions> options_;
    FormInstance<frmInfo> about_;
    std::unique_ptr<frmToolTip> toolTip_;
};

}  // namespace corvane
