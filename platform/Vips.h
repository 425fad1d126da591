// Start-up of libvips, done once for the process on first use, with every codec we do not accept shut off.
#pragma once
#include <string>

namespace platform {

// True when libvips is initialised and usable.
bool vips_ready();
// The first line of libvips' error buffer, which it clears.
std::string vips_error_line();
// Drops the warnings of GLib-based libraries instead of printing them; vips_ready does this first.
void quiet_library_logs();

// Loads a libvips module ("heif") once, when a destination needs its saver; only the modules listed in Vips.cpp
// ever load. False when it cannot be loaded.
bool vips_load_module(const char* name);

} // namespace platform
