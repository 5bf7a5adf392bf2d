// SPDX-License-Identifier: GPL-3.0-or-later
#include "SolverReference.h"

#include "app/rules/Deal.h"
#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternLayout.h"
#include "app/rules/PatternTable.h"
#include "app/rules/Solver.h"

#include <QTest>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <numeric>
#include <optional>

using namespace rules;

namespace {

std::array<std::uint8_t, 16> solverCells(const BoardCells& board) {
    std::array<std::uint8_t, 16> cells{};
    for (std::size_t cell = 0; cell < 16; ++cell)
        cells[cell] = board[cell + 1] == EmptyCell ? 0 : board[cell + 1];
    return cells;
}

// The board seen in a mirror about the main diagonal: just as far from the goal.
std::array<std::uint8_t, 16> mirrored(const std::array<std::uint8_t, 16>& cells) {
    std::array<std::uint8_t, 16> out{};
    for (int cell = 0; cell < 16; ++cell) {
        const int tile = cells[static_cast<std::size_t>(cell)];
        out[static_cast<std::size_t>(MirrorCell(cell))] =
            static_cast<std::uint8_t>(tile == 0 ? 0 : MirrorCell(tile - 1) + 1);
    }
    return out;
}

// A state of a table: its group's cells, four bits each, and the empty cell.
struct State {
    std::uint32_t Placement = 0;
    unsigned Blank = 0;
};

// The first `tiles` of `cells` hold the group's tiles, the next one the empty cell.
State stateOf(const std::array<int, 16>& cells, int tiles) {
    State state;
    for (int slot = 0; slot < tiles; ++slot)
        state.Placement |= static_cast<std::uint32_t>(cells[static_cast<std::size_t>(slot)])
                           << (4 * slot);
    state.Blank = static_cast<unsigned>(cells[static_cast<std::size_t>(tiles)]);
    return state;
}

int manhattan(std::uint32_t placement, const PatternShape& shape) {
    int moves = 0;
    for (int slot = 0; slot < shape.Count; ++slot) {
        const int cell = static_cast<int>((placement >> (4 * slot)) & 15u);
        const int home = shape.Tiles[static_cast<std::size_t>(slot)] - 1;
        moves += std::abs(cell / 4 - home / 4) + std::abs(cell % 4 - home % 4);
    }
    return moves;
}

// The states one move of a group's tile away: the empty cell first wanders through the cells no
// group tile holds, then a tile next to it slides in.
std::vector<State> neighbours(const State& state, int tiles) {
    unsigned occupied = 0;
    for (int slot = 0; slot < tiles; ++slot)
        occupied |= 1u << ((state.Placement >> (4 * slot)) & 15u);
    unsigned reached = 1u << state.Blank;
    for (bool grew = true; grew;) {
        grew = false;
        for (int cell = 0; cell < 16; ++cell) {
            if (!((reached >> cell) & 1u))
                continue;
            for (const int to : {cell - 4, cell + 4, cell - 1, cell + 1}) {
                if (to < 0 || to > 15 || (to / 4 != cell / 4 && to % 4 != cell % 4) ||
                    ((occupied | reached) >> to) & 1u)
                    continue;
                reached |= 1u << to;
                grew = true;
            }
        }
    }
    std::vector<State> out;
    for (int slot = 0; slot < tiles; ++slot) {
        const int from = static_cast<int>((state.Placement >> (4 * slot)) & 15u);
        for (const int to : {from - 4, from + 4, from - 1, from + 1})
            if (to >= 0 && to <= 15 && (to / 4 == from / 4 || to % 4 == from % 4) &&
                ((reached >> to) & 1u))
                out.push_back({(state.Placement & ~(15u << (4 * slot))) |
                                   (static_cast<std::uint32_t>(to) << (4 * slot)),
                               static_cast<unsigned>(from)});
    }
    return out;
}

// 200 random states of `table`: each value walked home in full, and every neighbour's too.
template <typename Table>
void eachMoveChangesTheValueByOne(const Table& table, const PatternShape& shape,
                                  std::mt19937& random) {
    for (int i = 0; i < 200; ++i) {
        std::array<int, 16> cells{};
        std::iota(cells.begin(), cells.end(), 0);
        std::shuffle(cells.begin(), cells.end(), random);
        const State state = stateOf(cells, shape.Count);
        const int value = table.Value(state.Placement, state.Blank);
        QCOMPARE(table.Bit(state.Placement, state.Blank), (value >> 1) & 1);
        const int distance = manhattan(state.Placement, shape);
        QCOMPARE_GE(value, distance);
        QCOMPARE(value % 2, distance % 2);
        for (const State& next : neighbours(state, shape.Count)) {
            const int nextValue = table.Value(next.Placement, next.Blank);
            QCOMPARE(std::abs(nextValue - value), 1);
            QCOMPARE(NeighbourValue(value, table.Bit(next.Placement, next.Blank)), nextValue);
        }
    }
}

BoardCells boardOf(const std::array<int, 16>& cells) {
    BoardCells board{};
    for (std::size_t cell = 0; cell < 16; ++cell)
        board[cell + 1] = static_cast<std::uint8_t>(cells[cell]);
    return board;
}

} // namespace

class TestSolver : public QObject {
    Q_OBJECT
    std::unique_ptr<SolverTables> tables_; // the six-tile set, built here
    std::unique_ptr<SolverTables> seven_;  // the seven-tile set, as the build made it
    std::atomic<bool> never_{false};

    // Both sets, for the checks each must pass.
    void eachSet_data() {
        QTest::addColumn<bool>("seven");
        QTest::newRow("six-tile set") << false;
        QTest::newRow("seven-tile set") << true;
    }
    const SolverTables& set() {
        QFETCH(bool, seven);
        return seven ? *seven_ : *tables_;
    }

    // The solution found for `board`; nothing unless it is one that really reaches the goal.
    std::optional<std::vector<std::uint8_t>> solvedReplaying(const BoardCells& board,
                                                             const SolverTables& tables) {
        const SolveResult result = Solve(board, tables, never_);
        if (result.Status != SolveStatus::Solved)
            return std::nullopt;
        BoardCells replayed = board;
        if (!reference::Replay(replayed, result.Tiles) || replayed != reference::Goal())
            return std::nullopt;
        return result.Tiles;
    }

private slots:
    void initTestCase() {
        tables_ = SolverTables::Build(never_);
        QVERIFY(tables_);
        QVERIFY(tables_->SizeInBytes() <= 24u * 1024 * 1024);
        std::ifstream file(VELMAR_SEVEN_TABLES_FILE, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        seven_ = SolverTables::FromBytes(bytes);
        QVERIFY2(seven_, VELMAR_SEVEN_TABLES_FILE);
        QCOMPARE(seven_->Kind(), TableKind::Seven);
        QCOMPARE(seven_->EntriesChecksum(), BuiltSevenTablesChecksum);
        // Seven-tile tables and the automaton: within the 20 MiB a hint may cost.
        QCOMPARE_LE(seven_->SizeInBytes(), 18u * 1024 * 1024);
    }

    void everyPositionWithinFourteenMovesIsSolvedOptimally_data() { eachSet_data(); }
    void everyPositionWithinFourteenMovesIsSolvedOptimally() {
        const SolverTables& tables = set();
        // All of them: about 64,000 positions, each solved in a few dozen nodes.
        const auto positions = reference::PositionsNearGoal(14);
        QVERIFY(positions.size() > 60000);
        for (const auto& [key, distance] : positions) {
            const BoardCells board = reference::FromKey(key);
            const int estimate = tables.Estimate(solverCells(board));
            if (estimate > distance || (distance - estimate) % 2 != 0)
                QFAIL(qPrintable(
                    QStringLiteral("estimate %1 at distance %2").arg(estimate).arg(distance)));
            const auto tiles = solvedReplaying(board, tables);
            if (!tiles || static_cast<int>(tiles->size()) != distance)
                QFAIL(qPrintable(QStringLiteral("no shortest solution at distance %1, key %2")
                                     .arg(distance)
                                     .arg(key, 16, 16, QChar('0'))));
        }
    }

    void aBanWithoutATwinLosesShortestSolutionsTheComparisonFinds() {
        // The guard of the comparison above: with one wrong ban added, up then left, which no
        // other two steps replace, some positions near the goal come out longer.
        std::vector<std::vector<Step>> bans = tables_->Pruning().Banned();
        bans.push_back({Step::Up, Step::Left});
        const MovePruning broken = MovePruning::Banning(bans);
        int longer = 0;
        for (const auto& [key, distance] : reference::PositionsNearGoal(8)) {
            const SolveResult result = Solve(reference::FromKey(key), *tables_, broken, never_);
            QCOMPARE(result.Status, SolveStatus::Solved);
            longer += static_cast<int>(result.Tiles.size()) > distance;
        }
        QCOMPARE_GT(longer, 0);
    }

    void deepPositionsAreAsShortWithThePruningAsWithoutIt() {
        // Beyond the comparison's reach: only the steps straight back banned, the search is the
        // plain one the pruning must match, and it expands more positions.
        const MovePruning stepsBack = MovePruning::Banning({{Step::Up, Step::Down},
                                                            {Step::Down, Step::Up},
                                                            {Step::Left, Step::Right},
                                                            {Step::Right, Step::Left}});
        std::uint64_t pruned = 0;
        std::uint64_t plain = 0;
        for (std::uint32_t seed = 100; seed < 112; ++seed) {
            const BoardCells board = DealBoard(seed);
            const SolveResult with = Solve(board, *tables_, never_);
            const SolveResult without = Solve(board, *tables_, stepsBack, never_);
            QCOMPARE(with.Status, SolveStatus::Solved);
            QCOMPARE(with.Tiles.size(), without.Tiles.size());
            pruned += with.Nodes;
            plain += without.Nodes;
        }
        QCOMPARE_LT(pruned, plain);
    }

    void everyMoveOfAGroupsTileChangesItsValueByOne_data() { eachSet_data(); }
    void everyMoveOfAGroupsTileChangesItsValueByOne() {
        const SolverTables& tables = set();
        // The search learns a child's value from its parent's and one bit, which holds only if
        // each such move changes the value by exactly one. Random states of every table, their
        // values walked home in full, and every neighbour's too.
        std::mt19937 random(5);
        for (int id = 0; id < TableCount; ++id) {
            const PatternShape& shape = tables.Set().Shapes[static_cast<std::size_t>(id)];
            if (tables.Kind() == TableKind::Six)
                eachMoveChangesTheValueByOne(tables.Pattern(id), shape, random);
            else
                eachMoveChangesTheValueByOne(tables.Part(id), shape, random);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void randomPositionsAreAsShortAsAPlainManhattanSearch_data() { eachSet_data(); }
    void randomPositionsAreAsShortAsAPlainManhattanSearch() {
        const SolverTables& tables = set();
        std::mt19937 random(20261209);
        reference::ManhattanSearch manhattan;
        for (int i = 0; i < 12; ++i) {
            const BoardCells board = reference::RandomWalk(random, 30 + i * 2);
            const auto tiles = solvedReplaying(board, tables);
            QVERIFY(tiles);
            QCOMPARE(static_cast<int>(tiles->size()), manhattan.Length(board));
        }
    }

    void dealtBoardsAreSolvedAllTheWayHome_data() { eachSet_data(); }
    void dealtBoardsAreSolvedAllTheWayHome() {
        const SolverTables& tables = set();
        for (std::uint32_t seed : {1u, 2u, 12345u}) {
            const BoardCells board = DealBoard(seed);
            const auto tiles = solvedReplaying(board, tables);
            QVERIFY(tiles);
            QCOMPARE_GE(static_cast<int>(tiles->size()), tables.Estimate(solverCells(board)));
        }
    }

    void everyPartitionCoversEachTileOnceWithImagesOfItsTables_data() { eachSet_data(); }
    void everyPartitionCoversEachTileOnceWithImagesOfItsTables() {
        const SolverTables& tables = set();
        // An overlap would count a tile twice and overestimate; a wrong image would look up
        // another shape's values.
        for (const Partition& partition : tables.Set().Partitions) {
            std::array<int, 16> seen{};
            for (const PatternGroup& group : partition) {
                const PatternShape& shape = tables.Set().Shapes[group.Table];
                QCOMPARE(group.Count, shape.Count);
                for (int i = 0; i < group.Count; ++i) {
                    const int tile = group.Tiles[static_cast<std::size_t>(i)];
                    QVERIFY(tile >= 1 && tile <= 15);
                    ++seen[static_cast<std::size_t>(tile)];
                    const int home = shape.Tiles[static_cast<std::size_t>(i)] - 1;
                    QCOMPARE(tile - 1, home ^ group.Symmetry);
                }
            }
            for (int tile = 1; tile <= 15; ++tile)
                QCOMPARE(seen[static_cast<std::size_t>(tile)], 1);
        }
    }

    void aBoardAndItsMirrorImageGetTheSameEstimate_data() { eachSet_data(); }
    void aBoardAndItsMirrorImageGetTheSameEstimate() {
        const SolverTables& tables = set();
        // The estimate looks at both, so a slip in how either view enters the indices shows.
        std::mt19937 random(77);
        for (int i = 0; i < 200; ++i) {
            const auto cells = solverCells(DealBoard(static_cast<std::uint32_t>(random())));
            QCOMPARE(tables.Estimate(mirrored(cells)), tables.Estimate(cells));
        }
    }

    void twoTilesSwappedInTheirLineCostTwoMovesMoreThanTheirDistance_data() {
        // Each pair stands in its own row or column the wrong way round, so one of them must
        // step aside: a table that holds both, in any view or partition, sees it.
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("1 and 2, in the top-left block") << 1 << 2;
        QTest::newRow("3 and 4, in its mirror image") << 3 << 4;
        QTest::newRow("13 and 14, in the three-tile group") << 13 << 14;
        QTest::newRow("5 and 9, down a column") << 5 << 9;
        QTest::newRow("10 and 14, only in the second partition") << 10 << 14;
        QTest::newRow("2 and 3, only in the diagonal mirror") << 2 << 3;
    }
    void twoTilesSwappedInTheirLineCostTwoMovesMoreThanTheirDistance() {
        // The rows hold for both sets: each pair shares a group in some slot of each.
        QFETCH(int, first);
        QFETCH(int, second);
        std::array<std::uint8_t, 16> cells{};
        for (int cell = 0; cell < 15; ++cell)
            cells[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(cell + 1);
        std::swap(cells[static_cast<std::size_t>(first - 1)],
                  cells[static_cast<std::size_t>(second - 1)]);
        const int apart = std::abs((first - 1) / 4 - (second - 1) / 4) +
                          std::abs((first - 1) % 4 - (second - 1) % 4);
        QCOMPARE_GE(tables_->Estimate(cells), 2 * apart + 2);
        QCOMPARE_GE(seven_->Estimate(cells), 2 * apart + 2);
    }

    void theSolvedBoardNeedsNoMove_data() { eachSet_data(); }
    void theSolvedBoardNeedsNoMove() {
        const SolverTables& tables = set();
        const SolveResult result = Solve(reference::Goal(), tables, never_);
        QCOMPARE(result.Status, SolveStatus::Solved);
        QVERIFY(result.Tiles.empty());
    }

    void boardsThatCannotBeWonAreReportedUnsolvable_data() {
        QTest::addColumn<QList<int>>("cells");
        QTest::newRow("two tiles swapped")
            << QList<int>{2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        QTest::newRow("fourteen and fifteen swapped")
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 16};
        QTest::newRow("a repeated tile")
            << QList<int>{1, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        QTest::newRow("two empty cells")
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 16};
        QTest::newRow("a number past sixteen")
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17};
        QTest::newRow("no board dealt yet") << QList<int>(16, 0);
    }
    void boardsThatCannotBeWonAreReportedUnsolvable() {
        QFETCH(QList<int>, cells);
        std::array<int, 16> values{};
        std::copy(cells.begin(), cells.end(), values.begin());
        const BoardCells board = boardOf(values);
        QVERIFY(!IsSolvable(board));
        const SolveResult result = Solve(board, *tables_, never_);
        QCOMPARE(result.Status, SolveStatus::Unsolvable);
        QVERIFY(result.Tiles.empty());
    }

    void aRaisedFlagEndsTheSearchWithinAFewThousandNodes() {
        const std::atomic<bool> cancelled{true};
        const SolveResult result = Solve(DealBoard(8), *tables_, cancelled);
        QCOMPARE(result.Status, SolveStatus::Cancelled);
        QVERIFY(result.Tiles.empty());
        QCOMPARE_LE(result.Nodes, 4096u);
        QVERIFY(!SolverTables::Build(cancelled));
    }

    void tablesComeBackFromTheirBytesAndOnlyFromThem() {
        const std::string bytes = tables_->ToBytes();
        const auto again = SolverTables::FromBytes(bytes);
        QVERIFY(again);
        QCOMPARE(again->ToBytes() == bytes, true);
        QCOMPARE(again->EntriesChecksum(), BuiltTablesChecksum);
        QCOMPARE(again->Pruning().Transitions() == tables_->Pruning().Transitions(), true);
        const BoardCells board = DealBoard(7);
        QCOMPARE(again->Estimate(solverCells(board)), tables_->Estimate(solverCells(board)));

        QVERIFY(!SolverTables::FromBytes(""));
        QVERIFY(!SolverTables::FromBytes(std::string_view(bytes).substr(0, bytes.size() - 1)));
        QVERIFY(!SolverTables::FromBytes(bytes + '\0'));
        // The mark, the byte order, the size, the checksum, two six-tile entries, a three-tile
        // entry, the move automaton, the last byte.
        const std::size_t threeTile = 64 + PatternTableBytes(6) + 100;
        for (const std::size_t at :
             {std::size_t{0}, std::size_t{9}, std::size_t{17}, std::size_t{30}, std::size_t{100000},
              bytes.size() / 2 + 12345, threeTile, bytes.size() - 2000, bytes.size() - 1}) {
            std::string damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
            QVERIFY2(!SolverTables::FromBytes(damaged), qPrintable(QString::number(at)));
        }
        std::string earlier = bytes;
        earlier[7] = '3'; // the format before this one
        std::uint64_t sum = BlockChecksum(earlier);
        std::memcpy(earlier.data() + 24, &sum, sizeof sum);
        QVERIFY(!SolverTables::FromBytes(earlier));
    }

    void sevenTileTablesComeBackFromTheirBytesAndOnlyFromThem() {
        const std::string bytes = seven_->ToBytes();
        const auto again = SolverTables::FromBytes(bytes);
        QVERIFY(again);
        QCOMPARE(again->Kind(), TableKind::Seven);
        QCOMPARE(again->EntriesChecksum(), BuiltSevenTablesChecksum);
        // The mark, a seven-tile entry, a one-tile entry, the move automaton, the last byte.
        const std::size_t oneTile = 64 + (PartTableBytes(7) + 63) / 64 * 64 + 1;
        for (const std::size_t at :
             {std::size_t{4}, bytes.size() / 3, oneTile, bytes.size() - 2000, bytes.size() - 1}) {
            std::string damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
            QVERIFY2(!SolverTables::FromBytes(damaged), qPrintable(QString::number(at)));
        }
        // The six-tile set's block under the seven-tile mark has the wrong size for it.
        std::string relabelled = tables_->ToBytes();
        std::memcpy(relabelled.data(), bytes.data(), 8);
        const std::uint64_t sum = BlockChecksum(relabelled);
        std::memcpy(relabelled.data() + 24, &sum, sizeof sum);
        QVERIFY(!SolverTables::FromBytes(relabelled));
    }

    void theSevenTileSetFindsTheSameLengthsInFewerPositions() {
        // Both are exact, so only the work may differ; a slip in the seven-tile layout that
        // kept the estimate a lower bound but weakened it would show here.
        std::uint64_t six = 0;
        std::uint64_t seven = 0;
        for (std::uint32_t seed = 200; seed < 212; ++seed) {
            const BoardCells board = DealBoard(seed);
            const SolveResult withSix = Solve(board, *tables_, never_);
            const auto withSeven = solvedReplaying(board, *seven_);
            QVERIFY(withSeven);
            QCOMPARE(withSeven->size(), withSix.Tiles.size());
            six += withSix.Nodes;
            seven += Solve(board, *seven_, never_).Nodes;
        }
        QCOMPARE_LT(seven * 2, six);
    }

    // A block that passes its checksum yet whose automaton leads nowhere is still refused, so a
    // search never follows a state outside it.
    void anAutomatonLeadingOutsideItselfIsRefused() {
        std::string bytes = tables_->ToBytes();
        const std::size_t states = tables_->Pruning().StateCount();
        const std::size_t padding = (64 - states * 16 % 64) % 64;
        const std::size_t last = bytes.size() - padding - 4; // the last state's last step
        const auto outside = static_cast<std::int32_t>(states);
        std::memcpy(bytes.data() + last, &outside, sizeof outside);
        const std::uint64_t sum = BlockChecksum(bytes);
        std::memcpy(bytes.data() + 24, &sum, sizeof sum);
        QVERIFY(!SolverTables::FromBytes(bytes));
    }

    // Tables read where they lie keep their bytes' owner alive, and copy none of the entries.
    void tablesReadInPlaceKeepTheirOwner() {
        auto owner = std::make_shared<const std::string>(tables_->ToBytes());
        const std::weak_ptr<const std::string> watch = owner;
        const std::string_view bytes = *owner;
        auto tables = SolverTables::FromBytes(bytes, std::move(owner));
        QVERIFY(tables);
        QVERIFY(!watch.expired());
        const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.data());
        QVERIFY(tables->Table(0) >= first && tables->Table(0) < first + bytes.size());
        const SolveResult result = Solve(DealBoard(11), *tables, never_);
        QCOMPARE(result.Status, SolveStatus::Solved);
        QCOMPARE(result.Tiles.size(), Solve(DealBoard(11), *tables_, never_).Tiles.size());
        tables.reset();
        QVERIFY(watch.expired());
    }
};

QTEST_APPLESS_MAIN(TestSolver)
#include "TestSolver.moc"
