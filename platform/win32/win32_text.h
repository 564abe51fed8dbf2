#pragma once
// Text through GDI: the font made once per name, size and weight, measured on a memory device
// context, and drawn through a DIB section that holds the pixels under the line, so the glyphs blend
// with what the picture shows there. Under Wine, Arial is Liberation Sans, its metric twin.

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/runtime.h"
#include "platform/win32/handles.h"

namespace corvane {

class Win32Text final : public TextService {
  public:
    explicit Win32Text(Screen& screen);

    TextExtent measureLine(const Font& font, std::string_view line) override;
    void drawLine(PixelImage& image, int x, int y, const Font& font, std::string_view line,
                  Color color) override;
    Color windowTextColor() override { return GetSysColor(COLOR_WINDOWTEXT); }

    // The font for the program's description; null when GDI cannot make one.
    HFONT fontFor(const Font& font);

  private:
    Screen& screen_;
    UniqueMemoryDc dc_;
    std::map<std::tuple<std::string, int, bool>, UniqueFont> fonts_;
};

}  // namespace corvane
