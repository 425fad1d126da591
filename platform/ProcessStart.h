// What a run sets up first, while it holds almost nothing, so that a memory limit met later is met in code that
// handles it.
#pragma once

namespace platform {

// Caps malloc's per-thread arenas at one per core: each reserves 64 MiB of address space, and under an address
// space limit the reservations of idle arenas fail allocations that the limit would otherwise allow. Then loads
// fontconfig's configuration (start_fonts).
void start_process();

} // namespace platform
