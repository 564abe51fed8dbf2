#pragma once
// The whole program over one runtime: the module and the forms, each created on first use. This is
// the one place that knows every form; the forms reach each other through the ProgramContext it
// implements. A test builds a fresh one over a headless runtime and throws it away.

#include <memory>
#include <string>

#include "platform/form_instance.h"
#include "shell/mkesta.h"
#include "shell/program_context.h"

namespace corvane {

class Runtime;
class frmMain;
class frmMonitor;
class frmOptions;
class frmInfo;
class frmToolTip;

class Program final : public ProgramContext {
  public:
    explicit Program(Runtime& runtime);
    ~Program() override;

    // What the runtime does at start: create the main form and run its load.
    void start();

    Runtime& runtime() override { return runtime_; }
    mKesta& kesta() override { return kesta_; }
    frmMain& mainForm() override;
    frmMonitor& monitor();
    bool hasMonitor() const override { return monitor_ != nullptr; }
    Form& meterWindow() override;
    Picture& meterPicture() override;
    // Loaded on its first use, as the meter's mouse first reaches it.
    frmToolTip& toolTip();
    bool hasToolTip() const { return toolTip_ != nullptr; }
    void setToolTipLabel(const std::string& text) override;
    void hideToolTip() override;
    // The preferences dialog exists only while it is open; showing it while it is open shows the same
    // one. The menu's "Preferences..." opens it through the main form's tmrShow.
    FormInstance<frmOptions>& options() { return options_; }
    void showOptions() override;
    // The About box, shown not modal, from the menu's "About"; like the dialog, one while it is open.
    FormInstance<frmInfo>& about() { return about_; }
    void showAbout() override;

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
