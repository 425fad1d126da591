// Process and image helpers of the end-to-end tests.
#include "tests/support/e2e_harness.h"

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vips/vips.h>

#include "platform/Vips.h"

#ifndef TORVANE_BINARY
#define TORVANE_BINARY ""
#endif

namespace e2e {

uint32_t Image::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
    return (uint32_t(rgb[i]) << 16) | (uint32_t(rgb[i + 1]) << 8) | rgb[i + 2];
}

bool Image::near(int x, int y, uint32_t want, int tol) const
{
    const uint32_t got = at(x, y);
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = int((got >> shift) & 0xFF);
        const int b = int((want >> shift) & 0xFF);
        if (std::abs(a - b) > tol)
            return false;
    }
    return true;
}

Sandbox::Sandbox()
{
    static std::atomic<int> counter { 0 };
    dir_ = std::filesystem::temp_directory_path()
        / ("torvane-e2e-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::copy_file(TORVANE_BINARY, exe());
}

Sandbox::~Sandbox()
{
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void Sandbox::settings(const std::vector<std::string>& lines) const
{
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    write("Torvane.dat", text);
}

void Sandbox::settings(int cb3, const std::string& ed2, const std::string& ed3) const
{
    settings({ "50", "50", "480", "480", "1", "0", "0", "0", "0", "", "", dir_.string(), "1", "Windows", "0",
        std::to_string(cb3), ed2, ed3 });
}

void Sandbox::write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void Sandbox::write(const std::string& name, const std::string& text) const
{
    std::ofstream out(dir_ / name, std::ios::binary);
    out << text;
}

RunResult run_command(const std::vector<std::string>& argv, const std::filesystem::path& cwd, const std::string& input)
{
    static std::atomic<int> counter { 0 };
    const std::string tag = std::to_string(getpid()) + "-" + std::to_string(counter++);
    const std::filesystem::path tmp = std::filesystem::temp_directory_path();
    const std::filesystem::path in_file = tmp / ("torvane-in-" + tag);
    const std::filesystem::path out_file = tmp / ("torvane-out-" + tag);
    const std::filesystem::path err_file = tmp / ("torvane-err-" + tag);
    {
        std::ofstream in(in_file, std::ios::binary);
        in << input;
    }
    pid_t pid = fork();
    if (pid == 0) {
        const int in = open(input.empty() ? "/dev/null" : in_file.c_str(), O_RDONLY);
        const int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        if (chdir(cwd.c_str()) != 0)
            _exit(126);
        std::vector<std::string> store = argv;
        std::vector<char*> args;
        for (auto& a : store)
            args.push_back(a.data());
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult r;
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    auto slurp = [](const std::filesystem::path& f) {
        std::ifstream in(f, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    r.out = slurp(out_file);
    r.err = slurp(err_file);
    std::error_code ec;
    for (const auto& f : { in_file, out_file, err_file })
        std::filesystem::remove(f, ec);
    return r;
}

RunResult Sandbox::run(const std::vector<std::string>& args) const
{
    std::vector<std::string> argv = { exe().string() };
    argv.insert(argv.end(), args.begin(), args.end());
    return run_command(argv, dir_);
}

RunResult Sandbox::convert(const std::string& src, const std::string& dst) const
{
    return run({ "parent1", "parent2", path(src).string(), path(dst).string() });
}

namespace {

bool starts_with_bm(const std::filesystem::path& file)
{
    std::ifstream f(file, std::ios::binary);
    char magic[2] = {};
    return f.read(magic, 2) && magic[0] == 'B' && magic[1] == 'M';
}

// libvips reads BMP only through ImageMagick, which the program blocks; stb's reader is independent of ours.
std::optional<Image> load_bmp(const std::filesystem::path& file)
{
    int w = 0, h = 0, n = 0;
    uint8_t* px = stbi_load(file.c_str(), &w, &h, &n, 3);
    if (!px)
        return std::nullopt;
    Image out;
    out.width = w;
    out.height = h;
    out.loader = "stb bmp";
    out.rgb.assign(px, px + size_t(w) * size_t(h) * 3);
    stbi_image_free(px);
    return out;
}

} // namespace

std::optional<Image> load_image(const std::filesystem::path& file)
{
    if (starts_with_bm(file))
        return load_bmp(file);
    if (!platform::vips_ready())
        return std::nullopt;
    VipsImage* im = vips_image_new_from_file(file.c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr);
    if (!im) {
        vips_error_clear();
        return std::nullopt;
    }
    Image out;
    out.width = im->Xsize;
    out.height = im->Ysize;
    const char* loader = nullptr;
    if (vips_image_get_string(im, "vips-loader", &loader) == 0 && loader)
        out.loader = loader;
    VipsImage* rgb = nullptr;
    VipsImage* srgb = nullptr;
    VipsImage* flat = nullptr;
    bool ok = vips_colourspace(im, &srgb, VIPS_INTERPRETATION_sRGB, nullptr) == 0;
    if (ok && vips_image_hasalpha(srgb)) {
        // Read twice (alpha, then flattened): sequential access allows one pass only.
        VipsImage* whole = vips_image_copy_memory(srgb);
        g_object_unref(srgb);
        srgb = whole;
        ok = srgb != nullptr;
    }
    if (ok) {
        if (vips_image_hasalpha(srgb)) {
            VipsImage* a = nullptr;
            VipsImage* a8 = nullptr;
            if (vips_extract_band(srgb, &a, srgb->Bands - 1, nullptr) == 0
                && vips_cast(a, &a8, VIPS_FORMAT_UCHAR, nullptr) == 0) {
                size_t size = 0;
                if (void* mem = vips_image_write_to_memory(a8, &size)) {
                    const auto* p = static_cast<const uint8_t*>(mem);
                    out.alpha.assign(p, p + size);
                    g_free(mem);
                }
            }
            for (VipsImage* v : { a, a8 })
                if (v)
                    g_object_unref(v);
            ok = vips_flatten(srgb, &flat, nullptr) == 0;
        } else {
            flat = srgb;
            g_object_ref(flat);
        }
    }
    if (ok)
        ok = vips_cast(flat, &rgb, VIPS_FORMAT_UCHAR, nullptr) == 0;
    if (ok && rgb->Bands >= 3) {
        size_t size = 0;
        void* mem = vips_image_write_to_memory(rgb, &size);
        if (mem) {
            const size_t n = size_t(out.width) * size_t(out.height);
            out.rgb.resize(n * 3);
            const auto* p = static_cast<const uint8_t*>(mem);
            const int bands = rgb->Bands;
            for (size_t i = 0; i < n; ++i)
                std::memcpy(&out.rgb[i * 3], p + i * size_t(bands), 3);
            g_free(mem);
        } else {
            ok = false;
        }
    } else {
        ok = false;
    }
    for (VipsImage* v : { rgb, flat, srgb, im })
        if (v)
            g_object_unref(v);
    if (!ok) {
        vips_error_clear();
        return std::nullopt;
    }
    return out;
}

} // namespace e2e
