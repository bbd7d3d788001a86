#include "Commands.h"

#include <cstdio>

#include "Arguments.h"
#include "ProgressLine.h"
#include "core/CompileUnit.h"
#include "core/ContainerDirectory.h"
#include "core/DecompileUnit.h"
#include "core/InstallerUnit.h"
#include "core/PeImage.h"
#include "rtl/Streams.h"
#include "rtl/TextUtils.h"
#include "wallpaper/WebPlayer.h"

namespace cli {

namespace {

using TKind = TArguments::TKind;

// An entry is labelled zlib when its bytes are a whole zlib stream of its source size.
bool IsZlibEntry(core::TDecompileStream& reader, int32_t index) {
    if (reader.StoredSize(index) == 0)
        return false;
    try {
        reader.GetStream(index, true);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// An installer signed after it was generated ends with a certificate table; the container ends
// before it. installer.dat carries its container behind its program. Returns where the
// container starts in the file.
int64_t Decompile(rtl::TMemoryStream& file, core::TDecompileStream& reader) {
    const int64_t end = core::TContainerDirectory::ContainerEnd(file.Memory(), file.Size());
    const int64_t start = core::TContainerDirectory::ContainerStart(file.Memory(), end);
    rtl::TMemoryView container(file.Memory() + start, end - start);
    reader.Decompile(container);
    return start;
}

// What each entry of a file's container is, where the file is one of ours: an installer, or
// installer.dat with the web player behind its program; empty otherwise.
std::vector<std::string> EntryNames(rtl::TMemoryStream& file, int64_t start,
                                    core::TDecompileStream& reader) {
    if (start > 0) {
        try {
            const wallpaper::TWebPlayer player(file.Memory(), file.Size());
            std::vector<std::string> names{"list of files"};
            for (const wallpaper::TWebPlayer::TFile& entry : player.Files())
                names.push_back(entry.Name);
            return names;
        } catch (const wallpaper::EDamaged&) {
            return {};
        }
    }
    const int32_t count = reader.EntryCount();
    if ((count != core::MovieEntryCount && count != core::VideoEntryCount) ||
        reader.SourceSize(core::StubEntry) != reader.StoredSize(core::StubEntry) ||
        !core::ProgramEnd(file.Memory(), reader.StoredSize(core::StubEntry)))
        return {};
    std::vector<std::string> names{core::StubFileName, "project", "movie", core::PlayerFileName,
                                   core::ScriptFileName};
    names.resize(static_cast<size_t>(count));
    return names;
}

} // namespace

int Pack(const std::vector<std::string>& args) {
    if (args.empty() || args.size() % 2 != 1)
        throw EUsage{"pack takes OUT and pairs of --raw FILE or --zlib FILE"};
    for (size_t i = 1; i < args.size(); i += 2)
        if (args[i] != "--raw" && args[i] != "--zlib")
            throw EUsage{"unknown option " + args[i]};
    rtl::TReplacingFile out(args[0]);
    core::TCompileStream writer(out.Stream());
    TProgressLine progress;
    for (size_t i = 1; i < args.size(); i += 2) {
        const std::string& path = args[i + 1];
        rtl::TFileStream file(path, rtl::FileMode::OpenRead);
        writer.OnProgress = [&](int64_t done, int64_t total) { progress.Show(path, done, total); };
        writer.AddStream(file, args[i] == "--zlib");
    }
    writer.Finish();
    out.Commit();
    return ExitSuccess;
}

int List(const std::vector<std::string>& args) {
    const TArguments parsed(args, {});
    if (parsed.Operands().size() != 1)
        throw EUsage{"list takes one FILE"};
    rtl::TMemoryStream file;
    file.LoadFromFile(parsed.Operands()[0]);
    core::TDecompileStream reader;
    const int64_t start = Decompile(file, reader);
    const std::vector<std::string> names = EntryNames(file, start, reader);
    std::printf("entries %d\n", reader.EntryCount());
    for (int32_t i = 0; i < reader.EntryCount(); ++i)
        std::printf("%d offset %lld source %d stored %d %s%s\n", i,
                    static_cast<long long>(start + reader.Offset(i)), reader.SourceSize(i),
                    reader.StoredSize(i), IsZlibEntry(reader, i) ? "zlib" : "raw",
                    static_cast<size_t>(i) < names.size() ? (" " + names[i]).c_str() : "");
    return ExitSuccess;
}

int Extract(const std::vector<std::string>& args) {
    const TArguments parsed(args, {{"--force", TKind::Switch}});
    int32_t index;
    if (parsed.Operands().size() != 3 || !rtl::TryStrToInt(parsed.Operands()[1], index))
        throw EUsage{"extract takes FILE, INDEX and OUT"};
    rtl::TMemoryStream file;
    file.LoadFromFile(parsed.Operands()[0]);
    core::TDecompileStream reader;
    Decompile(file, reader);
    reader.GetStream(index, parsed.Value("--force") == "1")
        ->SaveToFileReplacing(parsed.Operands()[2]);
    return ExitSuccess;
}

} // namespace cli
