#pragma once
// A whole program over a fresh headless runtime: fill the store as an earlier run would have left it,
// start, poke, end, read the store back, and throw it all away.

#include <algorithm>
#include <array>
#include <concepts>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/program.h"
#include "monitor/frm_monitor.h"
#include "platform/headless/headless_runtime.h"
#include "shell/frm_main.h"
#include "shell/mkesta.h"

namespace corvane::test {

// (section, key, text), the shape MemoryStore::entries() hands back, so one run's store can seed the next.
using StoreTexts = std::vector<std::tuple<std::string, std::string, std::string>>;

inline std::string sectionOf(std::string_view key) {
    for (std::string_view formKey : {"Position", "Left", "Top", "Width", "State"})
        if (key == formKey) return "Form";
    return "Options";
}

// "Position=4 Left=1200": blank-separated key=text pairs, each under its own section.
inline StoreTexts storeTexts(std::string_view pairs) {
    StoreTexts texts;
    std::istringstream in{std::string(pairs)};
    for (std::string pair; in >> pair;) {
        const auto eq = pair.find('=');
        texts.emplace_back(sectionOf(pair.substr(0, eq)), pair.substr(0, eq), pair.substr(eq + 1));
    }
    return texts;
}

// An image's rows, each pixel as the character `letter` gives its colour.
template <class Letter>
std::vector<std::string> rowsOf(const PixelImage& img, Letter letter) {
    std::vector<std::string> out(static_cast<std::size_t>(std::max(img.height(), 0)));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) out[static_cast<std::size_t>(y)] += letter(img.at(x, y));
    return out;
}

// Left, top, width, height of a window in twips, or of a control in its form's units.
using Rect = std::array<double, 4>;
inline Rect placeOf(const Placement& w) { return {w.left(), w.top(), w.width(), w.height()}; }

struct TestProgram {
    explicit TestProgram(const StoreTexts& stored, bool startNow = true) {
        for (const auto& [section, key, text] : stored) rt.store().set(section, key, text);
        if (startNow) program.start();
    }
    explicit TestProgram(std::string_view stored = "", bool startNow = true)
        : TestProgram(storeTexts(stored), startNow) {}
    // The settings stored, then what the test sets up before the start, then the start.
    template <std::invocable<TestProgram&> Setup>
    TestProgram(std::string_view stored, Setup&& beforeStart) : TestProgram(stored, false) {
        beforeStart(*this);
        program.start();
    }

    HeadlessRuntime rt;
    Program program{rt};
    mKesta& k = program.kesta();

    frmMain& main() { return program.mainForm(); }
    frmMonitor& meter() { return program.monitor(); }
    Form& meterWindow() { return program.monitor().window; }
    // The first menu caption is the live record of whether the meter is shown.
    const std::string& firstCaption() { return main().mnuMenuArray[0].caption; }
    // "Exit" unloads the main form, which is close reason 1.
    void exit(std::int16_t reason = 1) { main().window.queryUnload(reason); }
    std::string stored(const std::string& key) {
        return rt.store().get(sectionOf(key), key).value_or("<missing>");
    }

    // The battery as the next reading will find it.
    void power(bool mains, int percent, std::int32_t fullLife = 7200) {
        rt.setPowerStatus({.ACLineStatus = mains ? kACOnline : kACOffline,
                           .BatteryLifePercent = static_cast<std::uint8_t>(percent),
                           .BatteryFullLifeTime = fullLife});
    }
    void ticks(int seconds) { rt.advance(1000LL * seconds); }
    // The calls made after the first `from` of them.
    std::vector<std::string> callsSince(std::size_t from) const {
        return {rt.calls.begin() + static_cast<std::ptrdiff_t>(from), rt.calls.end()};
    }
    // The calls of one kind so far, e.g. every "PlaySound(".
    std::vector<std::string> callsStartingWith(std::string_view prefix) const {
        std::vector<std::string> out;
        for (const auto& c : rt.calls)
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }

    // A button (the left one unless told) goes down on the meter at one cursor place (screen pixels)
    // and moves to another.
    void dragBy(int fromX, int fromY, int dx, int dy, bool release = true,
                std::int16_t button = kLeftButton) {
        rt.setCursor(fromX, fromY);
        meter().picHistory.mouseDown(button, 0, 2, 2);
        rt.setCursor(fromX + dx, fromY + dy);
        meter().picHistory.mouseMove(button, 0, 2, 2);
        if (release) meter().picHistory.mouseUp(button, 0, 2, 2);
    }
};

}  // namespace corvane::test
