// muravel-cli build of a project whose movie is a 256 MiB file of mixed compressibility,
// against a plain zlib level-9 deflate loop over the same bytes in the same run; prints the
// time ratio and the peak memory of the build.
#include <cstdio>
#include <unistd.h>

#include "BenchUtil.h"
#include "core/ProjectUnit.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "rtl/Streams.h"

int main() {
    constexpr int64_t MovieSize = int64_t(256) << 20;
    const std::string dir = rtl::TempDirectory();
    const std::string movie = dir + "muravel-bench-movie.swf";
    const std::string plain = dir + "muravel-bench-movie.z";
    const std::string stub = dir + "muravel-bench-stub.dat";
    const std::string project = dir + "muravel-bench.zvrk";
    const std::string output = dir + "muravel-bench-installer.exe";
    bench::WriteMixedFile(movie, MovieSize);
    bench::WriteMixedFile(stub, 1 << 20);
    {
        core::TProject p(dir + rtl::NewGuidText());
        p.FlashFiles.Add(movie);
        p.FileTitle = "Benchmark";
        p.OutputFile = output;
        p.SaveToFile(project);
    }

    const bench::Measure base = bench::RunMeasured([&] { bench::PlainDeflate(movie, plain); });
    const bench::Measure build = bench::RunMeasured([&] {
        std::freopen("/dev/null", "w", stdout);
        execl(MURAVEL_CLI_PATH, "muravel-cli", "build", project.c_str(), "--stub", stub.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    });

    rtl::TFileStream installer(output, rtl::FileMode::OpenRead);
    const double installerMiB = installer.Size() / 1048576.0;
    std::printf("movie %.0f MiB, installer %.1f MiB\n", MovieSize / 1048576.0, installerMiB);
    std::printf("muravel-cli build %.2f s vs zlib deflate %.2f s: ratio %.3f (target <= 1.10)\n",
                build.seconds, base.seconds, build.seconds / base.seconds);
    std::printf("peak memory of the build %.1f MiB (target <= 2 x installer + 64 = %.1f MiB)\n",
                build.peakMiB, 2 * installerMiB + 64);
    for (const std::string& f : {movie, plain, stub, project, output})
        rtl::RemoveFile(f);
    return 0;
}
