// Program entry: one form, one conversion, an exit status and at most one line on stderr.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "app/QuietStderr.h"
#include "app/Unit1.h"
#include "platform/Cp932.h"
#include "platform/TextFile.h"

namespace {

constexpr const char* kHelp = R"(usage: torvanesub ARG1 ARG2 SOURCE DEST
       torvanesub --help | --version

Converts the drawing SOURCE (.jww .jws .jwc .jwk .m7) into the image DEST, whose extension picks the
format (.png .jpg .bmp .gif .tif .webp ...). ARG1 and ARG2 belong to the calling application and are not
used. The size comes from Torvane.dat beside the executable: line 16 is the resolution choice (0 = the
pixels of lines 17 and 18; 1..18 = 36, 72, 100, 120, 144, 160, 200, 240, 300, 360, 400, 480, 600, 720,
800, 960, 1000, 1200 dpi over the drawing's paper), lines 17 and 18 the width and height in pixels.
An existing DEST is deleted and not recreated.

Exit status: 0 converted, 2 usage or no Torvane.dat, 3 source missing or unreadable, 4 output not written.
For people, drawconv converts many files with options instead of Torvane.dat. See torvanesub(1).
)";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("torvanesub %s\n", TORVANE_VERSION);
        return 0;
    }
    const int err = detail::quiet_stderr();
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
