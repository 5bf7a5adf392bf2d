// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace app {

// The main program: splash, the windows in their order, the message loop.
int Project1(int argc, char** argv);

// SIGTERM, SIGINT and SIGHUP end the program as a confirmed close does, without the question.
void EndOnSignals();

} // namespace app
