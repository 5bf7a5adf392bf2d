// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target over the soundfont index: the input is the file's bytes, its last bytes
// also the keys struck on each preset asked for. Beyond the sanitizers, it checks that a view
// reads whole, in pieces as at once, is no larger than the view of every key, and is itself a
// font whose view of the same presets and keys is the same file.
#include "platform/audio/SoundfontView.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace platform;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

std::function<bool(std::uint64_t, std::uint64_t, void*)> reader(const std::uint8_t* data,
                                                                std::size_t size) {
    return [data, size](std::uint64_t at, std::uint64_t n, void* dst) {
        if (at > size || n > size - at)
            return false;
        if (n > 0)
            std::memcpy(dst, data + at, n);
        return true;
    };
}

std::vector<std::uint8_t> readAll(const SoundfontView& view, const std::uint8_t* data,
                                  std::size_t size) {
    std::vector<std::uint8_t> out(view.Size());
    check(view.Read(0, out.data(), out.size(), reader(data, size)) == std::int64_t(out.size()));
    return out;
}

// Sixteen bytes from the input's end, the further back the higher `n`, as a set of keys.
std::bitset<128> keysFrom(const std::uint8_t* data, std::size_t size, std::size_t n) {
    std::bitset<128> keys;
    for (std::size_t i = 0; i < 16 && size > 0; ++i) {
        const std::uint8_t b = data[size - 1 - (n * 16 + i) % size];
        for (std::size_t bit = 0; bit < 8; ++bit)
            keys[i * 8 + bit] = (b >> bit) & 1;
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const auto index = SoundfontIndex::Read(size, reader(data, size));
    if (!index)
        return 0;
    // The presets a melody would ask for, and two the input names.
    const int a = size > 0 ? data[size / 2] : 0;
    const int b = size > 0 ? data[size / 3] : 0;
    std::vector<SoundfontPreset> ask = {{0, 0},        {0, 48},         {128, 0},
                                        {8, a & 0x7F}, {128, b & 0x7F}, {a, b}};
    std::vector<SoundfontPreset> everyKey = ask;
    for (std::size_t i = 0; i < ask.size(); ++i) {
        if (((a >> i) & 1) == 0)
            ask[i].keys = keysFrom(data, size, i);
    }
    const SoundfontView view = index->Select(ask);
    const std::vector<std::uint8_t> bytes = readAll(view, data, size);

    std::vector<std::uint8_t> pieces(bytes.size());
    for (std::size_t at = 0; at < pieces.size(); at += 13)
        check(view.Read(at, pieces.data() + at, 13, reader(data, size)) ==
              std::int64_t(std::min<std::size_t>(13, pieces.size() - at)));
    check(pieces == bytes);
    check(view.Size() <= index->Select(everyKey).Size());

    const auto again = SoundfontIndex::Read(bytes.size(), reader(bytes.data(), bytes.size()));
    check(again.has_value());
    for (const SoundfontPreset& p : ask)
        check(again->Has(p.bank, p.program) == index->Has(p.bank, p.program));
    check(readAll(again->Select(ask), bytes.data(), bytes.size()) == bytes);
    return 0;
}
