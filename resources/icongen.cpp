// Build-time tool: writes the program icon files into the folder given as the only argument.
// It runs on the build host, also in cross builds, so it uses nothing beyond the standard library.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
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

template <std::size_t N>
corvane::IconImageView view(const std::array<std::uint32_t, N>& pixels, int side) {
    return {side, side, pixels};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argc > 0 ? argv[0] : "icongen");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);

        const auto large = corvane::programIconPixels();
        const auto small = corvane::smallProgramIconPixels();
        const corvane::IconImageView icoImages[] = {view(large, 32), view(small, 16)};
        bool ok = writeFile(dir / "corvane.png", corvane::encodePng(view(large, 32)));
        ok = writeFile(dir / "corvane.ico", corvane::encodeIco(icoImages)) && ok;

        const std::pair<corvane::ClockHands, const char*> frames[] = {
            {corvane::ClockHands::Up, "hands-up.png"},
            {corvane::ClockHands::Right, "hands-right.png"},
            {corvane::ClockHands::Down, "hands-down.png"},
            {corvane::ClockHands::Left, "hands-left.png"},
        };
        for (const auto& [hands, name] : frames) {
            const auto pixels = corvane::programIconPixels(hands);
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
