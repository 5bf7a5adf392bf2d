// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Project1.h"

int main(int argc, char** argv) {
    return app::Project1(argc, argv);
}
