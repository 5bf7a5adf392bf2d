// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files the game installs for itself alone (its sound module, the solver's larger tables), found
// relative to the program, so the installed tree can move as a whole.

#include <string>
#include <vector>

namespace platform {

// Where `name` may lie, the likeliest first: beside the program (the build tree), then in the
// installed tree's private library folder.
std::vector<std::string> PrivateFileCandidates(const std::string& name);

} // namespace platform
