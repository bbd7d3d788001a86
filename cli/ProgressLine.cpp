#include "ProgressLine.h"

#include <unistd.h>

#include <cstdio>

#include "rtl/Paths.h"

namespace cli {

TProgressLine::TProgressLine() : shown_(isatty(STDERR_FILENO) != 0), start_(Clock::now()) {}

TProgressLine::~TProgressLine() {
    if (printed_)
        std::fputs("\n", stderr);
}

void TProgressLine::Show(const std::string& path, int64_t done, int64_t total) {
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    if (!shown_ || Clock::now() - start_ < std::chrono::seconds(1) ||
        (percent == percent_ && path == path_))
        return;
    percent_ = percent;
    path_ = path;
    std::fprintf(stderr, "\r%3d%% %s\033[K", percent, rtl::ExtractFileName(path).c_str());
    std::fflush(stderr);
    printed_ = true;
}

} // namespace cli
