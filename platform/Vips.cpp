// libvips wants one initialisation per process; the driver is single-threaded, tests may not be.
#include "platform/Vips.h"

#include <mutex>
#include <vips/vips.h>

namespace platform {

namespace {

// Library warnings (a cut picture, a font without a glyph) are not ours to print: the caller gets one line
// of our own or nothing.
void drop_log(const gchar*, GLogLevelFlags, const gchar*, gpointer) { }

} // namespace

void quiet_library_logs()
{
    constexpr auto levels = GLogLevelFlags(
        G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG | G_LOG_LEVEL_CRITICAL);
    g_log_set_default_handler(drop_log, nullptr);
    for (const char* domain : { "VIPS", "GLib", "GLib-GObject", "GLib-GIO" })
        g_log_set_handler(domain, levels, drop_log, nullptr);
}

std::string vips_error_line()
{
    std::string m = vips_error_buffer();
    vips_error_clear();
    while (!m.empty() && (m.back() == '\n' || m.back() == ' '))
        m.pop_back();
    if (auto nl = m.find('\n'); nl != std::string::npos)
        m.resize(nl);
    return m;
}

bool vips_ready()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        quiet_library_logs();
        ok = VIPS_INIT("torvanesub") == 0;
        if (ok) {
            // One conversion per process: a cache only costs memory.
            vips_cache_set_max(0);
        }
    });
    return ok;
}

} // namespace platform
