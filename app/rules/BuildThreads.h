// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace rules {

// How many threads a table build or a search may use besides the caller's. Each of them calls
// `OnHelperStart` before any work (the game lowers their priority there, so the window keeps
// the other core when it needs it). An exception thrown there ends a build with it; a search
// goes on without that helper.
struct BuildThreads {
    int Helpers = 0;
    std::function<void()> OnHelperStart;
};

} // namespace rules
