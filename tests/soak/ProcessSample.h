// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// What a long session could leak, read from /proc and from the live objects.
struct ProcessSample {
    double seconds = 0;
    std::uint64_t residentBytes = 0;
    std::uint64_t heapBytes = 0; // allocated and not freed: growth here is held, not fragmented
    int objects = 0;             // QObjects under the application and its windows
    int descriptors = 0;
    int threads = 0;
    int timers = 0; // timer objects alive in the application's windows

    std::string Describe() const;
};

// Returns freed memory to the system first, so the figure is the memory in use.
ProcessSample SampleProcess(double seconds);
