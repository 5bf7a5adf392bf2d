// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/RecordsFormat.h"

#include <charconv>
#include <limits>

namespace rules {

namespace {

constexpr std::int32_t kMaxCount = std::numeric_limits<std::int32_t>::max();

struct BestKeys {
    const char* Seconds;
    const char* Moves;
    const char* Date;
};
constexpr BestKeys kBestTimeKeys{"BestTime", "BestTimeMoves", "BestTimeDate"};
constexpr BestKeys kBestMovesKeys{"BestMovesTime", "BestMoves", "BestMovesDate"};

// Plain decimal digits only: no sign, no blanks, no hexadecimal.
std::optional<std::int32_t> count(const std::optional<std::string>& text, std::int32_t low,
                                  std::int32_t high) {
    if (!text || text->empty() || text->size() > 10)
        return std::nullopt;
    std::int64_t value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc() || stop != end || (*text)[0] == '-' || value < low || value > high)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool blank(const std::optional<std::string>& text) {
    return !text || text->empty();
}

// The best's own measure first, then the other one and the date.
void addBest(std::vector<RecordEntry>& entries, const std::string& section, const BestKeys& keys,
             const std::optional<RoundResult>& best, bool byTime) {
    const std::string seconds = best ? std::to_string(best->Seconds) : "";
    const std::string moves = best ? std::to_string(best->Moves) : "";
    entries.push_back({section, byTime ? keys.Seconds : keys.Moves, byTime ? seconds : moves});
    entries.push_back({section, byTime ? keys.Moves : keys.Seconds, byTime ? moves : seconds});
    entries.push_back({section, keys.Date, best ? best->Date : ""});
}

// A best is either wholly absent or wholly sound; `ok` goes false for anything between.
std::optional<RoundResult> readBest(const RecordLookup& lookup, const std::string& section,
                                    const BestKeys& keys, int level, bool& ok) {
    const auto seconds = lookup(section, keys.Seconds);
    const auto moves = lookup(section, keys.Moves);
    const auto date = lookup(section, keys.Date);
    if (blank(seconds) && blank(moves) && blank(date))
        return std::nullopt;
    const int limit = LevelTimeLimit(level);
    RoundResult result;
    // A win needs one slide at least, and the clock cannot show more than the level's limit.
    const auto s = count(seconds, 0, limit > 0 ? limit : kMaxCount);
    const auto m = count(moves, 1, kMaxCount);
    if (!s || !m || !date || !IsRecordDate(*date)) {
        ok = false;
        return std::nullopt;
    }
    return RoundResult{*s, *m, *date};
}

std::optional<LevelRecord> readLevel(const RecordLookup& lookup, int level) {
    const std::string section = RecordSection(level);
    LevelRecord record;
    const auto played = count(lookup(section, "Played"), 0, kMaxCount);
    const auto won = count(lookup(section, "Won"), 0, kMaxCount);
    if (!played || !won || *won > *played)
        return std::nullopt;
    record.Played = *played;
    record.Won = *won;
    bool ok = true;
    record.BestTime = readBest(lookup, section, kBestTimeKeys, level, ok);
    record.BestMoves = readBest(lookup, section, kBestMovesKeys, level, ok);
    if (!ok || record.BestTime.has_value() != record.BestMoves.has_value())
        return std::nullopt;
    if (record.BestTime && (record.Won < 1 || record.BestMoves->Moves > record.BestTime->Moves ||
                            record.BestTime->Seconds > record.BestMoves->Seconds))
        return std::nullopt;
    return record;
}

} // namespace

std::string RecordSection(int level) {
    return "Level" + std::to_string(level);
}

std::vector<RecordEntry> RecordEntries(const RecordTable& table) {
    std::vector<RecordEntry> entries;
    for (int level = 1; level <= RecordLevelCount; ++level) {
        const LevelRecord& record = table.Level(level);
        const std::string section = RecordSection(level);
        entries.push_back({section, "Played", std::to_string(record.Played)});
        entries.push_back({section, "Won", std::to_string(record.Won)});
        addBest(entries, section, kBestTimeKeys, record.BestTime, true);
        addBest(entries, section, kBestMovesKeys, record.BestMoves, false);
    }
    return entries;
}

std::optional<RecordTable> ReadRecordTable(const RecordLookup& lookup) {
    RecordTable table;
    for (int level = 1; level <= RecordLevelCount; ++level) {
        auto record = readLevel(lookup, level);
        if (!record)
            return std::nullopt;
        table.Level(level) = *std::move(record);
    }
    return table;
}

bool IsRecordDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    auto number = [&](std::size_t from, std::size_t length) {
        int value = 0;
        for (std::size_t i = from; i < from + length; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year < 1970 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

} // namespace rules
