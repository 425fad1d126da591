// Worker processes started from our own executable, their stderr gathered, and the progress line.
#include "cli/Batch.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "app/Unit1.h"

extern char** environ;

namespace cli {
namespace {

using Clock = std::chrono::steady_clock;

struct Worker {
    pid_t pid = -1;
    int err = -1; // read end of the worker's stderr
    size_t job = 0;
    std::string text; // what the worker wrote on stderr
};

std::string self_executable()
{
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("/proc/self/exe") : p.native();
}

// Starts a worker for one job; false with `error` set when no process could be made.
bool start(Worker& w, const std::string& exe, const Job& job, const BatchOptions& o, std::string& error)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    std::vector<std::string> args { exe, "--quiet" };
    args.insert(args.end(), o.worker_options.begin(), o.worker_options.end());
    args.push_back("--output=" + job.output);
    args.push_back("--");
    args.push_back(job.source);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&fa, fds[1], STDERR_FILENO);
    const int rc = ::posix_spawn(&w.pid, exe.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        error = std::strerror(rc);
        return false;
    }
    w.err = fds[0];
    w.text.clear();
    return true;
}

std::string clock_text(double seconds)
{
    const long s = long(seconds + 0.5);
    char buf[32];
    if (s >= 3600)
        std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
    return buf;
}

class Progress {
public:
    Progress(const BatchOptions& o, size_t total)
        : o_(o)
        , total_(total)
        , start_(Clock::now())
    {
    }

    // A line printed through the progress display (a failure).
    void print(const std::string& text)
    {
        clear();
        ::write(STDERR_FILENO, text.data(), text.size());
        drawn_ = false;
    }

    void update(size_t done, const std::string& current, bool force)
    {
        if (!o_.progress || (o_.progress_lines && !force))
            return;
        const auto now = Clock::now();
        if (!force && drawn_ && now - last_ < std::chrono::milliseconds(100))
            return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        std::string line = "[" + std::to_string(done) + "/" + std::to_string(total_) + "] ";
        line += done > 0 ? clock_text(elapsed / double(done) * double(total_ - done)) + " left" : "--:-- left";
        line += "  " + std::filesystem::path(current).filename().native();
        if (o_.progress_lines) {
            line += "\n";
        } else {
            // A line that wraps could not be redrawn in place.
            if (line.size() > 78)
                line.resize(78);
            line = "\r\033[K" + line;
        }
        ::write(STDERR_FILENO, line.data(), line.size());
        drawn_ = !o_.progress_lines;
    }

    void finish(size_t done, size_t failed)
    {
        clear();
        if (!o_.summary)
            return;
        const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
        const std::string line = std::to_string(done - failed) + " converted, " + std::to_string(failed)
            + " failed, in " + clock_text(elapsed) + "\n";
        ::write(STDERR_FILENO, line.data(), line.size());
    }

private:
    void clear()
    {
        if (drawn_)
            ::write(STDERR_FILENO, "\r\033[K", 4);
        drawn_ = false;
    }

    const BatchOptions& o_;
    size_t total_;
    Clock::time_point start_;
    Clock::time_point last_ {};
    bool drawn_ = false;
};

// The exit code of a finished worker, with the line to print for a crash.
int finish(Worker& w, const Job& job)
{
    int status = 0;
    while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) { }
    ::close(w.err);
    w.err = -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    w.text += "drawconv: " + job.source + ": the conversion crashed (signal " + std::to_string(WTERMSIG(status))
        + ")\n";
    return kCrashed;
}

} // namespace

unsigned processor_count()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return unsigned(CPU_COUNT(&set));
    const long n = ::sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? unsigned(n) : 1;
}

int run_batch(const std::vector<Job>& jobs, const BatchOptions& options)
{
    const std::string exe = self_executable();
    Progress progress(options, jobs.size());
    std::vector<Worker> running;
    size_t next = 0;
    size_t done = 0;
    size_t failed = 0;
    int worst = 0;
    auto record = [&](int code, const std::string& text) {
        ++done;
        if (code == 0)
            return;
        ++failed;
        worst = std::max(worst, code);
        if (!text.empty())
            progress.print(text.back() == '\n' ? text : text + "\n");
    };
    while (next < jobs.size() || !running.empty()) {
        while (next < jobs.size() && running.size() < std::max(options.jobs, 1u)) {
            const Job& job = jobs[next];
            Worker w;
            w.job = next++;
            std::string error;
            if (!job.refusal.empty()) {
                record(int(RunOutcome::Output), "drawconv: " + job.refusal);
                continue;
            }
            if (!start(w, exe, job, options, error)) {
                record(kCrashed, "drawconv: " + job.source + ": cannot start a conversion: " + error);
                continue;
            }
            progress.update(done, job.source, false);
            running.push_back(std::move(w));
        }
        if (running.empty())
            continue;
        std::vector<pollfd> fds;
        for (const Worker& w : running)
            fds.push_back({ w.err, POLLIN, 0 });
        if (::poll(fds.data(), fds.size(), 250) < 0 && errno != EINTR)
            break;
        for (size_t i = running.size(); i-- > 0;) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            Worker& w = running[i];
            char buf[4096];
            const ssize_t n = ::read(w.err, buf, sizeof buf);
            if (n > 0) {
                w.text.append(buf, size_t(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            const int code = finish(w, jobs[w.job]);
            const std::string current = jobs[w.job].source;
            record(code, w.text);
            running.erase(running.begin() + std::ptrdiff_t(i));
            progress.update(done, current, true);
        }
        if (!running.empty())
            progress.update(done, jobs[running.back().job].source, false);
    }
    progress.finish(done, failed);
    return worst;
}

} // namespace cli
