// The run's private folder, made and removed relative to descriptors so that links planted on the way are
// never followed.
#include "app/RunFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/TextFile.h"
#include "util/Func_2.h"

namespace detail {

namespace {

constexpr int kAttempts = 16;
// Nested folders deeper than this are not ours: the run makes none.
constexpr int kMaxDepth = 16;

std::string random_leaf()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char r[10] = {};
    if (getrandom(r, sizeof r, 0) != ssize_t(sizeof r)) {
        for (unsigned char& c : r)
            c = static_cast<unsigned char>(std::rand());
    }
    std::string leaf = "run";
    for (unsigned char c : r)
        leaf += kLetters[c % (sizeof kLetters - 1)];
    return leaf;
}

// A new folder with a random name inside the folder open at `dir`; its name, or empty.
std::string make_inside(int dir)
{
    for (int i = 0; i < kAttempts; ++i) {
        std::string leaf = random_leaf();
        if (::mkdirat(dir, leaf.c_str(), 0700) == 0)
            return leaf;
        if (errno != EEXIST)
            break;
    }
    return {};
}

// Empties the folder open at `fd`, descending into folders and never following links.
void empty_folder(int fd, int depth)
{
    const int dup = ::dup(fd);
    if (dup < 0)
        return;
    DIR* d = ::fdopendir(dup);
    if (!d) {
        ::close(dup);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..")
            names.push_back(n);
    }
    ::closedir(d);
    for (const std::string& n : names) {
        if (::unlinkat(fd, n.c_str(), 0) == 0 || errno != EISDIR)
            continue;
        if (depth >= kMaxDepth)
            continue;
        const int sub = ::openat(fd, n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0)
            continue;
        empty_folder(sub, depth + 1);
        ::close(sub);
        ::unlinkat(fd, n.c_str(), AT_REMOVEDIR);
    }
}

} // namespace

std::u16string RunFolder::make(const std::u16string& temp)
{
    remove();
    temp_ = temp;
    std::string parent = temp.empty() ? std::string() : platform::fs_path(temp).native();
    if (!parent.empty())
        ::mkdir(parent.c_str(), 0777);
    int dir = parent.empty() ? -1 : ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    std::string leaf = dir >= 0 ? make_inside(dir) : std::string();
    if (leaf.empty()) {
        if (dir >= 0)
            ::close(dir);
        temp_.clear();
        std::error_code ec;
        parent = std::filesystem::temp_directory_path(ec).native();
        if (ec)
            parent = "/tmp";
        dir = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        leaf = dir >= 0 ? make_inside(dir) : std::string();
    }
    if (leaf.empty()) {
        if (dir >= 0)
            ::close(dir);
        return {};
    }
    fd_ = ::openat(dir, leaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    ::close(dir);
    struct stat st { };
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        remove();
        return {};
    }
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    native_ = (std::filesystem::path(parent) / leaf).native();
    path_ = AddPathDelim(platform::from_fs_path(native_));
    return path_;
}

void RunFolder::remove()
{
    if (fd_ >= 0) {
        empty_folder(fd_, 0);
        ::close(fd_);
        fd_ = -1;
        // Only the folder we made: a link or another folder put in its place stays.
        struct stat st { };
        if (::lstat(native_.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == dev_ && st.st_ino == ino_)
            ::rmdir(native_.c_str());
    }
    native_.clear();
    path_.clear();
    if (!temp_.empty()) {
        // rmdir never follows a link and never removes a folder that holds anything.
        ::rmdir(platform::fs_path(temp_).c_str());
        temp_.clear();
    }
}

} // namespace detail
