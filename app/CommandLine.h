// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace app {

// The --help / --version / bad-argument handling both programs share. Prints the help
// text or "<program> <version>" to standard output, or a complaint naming the first bad
// argument to standard error. Returns the exit status, or -1 when there are no arguments
// and the program should go on.
int HandleCommandLine(int argc, char** argv, const char* program, const char* help,
                      const char* version);

} // namespace app
