// Library output (fontconfig, codecs) to /dev/null; the process keeps a descriptor of the real stderr.
#include "app/QuietStderr.h"

#include <fcntl.h>
#include <unistd.h>

namespace detail {

int quiet_stderr()
{
#if defined(__SANITIZE_ADDRESS__)
    return STDERR_FILENO;
#else
    const int saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved < 0 || null < 0) {
        if (saved >= 0)
            ::close(saved);
        if (null >= 0)
            ::close(null);
        return STDERR_FILENO;
    }
    ::dup2(null, STDERR_FILENO);
    ::close(null);
    return saved;
#endif
}

} // namespace detail
