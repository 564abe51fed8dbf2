#pragma once
// The X server going away under the program, as it does at the end of a session started with startx.
// Qt's X11 platform then ends the process itself, with exit(1), and nothing would be saved: the watch
// hears that end, and the program ends its session first, with no call reaching the dead display.

#include <functional>

namespace corvane {

class QtDisplayLoss {
  public:
    // onLost runs once, on the event loop's thread, when the process ends with its connection to the
    // X server broken; the process ends when it returns.
    explicit QtDisplayLoss(std::function<void()> onLost);
    ~QtDisplayLoss();
    QtDisplayLoss(const QtDisplayLoss&) = delete;
    QtDisplayLoss& operator=(const QtDisplayLoss&) = delete;

    // Whether the display is gone: from then on the peers send it nothing.
    static bool lost();

  private:
    static void atProcessEnd();
    std::function<void()> onLost_;
};

}  // namespace corvane
