// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

namespace platform {

// The system's font configuration read on a thread of its own while the toolkit connects to the
// display: fontconfig parses some forty XML files before the first font, a quarter of the
// start's work, which a second core can do meanwhile. Wait (or the end of the object) joins the
// thread; call it before the first font is used.
//
// Threads: the thread touches nothing of the game's, only fontconfig's own configuration, which
// fontconfig guards itself (a second loader racing it discards its copy). It reads the
// environment, so make the object once the environment is final.
class FontConfigWarmUp {
public:
    FontConfigWarmUp();

    void Wait();

private:
    std::jthread thread_; // joined at the latest when the object ends
};

} // namespace platform
