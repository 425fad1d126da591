// A private temporary folder for one test, removed with everything in it.
#pragma once
#include <filesystem>
#include <string>

namespace jwwtest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path / name as a UTF-16 string, the form the document operations take.
    std::u16string file(const std::string& name) const;
    // The folder with a trailing separator, as BindImageFolder wants it.
    std::u16string folder() const;
    // Names of the entries directly inside the folder, sorted.
    std::string listing() const;

private:
    std::filesystem::path path_;
};

} // namespace jwwtest
