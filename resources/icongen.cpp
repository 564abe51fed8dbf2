// Build-time tool: writes the program icon files into the folder given as the only argument.
// It runs on the build host, also in cross builds, so it uses nothing beyond the standard library.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "icon_art.h"

namespace {

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "icongen: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

// The pixels of each size as the initialiser of a C++ array: the side, then its pixels, size after
// size, then a side of 0. For a program that shows the icon without drawing it.
bool writeInitialiser(const std::filesystem::path& path, std::span<const std::vector<std::uint32_t>> pictures) {
    std::string text;
    char number[16];
    for (const auto& pixels : pictures) {
        int side = 0;
        while (std::size_t(side) * std::size_t(side) < pixels.size()) ++side;
        text += std::to_string(side) + ",\n";
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            std::snprintf(number, sizeof number, "0x%08x,%c", static_cast<unsigned>(pixels[i]),
                          i % 8 == 7 ? '\n' : ' ');
            text += number;
        }
    }
    text += "0\n";
    return writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

corvane::IconImageView view(std::span<const std::uint32_t> pixels, int side) { return {side, side, pixels}; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argc > 0 ? argv[0] : "icongen");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);

        // The program's own picture at 32 pixels, the Windows icon with the sizes the shell shows (256
        // would double the program's size), and one file a size in the hicolor theme's layout.
        std::vector<std::vector<std::uint32_t>> pictures;
        for (int side : {32, 16, 24, 48}) pictures.push_back(corvane::programIconPixels(side));
        const corvane::IconImageView icoImages[] = {view(pictures[0], 32), view(pictures[1], 16),
                                                    view(pictures[2], 24), view(pictures[3], 48)};
        bool ok = writeFile(dir / "corvane.png", corvane::encodePng(icoImages[0]));
        ok = writeFile(dir / "corvane.ico", corvane::encodeIco(icoImages)) && ok;
        for (int side : corvane::kProgramIconSizes) {
            const std::string size = std::to_string(side) + "x" + std::to_string(side);
            const std::filesystem::path folder = dir / "hicolor" / size / "apps";
            std::filesystem::create_directories(folder);
            const auto pixels = corvane::programIconPixels(side);
            ok = writeFile(folder / "corvane.png", corvane::encodePng(view(pixels, side))) && ok;
        }
        std::vector<std::vector<std::uint32_t>> traySizes;
        for (int side : corvane::kProgramIconSizes)
            if (side <= 64) traySizes.push_back(corvane::programIconPixels(side));
        ok = writeInitialiser(dir / "corvane.argb.inc", traySizes) && ok;

        const std::pair<corvane::ClockHands, const char*> frames[] = {
            {corvane::ClockHands::Up, "hands-up.png"},
            {corvane::ClockHands::Right, "hands-right.png"},
            {corvane::ClockHands::Down, "hands-down.png"},
            {corvane::ClockHands::Left, "hands-left.png"},
        };
        for (const auto& [hands, name] : frames) {
            const auto pixels = corvane::programIconPixels(32, hands);
            ok = writeFile(dir / name, corvane::encodePng(view(pixels, 32))) && ok;
        }
        const auto minus = corvane::signPixels(corvane::Sign::Minus);
        const auto plus = corvane::signPixels(corvane::Sign::Plus);
        ok = writeFile(dir / "minus.png", corvane::encodePng(view(minus, 12))) && ok;
        ok = writeFile(dir / "plus.png", corvane::encodePng(view(plus, 12))) && ok;
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "icongen: %s\n", e.what());
        return 1;
    }
}
