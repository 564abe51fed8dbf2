#pragma once
// The About box: the program's name and version, its makers, a line that scrolls sideways, a short
// notice and the icon with its clock hands going round. It lays itself out from the sizes of its texts
// and hands the meter's place in the topmost band back to the user's setting when it closes.

#include <array>
#include <cstdint>
#include <string>

#include "platform/forms.h"
#include "platform/timer.h"

namespace corvane {

class ProgramContext;

inline constexpr int kNoticeLines = 5;

class frmInfo {
  public:
    explicit frmInfo(ProgramContext& program);

    Form window;
    Timer Timer2;  // the clock hands
    Timer Timer1;  // the scrolling line
    Frame& Frame1;
    CommandButton& cmdOK;  // below what is seen of the frame: it is there for the Enter key
    Frame& Frame2;         // a rule between the scrolling line and the notice
    TextBox& txtAllrights;
    std::array<Label*, kNoticeLines> lblNotice;
    Label& lblName;
    Image& imgMain;
    Label& lblCopyright;
    Label& lblAppname;
    // The four pictures of the animation, below the box's visible part.
    Image& imgNull;   // hands left
    Image& imgEmpty;  // hands down
    Image& imgHalf;   // hands right
    Image& imgFull;   // hands up

    void Form_Load();
    void Form_Unload(std::int16_t& cancel);
    void cmdOK_Click();
    void cmdOK_KeyPress(std::int16_t& keyAscii);
    void Timer1_Timer();
    void Timer2_Timer();

    // The line that scrolls: blanks, the rights line, blanks and the rights line again.
    const std::string& scrollText() const { return msScroll; }

  private:
    ProgramContext& program_;
    std::array<std::string, kNoticeLines> msNotice;
    std::string msScroll;
    std::int16_t mnScroll = 0;   // characters scrolled off to the left
    std::int16_t mnPicture = 0;  // 0 to 19: where the hands point
};

}  // namespace corvane
