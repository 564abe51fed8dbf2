#pragma once
// The alarm sound on Linux: a WAV file played by the desktop's event-sound library on a thread of its
// own, so the tick never waits for a file, a library or a sound device, and the end of the program
// waits for none of them for more than a moment. A file that cannot be played sounds the desktop's
// default alert instead, as Windows plays its default sound.

#include <memory>
#include <string>

#include "platform/runtime.h"

namespace corvane {

class CanberraSound final : public Sound {
  public:
    CanberraSound();
    ~CanberraSound() override;
    CanberraSound(const CanberraSound&) = delete;
    CanberraSound& operator=(const CanberraSound&) = delete;

    void playAsync(const std::string& path) override;

  private:
    class Player;
    // Made by the first sound: a program whose alarm never sounds loads no sound library at all.
    std::unique_ptr<Player> player_;
};

}  // namespace corvane
