// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/Project1.h"

#include <Version.h>

namespace {

constexpr const char* kHelp =
    "Usage: velmar [--help | --version]\n"
    "The sliding fifteen puzzle. Run it without arguments to play; started again, it\n"
    "brings the running game to the front instead of opening a second one.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Keys: F5 new game, F6 F7 F8 timed levels, H hint, Esc leave the game. See velmar(6).\n";

} // namespace

int main(int argc, char** argv) {
    if (const int status = app::HandleCommandLine(argc, argv, "velmar", kHelp, VELMAR_VERSION);
        status >= 0)
        return status;
    return app::Project1(argc, argv);
}
