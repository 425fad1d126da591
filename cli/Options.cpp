// drawconv's options, help texts and their checks, through CLI11.
#include "cli/Options.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string_view>

#ifndef TORVANE_VERSION
#define TORVANE_VERSION "unknown"
#endif

namespace cli {
namespace {

constexpr const char* kFooter = R"(
Each SOURCE (.jww .jws .jwc .jwk .m7, any letter case) becomes one image named like it with the format's
extension, beside it or in the folder given by -o. Without a size option a drawing is drawn on its paper
at 150 dpi and a symbol (.jws .jwk) over its extents at 150 dpi, with a 5 % margin all round. Several
sources are converted in parallel, each in a process of its own; a failure prints one line naming its file.

Commands:
  drawconv info [--json] FILE...        what drawings hold (format, paper, layers, entities, ...)
  drawconv thumbnail -s SIZE IN OUT     a PNG preview of at most SIZE x SIZE pixels, for file managers

Exit status: 0 all converted; 2 usage; 3 a source missing or not readable (its image holds what could be
read); 4 an output not written; 5 a conversion crashed. With several failures, the largest code.
See drawconv(1).)";

struct NamedColour {
    std::string_view name;
    uint32_t rgb;
};
constexpr NamedColour kColours[] = { { "white", 0xFFFFFF }, { "black", 0x000000 }, { "gray", 0x808080 },
    { "grey", 0x808080 }, { "red", 0xFF0000 }, { "green", 0x008000 }, { "blue", 0x0000FF }, { "yellow", 0xFFFF00 },
    { "cyan", 0x00FFFF }, { "magenta", 0xFF00FF } };

// "#RRGGBB", "RRGGBB", "#RGB" or a basic colour name.
std::optional<uint32_t> parse_colour(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const NamedColour& n : kColours)
        if (n.name == s)
            return n.rgb;
    if (!s.empty() && s[0] == '#')
        s.erase(0, 1);
    if ((s.size() != 6 && s.size() != 3) || s.find_first_not_of("0123456789abcdef") != std::string::npos)
        return std::nullopt;
    if (s.size() == 3)
        s = { s[0], s[0], s[1], s[1], s[2], s[2] };
    return uint32_t(std::stoul(s, nullptr, 16));
}

// "WIDTHxHEIGHT", each 1..32767.
std::optional<std::pair<int, int>> parse_size(const std::string& s)
{
    int w = 0;
    int h = 0;
    char x = 0;
    char rest = 0;
    if (std::sscanf(s.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || (x != 'x' && x != 'X'))
        return std::nullopt;
    if (w < 1 || h < 1 || w > 32767 || h > 32767)
        return std::nullopt;
    return std::pair { w, h };
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (!s.empty() && s[0] == '.')
        s.erase(0, 1);
    return s;
}

// Help and version to stdout with status 0; a usage error to stderr with status 2.
int exit_status(const CLI::App& app, const CLI::ParseError& e)
{
    const int rc = app.exit(e, std::cout, std::cerr);
    return rc == 0 ? 0 : 2;
}

void add_convert_options(CLI::App& app, ConvertRequest& r, std::optional<double>& dpi, std::string& size,
    std::optional<int>& width, std::optional<int>& height, std::string& background)
{
    app.add_option("SOURCE", r.sources, "drawings to convert; - reads one from standard input");
    app.add_option("-o,--output", r.output,
        "FILE (one source), DIR (an existing folder, or a name ending in /) or - for standard output");
    app.add_option("-f,--format", r.format,
           "png (default), jpg, bmp, gif, tif, webp, ..., pdf, svg, eps, ps; else from -o's extension")
        ->transform([](std::string s) { return lower(s); });
    auto* o_dpi = app.add_option("--dpi", dpi, "resolution over the paper (default 150)")
                      ->check(CLI::Validator(
                          [](std::string& s) {
                              char* end = nullptr;
                              const double v = std::strtod(s.c_str(), &end);
                              return *end == 0 && v > 0 && v < 1e6 ? std::string() : "not a positive number: " + s;
                          },
                          "N"));
    auto* o_size = app.add_option("--size", size, "exact size in pixels, e.g. 1600x1200")
                       ->check(CLI::Validator(
                           [](std::string& s) {
                               return parse_size(s) ? std::string() : "not WIDTHxHEIGHT in 1..32767: " + s;
                           },
                           "WxH"));
    auto* o_width = app.add_option("--width", width, "width in pixels; the height follows the drawing")
                        ->check(CLI::Range(1, 32767));
    auto* o_height = app.add_option("--height", height, "height in pixels; the width follows the drawing")
                         ->check(CLI::Range(1, 32767));
    o_dpi->excludes(o_size, o_width, o_height);
    o_size->excludes(o_width, o_height);
    o_width->excludes(o_height);
    auto* o_bg = app.add_option("--background", background,
                        "colour under the drawing: #RRGGBB, #RGB or a name "
                        "(white, black, ...); default: the drawing's own")
                     ->check(CLI::Validator(
                         [](std::string& s) { return parse_colour(s) ? std::string() : "not a colour: " + s; },
                         "COLOR"));
    auto* o_tr = app.add_flag("--transparent", r.settings.transparent,
        "nothing under the drawing: an image with alpha (png, tif, webp, gif, pdf, svg; not jpg, bmp or eps)");
    o_bg->excludes(o_tr);
    app.add_option("-j,--jobs", r.jobs, "conversions at once (default: one per processor)")->check(CLI::Range(1, 4096));
    app.add_flag("-q,--quiet", r.quiet, "no progress line and no summary; failures are still printed");
    app.add_flag("--progress", r.progress, "a progress line also when stderr is not a terminal");
    app.add_option("--files-from", r.files_from, "read more sources from FILE, one per line; - for standard input");
    app.add_flag("-0,--null", r.null_separated, "the --files-from list is separated by NUL bytes (find -print0)");
}

// Size and background into the run settings, and the same options for worker processes.
void settle_convert(ConvertRequest& r, const std::optional<double>& dpi, const std::string& size,
    const std::optional<int>& width, const std::optional<int>& height, const std::string& background)
{
    detail::RunSettings& s = r.settings;
    s.private_temp = true;
    s.replace = true;
    s.size = detail::SizeRule::Dpi;
    s.dpi = dpi.value_or(kDefaultDpi);
    if (dpi)
        r.forwarded.insert(r.forwarded.end(), { "--dpi", std::to_string(*dpi) });
    if (const auto wh = parse_size(size)) {
        s.size = detail::SizeRule::Pixels;
        s.width = wh->first;
        s.height = wh->second;
        r.forwarded.insert(r.forwarded.end(), { "--size", size });
    } else if (width) {
        s.size = detail::SizeRule::Width;
        s.width = *width;
        r.forwarded.insert(r.forwarded.end(), { "--width", std::to_string(*width) });
    } else if (height) {
        s.size = detail::SizeRule::Height;
        s.height = *height;
        r.forwarded.insert(r.forwarded.end(), { "--height", std::to_string(*height) });
    }
    if (!background.empty()) {
        s.background = parse_colour(background);
        r.forwarded.insert(r.forwarded.end(), { "--background", background });
    }
    if (s.transparent)
        r.forwarded.push_back("--transparent");
}

} // namespace

Parsed parse_command_line(int argc, char** argv)
{
    Parsed p;
    CLI::App app { "Converts drawings (.jww .jws .jwc .jwk .m7) into images.", "drawconv" };
    app.set_version_flag("--version", std::string("drawconv ") + TORVANE_VERSION);
    app.footer(kFooter);
    // One line, like every other failure.
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return "drawconv: " + std::string(e.what()) + " (drawconv --help tells more)\n";
    });
    app.require_subcommand(0, 1);
    std::optional<double> dpi;
    std::string size;
    std::optional<int> width;
    std::optional<int> height;
    std::string background;
    add_convert_options(app, p.convert, dpi, size, width, height, background);

    CLI::App* info = app.add_subcommand("info", "tell what drawings hold");
    info->add_option("FILE", p.info.files, "drawings; - reads one from standard input")->required();
    info->add_flag("--json", p.info.json, "one JSON object per file, one per line (see drawconv(1))");

    CLI::App* thumb = app.add_subcommand("thumbnail", "a PNG preview for file managers");
    thumb->add_option("-s,--size", p.thumbnail.size, "largest side in pixels")->required()->check(CLI::Range(1, 32767));
    thumb->add_option("INPUT", p.thumbnail.input, "the drawing")->required();
    thumb->add_option("OUTPUT", p.thumbnail.output, "the PNG to write, whatever its name ends in")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        p.exit_code = exit_status(app, e);
        return p;
    }
    if (info->parsed()) {
        p.command = Command::Info;
        return p;
    }
    if (thumb->parsed()) {
        p.command = Command::Thumbnail;
        return p;
    }
    if (p.convert.sources.empty() && p.convert.files_from.empty()) {
        std::cerr << "drawconv: no drawing given (drawconv --help tells more)\n";
        p.exit_code = 2;
        return p;
    }
    settle_convert(p.convert, dpi, size, width, height, background);
    p.command = Command::Convert;
    return p;
}

} // namespace cli
