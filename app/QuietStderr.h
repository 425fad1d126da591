// Keeps library chatter off the one line a run prints: stderr goes to /dev/null, our own line to the real one.
#pragma once

namespace detail {

// Points stderr at /dev/null and returns a descriptor of the real stderr for the run's own messages
// (stderr itself under the sanitizers, whose reports must be seen, or when /dev/null cannot be opened).
int quiet_stderr();

} // namespace detail
