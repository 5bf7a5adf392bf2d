// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/MemoryStatus.h"

#include <sys/sysinfo.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

namespace platform {

namespace {

MemoryStatusSource& source() {
    static MemoryStatusSource s;
    return s;
}

// MemAvailable counts the page cache the kernel can drop; sysinfo's free RAM does not.
std::optional<std::uint64_t> memAvailableBytes() {
    std::FILE* file = std::fopen("/proc/meminfo", "re");
    if (!file)
        return std::nullopt;
    std::optional<std::uint64_t> bytes;
    char line[256];
    unsigned long long kb = 0;
    while (std::fgets(line, sizeof line, file)) {
        if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) {
            bytes = static_cast<std::uint64_t>(kb) * 1024u;
            break;
        }
    }
    std::fclose(file);
    return bytes;
}

bool fromKernel(MEMORYSTATUSEX& status) {
    struct sysinfo info;
    std::memset(&info, 0, sizeof info);
    if (sysinfo(&info) != 0)
        return false;
    const std::uint64_t unit = info.mem_unit ? info.mem_unit : 1u;
    const std::uint64_t total = static_cast<std::uint64_t>(info.totalram) * unit;
    const std::uint64_t available = memAvailableBytes().value_or(
        (static_cast<std::uint64_t>(info.freeram) + info.bufferram) * unit);
    status.ullTotalPhys = total;
    status.ullAvailPhys = available;
    status.dwMemoryLoad = MemoryLoad(total, available);
    return true;
}

} // namespace

std::uint32_t MemoryLoad(std::uint64_t total, std::uint64_t available) {
    if (total == 0)
        return 0;
    const std::uint64_t used = available < total ? total - available : 0;
    // Per cent of a 64-bit count without overflow: the share first, then the rounding.
    const long double share = static_cast<long double>(used) * 100.0L / total;
    return static_cast<std::uint32_t>(share + 0.5L);
}

bool GlobalMemoryStatusEx(MEMORYSTATUSEX& status) {
    return source() ? source()(status) : fromKernel(status);
}

void SetMemoryStatusSource(MemoryStatusSource s) {
    source() = std::move(s);
}

} // namespace platform
