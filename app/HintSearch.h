// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/rules/GameState.h"
#include "app/rules/Solver.h"
#include "platform/ui/WakeUp.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>

namespace app {

// Finds a shortest solution of a board on a worker thread, so the window never waits for it.
//
// Threads: the UI thread owns the object, calls every public function and receives each
// outcome through OnFound; the worker thread, started by the first Start, runs the searches.
// An outcome goes back under mutex_, and the worker then only wakes the UI thread, which takes
// it under mutex_ again: nothing the worker wrote travels through Qt's event queue.
// Lock order: mutex_ is the only lock. Either thread holds it only to hand over a job, an
// outcome or the stop, never while searching, letting go, waking the other thread or calling
// out. cancel_
// is atomic and read by the search without the lock.
class HintSearch : public QObject {
    Q_OBJECT
public:
    // Solves `board`, giving up with SolveStatus::Cancelled soon after `cancel` is raised.
    // What serves every board (the game's tables) is made through a raised `cancel` and given
    // up only for `closing`, raised when this object goes.
    using Find = std::function<rules::SolveResult(const rules::BoardCells& board,
                                                  const std::atomic<bool>& cancel,
                                                  const std::atomic<bool>& closing)>;

    // What the worker runs: a Find, and what it calls once no search has come for a while, so
    // memory that only searches need (the game's tables) is given back. Both on the worker.
    class Search {
    public:
        Search() = default;
        template <typename F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, Search> &&
                 std::is_constructible_v<Find, F>)
            Search(F find, std::function<void()> letGo = {}) // NOLINT: any Find will do
            : find_(std::move(find)), letGo_(std::move(letGo)) {}

        rules::SolveResult operator()(const rules::BoardCells& board,
                                      const std::atomic<bool>& cancel,
                                      const std::atomic<bool>& closing) const {
            return find_(board, cancel, closing);
        }
        void LetGo() const {
            if (letGo_)
                letGo_();
        }

    private:
        Find find_;
        std::function<void()> letGo_;
    };

    // How long the worker waits, after a search, for the next one before it calls LetGo.
    static constexpr std::chrono::milliseconds LetGoAfter{30000};

    struct Outcome {
        rules::BoardCells Board{}; // the board that was searched
        rules::SolveResult Result;
        std::string Error; // why the search failed; empty when it did not
    };

    // The game's solver with its cached tables, loaded by the first search and let go by LetGo.
    static Search GameSolver();

    HintSearch(std::function<void(const Outcome&)> onFound, Search search = GameSolver(),
               std::chrono::milliseconds letGoAfter = LetGoAfter);
    // Cancels the search under way and ends the worker; the search stops within milliseconds.
    ~HintSearch() override;

    // Searches `board`, abandoning any search under way; its outcome reaches OnFound later.
    void Start(const rules::BoardCells& board);
    // Abandons the search under way: no outcome of it reaches OnFound.
    void Cancel();
    // A search was started and its outcome has not arrived yet.
    bool Busy() const { return awaited_ != 0; }
    // Whether the worker thread exists; it does from the first Start to the destructor.
    bool HasWorker() const { return worker_.joinable(); }

private:
    struct Job {
        std::uint64_t Id = 0;
        rules::BoardCells Board{};
    };

    struct Found {
        std::uint64_t Id = 0;
        Outcome Result;
    };

    void run();
    Outcome searched(const Job& job);
    void collect();

    std::function<void(const Outcome&)> onFound_;
    Search search_; // called on the worker thread only
    std::chrono::milliseconds letGoAfter_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_; // guarded by mutex_
    std::optional<Found> found_; // guarded by mutex_: the latest outcome, not yet collected
    bool stop_ = false;          // guarded by mutex_
    std::atomic<bool> cancel_{false};
    std::atomic<bool> closing_{false};

    std::uint64_t lastId_ = 0;  // UI thread only
    std::uint64_t awaited_ = 0; // UI thread only: the job whose outcome counts, 0 for none
    std::unique_ptr<platform::WakeUp> arrived_; // made with the worker, before it starts
    std::thread worker_;
};

} // namespace app
