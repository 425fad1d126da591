// drawconv info: the JSON of every example against its schema and against what the readers hold.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>

#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "formats/m7/M7Unit.h"
#include "platform/Cp932.h"
#include "tests/support/e2e_harness.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const fs::path kExamples = fs::path(TORVANE_SOURCE_DIR) / "examples";
const fs::path kSchema = fs::path(TORVANE_SOURCE_DIR) / "data" / "info.schema.json";

e2e::RunResult info(std::vector<std::string> args, const fs::path& cwd = kExamples, const std::string& input = {})
{
    args.insert(args.begin(), { TORVANE_DRAWCONV, "info" });
    return e2e::run_command(args, cwd, input);
}

// Validates JSON lines against the schema with the Draft 2020-12 validator of python3-jsonschema; returns
// its complaints, empty when every line is valid.
std::string schema_errors(const std::string& lines)
{
    static const char* const kCheck = R"(
import json, sys, jsonschema
schema = json.load(open(sys.argv[1]))
jsonschema.Draft202012Validator.check_schema(schema)
v = jsonschema.Draft202012Validator(schema)
bad = 0
for n, line in enumerate(sys.stdin, 1):
    for e in v.iter_errors(json.loads(line)):
        print(f"line {n}: {e.json_path}: {e.message}"); bad += 1
sys.exit(1 if bad else 0)
)";
    const auto r = e2e::run_command({ "/usr/bin/python3", "-c", kCheck, kSchema.string() }, kExamples, lines);
    return r.exit_code == 0 ? std::string() : r.out + r.err + " (exit " + std::to_string(r.exit_code) + ")";
}

Json one(const std::string& file)
{
    const auto r = info({ "--json", file });
    EXPECT_EQ(r.exit_code, 0) << file << ": " << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << "one line per file";
    return Json::parse(r.out);
}

std::u16string path16(const std::string& name) { return platform::path_from_bytes((kExamples / name).string()); }

TEST(Info, EveryExampleMatchesTheSchema)
{
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(kExamples))
        if (e.path().extension() != ".dat")
            files.push_back(e.path().filename().string());
    ASSERT_GE(files.size(), 6u);
    std::vector<std::string> args = { "--json" };
    args.insert(args.end(), files.begin(), files.end());
    const auto r = info(args);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), long(files.size()));
    EXPECT_EQ(schema_errors(r.out), "");
}

// Failures keep the shape: a file no reader takes, a missing one, one that is not what its name says.
TEST(Info, FailuresKeepTheShape)
{
    const fs::path dir = fs::temp_directory_path() / ("drawconv-info-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "bad.jww") << "not a drawing";
    std::ofstream(dir / "notes.txt") << "text";
    const auto r = info({ "--json", "bad.jww", "notes.txt", "absent.m7" }, dir);
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(schema_errors(r.out), "");
    std::vector<Json> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(Json::parse(line));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["format"], "jww");
    EXPECT_EQ(lines[0]["readable"], false);
    EXPECT_TRUE(lines[0]["error"].is_string());
    EXPECT_TRUE(lines[1]["format"].is_null());
    EXPECT_EQ(lines[2]["error"], "not found");
    fs::remove_all(dir);
}

TEST(Info, JwwAsTheReaderHoldsIt)
{
    TJwwData d;
    d.BindImageExr = true;
    ASSERT_TRUE(d.FileIn(path16("jww_sampler.jww")));
    const Json j = one("jww_sampler.jww");
    EXPECT_EQ(j["format"], "jww");
    EXPECT_EQ(j["version"], d.Enthd.jwVer);
    EXPECT_EQ(j["paper"]["code"], d.Enthd.nZumen);
    EXPECT_EQ(j["paper"]["width_mm"], 420);
    EXPECT_EQ(j["paper"]["height_mm"], 297);
    EXPECT_EQ(j["memo"], platform::utf16_to_utf8(d.Enthd.strMemo));
    const Json& e = j["entities"];
    EXPECT_EQ(e["line"], d.EntLineN);
    EXPECT_EQ(e["arc"], d.EntEnkoN);
    EXPECT_EQ(e["point"], d.EntTenN);
    EXPECT_EQ(int(e["text"]) + int(e["image"]), d.EntMojiN) << "image references are texts of the file";
    EXPECT_EQ(e["dimension"], d.EntSunpoN);
    EXPECT_EQ(e["solid"], d.EntSolidN);
    EXPECT_EQ(e["block_insert"], d.EntBlockN);
    ASSERT_EQ(j["blocks"]["definitions"].size(), size_t(d.EntBlockDefN));
    for (int i = 0; i < d.EntBlockDefN; ++i) {
        EXPECT_EQ(
            j["blocks"]["definitions"][size_t(i)]["name"], platform::utf16_to_utf8(d.EntBlockDef[size_t(i)].strName));
        EXPECT_EQ(j["blocks"]["definitions"][size_t(i)]["number"], uint32_t(d.EntBlockDef[size_t(i)].nNumber));
    }
    EXPECT_EQ(j["blocks"]["instances"], d.EntBlockTreeN);
    ASSERT_EQ(j["layer_groups"].size(), 16u);
    for (size_t g = 0; g < 16; ++g) {
        EXPECT_EQ(j["layer_groups"][g]["name"], platform::utf16_to_utf8(d.EntLgrp[g].aStrGLayName));
        EXPECT_EQ(j["layer_groups"][g]["scale"], d.EntLgrp[g].adScale);
        ASSERT_EQ(j["layer_groups"][g]["layers"].size(), 16u);
        for (size_t l = 0; l < 16; ++l)
            EXPECT_EQ(
                j["layer_groups"][g]["layers"][l]["name"], platform::utf16_to_utf8(d.EntLay[g * 16 + l].aStrLayName));
    }
    ASSERT_EQ(j["images"]["embedded"].size(), size_t(d.BindImageN));
    for (int i = 0; i < d.BindImageN; ++i) {
        EXPECT_EQ(j["images"]["embedded"][size_t(i)]["name"], platform::utf16_to_utf8(d.BindImage[size_t(i)].Fname));
        EXPECT_EQ(j["images"]["embedded"][size_t(i)]["bytes"], d.BindImage[size_t(i)].Fsize);
    }
    EXPECT_FALSE(j["fonts"].empty());
    EXPECT_FALSE(j["text_variables"].empty());
    EXPECT_LT(j["extents"]["min_x"], j["extents"]["max_x"]);
}

TEST(Info, OtherFormatsAsTheReadersHoldThem)
{
    TJwcData jwc;
    ASSERT_TRUE(jwc.FileIn(path16("jwc_sampler.jwc")));
    Json j = one("jwc_sampler.jwc");
    EXPECT_EQ(j["entities"]["line"], jwc.lineN);
    EXPECT_EQ(j["entities"]["arc"], jwc.arcN);
    EXPECT_EQ(j["entities"]["text"], jwc.mojiN);
    EXPECT_EQ(j["entities"]["point"], jwc.tenN);
    EXPECT_EQ(j["paper"]["code"], jwc.Enthd.psize);
    EXPECT_EQ(j["layer_groups"].size(), 16u);

    TJwkData jwk;
    ASSERT_TRUE(jwk.FileIn(path16("jwk_compass.jwk")));
    j = one("jwk_compass.jwk");
    EXPECT_EQ(j["entities"]["line"], jwk.lineN);
    EXPECT_EQ(j["scale"], jwk.symbol_scale());
    EXPECT_EQ(j["paper"]["from"], "extents");
    EXPECT_DOUBLE_EQ(double(j["paper"]["width_mm"]), double(j["extents"]["max_x"]) - double(j["extents"]["min_x"]));

    TJwsData jws;
    ASSERT_TRUE(jws.FileIn(path16("jws_symbol.jws")));
    j = one("jws_symbol.jws");
    EXPECT_EQ(j["version"], jws.Enthd.jwVer);
    EXPECT_EQ(j["entities"]["block_insert"], jws.EntBlockN);
    EXPECT_EQ(j["blocks"]["definitions"].size(), size_t(jws.EntBlockDefN));

    TM7Data m7;
    ASSERT_TRUE(m7.FileIn(kExamples / "m7_sample.m7"));
    j = one("m7_sample.m7");
    EXPECT_EQ(j["title"], platform::utf16_to_utf8(m7.Title));
    EXPECT_EQ(j["entities"]["line"], m7.lnN + m7.lnxN);
    EXPECT_EQ(j["entities"]["text"], m7.txN + m7.txxN);
    EXPECT_EQ(j["entities"]["image"], m7.bmN + m7.bmxN);
    EXPECT_EQ(j["images"]["embedded"].size(), size_t(m7.bmN + m7.bmxN));
    EXPECT_EQ(j["layer_groups"][0]["layers"].size(), 17u);
}

// Telling what a drawing holds writes nothing: not the images stored inside it, nothing beside it.
TEST(Info, ReadsWithoutWriting)
{
    const fs::path dir = fs::temp_directory_path() / ("drawconv-info-ro-" + std::to_string(getpid()));
    fs::create_directories(dir / "tmp");
    fs::copy_file(kExamples / "jww_sampler.jww", dir / "plan.jww");
    const auto r = e2e::run_command(
        { "/usr/bin/env", "TMPDIR=" + (dir / "tmp").string(), TORVANE_DRAWCONV, "info", "plan.jww" }, dir);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("format: jww, version"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("wheel.bmp.gz"), std::string::npos) << r.out;
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::recursive_directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 2u) << "only plan.jww and the empty tmp folder";
    fs::remove_all(dir);
}

TEST(Info, FromStandardInput)
{
    std::ifstream in(kExamples / "jwk_compass.jwk", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto r = info({ "--json", "-" }, kExamples, bytes);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["file"], "-");
    EXPECT_EQ(j["format"], "jwk");
    EXPECT_EQ(j["readable"], true);
}

} // namespace
