// The example ".jwc" drawing and ".jwk" symbol of examples/, built by the test writers.
#pragma once
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace test_jwc {

// File name and bytes of every example: an A3 sampler drawing (pen colours 1 to 9, line types 1 to 9 and
// random lines, circles, arcs, tilted ellipses, texts of several types with Japanese and vertical writing,
// points, temporary points, a greyed layer group) and a compass symbol at 1:50 around its reference point.
std::vector<std::pair<std::string, std::string>> jwc_example_files();

// Writes them into folder (which must exist); false when a file could not be written whole.
bool write_jwc_examples(const std::filesystem::path& folder);

} // namespace test_jwc
