// Gives the primary monitor another resolution the way the display settings do when one is asked for,
// then prints its size as a program sees it, so that a test sees what a running program hears:
//   screen_size WIDTH HEIGHT
// Fails when the display driver refuses the mode.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: screen_size WIDTH HEIGHT\n", stderr);
        return 2;
    }
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(std::atoi(argv[1]));
    mode.dmPelsHeight = static_cast<DWORD>(std::atoi(argv[2]));
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr);
    if (result != DISP_CHANGE_SUCCESSFUL) std::fprintf(stderr, "screen_size: refused (%ld)\n", result);
    std::printf("%dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}
