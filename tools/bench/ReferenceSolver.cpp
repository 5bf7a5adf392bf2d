// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReferenceSolver.h"

#include <algorithm>
#include <cstdlib>

namespace bench {
namespace {

// Tiles 1..15 by group: Korf and Felner's 6-6-3 partition, turned half round as the goal here
// has the empty cell last: the left and the right two columns of the top three rows, and the
// bottom row.
constexpr std::array<std::array<int, 6>, 3> kGroups = {{
    {1, 2, 5, 6, 9, 10},
    {3, 4, 7, 8, 11, 12},
    {13, 14, 15, 0, 0, 0},
}};
constexpr std::array<int, 3> kSizes = {6, 6, 3};

struct Place {
    int Group = 0;
    int Slot = 0;
};

std::array<Place, 16> placesOfTiles() {
    std::array<Place, 16> places{};
    for (int g = 0; g < 3; ++g)
        for (int s = 0; s < kSizes[static_cast<std::size_t>(g)]; ++s)
            places[static_cast<std::size_t>(
                kGroups[static_cast<std::size_t>(g)][static_cast<std::size_t>(s)])] = {g, s};
    return places;
}

const std::array<Place, 16> kPlaces = placesOfTiles();

// Breadth-first from home over the group's placements, four bits a tile's cell.
std::vector<std::uint8_t> buildTable(int group) {
    const int k = kSizes[static_cast<std::size_t>(group)];
    std::vector<std::uint8_t> table(std::size_t{1} << (4 * k), 0xFF);
    std::uint32_t home = 0;
    for (int s = 0; s < k; ++s)
        home |= static_cast<std::uint32_t>(
                    kGroups[static_cast<std::size_t>(group)][static_cast<std::size_t>(s)] - 1)
                << (4 * s);
    std::vector<std::uint32_t> layer{home};
    table[home] = 0;
    for (std::uint8_t depth = 1; !layer.empty(); ++depth) {
        std::vector<std::uint32_t> next;
        for (const std::uint32_t placement : layer) {
            unsigned occupied = 0;
            for (int s = 0; s < k; ++s)
                occupied |= 1u << ((placement >> (4 * s)) & 15u);
            for (int s = 0; s < k; ++s) {
                const int cell = static_cast<int>((placement >> (4 * s)) & 15u);
                for (const int to : {cell - 4, cell + 4, cell % 4 ? cell - 1 : -1,
                                     cell % 4 != 3 ? cell + 1 : -1}) {
                    if (to < 0 || to > 15 || (occupied >> to) & 1u)
                        continue;
                    const std::uint32_t moved = (placement & ~(15u << (4 * s))) |
                                                (static_cast<std::uint32_t>(to) << (4 * s));
                    if (table[moved] != 0xFF)
                        continue;
                    table[moved] = depth;
                    next.push_back(moved);
                }
            }
        }
        layer.swap(next);
    }
    return table;
}

struct Search {
    const std::array<std::vector<std::uint8_t>, 3>& Tables;
    std::array<std::uint8_t, 16> Cells{};
    std::array<std::uint32_t, 3> Index{};
    int Blank = 0;
    int Length = 0;
    std::uint64_t Nodes = 0;

    int value() const { return Tables[0][Index[0]] + Tables[1][Index[1]] + Tables[2][Index[2]]; }

    // -1 when found, else the smallest total above the bound.
    int deepen(int g, int h, int bound, int previous) {
        if (g + h > bound)
            return g + h;
        if (h == 0) {
            Length = g;
            return -1;
        }
        ++Nodes;
        int least = 1 << 30;
        const int blank = Blank;
        for (const int cell :
             {blank - 4, blank + 4, blank % 4 ? blank - 1 : -1, blank % 4 != 3 ? blank + 1 : -1}) {
            if (cell < 0 || cell > 15 || cell == previous)
                continue;
            const int tile = Cells[static_cast<std::size_t>(cell)];
            const Place place = kPlaces[static_cast<std::size_t>(tile)];
            const auto group = static_cast<std::size_t>(place.Group);
            const std::uint32_t was = Index[group];
            Index[group] = was ^ (static_cast<std::uint32_t>(cell ^ blank) << (4 * place.Slot));
            Cells[static_cast<std::size_t>(blank)] = static_cast<std::uint8_t>(tile);
            Cells[static_cast<std::size_t>(cell)] = 0;
            Blank = cell;
            const int t = deepen(g + 1, value(), bound, blank);
            Blank = blank;
            Cells[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(tile);
            Cells[static_cast<std::size_t>(blank)] = 0;
            Index[group] = was;
            if (t == -1)
                return -1;
            least = std::min(least, t);
        }
        return least;
    }
};

} // namespace

ReferenceSolver::ReferenceSolver() {
    for (int g = 0; g < 3; ++g)
        tables_[static_cast<std::size_t>(g)] = buildTable(g);
}

std::size_t ReferenceSolver::SizeInBytes() const {
    return tables_[0].size() + tables_[1].size() + tables_[2].size();
}

ReferenceSolver::Result ReferenceSolver::Solve(const rules::BoardCells& board) const {
    Search search{tables_};
    for (int cell = 0; cell < 16; ++cell) {
        const int tile = board[static_cast<std::size_t>(cell) + 1];
        if (tile == rules::EmptyCell) {
            search.Blank = cell;
            continue;
        }
        search.Cells[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(tile);
        const Place place = kPlaces[static_cast<std::size_t>(tile)];
        search.Index[static_cast<std::size_t>(place.Group)] |= static_cast<std::uint32_t>(cell)
                                                               << (4 * place.Slot);
    }
    int bound = search.value();
    for (;;) {
        const int t = search.deepen(0, search.value(), bound, -1);
        if (t == -1)
            return {search.Length, search.Nodes};
        bound = t;
    }
}

} // namespace bench
