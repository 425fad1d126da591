// Runs the built executable the way a parent application does: a private folder holding a copy of the
// executable and a Torvane.dat, four arguments, then the image opened for checks.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct RunResult {
    int exit_code = -1;
    std::string err; // what the process wrote on stderr
    std::string out; // what it wrote on stdout (run_command only)
};

// Runs argv[0] with the arguments in `cwd`, `input` on its stdin (empty: /dev/null).
RunResult run_command(
    const std::vector<std::string>& argv, const std::filesystem::path& cwd, const std::string& input = {});

struct Image {
    int width = 0;
    int height = 0;
    std::string loader; // libvips loader name, e.g. "pngload", or "stb bmp"
    std::vector<uint8_t> rgb; // width * height * 3, flattened onto white where the image has alpha
    std::vector<uint8_t> alpha; // width * height, empty when the image has no alpha channel
    // 0xRRGGBB of a pixel.
    uint32_t at(int x, int y) const;
    // True when the pixel's channels all lie within `tol` of `rgb`.
    bool near(int x, int y, uint32_t rgb, int tol = 40) const;
};

class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::filesystem::path exe() const { return dir_ / "torvanesub"; }
    std::filesystem::path path(const std::string& name) const { return dir_ / name; }

    // Writes Torvane.dat from the given lines (CR LF, as the parent application writes it).
    void settings(const std::vector<std::string>& lines) const;
    // The 18 lines with cb3 (line 16) and ed2/ed3 (lines 17, 18) as given.
    void settings(int cb3, const std::string& ed2 = "100", const std::string& ed3 = "100") const;
    void write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    void write(const std::string& name, const std::string& text) const;

    RunResult run(const std::vector<std::string>& args) const;
    // The usual call: two parent arguments, then source and destination inside the sandbox.
    RunResult convert(const std::string& src, const std::string& dst) const;

private:
    std::filesystem::path dir_;
};

std::optional<Image> load_image(const std::filesystem::path& file);

} // namespace e2e
