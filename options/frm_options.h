#pragma once
// The preferences dialog: its controls hold a copy of the settings while it is open; OK checks the
// alarm, writes every setting back and re-applies the meter's colours, size and place; Cancel, Esc and
// the close box write nothing. The editors inside it (colour boxes, thickness, sound file, help) change
// only its controls and the pending thickness.

#include <array>
#include <cstdint>

#include "platform/forms.h"

namespace corvane {

class ProgramContext;

inline constexpr int kColorSlots = 7;
inline constexpr std::int16_t kThinnest = 8;  // pixels: where the minus button stops
inline constexpr std::int16_t kThickest = 20;

class frmOptions {
  public:
    explicit frmOptions(ProgramContext& program);

    Form window;
    CheckBox& chkShowTop;
    CheckBox& chkUpright;
    Frame& fraThres;
    Label& lblLow;
    TextBox& txtLowUpper;
    Label& lblMid;
    TextBox& txtMidUpper;
    Frame& fraPosition;
    OptionButton& optLeftUpper;
    OptionButton& optRightUpper;
    OptionButton& optAnyPlace;
    OptionButton& optLeftLower;
    OptionButton& optRightLower;
    Frame& fraWidth;
    Picture& picPreview;
    Image& imgMinus;
    Image& imgPlus;
    Frame& fraColor;
    std::array<Picture*, kColorSlots> picColor;
    std::array<Label*, kColorSlots> lblColor;
    Frame& fraAlarm;
    CheckBox& chkAlarmEnabled;
    Label& lblFile;
    TextBox& txtWavFile;
    CommandButton& cmdOpen;
    CommandButton& cmdOK;
    CommandButton& cmdCancel;
    CommandButton& cmdHelp;

    // The thickness in pixels that OK will apply.
    std::int16_t mnWidth = 0;

    void Form_Load();
    void Form_Unload(std::int16_t& cancel);
    void cmdOK_Click();
    void cmdCancel_Click();
    // The editors.
    void picColor_Click(std::int16_t index);
    void imgMinus_MouseDown(const MouseArgs& e);
    void imgPlus_MouseDown(const MouseArgs& e);
    // The keyboard's way to what the mouse reaches: Space or Enter on a colour box, "+" and "-" on the
    // preview.
    void picColor_KeyPress(std::int16_t index, std::int16_t& keyAscii);
    void picPreview_KeyPress(std::int16_t& keyAscii);
    void cmdOpen_Click();
    void cmdHelp_Click();

  private:
    void CenterPreview();
    // The thickness editor's common steps: the preview shows mnWidth, centred between the images.
    void showThickness();

    ProgramContext& program_;
};

}  // namespace corvane
