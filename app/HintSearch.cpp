// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HintSearch.h"

#include "app/SolverCache.h"
#include "platform/ui/FreeMemory.h"

#include <exception>
#include <memory>
#include <stdexcept>

namespace app {

HintSearch::Search HintSearch::GameSolver() {
    // The tables live from the first search to the next LetGo; only the worker touches them.
    // A new game or a language change during their build drops only the search, so the next
    // hint does not start the build again. Once let go, mapped tables cost nothing: the next
    // search maps the cache file again in milliseconds.
    auto tables = std::make_shared<std::shared_ptr<const rules::SolverTables>>();
    return {[tables](const rules::BoardCells& board, const std::atomic<bool>& cancel,
                     const std::atomic<bool>& closing) {
                if (!*tables)
                    *tables = LoadSolverTables(closing);
                if (!*tables && closing.load())
                    return rules::SolveResult{};
                if (!*tables)
                    throw std::runtime_error("The solver's tables could not be made.");
                // The helper shares long searches at the build helper's low priority.
                return rules::Solve(board, **tables, cancel, SolverBuildThreads());
            },
            [tables] {
                tables->reset();
                // Tables built in memory (an unwritable cache) are free now.
                platform::GiveBackFreeMemory();
            }};
}

HintSearch::HintSearch(std::function<void(const Outcome&)> onFound, Search search,
                       std::chrono::milliseconds letGoAfter)
    : onFound_(std::move(onFound)), search_(std::move(search)), letGoAfter_(letGoAfter) {}

HintSearch::~HintSearch() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
        cancel_ = true;
        closing_ = true;
    }
    wake_.notify_one();
    if (worker_.joinable())
        worker_.join();
}

void HintSearch::Start(const rules::BoardCells& board) {
    // A thread that cannot start throws here, before anything waits for it.
    if (!worker_.joinable()) {
        if (!arrived_)
            arrived_ = std::make_unique<platform::WakeUp>([this] { collect(); });
        worker_ = std::thread([this] { run(); });
    }
    awaited_ = ++lastId_;
    {
        const std::lock_guard lock(mutex_);
        pending_ = Job{awaited_, board};
        cancel_ = true; // the search under way is for another board
    }
    wake_.notify_one();
}

void HintSearch::Cancel() {
    awaited_ = 0;
    const std::lock_guard lock(mutex_);
    pending_.reset();
    cancel_ = true;
}

void HintSearch::run() {
    // Only a search takes the tables, so only an idle spell after one lets them go.
    bool holding = false;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            const auto due = [this] { return stop_ || pending_.has_value(); };
            if (!holding) {
                wake_.wait(lock, due);
            } else if (!wake_.wait_for(lock, letGoAfter_, due)) {
                lock.unlock();
                search_.LetGo();
                lock.lock();
                wake_.wait(lock, due);
            }
            if (stop_)
                return;
            job = *pending_;
            pending_.reset();
            cancel_ = false; // under the lock, so a Cancel from now on reaches this job
        }
        holding = true;
        const Outcome outcome = searched(job);
        // A cancelled search has nobody waiting for it; one that gave up by itself has.
        if (outcome.Error.empty() && outcome.Result.Status == rules::SolveStatus::Cancelled &&
            cancel_.load())
            continue;
        {
            // Only the newest outcome can be awaited: a newer job means a newer Start.
            const std::lock_guard lock(mutex_);
            found_ = Found{job.Id, outcome};
        }
        // While this object is alive: the destructor joins this thread first.
        arrived_->Wake();
    }
}

HintSearch::Outcome HintSearch::searched(const Job& job) {
    Outcome outcome;
    outcome.Board = job.Board;
    try {
        outcome.Result = search_(job.Board, cancel_, closing_);
    } catch (const std::exception& error) {
        outcome.Error = error.what();
    } catch (...) {
        outcome.Error = "The search for a hint failed.";
    }
    return outcome;
}

void HintSearch::collect() {
    std::optional<Found> found;
    {
        const std::lock_guard lock(mutex_);
        found.swap(found_);
    }
    if (!found || found->Id != awaited_)
        return; // cancelled, or overtaken by a newer search
    awaited_ = 0;
    onFound_(found->Result);
}

} // namespace app
