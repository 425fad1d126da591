// libvips wants one initialisation per process; the driver is single-threaded, tests may not be.
#include "platform/Vips.h"

#include <mutex>
#include <vips/vips.h>

namespace platform {

bool vips_ready()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        ok = VIPS_INIT("torvanesub") == 0;
        if (ok) {
            // One conversion per process: a cache only costs memory.
            vips_cache_set_max(0);
        }
    });
    return ok;
}

} // namespace platform
