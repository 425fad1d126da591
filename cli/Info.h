// drawconv info: what drawings hold, as text for people or as one JSON object per file.
#pragma once
#include <string>

#include <nlohmann/json.hpp>

#include "app/DocumentInfo.h"
#include "cli/Options.h"

namespace cli {

// The JSON object of one file, in the shape docs/info.schema.json describes. `error` is empty for a
// drawing that was read.
nlohmann::ordered_json info_json(const std::string& file, const detail::DocumentInfo& info, const std::string& error);

// Prints what every file holds to standard output; 0 when all were read, 3 when any was not.
int run_info(const InfoRequest& r);

} // namespace cli
