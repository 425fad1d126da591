// Program entry: one form, one conversion, an exit status and at most one line on stderr.
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "platform/Cp932.h"
#include "platform/TextFile.h"

int main(int argc, char** argv)
{
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
        std::fprintf(stderr, "torvanesub: %s\n", form.message().c_str());
    return int(form.outcome());
}
