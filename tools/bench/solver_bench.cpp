// SPDX-License-Identifier: GPL-3.0-or-later
// The solver's speed on one thread: table build time and size, then 1,000 random winnable
// positions from a fixed seed and the hardest positions found, each with its time and the
// positions it expanded (a figure that holds on a busy machine).
//   velmar_solver_bench [COUNT]
#include "app/rules/Deal.h"
#include "app/rules/Solver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double Milliseconds = 0;
    std::uint64_t Nodes = 0;
    std::size_t Moves = 0;
    rules::BoardCells Board{};
};

std::string cellsText(const rules::BoardCells& board) {
    std::string text;
    for (int cell = 1; cell <= 16; ++cell)
        text += (cell > 1 ? " " : "") + std::to_string(board[static_cast<std::size_t>(cell)]);
    return text;
}

Sample solve(const rules::BoardCells& board, const rules::SolverTables& tables) {
    const std::atomic<bool> never{false};
    const auto start = Clock::now();
    const rules::SolveResult result = rules::Solve(board, tables, never);
    const auto end = Clock::now();
    if (result.Status != rules::SolveStatus::Solved) {
        std::fprintf(stderr, "not solved: %s\n", cellsText(board).c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(end - start).count(), result.Nodes,
            result.Tiles.size(), board};
}

template <typename T> T percentile(std::vector<T> values, double share) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

void report(const char* what, const std::vector<Sample>& samples) {
    std::vector<double> ms;
    std::vector<std::uint64_t> nodes;
    for (const Sample& s : samples) {
        ms.push_back(s.Milliseconds);
        nodes.push_back(s.Nodes);
    }
    std::printf("%s (%zu positions)\n", what, samples.size());
    std::printf("  time:  median %.2f ms, p99 %.1f ms, max %.1f ms\n", percentile(ms, 0.5),
                percentile(ms, 0.99), percentile(ms, 1.0));
    std::printf("  nodes: median %llu, p99 %llu, max %llu\n",
                static_cast<unsigned long long>(percentile(nodes, 0.5)),
                static_cast<unsigned long long>(percentile(nodes, 0.99)),
                static_cast<unsigned long long>(percentile(nodes, 1.0)));
}

// Reversed order is 78 moves from home; the rest are the positions with the highest estimate
// among many random ones, and the deepest of the random sample.
std::vector<rules::BoardCells> hardPositions(const rules::SolverTables& tables,
                                             const std::vector<Sample>& random) {
    std::vector<rules::BoardCells> hard;
    rules::BoardCells reversed{};
    for (int cell = 1; cell <= 16; ++cell)
        reversed[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(17 - cell);
    hard.push_back(reversed);
    std::vector<std::pair<int, rules::BoardCells>> scored;
    std::mt19937 seeds(80);
    for (int i = 0; i < 200000; ++i) {
        const rules::BoardCells board = rules::DealBoard(static_cast<std::uint32_t>(seeds()));
        std::array<std::uint8_t, 16> cells{};
        for (std::size_t c = 0; c < 16; ++c)
            cells[c] = board[c + 1] == rules::EmptyCell ? 0 : board[c + 1];
        scored.emplace_back(tables.Estimate(cells), board);
    }
    std::partial_sort(scored.begin(), scored.begin() + 4, scored.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    for (int i = 0; i < 4; ++i)
        hard.push_back(scored[static_cast<std::size_t>(i)].second);
    hard.push_back(std::max_element(random.begin(), random.end(), [](const auto& a, const auto& b) {
                       return a.Moves < b.Moves;
                   })->Board);
    return hard;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each result as it comes
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::atomic<bool> never{false};
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    const auto tables = rules::SolverTables::Build(never);
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const std::string bytes = tables->ToBytes();
    const auto loadStart = Clock::now();
    const auto loaded = rules::SolverTables::FromBytes(bytes);
    const double load = std::chrono::duration<double, std::milli>(Clock::now() - loadStart).count();
    std::printf("tables: %zu bytes (%.2f MiB), built in %.2f s (%.2f s CPU), read back and "
                "checked in %.0f ms\n",
                tables->SizeInBytes(), static_cast<double>(tables->SizeInBytes()) / 1048576.0, wall,
                cpu, load);

    std::mt19937 seeds(20261209);
    std::vector<Sample> random;
    for (int i = 0; i < count; ++i)
        random.push_back(solve(rules::DealBoard(static_cast<std::uint32_t>(seeds())), *loaded));
    report("random winnable positions", random);

    std::vector<Sample> hard;
    for (const rules::BoardCells& board : hardPositions(*loaded, random))
        hard.push_back(solve(board, *loaded));
    std::printf("hardest positions\n");
    for (const Sample& s : hard)
        std::printf("  %2zu moves %9.1f ms %10llu nodes  %s\n", s.Moves, s.Milliseconds,
                    static_cast<unsigned long long>(s.Nodes), cellsText(s.Board).c_str());
    return 0;
}
