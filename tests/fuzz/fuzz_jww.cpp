// Fuzz target of the ".jww" and ".jws" readers: file check, whole load, image inflation and clean-up, all
// in a private folder. Each reader checks its own magic, so one input exercises whichever it matches.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "platform/Cp932.h"

namespace {

struct Folder {
    std::filesystem::path root;
    std::filesystem::path images;
    Folder()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "fuzz_jww-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            std::abort();
        root = tmpl;
        images = root / "img";
        std::filesystem::create_directory(images);
    }
    ~Folder()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Folder folder;
    std::filesystem::path file = folder.root / "in.jww";
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    TJwwData jw;
    jw.BindImageFolder = platform::utf8_to_utf16(folder.images.string() + "/");
    jw.BindImageExp = jw.BindImageExr = true;
    std::u16string path = platform::utf8_to_utf16(file.string());
    if (jw.FileCheck(path) && jw.FileIn(path))
        jw.BindImageExplode();
    jw.BindImageDeleteGzFile();
    jw.BindImageDeleteNonGzFile();
    TJwsData jws;
    if (jws.FileCheck(path))
        jws.FileIn(path);
    // Every file the reader made must be gone again.
    if (!std::filesystem::is_empty(folder.images))
        __builtin_trap();
    return 0;
}
