// A destination written whole or not at all: an exclusively created file in its folder, renamed onto it.
#pragma once
#include <cstddef>
#include <filesystem>
#include <string>

namespace platform {

class OutputFile {
public:
    OutputFile() = default;
    // Removes the temporary file unless it was committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates a new file under a random hidden name in dest's folder (O_EXCL, O_NOFOLLOW, mode from the
    // umask), so nothing planted under a name of ours is ever written through. False with `error` set.
    // With `replace`, commit replaces a file already at dest (the rename swaps the name, never writes through).
    bool open(const std::filesystem::path& dest, std::string& error, bool replace = false);
    // The descriptor of the temporary file; -1 when not open.
    int fd() const { return fd_; }
    bool write(const void* data, size_t size, std::string& error);
    // Closes the file and renames it onto dest, never replacing a dest that appeared meanwhile (unless open
    // was asked to replace).
    bool commit(std::string& error);
    // Closes and removes the temporary file.
    void discard();

private:
    int dir_ = -1;
    int fd_ = -1;
    std::string temp_name_;
    std::string dest_name_;
    bool replace_ = false;
};

} // namespace platform
