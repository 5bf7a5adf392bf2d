// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Project1.h"

#include <Version.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelp =
    "Usage: velmar [--help | --version]\n"
    "The sliding fifteen puzzle. Run it without arguments to play.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Keys: F5 new game, F6 F7 F8 timed levels, H hint, Esc leave the game. See velmar(6).\n";

bool isHelp(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

bool isVersion(const char* arg) {
    return std::strcmp(arg, "--version") == 0;
}

// The game takes no arguments of its own; -1 means go on and play.
int handleCommandLine(int argc, char** argv) {
    if (argc < 2)
        return -1;
    if (argc == 2 && isHelp(argv[1])) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && isVersion(argv[1])) {
        std::printf("velmar %s\n", VELMAR_VERSION);
        return 0;
    }
    const char* problem = "too many arguments";
    const char* culprit = "";
    for (int i = 1; i < argc; ++i) {
        if (!isHelp(argv[i]) && !isVersion(argv[i])) {
            problem = argv[i][0] == '-' ? "unknown option " : "unexpected argument ";
            culprit = argv[i];
            break;
        }
    }
    std::fprintf(stderr, "velmar: %s%s\nTry 'velmar --help' for more information.\n", problem,
                 culprit);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = handleCommandLine(argc, argv); status >= 0)
        return status;
    return app::Project1(argc, argv);
}
