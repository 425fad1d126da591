// Program entry: one form, one conversion, an exit status and at most one line on stderr.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "platform/Cp932.h"
#include "platform/TextFile.h"

int main(int argc, char** argv)
{
    std::vector<std::u16string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(platform::utf8_to_utf16(argv[i]));
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv[0], ec);
    // Argument 0 is the executable's own path, as the log shows it.
    if (!args.empty())
        args[0] = platform::from_fs_path(exe);
    TForm1 form;
    form.FormCreate(args, platform::from_fs_path(exe.parent_path()));
    form.FormShow();
    form.FormClose();
    if (form.outcome() != RunOutcome::Converted)
        std::fprintf(stderr, "torvanesub: %s\n", form.message().c_str());
    return int(form.outcome());
}
