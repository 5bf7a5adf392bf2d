// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The heuristic's tables: additive pattern databases over two partitions of the tiles, in one of
// two sets. The six-tile set (two 6-6-3 partitions) is built in a second or two wherever the game
// runs. The seven-tile set (two 7-7-1 partitions) needs about four times fewer positions on the
// hardest boards, but takes several seconds and 54 MiB to build, so it is made when the game is
// built and installed beside it. Immutable once built, so any number of threads may read one
// object at once. The files layer keeps them between runs: this class only turns
// them into bytes and back, and checks the bytes it is given.

#include "app/rules/BuildThreads.h"
#include "app/rules/MovePruning.h"
#include "app/rules/PartTable.h"
#include "app/rules/PatternTable.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rules {

// The tables, each for a group of tiles at home on their own cells, by the tiles' slots.
inline constexpr int GroupTilesMost = 7;
struct PatternShape {
    std::array<std::uint8_t, GroupTilesMost> Tiles{};
    int Count = 0;
};
inline constexpr int TableCount = 3;

// A group of a partition: its tiles slot by slot and the table it is looked up in, through one
// of the board's symmetries that keep the rows and columns (a cell's number xor `Symmetry`: 3
// mirrors it left to right, 12 top to bottom, 15 both). Slot i of the group is at home on the
// image of the home of the table's slot i, so one table serves every image of its shape.
struct PatternGroup {
    std::array<std::uint8_t, GroupTilesMost> Tiles{};
    int Count = 0;
    std::uint8_t Table = 0;
    std::uint8_t Symmetry = 0;
};
inline constexpr int GroupsPerPartition = 3;
inline constexpr int PartitionCount = 2;
using Partition = std::array<PatternGroup, GroupsPerPartition>;

// Each partition's groups hold every tile once, so their values add up.
enum class TableKind { Six, Seven };
struct TableSet {
    TableKind Kind;
    std::array<PatternShape, TableCount> Shapes;
    std::array<Partition, PartitionCount> Partitions;
};

// The first partition takes the left and the right two columns of the top three rows and the
// bottom row's three tiles; the second the left two columns of the bottom three rows, the same
// right block and the tiles 1, 2 and 15. All three six-tile blocks are images of one shape whose
// goal leaves the empty cell a single part, so one six-tile table serves them all.
inline constexpr TableSet SixTileSet = {
    TableKind::Six,
    {{{{1, 2, 5, 6, 9, 10}, 6}, {{13, 14, 15}, 3}, {{1, 2, 15}, 3}}},
    {{
        {{{{1, 2, 5, 6, 9, 10}, 6, 0, 0},
          {{4, 3, 8, 7, 12, 11}, 6, 0, 3},
          {{13, 14, 15}, 3, 1, 0}}},
        {{{{13, 14, 9, 10, 5, 6}, 6, 0, 12},
          {{4, 3, 8, 7, 12, 11}, 6, 0, 3},
          {{1, 2, 15}, 3, 2, 0}}},
    }},
};

// Both partitions take the bottom two rows but the empty cell's home; the first takes the top two
// rows but tile 4, the second the top two rows but tile 1, and each leaves its one tile alone.
// The three seven-tile blocks are images of one shape, whose goal leaves cell 3 a part of its
// own: so the tables' goal is the group at home with the empty cell anywhere, which no block's
// own goal is nearer than.
inline constexpr TableSet SevenTileSet = {
    TableKind::Seven,
    {{{{1, 2, 3, 5, 6, 7, 8}, 7}, {{4}, 1}, {{1}, 1}}},
    {{
        {{{{1, 2, 3, 5, 6, 7, 8}, 7, 0, 0},
          {{13, 14, 15, 9, 10, 11, 12}, 7, 0, 12},
          {{4}, 1, 1, 0}}},
        {{{{4, 3, 2, 8, 7, 6, 5}, 7, 0, 3},
          {{13, 14, 15, 9, 10, 11, 12}, 7, 0, 12},
          {{1}, 1, 2, 0}}},
    }},
};

constexpr const TableSet& TableSetOf(TableKind kind) {
    return kind == TableKind::Six ? SixTileSet : SevenTileSet;
}

// The checksum of each set's entries (FNV-1a over eight-byte words of the three tables' entries
// one after the other) as the first single-thread builder of its entries gave them. The search
// was made for those entries, so every builder must give them exactly.
inline constexpr std::uint64_t BuiltTablesChecksum = 0xfbf4a094dc01c3d6ull;
inline constexpr std::uint64_t BuiltSevenTablesChecksum = 0x34a77b1a30b723bcull;

// The tables in their final form, kept as one block of bytes: the cache file holds exactly
// these bytes, so a run maps the file and reads the tables where they lie, with nothing to
// convert. The block: a 64-byte header (mark, which also tells the set, byte order, the move
// automaton's size, the block's size, a checksum of all the rest), then each table's entries
// (PatternDatabase.h for the six-tile set, PartTable.h for the seven-tile one) and the move
// automaton, every part at a multiple of 64 bytes. The block is in this machine's byte order;
// another order's file fails its mark. The checksum a block carries in its header: of every byte
// but the checksum's own eight.
std::uint64_t BlockChecksum(std::string_view block);

class SolverTables {
public:
    // nullptr only when `cancel` was raised during the build.
    static std::unique_ptr<SolverTables> Build(const std::atomic<bool>& cancel,
                                               const BuildThreads& threads = {},
                                               TableKind kind = TableKind::Six);
    // nullptr when the bytes are short, long, of another format or fail their checksum. The
    // bytes are copied.
    static std::unique_ptr<SolverTables> FromBytes(std::string_view bytes);
    // The same, reading the tables where they lie: `owner` keeps `bytes` alive as long as the
    // tables are, and the bytes must not change meanwhile (a read-only mapping of a file that
    // is only ever replaced, never written in place).
    static std::unique_ptr<SolverTables> FromBytes(std::string_view bytes,
                                                   std::shared_ptr<const void> owner);
    std::string ToBytes() const { return std::string(bytes_); }

    // A lower bound on the moves that bring `cells` home (cell 0..15 row by row, 0 for the
    // empty cell; tile t is at home on cell t-1): the largest sum of a partition's values, in
    // the board or its mirror image about the main diagonal.
    int Estimate(const std::array<std::uint8_t, 16>& cells) const;

    TableKind Kind() const { return kind_; }
    const TableSet& Set() const { return TableSetOf(kind_); }
    // The table for Set().Shapes[id] of the six-tile set, of the seven-tile set, and its entries.
    const PatternTable& Pattern(int id) const { return patterns_[static_cast<std::size_t>(id)]; }
    const PartTable& Part(int id) const { return parts_[static_cast<std::size_t>(id)]; }
    const std::uint8_t* Table(int id) const { return tables_[static_cast<std::size_t>(id)]; }

    std::size_t SizeInBytes() const { return bytes_.size(); }
    // The set's BuiltTablesChecksum when the entries are those the search was made for.
    std::uint64_t EntriesChecksum() const;

    const MovePruning& Pruning() const { return pruning_; }

private:
    SolverTables(TableKind kind, std::string_view bytes, std::shared_ptr<const void> owner,
                 MovePruning pruning);

    TableKind kind_;
    std::shared_ptr<const void> owner_; // keeps bytes_ alive
    std::string_view bytes_;
    std::array<const std::uint8_t*, TableCount> tables_{};
    std::array<PatternTable, TableCount> patterns_{}; // the six-tile set's
    std::array<PartTable, TableCount> parts_{};       // the seven-tile set's
    MovePruning pruning_;
};

} // namespace rules
