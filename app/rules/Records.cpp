// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Records.h"

#include <limits>

namespace rules {

namespace {

void raise(std::int32_t& count) {
    if (count < std::numeric_limits<std::int32_t>::max())
        ++count;
}

bool fasterThan(const RoundResult& a, const RoundResult& b) {
    return a.Seconds < b.Seconds || (a.Seconds == b.Seconds && a.Moves < b.Moves);
}

bool fewerMovesThan(const RoundResult& a, const RoundResult& b) {
    return a.Moves < b.Moves || (a.Moves == b.Moves && a.Seconds < b.Seconds);
}

} // namespace

int LevelTimeLimit(int level) {
    switch (level) {
    case 2:
        return 900;
    case 3:
        return 600;
    case 4:
        return 300;
    default:
        return 0;
    }
}

std::int32_t ShownSecondsUsed(const GameState& state) {
    return state.TimeUsed > 0 ? state.TimeUsed - 1 : 0;
}

void RecordBook::CountDeal(int level) {
    if (level < 1 || level > RecordLevelCount) {
        roundLevel_ = 0;
        roundOpen_ = false;
        return;
    }
    roundLevel_ = level;
    roundOpen_ = true;
    raise(table_.Level(level).Played);
}

WinCount RecordBook::CountWin(const RoundResult& result, bool hinted) {
    WinCount count;
    if (!roundOpen_)
        return count;
    roundOpen_ = false;
    LevelRecord& record = table_.Level(roundLevel_);
    raise(record.Won);
    count.Counted = true;
    if (hinted)
        return count;
    if (!record.BestTime || fasterThan(result, *record.BestTime)) {
        record.BestTime = result;
        count.NewBestTime = true;
    }
    if (!record.BestMoves || fewerMovesThan(result, *record.BestMoves)) {
        record.BestMoves = result;
        count.NewBestMoves = true;
    }
    return count;
}

} // namespace rules
