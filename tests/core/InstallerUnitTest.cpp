#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/InstallerBuilder.h"
#include "core/InstallerUnit.h"
#include "core/ProjectUnit.h"

namespace {

TEST(InstallerFormat, AVideoIsDecidedByTheFileNamesExtension) {
    EXPECT_TRUE(core::IsVideoPath("C:\\v\\clip.FLV"));
    EXPECT_TRUE(core::IsVideoPath("clip.flv"));
    EXPECT_FALSE(core::IsVideoPath("C:\\v.flv\\clip"));
    EXPECT_FALSE(core::IsVideoPath("C:\\v\\clip.flv.swf"));
    EXPECT_FALSE(core::IsVideoPath("clip.flv\\"));
    EXPECT_FALSE(core::IsVideoPath(""));
}

TEST(InstallerFormat, TheChecksRunInOrderAndNameTheirProblem) {
    testfiles::TempFolder folder;
    const std::string stub = folder / "installer.dat";
    testfiles::WriteFile(stub, "MZ");
    const struct {
        const char* output;
        const char* movie;
        const char* title;
        std::optional<core::TInputProblem> problem;
    } cases[] = {
        {"", "", " ", core::TInputProblem::NoOutput},
        {"out.exe", "", " ", core::TInputProblem::NoMovie},
        {"out.exe", "m.swf", " \t\r\n", core::TInputProblem::NoTitle},
        {"", "m.swf", "T", core::TInputProblem::NoOutput},
        {stub.c_str(), "m.swf", "T", core::TInputProblem::OutputIsInput},
        {"out.exe", "m.swf", " T ", std::nullopt},
    };
    for (const auto& c : cases) {
        core::TInstallerInputs inputs;
        inputs.StubPath = stub;
        inputs.FlashPath = c.movie;
        inputs.OutputPath = c.output;
        const auto refusal = core::CheckInputs(inputs, c.title);
        EXPECT_EQ(refusal ? std::optional(refusal->Problem) : std::nullopt, c.problem)
            << c.output << " " << c.movie;
    }
}

TEST(InstallerFormat, TheProjectAsOpenedKeepsOneMovieAndClearsAVideosLoop) {
    core::TProject source("");
    source.FlashFiles.Add("clip.flv");
    source.FlashFiles.Add("other.swf");
    source.Version = 2;
    source.FileTitle = "Clip";
    source.Loop = true;
    source.URL = "https://example.com";
    core::TProject target("");
    core::CopyAsOpened(source, "out.exe", target);
    EXPECT_EQ(target.FlashFiles.Count(), 1);
    EXPECT_EQ(target.FlashFiles.Get(0), "clip.flv");
    EXPECT_EQ(target.Version, 3);
    EXPECT_EQ(target.FileTitle, "Clip");
    EXPECT_EQ(target.URL, "https://example.com");
    EXPECT_FALSE(target.Loop);
    EXPECT_EQ(target.OutputFile, "out.exe");
    source.FlashFiles.Clear();
    source.FlashFiles.Add("movie.swf");
    core::CopyAsOpened(source, "out.exe", target);
    EXPECT_TRUE(target.Loop);
}

} // namespace
