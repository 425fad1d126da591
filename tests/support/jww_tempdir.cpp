// A private temporary folder for one test, removed with everything in it.
#include "tests/support/jww_tempdir.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "platform/Cp932.h"

namespace jwwtest {

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "jwwtest-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::u16string TempDir::file(const std::string& name) const { return platform::utf8_to_utf16((path_ / name).string()); }

std::u16string TempDir::folder() const { return platform::utf8_to_utf16(path_.string() + "/"); }

std::string TempDir::listing() const
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names)
        out += (out.empty() ? "" : " ") + n;
    return out;
}

} // namespace jwwtest
