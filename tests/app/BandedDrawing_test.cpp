// Every example drawing, through the driver's own loading and drawing, replayed in bands gives the bytes
// of the same calls drawn straight onto one bitmap: every entity kind of every format, whatever crosses
// a band's edge.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "app/DocumentType.h"
#include "app/Unit1.h"
#include "platform/Cp932.h"
#include "platform/TextFile.h"
#include "tests/support/common_bands.h"
#include "tests/support/jwc_examples.h"
#include "tests/support/jww_examples.h"
#include "tests/support/m7_writer.h"

namespace {

namespace fs = std::filesystem;

struct Drawing {
    std::string name;
    std::string bytes;
};

std::vector<Drawing> drawings()
{
    std::vector<Drawing> all;
    for (auto& [name, bytes] : jwwtest::jww_example_files())
        all.push_back({ name, std::string(bytes.begin(), bytes.end()) });
    for (auto& [name, bytes] : test_jwc::jwc_example_files())
        all.push_back({ name, bytes });
    for (const m7w::Sample& s : m7w::samples())
        all.push_back({ s.name + ".m7", std::string(s.bytes.begin(), s.bytes.end()) });
    return all;
}

class BandedDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("torvane-bands-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
};

TEST_F(BandedDrawing, EveryExampleDrawsTheSameBytesInBandsAsWhole)
{
    const std::vector<Drawing> all = drawings();
    ASSERT_GE(all.size(), 6u);
    int compared = 0;
    for (const Drawing& d : all) {
        // 700 x 500 pixels whatever the paper: entities cross the edges of bands of 1, 7 and 64 rows.
        std::ofstream(dir / "Torvane.dat", std::ios::binary) << "50\r\n50\r\n480\r\n480\r\n1\r\n0\r\n0\r\n0\r\n0\r\n\r"
                                                                "\n\r\nx\r\n1\r\nWindows\r\n0\r\n0\r\n700\r\n500\r\n";
        std::ofstream(dir / d.name, std::ios::binary) << d.bytes;
        const std::u16string src = platform::from_fs_path(dir / d.name);
        const DocumentType* type = document_type(platform::utf8_to_utf16(fs::path(d.name).extension().string()));
        ASSERT_NE(type, nullptr) << d.name;
        TForm1 form;
        form.FormCreate({ u"/x/torvanesub", u"a", u"b", src, u"out.png" }, platform::from_fs_path(dir));
        (form.*type->load)(src);
        double sx = 0, sy = 0;
        form.GetDotSize(type->t, sx, sy);
        form.dispSub(type->t, sx, sy);
        if (form.Image1.drawing_calls() > 1) {
            ++compared;
            EXPECT_EQ(bandtest::bands_differ_from_whole(form.Image1), "") << d.name;
        }
        form.FormClose();
    }
    EXPECT_GE(compared, 6);
}

} // namespace
