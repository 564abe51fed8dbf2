#pragma once
// The headless backend's text: a fixed-pitch test font, so a layout comes out as exact numbers.
//
// Whatever the font's name, with em the font's size in pixels on the scripted screen (emPixels, 12 for
// 9 pt at 15 twips per pixel):
//   - every character is em / 2 pixels wide, one more in bold (9 pt: 6);
//   - a line is em + em / 4 pixels high (9 pt: 15);
//   - a blank leaves its cell as it was; any other character inks the columns 0 to width - 2 and the
//     rows em / 4 to em - 1 of its cell (9 pt: a 5 x 9 block from the cell's (0, 3)).
// The window-text colour is black, unless a test sets windowText (a desktop's colour scheme).

#include "platform/runtime.h"

namespace corvane {

class HeadlessText final : public TextService {
  public:
    explicit HeadlessText(Screen& screen) : screen_(screen) {}

    TextExtent measureLine(const Font& font, std::string_view line) override;
    void drawLine(PixelImage& image, int x, int y, const Font& font, std::string_view line,
                  Color color) override;
    Color windowTextColor() override { return windowText; }
    Color windowText = 0x00000000;

  private:
    struct Cell {
        int em, width, height;
    };
    Cell cellOf(const Font& font);

    Screen& screen_;
};

}  // namespace corvane
