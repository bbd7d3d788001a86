#include <gtest/gtest.h>

#include <cstring>

#include "TestFiles.h"
#include "rtl/Errors.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

using testfiles::MessageOf;
using testfiles::ReadFile;
using testfiles::Sep;
using testfiles::TempFolder;
using testfiles::WriteFile;

namespace {

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7919) >> 3);
    return bytes;
}

void Put(rtl::TStream& stream, const std::string& bytes) {
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(MemoryStream, ReadsStopAtEitherEnd) {
    rtl::TMemoryStream stream;
    Put(stream, "abcdef");
    char buffer[8] = {};
    stream.SetPosition(4);
    EXPECT_EQ(stream.Read(buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    stream.SetPosition(3);
    EXPECT_EQ(MessageOf<rtl::EReadError>([&] { stream.ReadBuffer(buffer, 4); }),
              "Stream read error");
    stream.Seek(-1, rtl::SeekOrigin::Beginning);
    EXPECT_EQ(stream.Read(buffer, 4), 0);
    EXPECT_EQ(MessageOf<rtl::EWriteError>([&] { Put(stream, "x"); }), "Stream write error");
    EXPECT_EQ(stream.ToString(), "abcdef");
}

TEST(MemoryStream, SeekPastTheEndThenWriteFillsTheGapWithZeros) {
    rtl::TMemoryStream stream;
    Put(stream, "ab");
    EXPECT_EQ(stream.Seek(3, rtl::SeekOrigin::End), 5);
    Put(stream, "z");
    EXPECT_EQ(stream.Seek(-2, rtl::SeekOrigin::Current), 4);
    Put(stream, "YZ");
    EXPECT_EQ(stream.ToString(), std::string("ab\0\0YZ", 6));
    stream.SetSize(3);
    EXPECT_EQ(stream.Position(), 3);
    EXPECT_EQ(stream.ToString(), std::string("ab\0", 3));
}

TEST(MemoryStream, CopyFromWithoutCountTakesTheWholeSourceFromByteZero) {
    rtl::TMemoryStream source, target, part, copy;
    const std::string content = Pattern(3 * rtl::CopyPieceSize + 17);
    Put(source, content);
    source.SetPosition(100);
    EXPECT_EQ(target.CopyFrom(source, 0), static_cast<int64_t>(content.size()));
    EXPECT_EQ(target.ToString(), content);
    EXPECT_EQ(source.Position(), source.Size());
    source.SetPosition(10);
    part.CopyFrom(source, 5);
    EXPECT_EQ(part.ToString(), content.substr(10, 5));
    source.SetPosition(source.Size() - 2);
    EXPECT_EQ(MessageOf<rtl::EReadError>([&] { part.CopyFrom(source, 3); }), "Stream read error");
    copy.LoadFromStream(source);
    EXPECT_EQ(copy.ToString(), content);
    EXPECT_EQ(copy.Position(), 0);
}

TEST(FileStream, OpeningAMissingFileNamesItsFullPathAndTheReason) {
    TempFolder folder;
    const std::string path = folder / "missing.zvrk";
    const std::string message =
        MessageOf<rtl::EFOpenError>([&] { rtl::TFileStream file(path, rtl::FileMode::OpenRead); });
    const std::string prefix = "Cannot open file \"" + path + "\". ";
    ASSERT_TRUE(StartsWith(message, prefix)) << message;
#ifdef _WIN32
    EXPECT_GT(message.size(), prefix.size());
    EXPECT_GT(static_cast<unsigned char>(message.back()), 32) << "no line break at the end";
#else
    EXPECT_EQ(message.substr(prefix.size()), std::strerror(ENOENT));
#endif
    try {
        rtl::TFileStream file("no-such-file-for-muravel.swf", rtl::FileMode::OpenRead);
        FAIL() << "opened a missing file";
    } catch (const rtl::EFOpenError& error) {
        EXPECT_EQ(error.FileName, rtl::ExpandFileName("no-such-file-for-muravel.swf"));
        EXPECT_EQ(error.Message, "Cannot open file \"" + error.FileName + "\". " + error.Reason);
    }
}

TEST(FileStream, CreateTruncatesAndReadsBack) {
    TempFolder folder;
    const std::string path = folder / "data.bin";
    WriteFile(path, "a much longer old content");
    {
        rtl::TFileStream file(path, rtl::FileMode::Create);
        Put(file, "new");
        EXPECT_EQ(file.Size(), 3);
        file.SetPosition(1);
        char buffer[4];
        EXPECT_EQ(file.Read(buffer, 4), 2);
        EXPECT_EQ(std::string(buffer, 2), "ew");
    }
    EXPECT_EQ(ReadFile(path), "new");
    const std::string nowhere = folder / "nowhere" + Sep + "x.bin";
    const std::string message = MessageOf<rtl::EFCreateError>(
        [&] { rtl::TFileStream file(nowhere, rtl::FileMode::Create); });
    EXPECT_TRUE(StartsWith(message, "Cannot create file \"" + nowhere + "\". ")) << message;
}

TEST(SaveToFileReplacing, WritesANewFileAndReplacesAnOldOne) {
    TempFolder folder;
    const std::string path = folder / "out.exe";
    rtl::TMemoryStream stream, shorter;
    Put(stream, Pattern(100000));
    stream.SaveToFileReplacing(path);
    EXPECT_EQ(ReadFile(path), Pattern(100000));
    Put(shorter, "tiny");
    shorter.SaveToFileReplacing(path);
    EXPECT_EQ(ReadFile(path), "tiny");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.exe"});
}

// Failures name the target, not the temporary file beside it, and leave nothing behind.
TEST(SaveToFileReplacing, ATargetThatCannotBeReplacedStaysAsItWas) {
    TempFolder folder;
    rtl::TMemoryStream stream;
    Put(stream, "content");
    const std::string gone = folder / "gone" + Sep + "out.zvrk";
    EXPECT_TRUE(StartsWith(MessageOf<rtl::EFCreateError>([&] { stream.SaveToFileReplacing(gone); }),
                           "Cannot create file \"" + gone + "\". "));

    const std::string target = folder / "target";
    // Nobody, root included, can replace a folder with a file.
    std::filesystem::create_directory(target);
    const std::string kept = target + Sep + "inside";
    WriteFile(kept, "old");
    const std::string message =
        MessageOf<rtl::EFCreateError>([&] { stream.SaveToFileReplacing(target); });
    EXPECT_TRUE(StartsWith(message, "Cannot create file \"" + target + "\". ")) << message;
    EXPECT_EQ(ReadFile(kept), "old");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"target"});
}

#ifdef _WIN32
// Another program holding the old file open (without delete sharing) blocks the replacement.
TEST(SaveToFileReplacing, ATargetHeldOpenKeepsItsContent) {
    TempFolder folder;
    const std::string target = folder / "old.exe";
    WriteFile(target, "old installer");
    rtl::TMemoryStream stream;
    Put(stream, "new installer");
    {
        rtl::TFileStream holder(target, rtl::FileMode::OpenRead);
        const std::string message =
            MessageOf<rtl::EFCreateError>([&] { stream.SaveToFileReplacing(target); });
        EXPECT_TRUE(StartsWith(message, "Cannot create file \"" + target + "\". ")) << message;
    }
    EXPECT_EQ(ReadFile(target), "old installer");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"old.exe"});
}
#else
// A write that fails half way (here at the file size limit) must not touch the old file.
TEST(SaveToFileReplacing, AFailedWriteKeepsTheOldFile) {
    TempFolder folder;
    const std::string target = folder / "old.exe";
    WriteFile(target, "old installer");
    rtl::TMemoryStream stream;
    Put(stream, Pattern(1 << 20));
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::string message =
        MessageOf<rtl::EWriteError>([&] { stream.SaveToFileReplacing(target); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, "Stream write error");
    EXPECT_EQ(ReadFile(target), "old installer");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"old.exe"});
}
#endif

} // namespace
