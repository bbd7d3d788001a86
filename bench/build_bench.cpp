// muravel-cli build of projects whose movies are 64 MiB and 256 MiB, one poorly compressible
// (as a high-bitrate video) and one of mixed compressibility, each against a plain
// single-thread zlib level-9 deflate loop over the same bytes in the same run: wall time, CPU
// time, output size, and the build's peak memory beside its installer's size.
#include <cstdio>
#include <unistd.h>

#include "BenchUtil.h"
#include "core/ProjectUnit.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"

namespace {

double SizeOf(const std::string& path) {
    rtl::TFileStream file(path, rtl::FileMode::OpenRead);
    return static_cast<double>(file.Size());
}

} // namespace

int main() {
    const std::string dir = rtl::TempDirectory();
    const std::string movie = dir + "muravel-bench-movie.swf";
    const std::string plain = dir + "muravel-bench-movie.z";
    const std::string stub = dir + "muravel-bench-stub.dat";
    const std::string project = dir + "muravel-bench.zvrk";
    const std::string output = dir + "muravel-bench-installer.exe";
    bench::WriteMixedFile(stub, 1 << 20);
    {
        core::TProject p(dir + rtl::NewGuidText());
        p.FlashFiles.Add(movie);
        p.FileTitle = "Benchmark";
        p.OutputFile = output;
        p.SaveToFile(project);
    }
    std::printf("%-20s %9s %9s %9s %11s %12s\n", "movie", "wall", "CPU", "size", "peak MiB",
                "target MiB");
    for (const int mib : {64, 256}) {
        for (const bool dense : {true, false}) {
            const int64_t size = int64_t(mib) << 20;
            if (dense)
                bench::WriteDenseFile(movie, size);
            else
                bench::WriteMixedFile(movie, size);
            std::fflush(stdout);
            const bench::Measure base = bench::RunMeasured([&] { bench::PlainDeflate(movie, plain); });
            const bench::Measure build = bench::RunMeasured([&] {
                std::freopen("/dev/null", "w", stdout);
                execl(MURAVEL_CLI_PATH, "muravel-cli", "build", project.c_str(), "--stub",
                      stub.c_str(), static_cast<char*>(nullptr));
                _exit(127);
            });
            // The installer holds the stub and the project besides the movie.
            const double extra = SizeOf(stub) + 1024;
            const double installerMiB = SizeOf(output) / 1048576.0;
            std::printf("%4d MiB %-11s %8.2fx %8.2fx %8.4fx %11.1f %12.1f\n", mib,
                        dense ? "dense" : "mixed", build.seconds / base.seconds,
                        build.cpuSeconds / base.cpuSeconds, (SizeOf(output) - extra) / SizeOf(plain),
                        build.peakMiB, installerMiB + 48);
        }
    }
    std::printf("ratios against single-thread zlib level 9 in the same run; targets: wall <= 0.60x,"
                " CPU <= 1.10x, size <= 1.001x on 2 cores\n");
    for (const std::string& f : {movie, plain, stub, project, output})
        rtl::RemoveFile(f);
    return 0;
}
