// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/FreeMemory.h"

#include <malloc.h>

namespace platform {

void GiveBackFreeMemory() {
    // Whether anything could be given back says nothing a caller can act on.
    (void)::malloc_trim(0);
}

void ReturnLargeBlocksOnFree() {
    // Set, the thresholds stay put: an arena's free end beyond 128 KiB goes back as soon as a
    // freed block joins it. Blocks below 32 MiB still come from the arenas, since a mapping of
    // their own each costs the table build a tenth of its time in page faults; what they leave
    // free in the middle GiveBackFreeMemory returns. A refusal only leaves the allocator as it was.
    (void)::mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    (void)::mallopt(M_TRIM_THRESHOLD, 128 * 1024);
}

} // namespace platform
