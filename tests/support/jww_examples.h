// The example ".jww" and ".jws" drawings of examples/, built by the test writers.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace jwwtest {

// File name and bytes of every example: an A3 sampler of every entity kind (line types, random lines,
// curves, solids, markers, texts with vertical Japanese writing, text variables, dimensions, nested,
// turned and mirrored block inserts, a stored gzip image, greyed and hidden layers), a drawing on a black
// background, and a symbol.
std::vector<std::pair<std::string, std::vector<uint8_t>>> jww_example_files();

// A large A3 drawing for benchmarks: `entities` mixed entities (lines of several types and random lines,
// arcs, texts, solids, points, dimensions) of which one per hundred is a block insert, spread by a fixed seed.
std::vector<uint8_t> jww_large_drawing(int entities = 100000);

// Writes them into folder (which must exist); false when a file could not be written.
bool write_jww_examples(const std::string& folder);

} // namespace jwwtest
