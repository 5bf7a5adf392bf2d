// SPDX-License-Identifier: GPL-3.0-or-later
// The solver's speed on one thread: table build time and size (built on one thread and on two),
// then random winnable positions from a fixed seed and the hardest positions found, each with its
// wall time, its CPU time (which a busy machine inflates far less) and the positions it expanded
// (which no machine changes); beside it, on the same positions in the same run, the plain
// reference solver of ReferenceSolver.h, whose lengths must agree (on the first 200 of them, or
// --reference N: it takes far longer).
//   velmar_solver_bench [COUNT] [--no-hard] [--reference N | --no-reference] [--seed N]
//                       [--threads N] [--tables FILE] [--build-only] [--helper-nice N]
// --tables maps FILE read-only and reads the tables where they lie when it holds sound ones
// (timing that, as the game does with its cache), and writes them there when not, so repeated
// runs skip the build. --seed picks another random set (20261209 by default). --threads: the
// search's threads, the caller and N-1 helpers at their usual priority (1 by default).
// --build-only stops after the builds. --helper-nice: how many nice steps down the build's
// helper runs (10, as in the game).
#include "app/rules/Deal.h"
#include "app/rules/Solver.h"

#include "ReferenceSolver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double threadSeconds() {
    return cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

struct Sample {
    double Milliseconds = 0;
    double CpuMilliseconds = 0;
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

// With helpers, the CPU time is the process's, as they run outside the caller's thread.
Sample solve(const rules::BoardCells& board, const rules::SolverTables& tables, int helpers) {
    const std::atomic<bool> never{false};
    const auto start = Clock::now();
    const clockid_t clock = helpers > 0 ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_THREAD_CPUTIME_ID;
    const double cpuStart = cpuSeconds(clock);
    const rules::SolveResult result = rules::Solve(board, tables, never, {helpers, nullptr});
    const double cpu = cpuSeconds(clock) - cpuStart;
    const auto end = Clock::now();
    if (result.Status != rules::SolveStatus::Solved) {
        std::fprintf(stderr, "not solved: %s\n", cellsText(board).c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(end - start).count(), cpu * 1000.0,
            result.Nodes, result.Tiles.size(), board};
}

template <typename T> T percentile(std::vector<T> values, double share) {
    std::sort(values.begin(), values.end());
    const auto at =
        static_cast<std::size_t>(std::lround(share * static_cast<double>(values.size() - 1)));
    return values[at];
}

void report(const char* what, const std::vector<Sample>& samples) {
    if (samples.empty())
        return; // no percentiles of nothing
    std::vector<double> ms;
    std::vector<double> cpu;
    std::vector<std::uint64_t> nodes;
    double cpuTotal = 0;
    double nodesTotal = 0;
    for (const Sample& s : samples) {
        ms.push_back(s.Milliseconds);
        cpu.push_back(s.CpuMilliseconds);
        nodes.push_back(s.Nodes);
        cpuTotal += s.CpuMilliseconds;
        nodesTotal += static_cast<double>(s.Nodes);
    }
    std::printf("%s (%zu positions)\n", what, samples.size());
    std::printf("  wall:  median %.2f ms, p99 %.1f ms, max %.1f ms\n", percentile(ms, 0.5),
                percentile(ms, 0.99), percentile(ms, 1.0));
    std::printf("  CPU:   median %.2f ms, p99 %.1f ms, max %.1f ms\n", percentile(cpu, 0.5),
                percentile(cpu, 0.99), percentile(cpu, 1.0));
    std::printf("  nodes: median %llu, p99 %llu, max %llu, total %.0f\n",
                static_cast<unsigned long long>(percentile(nodes, 0.5)),
                static_cast<unsigned long long>(percentile(nodes, 0.99)),
                static_cast<unsigned long long>(percentile(nodes, 1.0)), nodesTotal);
    std::printf("  rate:  %.2f million nodes a CPU second\n", nodesTotal / cpuTotal / 1000.0);
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
    if (!random.empty())
        hard.push_back(
            std::max_element(random.begin(), random.end(), [](const auto& a, const auto& b) {
                return a.Moves < b.Moves;
            })->Board);
    return hard;
}

// As the game reads its cache: the file mapped read-only, its pages read in, checked in place.
std::unique_ptr<rules::SolverTables> tablesFrom(const char* file) {
    const auto start = Clock::now();
    const double cpuStart = threadSeconds();
    const int fd = ::open(file, O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_size <= 0) {
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    ::close(fd);
    if (data == MAP_FAILED)
        return nullptr;
    const std::shared_ptr<const void> mapping(
        data, [size](const void* at) { ::munmap(const_cast<void*>(at), size); });
    auto tables = rules::SolverTables::FromBytes({static_cast<const char*>(data), size}, mapping);
    if (tables)
        std::printf("tables: mapped and checked in %.2f ms (%.2f ms CPU; %.2f MiB)\n",
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
                    (threadSeconds() - cpuStart) * 1000.0, static_cast<double>(size) / 1048576.0);
    return tables;
}

// Stands for the window's thread while the tables are built: wakes every 5 ms, as a repaint
// timer would, and keeps how late each wake-up came.
class WakeProbe {
public:
    WakeProbe()
        : thread_([this] {
              while (!done_.load()) {
                  const auto due = Clock::now() + std::chrono::milliseconds(5);
                  std::this_thread::sleep_until(due);
                  lateness_.push_back(
                      std::chrono::duration<double, std::milli>(Clock::now() - due).count());
              }
          }) {}
    // The median and the largest lateness in milliseconds.
    std::pair<double, double> Stop() {
        done_ = true;
        thread_.join();
        return {percentile(lateness_, 0.5), percentile(lateness_, 1.0)};
    }

private:
    std::atomic<bool> done_{false};
    std::vector<double> lateness_;
    std::thread thread_;
};

// The process's CPU time, as a build's helper thread runs outside the caller's.
std::unique_ptr<rules::SolverTables> builtTables(int helpers, int helperNice) {
    const std::atomic<bool> never{false};
    const auto lower = [helperNice] {
        const auto self = static_cast<id_t>(::gettid());
        (void)::setpriority(PRIO_PROCESS, self, ::getpriority(PRIO_PROCESS, self) + helperNice);
    };
    WakeProbe probe;
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    auto tables = rules::SolverTables::Build(never, {helpers, lower});
    const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const auto [lateMedian, lateMost] = probe.Stop();
    const auto bytesStart = Clock::now();
    const std::string bytes = tables->ToBytes();
    const double toBytes =
        std::chrono::duration<double, std::milli>(Clock::now() - bytesStart).count();
    const auto loadStart = Clock::now();
    const auto loaded = rules::SolverTables::FromBytes(bytes);
    const double load = std::chrono::duration<double, std::milli>(Clock::now() - loadStart).count();
    if (!loaded) {
        std::fprintf(stderr, "the tables' bytes do not read back\n");
        std::exit(1);
    }
    if (tables->EntriesChecksum() != rules::BuiltTablesChecksum) {
        std::fprintf(stderr, "the tables differ from the single-thread builder's (%016llx)\n",
                     static_cast<unsigned long long>(tables->EntriesChecksum()));
        std::exit(1);
    }
    std::printf("tables: %zu bytes (%.2f MiB), built on %d thread%s in %.2f s (%.2f s CPU), "
                "turned into bytes in %.0f ms, read back and checked in %.0f ms\n",
                tables->SizeInBytes(), static_cast<double>(tables->SizeInBytes()) / 1048576.0,
                1 + helpers, helpers > 0 ? "s" : "", wall, cpu, toBytes, load);
    std::printf(
        "  meanwhile a thread waking every 5 ms came %.2f ms late (median), %.1f ms at most\n",
        lateMedian, lateMost);
    return tables;
}

// The plain solver on the same positions; a length that differs from the game's solver's is a
// fault of one of them.
void reportReference(const std::vector<Sample>& game) {
    const auto start = Clock::now();
    const bench::ReferenceSolver reference;
    std::printf("reference tables: %zu bytes (%.2f MiB), built in %.2f s\n",
                reference.SizeInBytes(), static_cast<double>(reference.SizeInBytes()) / 1048576.0,
                std::chrono::duration<double>(Clock::now() - start).count());
    std::vector<Sample> samples;
    for (const Sample& s : game) {
        const auto begin = Clock::now();
        const double cpuStart = threadSeconds();
        const bench::ReferenceSolver::Result result = reference.Solve(s.Board);
        const double cpu = threadSeconds() - cpuStart;
        if (static_cast<std::size_t>(result.Moves) != s.Moves) {
            std::fprintf(stderr, "lengths differ (%zu, reference %d): %s\n", s.Moves, result.Moves,
                         cellsText(s.Board).c_str());
            std::exit(1);
        }
        samples.push_back({std::chrono::duration<double, std::milli>(Clock::now() - begin).count(),
                           cpu * 1000.0, result.Nodes, s.Moves, s.Board});
    }
    report("the same positions, plain 6-6-3 reference solver", samples);
}

struct Options {
    int Count = 1000;
    bool WithHard = true;
    bool BuildOnly = false;
    std::size_t ReferenceCount = 200;
    int HelperNice = 10;
    std::uint32_t Seed = 20261209;
    int Threads = 1;
    const char* TablesFile = nullptr;
};

Options optionsOf(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-hard") == 0)
            o.WithHard = false;
        else if (std::strcmp(argv[i], "--no-reference") == 0)
            o.ReferenceCount = 0;
        else if (std::strcmp(argv[i], "--reference") == 0 && i + 1 < argc)
            o.ReferenceCount = static_cast<std::size_t>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc)
            o.Threads = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
            o.Seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (std::strcmp(argv[i], "--build-only") == 0)
            o.BuildOnly = true;
        else if (std::strcmp(argv[i], "--helper-nice") == 0 && i + 1 < argc)
            o.HelperNice = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--tables") == 0 && i + 1 < argc)
            o.TablesFile = argv[++i];
        else
            o.Count = std::atoi(argv[i]);
    }
    return o;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each result as it comes
    const Options options = optionsOf(argc, argv);
    std::unique_ptr<rules::SolverTables> tables =
        options.TablesFile ? tablesFrom(options.TablesFile) : nullptr;
    if (!tables || options.BuildOnly) {
        builtTables(0, options.HelperNice);
        tables = builtTables(1, options.HelperNice);
        if (options.TablesFile) {
            std::ofstream out(options.TablesFile, std::ios::binary);
            out << tables->ToBytes();
        }
    }

    if (options.BuildOnly)
        return 0;
    std::mt19937 seeds(options.Seed);
    std::vector<Sample> random;
    for (int i = 0; i < options.Count; ++i)
        random.push_back(solve(rules::DealBoard(static_cast<std::uint32_t>(seeds())), *tables,
                               options.Threads - 1));
    std::printf("search on %d thread%s\n", options.Threads, options.Threads > 1 ? "s" : "");
    report("random winnable positions", random);
    if (options.ReferenceCount > 0 && !random.empty()) {
        const std::vector<Sample> first(
            random.begin(),
            random.begin() + static_cast<long>(std::min(options.ReferenceCount, random.size())));
        report("the first of them, this solver", first);
        reportReference(first);
    }
    if (!options.WithHard)
        return 0;

    std::printf("hardest positions\n");
    for (const rules::BoardCells& board : hardPositions(*tables, random)) {
        const Sample s = solve(board, *tables, options.Threads - 1);
        std::printf("  %2zu moves %9.1f ms %9.1f ms CPU %10llu nodes  %s\n", s.Moves,
                    s.Milliseconds, s.CpuMilliseconds, static_cast<unsigned long long>(s.Nodes),
                    cellsText(s.Board).c_str());
    }
    return 0;
}
