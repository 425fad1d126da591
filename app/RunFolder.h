// This run's private folder for extracted and copied images: made with a random name, removed without
// following links.
#pragma once
#include <string>
#include <sys/types.h>

namespace detail {

class RunFolder {
public:
    RunFolder() = default;
    ~RunFolder() { remove(); }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // Makes `temp`/runXXXXXX (mode 0700), making `temp` when missing; when `temp` is a link, not a folder or
    // not writable, or empty, a private folder under the system's temporary directory serves. Returns the
    // folder with a trailing separator, empty when none could be made.
    std::u16string make(const std::u16string& temp);
    // Removes the folder and everything in it, never following a link and never touching a folder that took
    // its name meanwhile; then `temp` when it is empty and not a link.
    void remove();
    const std::u16string& path() const { return path_; }

private:
    int fd_ = -1;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    std::string native_; // the folder, without trailing separator
    std::u16string path_;
    std::u16string temp_;
};

} // namespace detail
