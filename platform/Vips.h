// Start-up of libvips, done once for the process on first use.
#pragma once
#include <string>

namespace platform {

// True when libvips is initialised and usable.
bool vips_ready();
// The first line of libvips' error buffer, which it clears.
std::string vips_error_line();
// Drops the warnings of GLib-based libraries instead of printing them; vips_ready does this first.
void quiet_library_logs();

} // namespace platform
