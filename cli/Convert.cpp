// Planning outputs, and one conversion through TForm1 with standard streams and foreign names staged.
#include "cli/Convert.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <set>

#include "app/DocumentType.h"
#include "app/RunFolder.h"
#include "app/Unit1.h"
#include "platform/Cp932.h"
#include "platform/OutputFile.h"
#include "platform/OutputFormat.h"
#include "platform/TextFile.h"
#include "util/Func_2.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

std::string lower_extension(const std::string& name)
{
    std::string e = fs::path(name).extension().native();
    for (char& c : e)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return e.empty() ? e : e.substr(1);
}

// The names of a --files-from list: lines (a CR before the LF is part of the name) or NUL-separated.
bool read_list(const std::string& from, bool nul, std::vector<std::string>& names, std::string& error)
{
    std::ifstream file;
    std::istream* in = &std::cin;
    if (from != "-") {
        file.open(from, std::ios::binary);
        if (!file) {
            error = from + ": cannot read the list of sources: " + std::strerror(errno);
            return false;
        }
        in = &file;
    }
    std::string name;
    while (std::getline(*in, name, nul ? '\0' : '\n'))
        if (!name.empty())
            names.push_back(std::move(name));
    return true;
}

bool copy_fd(int in, int out, std::string& error)
{
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (n == 0)
            return true;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buf + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                error = std::strerror(w < 0 ? errno : ENOSPC);
                return false;
            }
            done += w;
        }
    }
}

// The staged image to where it was asked for: standard output, or a file replaced whole.
bool deliver(const std::u16string& staged, const std::string& output, std::string& error)
{
    const int in = ::open(platform::fs_path(staged).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = false;
    if (output == "-") {
        ok = copy_fd(in, STDOUT_FILENO, error);
    } else {
        platform::OutputFile out;
        ok = out.open(fs::path(output), error, true) && copy_fd(in, out.fd(), error) && out.commit(error);
    }
    ::close(in);
    return ok;
}

void replace_all(std::string& s, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

} // namespace

// Standard input into a file of the private folder, named with the extension its content calls for.
std::u16string stage_stdin(const std::u16string& folder, std::string& error)
{
    const std::u16string raw = folder + u"stdin";
    const int fd = ::open(platform::fs_path(raw).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = std::strerror(errno);
        return {};
    }
    const bool ok = copy_fd(STDIN_FILENO, fd, error);
    if (::close(fd) != 0 && ok)
        error = std::strerror(errno);
    if (!ok || !error.empty())
        return {};
    const DocumentType* type = document_type_of_content(raw);
    if (!type) {
        error = "not a drawing this program reads (" + document_extensions() + ")";
        return {};
    }
    const std::u16string named = raw + std::u16string(type->ext);
    if (std::rename(platform::fs_path(raw).c_str(), platform::fs_path(named).c_str()) != 0) {
        error = std::strerror(errno);
        return {};
    }
    return named;
}

std::u16string executable_folder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::u16string(u".") : platform::from_fs_path(exe.parent_path());
}

bool plan_conversions(const ConvertRequest& r, Plan& plan, std::string& error)
{
    std::vector<std::string> sources = r.sources;
    if (!r.files_from.empty() && !read_list(r.files_from, r.null_separated, sources, error))
        return false;
    if (sources.empty()) {
        error = "no drawing given";
        return false;
    }
    const bool stdin_source = std::find(sources.begin(), sources.end(), "-") != sources.end();
    if (stdin_source && (sources.size() > 1 || r.files_from == "-")) {
        error = "standard input (-) can be the only source";
        return false;
    }
    const bool to_stdout = r.output == "-" || (r.output.empty() && stdin_source);
    std::error_code ec;
    const bool to_folder = !to_stdout && !r.output.empty()
        && (r.output.back() == '/' || fs::is_directory(r.output, ec));
    const bool to_file = !to_stdout && !to_folder && !r.output.empty();
    if ((to_stdout || to_file) && sources.size() > 1) {
        error = "several sources need -o DIR (or no -o), not one file";
        return false;
    }
    if (stdin_source && to_folder) {
        error = "standard input has no name to give its image: use -o FILE or -o -";
        return false;
    }
    plan.format = r.format;
    if (to_file) {
        const std::string ext = lower_extension(r.output);
        if (plan.format.empty())
            plan.format = ext;
        if (plan.format.empty()) {
            error = r.output + ": no extension to tell the format: add one or give -f";
            return false;
        }
        if (ext != plan.format) {
            error = r.output + ": its extension does not name the " + plan.format + " format";
            return false;
        }
    }
    if (plan.format.empty())
        plan.format = "png";
    const auto format = platform::output_format(fs::path("image." + plan.format));
    if (!format) {
        error = plan.format + ": not an image format this program writes";
        return false;
    }
    if (r.settings.transparent && !format->alpha) {
        error = "the " + plan.format + " format has no transparency: use png, tif, webp, gif, pdf or svg";
        return false;
    }
    if (to_folder && !fs::is_directory(r.output, ec) && !fs::create_directories(r.output, ec)) {
        error = r.output + ": cannot make the folder: " + ec.message();
        return false;
    }
    std::set<std::string> taken;
    for (const std::string& src : sources) {
        Job job { src, to_stdout ? "-" : r.output, {} };
        if (!to_stdout && (to_folder || r.output.empty())) {
            const fs::path p(src);
            const fs::path name = p.stem().native() + "." + plan.format;
            job.output = (to_folder ? fs::path(r.output) / name : p.parent_path() / name).native();
        }
        if (!to_stdout && !taken.insert(fs::path(job.output).lexically_normal().native()).second)
            job.refusal = src + ": skipped: " + job.output + " is already the image of another source";
        plan.jobs.push_back(std::move(job));
    }
    return true;
}

int convert_one(const Job& job, const std::string& format, const detail::RunSettings& settings, int err_fd)
{
    auto fail = [&](int code, const std::string& line) {
        ::dprintf(err_fd, "drawconv: %s\n", line.c_str());
        return code;
    };
    if (!job.refusal.empty())
        return fail(int(RunOutcome::Output), job.refusal);
    const bool from_stdin = job.source == "-";
    const bool to_stdout = job.output == "-";
    const bool staged = to_stdout || lower_extension(job.output) != format;
    if (to_stdout && ::isatty(STDOUT_FILENO))
        return fail(int(RunOutcome::Usage), "will not write an image to a terminal: give -o FILE or a pipe");
    detail::RunFolder stage;
    std::u16string folder;
    if (from_stdin || staged) {
        folder = stage.make(u"");
        if (folder.empty())
            return fail(int(RunOutcome::Output), "cannot make a private temporary folder");
    }
    std::u16string src = platform::path_from_bytes(job.source);
    if (from_stdin) {
        std::string error;
        src = stage_stdin(folder, error);
        if (src.empty())
            return fail(int(RunOutcome::Source), "-: " + error);
    }
    const std::u16string dst = platform::path_from_bytes(job.output);
    if (staged && !to_stdout) {
        if (const std::string why = detail::destination_refusal(src, dst); !why.empty())
            return fail(int(RunOutcome::Output), job.output + ": " + why);
    }
    const std::u16string target = staged ? folder + u"image." + platform::utf8_to_utf16(format) : dst;
    TForm1 form;
    try {
        form.FormCreate({ u"drawconv", src, target }, executable_folder(), settings);
        form.convert(src, target);
    } catch (const std::bad_alloc&) {
        form.out_of_memory();
    }
    form.FormClose();
    int code = int(form.outcome());
    std::string message = form.message();
    if (staged && IsFile(target)) {
        std::string error;
        if (!deliver(target, job.output, error)) {
            code = int(RunOutcome::Output);
            message = (to_stdout ? std::string("standard output") : job.output) + ": cannot write the image: " + error;
        }
    }
    if (code == 0)
        return 0;
    replace_all(message, platform::path_to_bytes(target), to_stdout ? "standard output" : job.output);
    if (from_stdin)
        replace_all(message, platform::path_to_bytes(src), "-");
    return fail(code, message);
}

} // namespace cli
