// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/solve/PositionLine.h"

#include <array>
#include <cctype>
#include <vector>

namespace solve {
namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool allDigits(std::string_view word) {
    for (const char c : word)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Leading zeros are fine; anything longer than two significant digits is out of range anyway.
int valueOf(std::string_view word) {
    int value = 0;
    for (const char c : word) {
        value = value * 10 + (c - '0');
        if (value > 99)
            return 99;
    }
    return value;
}

} // namespace

PositionLine ReadPositionLine(std::string_view line) {
    PositionLine result;
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.size() != rules::CellCount) {
        result.Problem = "expected 16 numbers, found " + std::to_string(words.size());
        return result;
    }
    std::array<int, rules::CellCount + 1> cellOf{};
    for (int cell = 1; cell <= rules::CellCount; ++cell) {
        const std::string_view word = words[static_cast<std::size_t>(cell - 1)];
        if (!allDigits(word)) {
            result.Problem = "'" + std::string(word) + "' is not a number";
            return result;
        }
        const int value = valueOf(word);
        if (value < 1 || value > rules::CellCount) {
            result.Problem = std::string(word) + " is out of range 1..16";
            return result;
        }
        if (const int first = cellOf[static_cast<std::size_t>(value)]; first != 0) {
            result.Problem = std::to_string(value) + " appears twice (numbers " +
                             std::to_string(first) + " and " + std::to_string(cell) + ")";
            return result;
        }
        cellOf[static_cast<std::size_t>(value)] = cell;
        result.Board[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(value);
    }
    return result;
}

} // namespace solve
