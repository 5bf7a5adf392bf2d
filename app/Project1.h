// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace app {

// The main program: splash, the windows in their order, the message loop.
int Project1(int argc, char** argv);

} // namespace app
