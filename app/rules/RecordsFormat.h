// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The record table as the records file keeps it: one section a level, whole seconds and
// YYYY-MM-DD dates, and what a file may hold before it is believed.

#include "app/rules/Records.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

struct RecordEntry {
    std::string Section;
    std::string Key;
    std::string Value;
};

// "Level1" to "Level4".
std::string RecordSection(int level);

// Every key of every level, in the file's order; a missing best is an empty value.
std::vector<RecordEntry> RecordEntries(const RecordTable& table);

// The value a file holds for a key, trimmed, or nothing when it has none.
using RecordLookup =
    std::function<std::optional<std::string>(const std::string& section, const std::string& key)>;

// The table a file holds, or nothing when any part of it is missing, not a number, out of the
// range a round can reach, or at odds with the rest (more wins than rounds, a best without a
// win, a fewest-moves round faster than the best time).
std::optional<RecordTable> ReadRecordTable(const RecordLookup& lookup);

// A real calendar day written as YYYY-MM-DD.
bool IsRecordDate(std::string_view text);

} // namespace rules
