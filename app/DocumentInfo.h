// What a drawing holds, as the info command tells it: read through the loading steps, never drawn.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TForm1;

namespace detail {

struct LayerInfo {
    int index = 0; // within its group
    std::u16string name;
    std::string state; // "shown", "greyed" or "hidden": how the drawing shows it
};

struct LayerGroupInfo {
    int index = 0;
    std::u16string name;
    std::string state;
    double scale = 1; // the group's scale denominator (100 for 1:100)
    std::vector<LayerInfo> layers;
};

struct BlockInfo {
    int64_t number = 0;
    std::u16string name;
    int64_t entities = 0;
    int64_t inserts = 0; // inserts of this definition in the drawing and in other definitions
};

struct EmbeddedImage {
    std::u16string name;
    std::string kind; // "png", "jpeg", ... or "" when the name or the record does not say
    int64_t bytes = 0;
};

struct DocumentInfo {
    std::string format; // "jww", "jws", "jwc", "jwk", "m7"
    bool readable = false;
    std::optional<int64_t> version;
    std::u16string title;
    std::u16string memo;
    std::optional<int64_t> paper_code; // the stored paper code, when the format has one
    std::string paper_from; // "code", "document" (its own paper rectangle) or "extents" (symbols)
    double paper_width = 0; // millimetres
    double paper_height = 0;
    std::optional<double> scale; // scale denominator of the current layer group
    std::optional<double> print_scale;
    double min_x = 0, min_y = 0, max_x = 0, max_y = 0; // extents in millimetres
    std::vector<LayerGroupInfo> layer_groups;
    std::vector<std::pair<std::string, int64_t>> entities; // kind and count, in a fixed order per format
    std::vector<BlockInfo> blocks;
    int64_t block_inserts = 0; // inserts placed in the drawing itself
    int64_t block_instances = 0; // inserts after nested definitions are expanded
    std::vector<std::u16string> fonts; // sorted, each once
    std::vector<EmbeddedImage> embedded_images;
    std::vector<std::u16string> referenced_images; // sorted, each once, as written in the drawing
    std::vector<std::u16string> text_variables; // sorted, each once
};

// Loads `src` through the form's loading step for its type (stored images are not extracted) and tells what
// it holds. The form must have been created; `format` stays empty for a file no reader takes.
DocumentInfo describe_document(TForm1& form, const std::u16string& src);

} // namespace detail
