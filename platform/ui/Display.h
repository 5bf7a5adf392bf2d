// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// Whether the display the session names can be reached, asked before the toolkit tries (which
// would abort the process with a misleading word about reinstalling).
namespace platform {

// Nothing when a display the toolkit would use answers, or when the platform chosen is not a
// desktop one (offscreen). Otherwise one line for the player naming what was tried, such as
// "cannot reach the display :99 (DISPLAY)". Costs a socket connect or two.
std::optional<std::string> UnreachableDisplay();

// From here until ForgetDisplayFailure(), a toolkit failure to open its platform ends the
// process with status 1 and one clear line instead of an abort.
void ExitCleanlyOnDisplayFailure();
void ForgetDisplayFailure();

} // namespace platform
