// Process set-up before a run.
#include "platform/ProcessStart.h"

#include <malloc.h>

#include <algorithm>
#include <thread>

#include "platform/Fonts.h"

namespace platform {

void start_process()
{
    mallopt(M_ARENA_MAX, int(std::max(2u, std::thread::hardware_concurrency())));
    start_fonts();
}

} // namespace platform
