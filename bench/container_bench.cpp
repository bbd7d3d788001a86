// Packs a 64 MiB file of mixed compressibility with AddStream and reads it back with
// GetStream, each against a plain zlib level-9 deflate / inflate loop over the same bytes,
// and prints the time ratios and the peak memory of each side.
#include <zlib.h>

#include <cstdio>
#include <vector>

#include "BenchUtil.h"
#include "core/CompileUnit.h"
#include "core/DecompileUnit.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"

namespace {

constexpr int64_t InputSize = 64 << 20;

std::vector<uint8_t> ReadAll(const std::string& path) {
    rtl::TMemoryStream m;
    m.LoadFromFile(path);
    return std::vector<uint8_t>(m.Memory(), m.Memory() + m.Size());
}

void PlainInflate(const std::string& compressed) {
    const std::vector<uint8_t> stored = ReadAll(compressed);
    std::vector<uint8_t> result(static_cast<size_t>(InputSize));
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<Bytef*>(stored.data());
    z.avail_in = static_cast<uInt>(stored.size());
    z.next_out = result.data();
    z.avail_out = static_cast<uInt>(result.size());
    if (inflate(&z, Z_FINISH) != Z_STREAM_END)
        std::exit(1);
    inflateEnd(&z);
}

} // namespace

int main() {
    const std::string input = bench::ScratchFile("input");
    const std::string plain = bench::ScratchFile("plain.z");
    const std::string container = bench::ScratchFile("container");
    bench::WriteMixedFile(input, InputSize);

    const bench::Measure deflateBase =
        bench::RunMeasured([&] { bench::PlainDeflate(input, plain); });
    const bench::Measure add = bench::RunMeasured([&] {
        core::TCompileStream writer;
        rtl::TFileStream file(input, rtl::FileMode::OpenRead);
        writer.AddStream(file, true);
        writer.Compile().SaveToFile(container);
    });
    const bench::Measure inflateBase = bench::RunMeasured([&] { PlainInflate(plain); });
    const bench::Measure get = bench::RunMeasured([&] {
        core::TDecompileStream reader;
        rtl::TFileStream file(container, rtl::FileMode::OpenRead);
        reader.Decompile(file);
        if (reader.GetStream(0, true)->Size() != InputSize)
            std::exit(1);
    });

    rtl::TMemoryStream stored;
    stored.LoadFromFile(container);
    const double storedMiB = stored.Size() / 1048576.0;
    std::printf("input %.0f MiB, stored %.1f MiB\n", InputSize / 1048576.0, storedMiB);
    std::printf("AddStream %.2f s vs zlib deflate %.2f s: ratio %.3f (target <= 1.10)\n",
                add.seconds, deflateBase.seconds, add.seconds / deflateBase.seconds);
    std::printf("GetStream %.2f s vs zlib inflate %.2f s: ratio %.3f (target <= 1.10)\n",
                get.seconds, inflateBase.seconds, get.seconds / inflateBase.seconds);
    std::printf("peak memory: AddStream %.1f MiB, GetStream %.1f MiB (target <= 2 x stored + 32 = "
                "%.1f MiB)\n",
                add.peakMiB, get.peakMiB, 2 * storedMiB + 32);
    rtl::RemoveFile(input);
    rtl::RemoveFile(plain);
    rtl::RemoveFile(container);
    return 0;
}
