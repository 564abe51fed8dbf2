// The editors inside the preferences dialog. None writes a setting: OK takes their results from the
// controls and from mnWidth.

#include <algorithm>
#include <string>

#include "options/frm_options.h"
#include "platform/runtime.h"
#include "shell/mkesta.h"
#include "shell/program_context.h"

namespace corvane {

// The chooser starts at the slot's stored colour, not at the one the box shows: a second visit before
// OK starts over. While it is up the dialog leaves the topmost band, so the chooser is not covered.
void frmOptions::picColor_Click(std::int16_t index) {
    mKesta& k = program_.kesta();
    Runtime& rt = program_.runtime();
    k.SetTopmost(window, 0);
    const std::optional<Color> chosen =
        rt.choosers().chooseColor(window, static_cast<Color>(k.plColor[index]));
    if (rt.ended()) return;
    if (chosen) picColor[index]->setBackColor(*chosen);
    k.SetTopmost(window, 1);
}

// Each image enforces its own limit only: a stored thickness beyond the other limit comes back in
// steps of two.
void frmOptions::imgMinus_MouseDown(const MouseArgs&) {
    mnWidth = static_cast<std::int16_t>(std::max(mnWidth - 2, int{kThinnest}));
    showThickness();
}

void frmOptions::imgPlus_MouseDown(const MouseArgs&) {
    mnWidth = static_cast<std::int16_t>(std::min(mnWidth + 2, int{kThickest}));
    showThickness();
}

// The key is consumed: Enter on a colour box is not the default button's as well.
void frmOptions::picColor_KeyPress(std::int16_t index, std::int16_t& keyAscii) {
    if (keyAscii != ' ' && keyAscii != kKeyReturn) return;
    keyAscii = 0;
    picColor_Click(index);
}

void frmOptions::picPreview_KeyPress(std::int16_t& keyAscii) {
    if (keyAscii == '+')
        imgPlus_MouseDown({});
    else if (keyAscii == '-')
        imgMinus_MouseDown({});
    else
        return;
    keyAscii = 0;
}

void frmOptions::showThickness() {
    picPreview.setWidth(mnWidth * program_.kesta().pnTwipsPerPixelX);
    CenterPreview();
}

// The chosen file plays once at once, so the user hears what the alarm will sound like. A dismissed
// chooser leaves the text as it was.
void frmOptions::cmdOpen_Click() {
    mKesta& k = program_.kesta();
    Runtime& rt = program_.runtime();
    k.SetTopmost(window, 0);
    const std::string text = txtWavFile.text();
    const FileChooserRequest request{.filter = "Sound files (*.wav)|*.wav",
                                     .filterIndex = 1,
                                     .initialDir = k.pGetDirPath(text),
                                     .fileName = k.pGetFileName(text),
                                     .title = " Select alarm sound file",
                                     .hideReadOnly = true};
    const std::optional<std::string> chosen = rt.choosers().chooseFile(window, request);
    if (rt.ended()) return;
    if (chosen) {
        txtWavFile.setText(*chosen);
        rt.sound().playAsync(*chosen);
    }
    k.SetTopmost(window, 1);
}

// The preferences topic of the program's help, the file the menu opens at its contents.
void frmOptions::cmdHelp_Click() {
    program_.runtime().help().show(program_.helpFile, HelpCommand::Context, 13);
}

}  // namespace corvane
