// The exclusively created temporary beside a destination and its rename into place.
#include "platform/OutputFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr int kAttempts = 16;

// ".tv" and 16 random letters: short enough beside any name the file system accepts, and not guessable.
std::string random_name()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char r[16];
    size_t got = 0;
    while (got < sizeof r) {
        const ssize_t n = getrandom(r + got, sizeof r - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    std::string name = ".tv";
    for (unsigned char c : r)
        name += kLetters[c % (sizeof kLetters - 1)];
    return name + ".tmp";
}

std::string errno_text(int e) { return std::strerror(e); }

} // namespace

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::filesystem::path& dest, std::string& error, bool replace)
{
    discard();
    replace_ = replace;
    dest_name_ = dest.filename().native();
    if (dest_name_.empty() || dest_name_ == "." || dest_name_ == "..") {
        error = "not a file name";
        return false;
    }
    const std::filesystem::path folder = dest.has_parent_path() ? dest.parent_path() : std::filesystem::path(".");
    dir_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_ < 0) {
        error = errno_text(errno);
        return false;
    }
    for (int i = 0; i < kAttempts; ++i) {
        std::string name = random_name();
        fd_ = ::openat(dir_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_name_ = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    error = errno_text(errno);
    ::close(dir_);
    dir_ = -1;
    return false;
}

bool OutputFile::write(const void* data, size_t size, std::string& error)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = errno_text(n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool OutputFile::commit(std::string& error)
{
    if (fd_ < 0) {
        error = "not open";
        return false;
    }
    // Close reports delayed write errors (a full disk on some file systems).
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        error = errno_text(errno);
        discard();
        return false;
    }
    int rc = replace_ ? ::renameat(dir_, temp_name_.c_str(), dir_, dest_name_.c_str())
                      : ::renameat2(dir_, temp_name_.c_str(), dir_, dest_name_.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && !replace_ && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without no-replace renames: a hard link fails the same way on an existing name.
        rc = ::linkat(dir_, temp_name_.c_str(), dir_, dest_name_.c_str(), 0);
        if (rc == 0) {
            ::unlinkat(dir_, temp_name_.c_str(), 0);
        } else if (errno == EPERM || errno == EOPNOTSUPP) {
            // Nor hard links (FAT): look, then rename.
            struct stat st { };
            if (::fstatat(dir_, dest_name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
                errno = EEXIST;
            else
                rc = ::renameat(dir_, temp_name_.c_str(), dir_, dest_name_.c_str());
        }
    }
    if (rc != 0) {
        error = errno == EEXIST ? std::string("a file of that name appeared meanwhile") : errno_text(errno);
        discard();
        return false;
    }
    temp_name_.clear();
    ::close(dir_);
    dir_ = -1;
    return true;
}

void OutputFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (dir_ >= 0) {
        if (!temp_name_.empty())
            ::unlinkat(dir_, temp_name_.c_str(), 0);
        ::close(dir_);
    }
    dir_ = -1;
    temp_name_.clear();
}

} // namespace platform
