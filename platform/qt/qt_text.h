#pragma once
// Text through Qt's fonts, drawn into the picture's pixels. Arial, Times New Roman and Courier New
// stand for their metric twins from fonts-liberation, which take the same room glyph for glyph; with
// full hinting the widths come out in the same whole pixels as the Windows program's.

#include <QFont>

#include "platform/runtime.h"

namespace corvane {

class QtText final : public TextService {
  public:
    explicit QtText(Screen& screen) : screen_(screen) {}

    TextExtent measureLine(const Font& font, std::string_view line) override;
    void drawLine(PixelImage& image, int x, int y, const Font& font, std::string_view line,
                  Color color) override;
    Color windowTextColor() override;

    QFont qfont(const Font& font);

  private:
    Screen& screen_;
};

}  // namespace corvane
