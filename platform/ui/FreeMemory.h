// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// Hands the memory the process has freed back to the system. The allocator keeps freed blocks
// for reuse, and after a large one it serves even big requests from its heap, so a burst of
// work such as the solver's table build would otherwise stay resident for the whole run.
void GiveBackFreeMemory();

// Makes the allocator hand large blocks back as soon as they are freed, from now on. Left to
// itself, glibc raises its thresholds once a large block is freed, and then keeps a finished
// burst of work resident for the rest of the run: most of all in a worker thread's arena, whose
// free end only a free gives back, never GiveBackFreeMemory. Called before such a burst only,
// as the fixed thresholds keep a little more of the sound's memory.
void ReturnLargeBlocksOnFree();

} // namespace platform
