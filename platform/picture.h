#pragma once
// The picture box and the drawing the program does in it, in pixels.

#include <string>
#include <string_view>
#include <vector>

#include "platform/control.h"
#include "platform/graphics.h"

namespace corvane {

// A picture box: placed like every control, drawn on in pixels.
class Picture final : public Control {
  public:
    static constexpr ControlKind kKind = ControlKind::Picture;
    static constexpr bool kTakesFocus = true;
    Picture(Form& owner, std::string name, Control* container = nullptr);

    Color backColor() const { return backColor_; }
    // A new background colour also wipes what was drawn: the picture starts over in the new colour.
    void setBackColor(Color c);

    double scaleWidth() const;  // drawing extent in pixels
    double scaleHeight() const;

    // A clear also puts the text position back at the top left corner.
    void cls();
    void line(int x1, int y1, int x2, int y2, Color c);
    void fillBox(int x1, int y1, int x2, int y2, Color c);
    // The box's outline only, both corners on it.
    void box(int x1, int y1, int x2, int y2, Color c);

    // Text, in the picture's font (at first the form's) and fore colour. A carriage return, a line feed
    // or the two together start a new line.
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color c) { foreColor_ = c; }
    // The widest line's width and the height of all the lines, in the form's scale units (those the
    // picture is placed in), so a picture given these sizes just holds the text.
    double textWidth(std::string_view text) const;
    double textHeight(std::string_view text) const;
    // Prints the text line under line: the first line from the text position, the others from the left
    // edge; the position ends at the left edge under the last line. Positions are in pixels.
    void print(std::string_view text);
    int currentX() const { return currentX_; }
    int currentY() const { return currentY_; }
    void setCurrentX(int x) { currentX_ = x; }

    const PixelImage& image() const { return image_; }

    void layoutChanged() override;

    // Whether the pixels differ from what the peer was last told to show; the form asks once its
    // handler has finished drawing, so the window system repaints only what really changed.
    bool takeNewPixels();

  private:
    void drawn();

    Color backColor_ = 0x00FFFFFF;
    Color foreColor_ = 0;
    int currentX_ = 0;
    int currentY_ = 0;
    PixelImage image_;
    std::vector<Color> presented_;
    int presentedWidth_ = -1;
};

}  // namespace corvane
