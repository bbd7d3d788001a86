#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "rtl/Bytes.h"
#include "rtl/Paths.h"

namespace bench {

struct Measure {
    double seconds;
    double cpuSeconds; // user and system time of all its threads
    double peakMiB;
};

// Runs work in a child process so that its peak memory is its own, not the parent's.
// A file of the benchmarks' own in the temporary folder.
inline std::string ScratchFile(const std::string& name) {
    return rtl::TempDirectory() + "muravel-bench-" + name;
}

inline Measure RunMeasured(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        work();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "benchmark child failed\n");
        std::exit(1);
    }
    const double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                       usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    return {seconds, cpu, usage.ru_maxrss / 1024.0};
}

// Over the first bytes of a movie of size bytes: the header of a 480 x 360 movie that declares
// that size, so the movie passes the check every installer's movie must.
inline void PutMovieHeader(std::vector<uint8_t>& block, int64_t size) {
    // The size goes over the four zeros.
    const uint8_t head[] = {'F',  'W',  'S',  10,   0,    0,    0,    0,    0x78, 0x00, 0x04,
                            0xb0, 0x00, 0x00, 0x0e, 0x10, 0x00, 0x00, 0x18, 0x01, 0x00};
    std::copy(std::begin(head), std::end(head), block.begin());
    rtl::StoreLe32(block.data() + 4, static_cast<uint32_t>(size));
}

// Poorly compressible, as a high-bitrate video is: random bytes with a few repeats.
inline void WriteDenseFile(const std::string& path, int64_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::mt19937_64 random(54321);
    std::vector<uint8_t> block(1 << 20);
    for (int64_t done = 0; done < size; done += static_cast<int64_t>(block.size())) {
        for (size_t i = 0; i < block.size(); i += 8) {
            const uint64_t r = random();
            for (int j = 0; j < 8; ++j)
                block[i + static_cast<size_t>(j)] = static_cast<uint8_t>(r >> (8 * (j % 7)));
        }
        if (done == 0)
            PutMovieHeader(block, size);
        std::fwrite(block.data(), 1, block.size(), f);
    }
    std::fclose(f);
}

// Mixed compressibility: runs of random bytes, of repeated words and of zeros.
inline void WriteMixedFile(const std::string& path, int64_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::mt19937_64 random(12345);
    static const char* const words[] = {"wallpaper ", "movie ", "installer ", "frame ", "colour "};
    std::vector<uint8_t> block(1 << 20);
    for (int64_t done = 0; done < size; done += static_cast<int64_t>(block.size())) {
        const int kind = static_cast<int>((done >> 20) % 4);
        for (size_t i = 0; i < block.size();) {
            if (kind == 0 || kind == 3) {
                const uint64_t r = random();
                for (int j = 0; j < 8 && i < block.size(); ++j)
                    block[i++] = static_cast<uint8_t>(r >> (8 * j));
            } else if (kind == 1) {
                const char* w = words[random() % 5];
                while (*w && i < block.size())
                    block[i++] = static_cast<uint8_t>(*w++);
            } else {
                block[i++] = 0;
            }
        }
        if (done == 0)
            PutMovieHeader(block, size);
        std::fwrite(block.data(), 1, block.size(), f);
    }
    std::fclose(f);
}

// The baseline: the file read in the same pieces, deflated with the same buffers.
inline void PlainDeflate(const std::string& input, const std::string& output) {
    std::FILE* in = std::fopen(input.c_str(), "rb");
    std::vector<uint8_t> piece(61440), out(65536), result;
    z_stream z{};
    deflateInit(&z, 9);
    size_t n;
    int flush = Z_NO_FLUSH;
    do {
        n = std::fread(piece.data(), 1, piece.size(), in);
        flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = piece.data();
        z.avail_in = static_cast<uInt>(n);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, flush);
            result.insert(result.end(), out.data(), out.data() + (out.size() - z.avail_out));
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&z);
    std::fclose(in);
    std::FILE* f = std::fopen(output.c_str(), "wb");
    std::fwrite(result.data(), 1, result.size(), f);
    std::fclose(f);
}

} // namespace bench
