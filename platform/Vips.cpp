// libvips wants one initialisation per process; the driver is single-threaded, tests may not be.
#include "platform/Vips.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
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

// Modules a destination may ask for: they only ever encode our own pixels, and their loaders are blocked.
const char* const loadable_modules[] = { "heif" };

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
        // libvips loads all its modules (ImageMagick, PDF, HEIF, ...) from under VIPSHOME at start-up, mapping
        // their libraries whether or not they are ever used. It gets a home that can hold nothing (no path below
        // a device file can exist); vips_load_module loads the few we want when they are wanted.
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

bool vips_load_module(const char* name)
{
    if (!vips_ready() || std::none_of(std::begin(loadable_modules), std::end(loadable_modules), [name](const char* m) {
            return std::strcmp(m, name) == 0;
        }))
        return false;
    static std::mutex mutex;
    static std::map<std::string, bool> loaded;
    const std::lock_guard lock(mutex);
    if (auto it = loaded.find(name); it != loaded.end())
        return it->second;
    bool& ok = loaded[name];
    // Where libvips itself would look: beside the library, in the folder of its version.
    Dl_info self {};
    if (dladdr(reinterpret_cast<void*>(&vips_init), &self) == 0 || !self.dli_fname)
        return ok = false;
    const std::filesystem::path file = std::filesystem::path(self.dli_fname).parent_path()
        / ("vips-modules-" + std::to_string(VIPS_MAJOR_VERSION) + "." + std::to_string(VIPS_MINOR_VERSION))
        / ("vips-" + std::string(name) + ".so");
    GModule* module = g_module_open(file.c_str(), G_MODULE_BIND_LAZY);
    if (!module)
        return ok = false;
    g_module_make_resident(module);
    // The module's operations are new classes: block what they bring that we do not run.
    block_operations();
    return ok = true;
}

} // namespace platform
