// SPDX-License-Identifier: GPL-3.0-or-later
// velmar-solve: shortest solutions for the positions on standard input, one a line.
#include "app/CommandLine.h"
#include "app/SolverCache.h"
#include "app/rules/Solver.h"
#include "app/solve/PositionLine.h"

#include <Version.h>

#include <atomic>
#include <iostream>
#include <string>

namespace {

constexpr const char* kHelp =
    "Usage: velmar-solve [--help | --version]\n"
    "Reads fifteen-puzzle positions from standard input, one a line: 16 numbers, the cells\n"
    "row by row, 1..15 for the tiles and 16 for the empty cell. Writes for each line the\n"
    "length of a shortest solution and the tiles to slide in order, or 'error: line N: ...'.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Exit status 1 when any line was malformed or unsolvable. See velmar-solve(6).\n";

std::string solutionText(const rules::SolveResult& result) {
    std::string text = std::to_string(result.Tiles.size());
    for (const std::uint8_t tile : result.Tiles)
        text += " " + std::to_string(tile);
    return text;
}

int solveLines() {
    const std::atomic<bool> never{false};
    std::shared_ptr<const rules::SolverTables> tables; // built at the first board only
    bool anyBad = false;
    std::string line;
    for (long number = 1; std::getline(std::cin, line); ++number) {
        const solve::PositionLine position = solve::ReadPositionLine(line);
        std::string problem = position.Problem;
        if (problem.empty() && !rules::IsSolvable(position.Board))
            problem = "unsolvable (the tiles' parity cannot reach the goal)";
        if (!problem.empty()) {
            anyBad = true;
            std::cout << "error: line " << number << ": " << problem << std::endl;
            continue;
        }
        if (!tables)
            tables = app::LoadSolverTables(never);
        std::cout << solutionText(
                         rules::Solve(position.Board, *tables, never, app::SolverBuildThreads()))
                  << std::endl;
    }
    return anyBad ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status =
            app::HandleCommandLine(argc, argv, "velmar-solve", kHelp, VELMAR_VERSION);
        status >= 0)
        return status;
    std::ios::sync_with_stdio(false);
    return solveLines();
}
