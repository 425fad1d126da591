// The info command: each file read through the driver's loading step in a form of its own, then told.
#include "cli/Info.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <new>
#include <sstream>

#include "app/DocumentType.h"
#include "app/RunFolder.h"
#include "app/Unit1.h"
#include "cli/Convert.h"
#include "platform/Cp932.h"
#include "util/Func_2.h"

namespace cli {
namespace {

using Json = nlohmann::ordered_json;

std::string utf8(const std::u16string& s) { return platform::utf16_to_utf8(s); }

// Numbers a file may hold as NaN or infinity are null in JSON.
Json number(double v) { return std::isfinite(v) ? Json(v) : Json(nullptr); }

template <class T> Json optional(const std::optional<T>& v)
{
    if (!v)
        return nullptr;
    if constexpr (std::is_floating_point_v<T>)
        return number(*v);
    else
        return *v;
}

Json strings(const std::vector<std::u16string>& list)
{
    Json a = Json::array();
    for (const std::u16string& s : list)
        a.push_back(utf8(s));
    return a;
}

std::string text_number(double v)
{
    std::ostringstream o;
    o.precision(10);
    o << v;
    return o.str();
}

// A few lines for people: only what is there, named layers and groups only.
void print_text(std::ostream& out, const std::string& file, const Json& j)
{
    out << file << "\n";
    if (!j["error"].is_null())
        out << "  error: " << j["error"].get<std::string>() << "\n";
    if (j["format"].is_null())
        return;
    out << "  format: " << j["format"].get<std::string>();
    if (!j["version"].is_null())
        out << ", version " << j["version"].get<int64_t>();
    out << "\n";
    if (!j["title"].get<std::string>().empty())
        out << "  title: " << j["title"].get<std::string>() << "\n";
    const Json& paper = j["paper"];
    out << "  paper: ";
    if (!paper["code"].is_null())
        out << "code " << paper["code"].get<int64_t>() << ", ";
    out << text_number(paper["width_mm"].get<double>()) << " x " << text_number(paper["height_mm"].get<double>())
        << " mm (" << paper["from"].get<std::string>() << ")\n";
    if (!j["scale"].is_null())
        out << "  scale: 1/" << text_number(j["scale"].get<double>()) << "\n";
    const Json& e = j["extents"];
    if (!e["min_x"].is_null() && !e["max_x"].is_null() && !e["min_y"].is_null() && !e["max_y"].is_null())
        out << "  extents: " << text_number(e["min_x"].get<double>()) << ", " << text_number(e["min_y"].get<double>())
            << " to " << text_number(e["max_x"].get<double>()) << ", " << text_number(e["max_y"].get<double>())
            << " mm\n";
    std::string entities;
    for (const auto& [kind, n] : j["entities"].items())
        entities += (entities.empty() ? " " : ", ") + std::to_string(n.get<int64_t>()) + " " + kind;
    out << "  entities:" << entities << "\n";
    for (const Json& g : j["layer_groups"]) {
        std::string named;
        for (const Json& l : g["layers"])
            if (!l["name"].get<std::string>().empty() || l["state"] != "shown")
                named += " [" + std::to_string(l["index"].get<int>()) + "] " + l["name"].get<std::string>() + " ("
                    + l["state"].get<std::string>() + ")";
        if (g["name"].get<std::string>().empty() && named.empty() && g["state"] == "shown")
            continue;
        out << "  group " << g["index"].get<int>() << " " << g["name"].get<std::string>() << " ("
            << g["state"].get<std::string>() << ", 1/" << text_number(g["scale"].get<double>()) << ")" << named << "\n";
    }
    const Json& b = j["blocks"];
    if (!b["definitions"].empty() || b["inserts"].get<int64_t>() > 0) {
        out << "  blocks: " << b["definitions"].size() << " definitions, " << b["inserts"].get<int64_t>()
            << " inserts:";
        for (const Json& d : b["definitions"])
            out << " " << d["name"].get<std::string>() << " (" << d["inserts"].get<int64_t>() << "x)";
        out << "\n";
    }
    auto list = [&](const char* label, const Json& a) {
        if (a.empty())
            return;
        out << "  " << label << ":";
        for (const Json& s : a)
            out << " " << s.get<std::string>();
        out << "\n";
    };
    list("fonts", j["fonts"]);
    for (const Json& im : j["images"]["embedded"])
        out << "  embedded image: " << im["name"].get<std::string>() << " " << im["kind"].get<std::string>() << " "
            << im["bytes"].get<int64_t>() << " bytes\n";
    list("referenced images", j["images"]["referenced"]);
    list("text variables", j["text_variables"]);
}

// One file read in a form of its own: no state of one drawing reaches the next.
detail::DocumentInfo read_one(const std::u16string& src, std::string& error)
{
    detail::RunSettings settings;
    settings.size = detail::SizeRule::Dpi;
    settings.private_temp = true;
    detail::DocumentInfo info;
    TForm1 form;
    try {
        form.FormCreate({ u"drawconv", src }, executable_folder(), settings);
        info = detail::describe_document(form, src);
    } catch (const std::bad_alloc&) {
        error = "out of memory while reading the drawing";
    }
    form.FormClose();
    return info;
}

} // namespace

Json info_json(const std::string& file, const detail::DocumentInfo& d, const std::string& error)
{
    Json j;
    j["file"] = platform::utf16_to_utf8(platform::path_from_bytes(file));
    j["format"] = d.format.empty() ? Json(nullptr) : Json(d.format);
    j["readable"] = error.empty();
    j["error"] = error.empty() ? Json(nullptr) : Json(error);
    j["version"] = optional(d.version);
    j["title"] = utf8(d.title);
    j["memo"] = utf8(d.memo);
    j["paper"] = { { "code", optional(d.paper_code) }, { "from", d.paper_from.empty() ? "code" : d.paper_from },
        { "width_mm", number(d.paper_width) }, { "height_mm", number(d.paper_height) } };
    j["scale"] = optional(d.scale);
    j["print_scale"] = optional(d.print_scale);
    j["extents"] = { { "min_x", number(d.min_x) }, { "min_y", number(d.min_y) }, { "max_x", number(d.max_x) },
        { "max_y", number(d.max_y) } };
    Json groups = Json::array();
    for (const detail::LayerGroupInfo& g : d.layer_groups) {
        Json layers = Json::array();
        for (const detail::LayerInfo& l : g.layers)
            layers.push_back({ { "index", l.index }, { "name", utf8(l.name) }, { "state", l.state } });
        groups.push_back({ { "index", g.index }, { "name", utf8(g.name) }, { "state", g.state },
            { "scale", number(g.scale) }, { "layers", std::move(layers) } });
    }
    j["layer_groups"] = std::move(groups);
    Json entities = Json::object();
    for (const auto& [kind, n] : d.entities)
        entities[kind] = n;
    j["entities"] = std::move(entities);
    Json defs = Json::array();
    for (const detail::BlockInfo& b : d.blocks)
        defs.push_back(
            { { "number", b.number }, { "name", utf8(b.name) }, { "entities", b.entities }, { "inserts", b.inserts } });
    j["blocks"] = { { "definitions", std::move(defs) }, { "inserts", d.block_inserts },
        { "instances", d.block_instances } };
    j["fonts"] = strings(d.fonts);
    Json embedded = Json::array();
    for (const detail::EmbeddedImage& im : d.embedded_images)
        embedded.push_back({ { "name", utf8(im.name) }, { "kind", im.kind }, { "bytes", im.bytes } });
    j["images"] = { { "embedded", std::move(embedded) }, { "referenced", strings(d.referenced_images) } };
    j["text_variables"] = strings(d.text_variables);
    return j;
}

int run_info(const InfoRequest& r)
{
    int worst = 0;
    for (const std::string& file : r.files) {
        std::string error;
        std::u16string src = platform::path_from_bytes(file);
        detail::RunFolder stage;
        if (file == "-") {
            const std::u16string folder = stage.make(u"");
            src = folder.empty() ? std::u16string() : stage_stdin(folder, error);
            if (folder.empty())
                error = "cannot make a private temporary folder";
        } else if (!IsFile(src)) {
            error = "not found";
        }
        detail::DocumentInfo info;
        if (error.empty())
            info = read_one(src, error);
        if (error.empty() && info.format.empty())
            error = "not a drawing this program reads (" + document_extensions() + ")";
        else if (error.empty() && !info.readable)
            error = "not a readable drawing: what could be read is shown";
        if (!error.empty())
            worst = int(RunOutcome::Source);
        const Json j = info_json(file, info, error);
        if (r.json)
            std::cout << j.dump(-1, ' ', false, Json::error_handler_t::replace) << "\n";
        else
            print_text(std::cout, file, j);
    }
    std::cout << std::flush;
    return worst;
}

} // namespace cli
