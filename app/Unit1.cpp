// Run sequence of one conversion: start-up, validation, the destination rule, dispatch, save, teardown.
#include "app/Unit1.h"

#include <sys/stat.h>

#include <cmath>
#include <new>
#include <optional>

#include "app/DocumentType.h"
#include "app/UnitVal_driver.h"
#include "platform/Cp932.h"
#include "platform/ImageSave.h"
#include "platform/OutputFormat.h"
#include "platform/ProcessStart.h"
#include "platform/RasterWrite.h"
#include "platform/TextFile.h"
#include "util/Func_2.h"

namespace {

const char16_t* const kSettingsName = u"Torvane.dat";

bool same_file(const std::u16string& a, const std::u16string& b)
{
    struct stat sa { };
    struct stat sb { };
    return ::stat(detail::native_path(a).c_str(), &sa) == 0 && ::stat(detail::native_path(b).c_str(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Something of that name, whatever it is, a dangling link included.
bool name_taken(const std::u16string& path)
{
    struct stat st { };
    return !path.empty() && ::lstat(detail::native_path(path).c_str(), &st) == 0;
}

// A pixel count as asked for, however large: 12000, 1e+300.
std::string pixels_text(double v)
{
    if (std::isfinite(v) && std::fabs(v) < 1e15)
        return std::to_string(int64_t(v));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

} // namespace

std::string detail::destination_refusal(const std::u16string& src, const std::u16string& dst)
{
    if (name_taken(dst) && !IsFile(dst))
        return "not a regular file: left as it is";
    if (same_file(src, dst))
        return "is the source drawing: left as it is";
    return {};
}

TForm1::TForm1() = default;

TForm1::~TForm1() = default;

void TForm1::fail(RunOutcome o, const std::u16string& file, const std::string& message)
{
    if (outcome_ != RunOutcome::Converted)
        return;
    outcome_ = o;
    message_ = file.empty() ? message : platform::path_to_bytes(file) + ": " + message;
}

void TForm1::out_of_memory()
{
    fail(stage_, stage_file_,
        stage_ == RunOutcome::Source ? "out of memory while reading the drawing" : "out of memory");
}

void TForm1::FormCreate(
    const std::vector<std::u16string>& args, const std::u16string& exe_folder, const detail::RunSettings& settings)
{
    args_ = args;
    settings_ = settings;
    platform::start_process();
    AppPath = AddPathDelim(exe_folder);
    gAppPath = AppPath;
    if (settings_.size == detail::SizeRule::Settings)
        LoadSettings(AppPath + kSettingsName);
    Memo1 = args_;
    gGraph = nullptr;
    gGraph2 = nullptr;
    Image1.reset(0, 0);
    create_documents();
    JwInit();
    gDispWidth = 100;
    gDispHeight = 100;
    gDispScale = 1.0;
    gDispX1 = 0;
    gDispY1 = 0;
    gDispX2 = gDispWidth / gDispScale;
    gDispY2 = gDispHeight / gDispScale;
    gMinX = 0;
    gMinY = 0;
    gMaxX = 400;
    gMaxY = 400;
    papx = 400;
    papy = 400;
    gFilePath.clear();
    gDrawTitle.clear();
    gFileDate = now();
    gLayerScale = 1.0;
    gPrtBairitsu = 1.0;
}

// An existing DEST is deleted and the run stops, as the parent expects; but never the drawing itself, nor a
// file that is not an image of ours (arguments swapped, a typing slip): those are kept and named.
bool TForm1::clear_destination(const std::u16string& src, const std::u16string& dst)
{
    if (!name_taken(dst))
        return true;
    if (const std::string why = detail::destination_refusal(src, dst); !why.empty()) {
        fail(RunOutcome::Output, dst, why);
        return false;
    }
    if (!platform::output_format(platform::fs_path(dst))) {
        fail(RunOutcome::Output, dst, "not an image format this program writes: left as it is");
        return false;
    }
    EraseFile(dst);
    fail(RunOutcome::Output, dst, "existed: deleted, not recreated");
    return false;
}

void TForm1::FormShow()
{
    if (args_.size() != 5) {
        fail(RunOutcome::Usage, u"", "usage: torvanesub ARG1 ARG2 SOURCE DEST");
        return;
    }
    const std::u16string src = args_[3];
    const std::u16string dst = args_[4];
    const bool settings = IsFile(AppPath + kSettingsName);
    const bool source = IsFile(src);
    if (!settings)
        fail(RunOutcome::Usage, AppPath + kSettingsName, "settings file not found");
    if (!source)
        fail(RunOutcome::Source, src, "source drawing not found");
    const bool fresh = clear_destination(src, dst);
    if (settings && source && fresh)
        Proc(src, dst);
}

void TForm1::convert(const std::u16string& src, const std::u16string& dst)
{
    if (!IsFile(src)) {
        fail(RunOutcome::Source, src, "source drawing not found");
        return;
    }
    if (const std::string why = detail::destination_refusal(src, dst); !why.empty()) {
        fail(RunOutcome::Output, dst, why);
        return;
    }
    Proc(src, dst);
}

void TForm1::FormClose()
{
    free_renderers();
    free_documents();
    JwFine();
}

void TForm1::Proc(const std::u16string& src, const std::u16string& dst)
{
    if (!IsFile(src)) {
        fail(RunOutcome::Source, src, "source drawing not found");
        return;
    }
    const DocumentType* type = document_type_of_path(src);
    if (!type) {
        fail(RunOutcome::Source, src, "not a drawing this program reads (" + document_extensions() + ")");
        return;
    }
    const std::optional<platform::OutputFormat> format = platform::output_format(platform::fs_path(dst));
    if (!format) {
        fail(RunOutcome::Output, dst, "not an image format this program writes");
        return;
    }
    stage_ = RunOutcome::Source;
    stage_file_ = src;
    loaded_ = (this->*type->load)(src);
    stage_ = RunOutcome::Output;
    stage_file_ = dst;
    double sx = 0;
    double sy = 0;
    output_size(type->t, sx, sy);
    const bool vector = format->writer == platform::OutputWriter::Vector;
    if (vector)
        keep_paper_shape(type->t, sx, sy);
    // The format's limits and the pixel budget, before anything is drawn.
    if (std::string too_large = platform::raster_size_problem(*format, sx, sy); !too_large.empty()) {
        fail(RunOutcome::Output, dst, too_large);
        return;
    }
    dispSub(type->t, sx, sy);
    if (!bitmap_ok_) {
        fail(RunOutcome::Output, dst, "image of " + pixels_text(sx) + " x " + pixels_text(sy) + " pixels is too large");
        return;
    }
    if (!Image1.complete()) {
        out_of_memory();
        return;
    }
    std::string error;
    platform::SaveOptions save = settings_.save_options();
    if (vector)
        save.page = vector_page(type->t, src);
    if (!platform::save_display_list(Image1, platform::fs_path(dst), error, save)) {
        fail(RunOutcome::Output, dst, "cannot write the image: " + error);
        return;
    }
    if (!loaded_)
        fail(RunOutcome::Source, src, "not a readable drawing: the image holds only what could be read");
}
