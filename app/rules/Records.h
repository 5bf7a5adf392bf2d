// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What counts as a record: rounds played and won per level, the best time and the fewest
// moves. Level 1 is the game without a time limit, 2 to 4 the timed levels of 15, 10 and 5
// minutes.

#include "app/rules/GameState.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace rules {

constexpr int RecordLevelCount = 4;

// One won round as its win message shows it, with the day it was won on (YYYY-MM-DD).
struct RoundResult {
    std::int32_t Seconds = 0;
    std::int32_t Moves = 0;
    std::string Date;

    bool operator==(const RoundResult&) const = default;
};

struct LevelRecord {
    std::int32_t Played = 0;
    std::int32_t Won = 0;
    std::optional<RoundResult> BestTime;  // fewest seconds; fewer moves breaks a tie
    std::optional<RoundResult> BestMoves; // fewest moves; fewer seconds breaks a tie

    bool operator==(const LevelRecord&) const = default;
};

struct RecordTable {
    std::array<LevelRecord, RecordLevelCount> Levels{};

    // Level 1..4.
    LevelRecord& Level(int level) { return Levels[static_cast<std::size_t>(level - 1)]; }
    const LevelRecord& Level(int level) const {
        return Levels[static_cast<std::size_t>(level - 1)];
    }
    bool operator==(const RecordTable&) const = default;
};

// The level's limit in seconds; 0 for the game without one.
int LevelTimeLimit(int level);

// The seconds the time-used text shows now: every tick shows the count before it, so a round
// won before its first tick has used 0 seconds.
std::int32_t ShownSecondsUsed(const GameState& state);

struct WinCount {
    bool Counted = false;      // the round's first win while its clocks ran
    bool NewBestTime = false;  // it set the level's best time
    bool NewBestMoves = false; // it set the level's fewest moves
    bool NewRecord() const { return NewBestTime || NewBestMoves; }
};

// The table and the round now in play. A round counts once: when it is dealt, and when it is
// first won before its clocks stop; a win after a loss or after a win counts for nothing.
class RecordBook {
public:
    explicit RecordBook(RecordTable table = {}) : table_(std::move(table)) {}

    const RecordTable& Table() const { return table_; }
    // The level of the round in play (0 before the first deal) and whether it may still count.
    int RoundLevel() const { return roundLevel_; }
    bool RoundOpen() const { return roundOpen_; }

    void CountDeal(int level);
    // The clocks ran out: the round can no longer be won.
    void CountTimeOut() { roundOpen_ = false; }
    // A round that used a hint is won but sets no best.
    WinCount CountWin(const RoundResult& result, bool hinted);

private:
    RecordTable table_;
    int roundLevel_ = 0;
    bool roundOpen_ = false;
};

} // namespace rules
