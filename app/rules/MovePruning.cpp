// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/MovePruning.h"

#include <algorithm>
#include <numeric>

namespace rules {
namespace {

constexpr std::array<int, StepCount> kColumnStep = {0, 0, -1, 1};
constexpr std::array<int, StepCount> kRowStep = {-1, 1, 0, 0};

// A string of `length` steps is a number, two bits a step, the first step the highest: within
// one length, numeric order is step order.
using Code = std::uint64_t;

Step stepAt(Code code, int length, int i) {
    return static_cast<Step>((code >> (2 * (length - 1 - i))) & 3u);
}

std::vector<Step> stepsOf(Code code, int length) {
    std::vector<Step> steps;
    for (int i = 0; i < length; ++i)
        steps.push_back(stepAt(code, length, i));
    return steps;
}

// The rectangle the empty cell stays in, relative to where it starts.
struct Reach {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
    bool Within(const Reach& other) const {
        return Left >= other.Left && Right <= other.Right && Top >= other.Top &&
               Bottom <= other.Bottom;
    }
};

// Where the empty cell ends and where each tile the string moved ends, by their cells: the
// empty cell's end first, then the moved tiles by cell, zero after them.
constexpr int kLongestLearned = 15;
using Effect = std::array<std::uint16_t, 2 * kLongestLearned + 2>;

std::uint64_t hashOf(const Effect& effect) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint16_t part : effect)
        hash = (hash ^ part) * 1099511628211ull;
    return hash ^ (hash >> 29);
}

// For each effect, the reaches of the strings kept so far that have it: a later string with
// that effect is banned if one of them stays within its reach. Open addressing over one array,
// as the learning looks up every string it plays.
class Twins {
public:
    Twins() : slots_(std::size_t{1} << 10, kEmpty) {}

    // True when a string with `effect` staying within `reach` was seen; else `reach` is kept.
    bool SeenWithin(const Effect& effect, const Reach& reach) {
        if (2 * entries_.size() >= slots_.size())
            grow();
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hashOf(effect) & mask;
        for (; slots_[at] != kEmpty; at = (at + 1) & mask) {
            const Entry& entry = entries_[slots_[at]];
            if (entry.Key == effect && entry.Reach.Within(reach))
                return true;
        }
        slots_[at] = static_cast<std::uint32_t>(entries_.size());
        entries_.push_back({effect, reach});
        return false;
    }

private:
    static constexpr std::uint32_t kEmpty = ~0u;
    struct Entry {
        Effect Key;
        rules::Reach Reach;
    };

    void grow() {
        slots_.assign(slots_.size() * 2, kEmpty);
        const std::size_t mask = slots_.size() - 1;
        for (std::uint32_t i = 0; i < entries_.size(); ++i) {
            std::size_t at = hashOf(entries_[i].Key) & mask;
            while (slots_[at] != kEmpty)
                at = (at + 1) & mask;
            slots_[at] = i;
        }
    }

    std::vector<std::uint32_t> slots_;
    std::vector<Entry> entries_;
};

// Plays strings on a board large enough that no string reaches its edge, every cell holding
// the tile named by its own number.
class Walker {
public:
    explicit Walker(int longest)
        : side_(2 * longest + 3), content_(static_cast<std::size_t>(side_ * side_)) {
        std::iota(content_.begin(), content_.end(), 0);
    }

    Effect EffectOf(Code code, int length, Reach& reach) {
        const int start = side_ * (side_ / 2) + side_ / 2;
        int empty = start;
        int column = 0;
        int row = 0;
        std::array<int, kLongestLearned + 1> visited{};
        visited[0] = start;
        for (int i = 0; i < length; ++i) {
            const auto step = static_cast<std::size_t>(stepAt(code, length, i));
            column += kColumnStep[step];
            row += kRowStep[step];
            reach = {std::min(reach.Left, column), std::max(reach.Right, column),
                     std::min(reach.Top, row), std::max(reach.Bottom, row)};
            const int next = empty + kRowStep[step] * side_ + kColumnStep[step];
            content_[static_cast<std::size_t>(empty)] = content_[static_cast<std::size_t>(next)];
            empty = next;
            visited[static_cast<std::size_t>(i) + 1] = next;
        }
        const auto end = visited.begin() + length + 1;
        std::sort(visited.begin(), end);
        Effect effect{};
        std::size_t at = 0;
        effect[at++] = static_cast<std::uint16_t>(empty);
        for (auto cell = visited.begin(); cell != end; ++cell) {
            if (cell != visited.begin() && *cell == *(cell - 1))
                continue;
            const int tile = content_[static_cast<std::size_t>(*cell)];
            if (*cell != empty && tile != *cell) {
                effect[at++] = static_cast<std::uint16_t>(*cell);
                effect[at++] = static_cast<std::uint16_t>(tile);
            }
            content_[static_cast<std::size_t>(*cell)] = *cell;
        }
        return effect;
    }

private:
    int side_;
    std::vector<int> content_;
};

} // namespace

MovePruning MovePruning::Learn(int longest) {
    longest = std::min(longest, kLongestLearned);
    std::vector<std::vector<Step>> banned;
    Walker walker(longest);
    Twins twins;
    Reach none;
    twins.SeenWithin(walker.EffectOf(0, 0, none), none);
    std::vector<Code> kept{0}; // the strings of the last length that contain no banned one
    for (int length = 1; length <= longest; ++length) {
        std::vector<Code> next;
        const Code suffixMask = (Code{1} << (2 * (length - 1))) - 1;
        for (const Code prefix : kept) {
            for (Code step = 0; step < StepCount; ++step) {
                const Code code = (prefix << 2) | step;
                if (!std::binary_search(kept.begin(), kept.end(), code & suffixMask))
                    continue; // a banned string ends it
                Reach reach;
                if (twins.SeenWithin(walker.EffectOf(code, length, reach), reach))
                    banned.push_back(stepsOf(code, length));
                else
                    next.push_back(code);
            }
        }
        kept = std::move(next);
    }
    return Banning(banned);
}

// An Aho-Corasick automaton over the banned strings: a state is the longest end of the steps
// so far that begins a banned string.
MovePruning MovePruning::Banning(const std::vector<std::vector<Step>>& banned) {
    struct Node {
        std::array<int, StepCount> Child{-1, -1, -1, -1};
        std::array<int, StepCount> Next{};
        int Fail = 0;
        bool Ends = false;
    };
    std::vector<Node> trie(1);
    for (const std::vector<Step>& steps : banned) {
        int node = 0;
        for (const Step step : steps) {
            const auto s = static_cast<std::size_t>(step);
            if (trie[static_cast<std::size_t>(node)].Child[s] < 0) {
                trie[static_cast<std::size_t>(node)].Child[s] = static_cast<int>(trie.size());
                trie.emplace_back();
            }
            node = trie[static_cast<std::size_t>(node)].Child[s];
        }
        trie[static_cast<std::size_t>(node)].Ends = true;
    }
    // Breadth first, so each node's failure state is complete before its children need it.
    std::vector<int> order{0};
    for (std::size_t at = 0; at < order.size(); ++at) {
        const int node = order[at];
        Node& here = trie[static_cast<std::size_t>(node)];
        for (std::size_t s = 0; s < StepCount; ++s) {
            const int child = here.Child[s];
            const int viaFail = node == 0 ? 0 : trie[static_cast<std::size_t>(here.Fail)].Next[s];
            if (child < 0) {
                here.Next[s] = viaFail;
                continue;
            }
            here.Next[s] = child;
            Node& below = trie[static_cast<std::size_t>(child)];
            below.Fail = viaFail;
            below.Ends = below.Ends || trie[static_cast<std::size_t>(viaFail)].Ends;
            order.push_back(child);
        }
    }
    MovePruning pruning;
    pruning.banned_ = banned;
    std::vector<State> id(trie.size(), Rejected);
    for (const int node : order) {
        if (trie[static_cast<std::size_t>(node)].Ends)
            continue;
        id[static_cast<std::size_t>(node)] = static_cast<State>(pruning.next_.size());
        pruning.next_.emplace_back();
    }
    for (std::size_t node = 0; node < trie.size(); ++node) {
        if (id[node] == Rejected)
            continue;
        for (std::size_t s = 0; s < StepCount; ++s)
            pruning.next_[static_cast<std::size_t>(id[node])][s] =
                id[static_cast<std::size_t>(trie[node].Next[s])];
    }
    return pruning;
}

std::optional<MovePruning>
MovePruning::FromTransitions(std::vector<std::array<State, StepCount>> transitions) {
    const auto count = static_cast<State>(transitions.size());
    for (const auto& row : transitions)
        for (const State next : row)
            if (next < Rejected || next >= count)
                return std::nullopt;
    if (transitions.empty())
        return std::nullopt;
    MovePruning pruning;
    pruning.next_ = std::move(transitions);
    return pruning;
}

} // namespace rules
