// Program entry: one form, one conversion, an exit status and at most one line on stderr.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "platform/Cp932.h"
#include "platform/TextFile.h"

namespace {

// Libraries that print on their own (fontconfig, codecs) would add lines to the one the parent reads: they
// write to /dev/null, and the run's own line goes to the real stderr. Sanitizer reports keep stderr.
int quiet_stderr()
{
#if defined(__SANITIZE_ADDRESS__)
    return STDERR_FILENO;
#else
    const int saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved < 0 || null < 0) {
        if (saved >= 0)
            ::close(saved);
        if (null >= 0)
            ::close(null);
        return STDERR_FILENO;
    }
    ::dup2(null, STDERR_FILENO);
    ::close(null);
    return saved;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    const int err = quiet_stderr();
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv[0], ec);
    TForm1 form;
    try {
        // File names as given, byte for byte; argument 0 is the executable's own path, as the log shows it.
        std::vector<std::u16string> args;
        for (int i = 0; i < argc; ++i)
            args.push_back(i == 0 ? platform::from_fs_path(exe) : platform::path_from_bytes(argv[i]));
        form.FormCreate(args, platform::from_fs_path(exe.parent_path()));
        form.FormShow();
    } catch (const std::bad_alloc&) {
        form.out_of_memory();
    }
    form.FormClose();
    if (form.outcome() != RunOutcome::Converted)
        ::dprintf(err, "torvanesub: %s\n", form.message().c_str());
    return int(form.outcome());
}
