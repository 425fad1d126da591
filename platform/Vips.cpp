// libvips wants one initialisation per process; the driver is single-threaded, tests may not be.
#include "platform/Vips.h"

#include <cstdlib>
#include <mutex>
#include <vips/vips.h>

namespace platform {
namespace {

// The only loaders that ever run: the formats drawings may name, less BMP, which is ours. Names of other
// builds of libvips (libpng instead of spng, the older GIF loader) are listed too; unknown names are ignored.
const char* const accepted_loaders[] = {
    "VipsForeignLoadPng",
    "VipsForeignLoadSpng",
    "VipsForeignLoadJpeg",
    "VipsForeignLoadNsgif",
    "VipsForeignLoadGif",
    "VipsForeignLoadTiff",
};

// Blocked besides what libvips marks untrusted: every other loader, ImageMagick's savers, and shell commands.
const char* const blocked_operations[] = {
    "VipsForeignLoad",
    "VipsForeignSaveMagick",
    "VipsSystem",
};

void block_operations()
{
    vips_block_untrusted_set(TRUE);
    for (const char* name : blocked_operations)
        vips_operation_block_set(name, TRUE);
    for (const char* name : accepted_loaders)
        vips_operation_block_set(name, FALSE);
}

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

bool vips_ready()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        quiet_library_logs();
        // libvips loads its modules (ImageMagick, PDF, HEIF, ...) from under VIPSHOME at start-up, mapping their
        // libraries whether or not they are ever used. Every codec we use is built in, so it gets a home that
        // can hold nothing: no path below a device file can exist.
        setenv("VIPSHOME", "/dev/null", 1);
        ok = VIPS_INIT("torvanesub") == 0;
        if (ok) {
            block_operations();
            // One conversion per process: a cache only costs memory.
            vips_cache_set_max(0);
        }
    });
    return ok;
}

} // namespace platform
