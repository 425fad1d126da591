// The headless main form: command line, settings, one conversion, teardown.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/RunFolder.h"
#include "app/RunSettings.h"
#include "platform/DisplayList.h"
#include "platform/VectorWrite.h"
#include "util/PaperSize.h"

class TM7Data;
class TJwwData;
class TJwsData;
class TJwcData;
class TJwkData;

// The current local date and time.
double now();

namespace detail {
// Why an image of src may not replace dst, or empty when it may: dst is not a regular file, or is src itself.
std::string destination_refusal(const std::u16string& src, const std::u16string& dst);
} // namespace detail

// How the run ended, for the exit status; the files left behind do not depend on it.
enum class RunOutcome {
    Converted = 0,
    Usage = 2,
    Source = 3,
    Output = 4,
};

class TForm1 {
public:
    TForm1();
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Argument log: the executable path, then every argument.
    std::vector<std::u16string> Memo1;
    // The drawing surface that is saved.
    // The drawing surface that is saved: the renderers' calls, drawn into pixels band by band as the image is
    // written.
    platform::DisplayList Image1 { 0, 0 };
    std::u16string AppPath;
    std::u16string gstyle;
    int Fm1x = 50, Fm1y = 50, Fm1w = 480, Fm1h = 480;
    int Fidx = 1;
    bool rb1 = true, rb2 = false, rb3 = false, rb4 = false, rb5 = false;
    std::u16string ed1, lb1, lb2;
    int cb2 = 0, cb3 = 0, cb4 = 0;
    std::u16string ed2, ed3;
    TM7Data* M7 = nullptr;
    TJwwData* JWW1 = nullptr;
    TJwsData* JWS = nullptr;
    TJwcData* JWC = nullptr;
    TJwkData* JWK = nullptr;
    double papx = 400;
    double papy = 400;

    // Arguments as the process got them (file names decoded with platform::path_from_bytes), argument 0
    // being the executable's own path. With default settings Torvane.dat steers the run; settings of
    // another size rule come from the caller and the file is not read.
    void FormCreate(const std::vector<std::u16string>& args, const std::u16string& exe_folder,
        const detail::RunSettings& settings = {});
    void FormShow();
    void FormClose();
    void Proc(const std::u16string& src, const std::u16string& dst);
    // One conversion for a person (drawconv): an existing destination is replaced, unless it is the source
    // itself or not a regular file.
    void convert(const std::u16string& src, const std::u16string& dst);

    bool proc1(const std::u16string& fn);
    bool proc2(const std::u16string& fn);
    bool proc3(const std::u16string& fn);
    bool proc4(const std::u16string& fn);
    bool proc5(const std::u16string& fn);

    void GetDotSize(int tp, double& sx, double& sy);
    // The output size the run settings ask for; GetDotSize when they defer to the settings file.
    void output_size(int tp, double& sx, double& sy);
    // A vector page is the paper itself: the pixels that lay the drawing out take the paper's shape, inside
    // the size asked for. Symbols, which have no paper, keep the size.
    void keep_paper_shape(int tp, double& sx, double& sy) const;
    // The page of a vector document: the paper in millimetres, or for symbols the pixels at 96 dpi; the title
    // the drawing gives, else the source's file name.
    platform::VectorPage vector_page(int tp, const std::u16string& src) const;
    void dispSub(int t, double x, double y);
    void dispDraw(int JWtype);

    void JwInit();
    void JwFine();
    void JwwDataFree(TJwwData* JW);
    void JwwFileColorSet(TJwwData* JW);
    void JwwFileLtypeSet(TJwwData* JW);
    void JwcFileColorSet();
    void JwcFileLtypeSet();
    void JwsFileColorSet();
    void JwsFileLtypeSet();
    void GetRefFileName();
    void RefFileOpen();

    RunOutcome outcome() const { return outcome_; }
    // One line for stderr, naming the file it is about; empty after a conversion.
    const std::string& message() const { return message_; }
    const detail::RunSettings& settings() const { return settings_; }
    // Ends the run as out of memory, at whatever stage it was.
    void out_of_memory();

private:
    void LoadSettings(const std::u16string& FileName);
    // Records the first failure; `file` (may be empty) is named as the command line gave it.
    void fail(RunOutcome o, const std::u16string& file, const std::string& message);
    // The destination rule: false when the run must stop because DEST exists.
    bool clear_destination(const std::u16string& src, const std::u16string& dst);
    void create_documents();
    void free_documents();
    void free_renderers();
    // Sizes Image1 to the view; false, with Image1 empty, when no picture of that size can exist.
    bool size_bitmap();
    void bind_jw_renderer();
    bool load_frame(const std::u16string& fn, const std::function<bool()>& file_in);
    void set_paper(const detail::PaperSize& p);
    // What the canvas is cleared to: the drawing's own background, or nothing when the output brings its own.
    uint32_t backdrop(uint32_t drawing_background) const;

    std::vector<std::u16string> args_;
    detail::RunSettings settings_;
    detail::RunFolder run_folder_;
    RunOutcome outcome_ = RunOutcome::Converted;
    std::string message_;
    // The stage the run is in, for the outcome of an allocation that fails.
    RunOutcome stage_ = RunOutcome::Usage;
    std::u16string stage_file_;
    bool loaded_ = false;
    bool bitmap_ok_ = true;
};
