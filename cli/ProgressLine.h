#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace cli {

// A line on standard error that follows a long compression, when that is a terminal: after a
// second, and then at each new percent.
class TProgressLine {
public:
    TProgressLine();
    ~TProgressLine();
    TProgressLine(const TProgressLine&) = delete;
    TProgressLine& operator=(const TProgressLine&) = delete;

    void Show(const std::string& path, int64_t done, int64_t total);

private:
    using Clock = std::chrono::steady_clock;
    bool shown_;
    Clock::time_point start_;
    bool printed_ = false;
    int percent_ = -1;
    std::string path_;
};

} // namespace cli
