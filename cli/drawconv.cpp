// Program entry of drawconv: convert drawings (one in this process, many in worker processes), info, thumbnail.
#include <unistd.h>

#include <cstdio>

#include "app/QuietStderr.h"
#include "cli/Batch.h"
#include "cli/Convert.h"
#include "cli/Info.h"
#include "cli/Options.h"

namespace {

int convert(const cli::ConvertRequest& r)
{
    cli::Plan plan;
    std::string error;
    if (!cli::plan_conversions(r, plan, error)) {
        std::fprintf(stderr, "drawconv: %s\n", error.c_str());
        return 2;
    }
    if (plan.jobs.size() == 1)
        return cli::convert_one(plan.jobs[0], plan.format, r.settings, detail::quiet_stderr());
    cli::BatchOptions o;
    o.jobs = r.jobs > 0 ? r.jobs : cli::processor_count();
    const bool terminal = ::isatty(STDERR_FILENO);
    o.progress = !r.quiet && (terminal || r.progress);
    o.progress_lines = o.progress && !terminal;
    o.summary = o.progress;
    o.worker_options = { "-f", plan.format };
    o.worker_options.insert(o.worker_options.end(), r.forwarded.begin(), r.forwarded.end());
    return cli::run_batch(plan.jobs, o);
}

int thumbnail(const cli::ThumbnailRequest& t)
{
    detail::RunSettings s;
    s.size = detail::SizeRule::Within;
    s.width = t.size;
    s.height = t.size;
    s.private_temp = true;
    s.replace = true;
    return cli::convert_one({ t.input, t.output, {} }, "png", s, detail::quiet_stderr());
}

} // namespace

int main(int argc, char** argv)
{
    const cli::Parsed p = cli::parse_command_line(argc, argv);
    switch (p.command) {
    case cli::Command::Convert: return convert(p.convert);
    case cli::Command::Info: return cli::run_info(p.info);
    case cli::Command::Thumbnail: return thumbnail(p.thumbnail);
    case cli::Command::Exit: break;
    }
    return p.exit_code;
}
