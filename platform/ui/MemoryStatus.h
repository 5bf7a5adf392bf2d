// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// The machine's physical memory, in the shape of the classic extended status record: byte
// counts are 64-bit, so a machine with more than 4 GiB reports its true size.
struct MEMORYSTATUSEX {
    std::uint32_t dwMemoryLoad = 0; // per cent of physical memory in use
    std::uint64_t ullTotalPhys = 0;
    std::uint64_t ullAvailPhys = 0; // what the kernel says can be had without swapping
};

// Fills `status` from the kernel; false (and the record left as it was) when it cannot be read.
bool GlobalMemoryStatusEx(MEMORYSTATUSEX& status);

// The share of memory in use, rounded: total less available, over total.
std::uint32_t MemoryLoad(std::uint64_t total, std::uint64_t available);

// Replaces the kernel as the source of the figures, so a test can feed its own; an empty
// function restores the kernel.
using MemoryStatusSource = std::function<bool(MEMORYSTATUSEX&)>;
void SetMemoryStatusSource(MemoryStatusSource source);

} // namespace platform
