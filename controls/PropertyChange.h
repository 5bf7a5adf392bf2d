// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

namespace controls {

// The controls' setters: stores `value` and says whether the field changed, so a setter
// repaints (or notifies) only when there is something new to show.
template <class T, class U> bool ChangeValue(T& field, U&& value) {
    if (field == value)
        return false;
    field = std::forward<U>(value);
    return true;
}

} // namespace controls
