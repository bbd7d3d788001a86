// muravel-cli build of projects whose movies are 64 MiB and 256 MiB, one poorly compressible
// (as a high-bitrate video) and one of mixed compressibility, each against pigz on the same
// bytes in the same run: wall time against pigz -9 on every core, CPU time against pigz -9 on
// one, the output's size against pigz's, and the build's peak memory.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

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

// pigz -z -9 on threads cores, the zlib stream written to output.
void Pigz(const std::string& input, const std::string& output, unsigned threads) {
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    const std::string count = std::to_string(threads);
    execlp("pigz", "pigz", "-z", "-9", "-c", "-p", count.c_str(), input.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
}

} // namespace

int main() {
    const std::string movie = bench::ScratchFile("movie.swf");
    const std::string plain = bench::ScratchFile("movie.z");
    const std::string stub = bench::ScratchFile("stub.dat");
    const std::string project = bench::ScratchFile("project.zvrk");
    const std::string output = bench::ScratchFile("installer.exe");
    bench::WriteMixedFile(stub, 1 << 20);
    {
        core::TProject p(rtl::TempDirectory() + rtl::NewGuidText());
        p.FlashFiles.Add(movie);
        p.FileTitle = "Benchmark";
        p.OutputFile = output;
        p.SaveToFile(project);
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf("%-20s %9s %9s %9s %11s\n", "movie", "wall", "CPU", "size", "peak MiB");
    for (const int mib : {64, 256}) {
        for (const bool dense : {true, false}) {
            const int64_t size = int64_t(mib) << 20;
            if (dense)
                bench::WriteDenseFile(movie, size);
            else
                bench::WriteMixedFile(movie, size);
            std::fflush(stdout);
            const bench::Measure wide = bench::RunMeasured([&] { Pigz(movie, plain, cores); });
            const bench::Measure single = bench::RunMeasured([&] { Pigz(movie, plain, 1); });
            const bench::Measure build = bench::RunMeasured([&] {
                std::freopen("/dev/null", "w", stdout);
                execl(MURAVEL_CLI_PATH, "muravel-cli", "build", project.c_str(), "--stub",
                      stub.c_str(), static_cast<char*>(nullptr));
                _exit(127);
            });
            // The installer holds the stub and the project besides the movie.
            const double extra = SizeOf(stub) + 1024;
            std::printf("%4d MiB %-11s %8.2fx %8.2fx %8.4fx %11.1f\n", mib,
                        dense ? "dense" : "mixed", build.seconds / wide.seconds,
                        build.cpuSeconds / single.cpuSeconds,
                        (SizeOf(output) - extra) / SizeOf(plain), build.peakMiB);
        }
    }
    std::printf(
        "wall against pigz -9 -p %u, CPU against pigz -9 -p 1, size against pigz, in the same"
        " run; goals: wall <= 1.05x, CPU <= 1.05x, peak <= 48 MiB for 256 MiB\n",
        cores);
    for (const std::string& f : {movie, plain, stub, project, output})
        rtl::RemoveFile(f);
    return 0;
}
