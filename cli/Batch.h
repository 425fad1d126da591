// Many conversions at once: each source in a process of its own, failures one line each, a progress line.
#pragma once
#include <string>
#include <vector>

#include "cli/Convert.h"

namespace cli {

struct BatchOptions {
    unsigned jobs = 1; // processes at once
    bool progress = false; // draw the progress line
    bool progress_lines = false; // one line per finished file instead of a line redrawn in place
    bool summary = false; // a last line with the counts
    std::vector<std::string> worker_options; // format, size and background options of every worker
};

// Runs every job through a fresh drawconv process (the driver's state is process-wide), at most
// `jobs` at once. Returns 0 when all were converted, else the largest exit code among the failures.
int run_batch(const std::vector<Job>& jobs, const BatchOptions& options);

// Processors this process may run on.
unsigned processor_count();

} // namespace cli
