// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The rank of a set of cells (a 16-bit mask) among the sets of as many cells, colex: the cells
// c_1 < ... < c_k rank as the sum of C(c_j, j). The searches rank a set for every state they
// look up, so it is summed a byte at a time from tables: the low byte's cells add their own
// share, the high byte's depend on how many cells came below them. Inline and without
// std::popcount, which is a library call on the baseline processor.

#include <array>
#include <cstdint>

namespace rules {

// C(n, r), 0 when r > n.
constexpr unsigned Choose(unsigned n, unsigned r) {
    if (r > n)
        return 0;
    unsigned out = 1;
    for (unsigned i = 1; i <= r; ++i)
        out = out * (n - r + i) / i;
    return out;
}

class MaskRank {
public:
    constexpr MaskRank() {
        for (unsigned byte = 0; byte < 256; ++byte) {
            unsigned below = 0;
            unsigned share = 0;
            for (unsigned cell = 0; cell < 8; ++cell)
                if ((byte >> cell) & 1u)
                    share += Choose(cell, ++below);
            low_[byte] = static_cast<std::uint16_t>(share);
            lowCount_[byte] = static_cast<std::uint8_t>(below);
            for (unsigned lower = 0; lower <= 8; ++lower) {
                unsigned index = lower;
                share = 0;
                for (unsigned cell = 0; cell < 8; ++cell)
                    if ((byte >> cell) & 1u)
                        share += Choose(8 + cell, ++index);
                high_[lower][byte] = static_cast<std::uint16_t>(share);
            }
        }
    }

    unsigned operator()(unsigned mask) const {
        const unsigned low = mask & 255u;
        return unsigned{low_[low]} + unsigned{high_[lowCount_[low]][mask >> 8]};
    }

private:
    std::array<std::uint16_t, 256> low_{};
    std::array<std::uint8_t, 256> lowCount_{};
    std::array<std::array<std::uint16_t, 256>, 9> high_{};
};

} // namespace rules
