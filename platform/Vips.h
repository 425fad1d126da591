// Start-up of libvips, done once for the process on first use.
#pragma once

namespace platform {

// True when libvips is initialised and usable.
bool vips_ready();

} // namespace platform
