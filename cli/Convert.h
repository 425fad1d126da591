// drawconv's conversions: which image each source becomes, and one conversion through the driver.
#pragma once
#include <string>
#include <vector>

#include "app/RunSettings.h"
#include "cli/Options.h"

namespace cli {

// Exit codes beyond the driver's own (0 converted, 2 usage, 3 source, 4 output).
inline constexpr int kCrashed = 5;

struct Job {
    std::string source; // bytes as given; "-" is standard input
    std::string output; // "-" is standard output
    std::string refusal; // not converted: why, as the line to print (without the program's name)
};

struct Plan {
    std::vector<Job> jobs;
    std::string format; // lower case, without dot
};

// Sources (with those of --files-from), the format and one output per source. False with `error` set for a
// usage error; a source whose output another source already has is kept with its refusal.
bool plan_conversions(const ConvertRequest& r, Plan& plan, std::string& error);

// Converts one source in this process through the same driver the sub-module runs. Writes one line to
// `err_fd` on failure and returns the exit code.
int convert_one(const Job& job, const std::string& format, const detail::RunSettings& settings, int err_fd);

// Standard input into a file of the private `folder`, named with the extension its content calls for; empty
// with `error` set when it cannot be stored or is no drawing.
std::u16string stage_stdin(const std::u16string& folder, std::string& error);

// The folder of this executable, for the driver's AppPath.
std::u16string executable_folder();

} // namespace cli
