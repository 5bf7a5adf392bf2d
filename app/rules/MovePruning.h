// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Move strings a shortest-path search never needs to try. Two strings of the empty cell's steps
// that leave every tile where the other leaves it are twins; the one later in length-then-step
// order is banned when its twin stays inside its own reach (so the twin can be played wherever
// it can). The earliest shortest solution contains no banned string, since swapping one for its
// twin would give an earlier one, so a search that skips them all still finds a shortest
// solution. The bans are learned by a breadth-first search of the strings, and a finite
// automaton reads them step by step. Immutable once made; any number of threads may read it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace rules {

// The empty cell's steps, in the order that ranks strings of one length.
enum class Step : std::uint8_t { Up, Down, Left, Right };
inline constexpr int StepCount = 4;

class MovePruning {
public:
    using State = std::int32_t;
    static constexpr State Start = 0;     // no step taken yet
    static constexpr State Rejected = -1; // the string ends in a banned one

    // The bans found among all strings of up to `longest` steps.
    static MovePruning Learn(int longest);
    // Bans exactly the strings that contain one of `banned`; for checking the search's guard.
    static MovePruning Banning(const std::vector<std::vector<Step>>& banned);
    // The automaton of an earlier Learn or Banning, from its Transitions; none when a state leads
    // outside them. Its Banned list is empty.
    static std::optional<MovePruning>
    FromTransitions(std::vector<std::array<State, StepCount>> transitions);

    State Next(State state, Step step) const {
        return next_[static_cast<std::size_t>(state)][static_cast<std::size_t>(step)];
    }
    std::size_t StateCount() const { return next_.size(); }
    const std::vector<std::array<State, StepCount>>& Transitions() const { return next_; }
    // The shortest banned strings: none contains another.
    const std::vector<std::vector<Step>>& Banned() const { return banned_; }

private:
    MovePruning() = default;

    std::vector<std::vector<Step>> banned_;
    std::vector<std::array<State, StepCount>> next_;
};

} // namespace rules
