// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <cstdio>
#include <cstring>

namespace app {

namespace {

bool isHelp(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

bool isVersion(const char* arg) {
    return std::strcmp(arg, "--version") == 0;
}

} // namespace

int HandleCommandLine(int argc, char** argv, const char* program, const char* help,
                      const char* version) {
    if (argc < 2)
        return -1;
    if (argc == 2 && isHelp(argv[1])) {
        std::fputs(help, stdout);
        return 0;
    }
    if (argc == 2 && isVersion(argv[1])) {
        std::printf("%s %s\n", program, version);
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
    std::fprintf(stderr, "%s: %s%s\nTry '%s --help' for more information.\n", program, problem,
                 culprit, program);
    return 2;
}

} // namespace app
