#pragma once

#include <string>
#include <vector>

namespace standin {

// The WebView2 runtime's stand-in (WebViewStandIn.cpp), copied from library into folder and
// registered as the current user's runtime for as long as the object lives; what it is asked
// is recorded in Log, which the programs started meanwhile inherit.
class TRuntime {
public:
    TRuntime(const std::string& folder, const std::string& library);
    virtual ~TRuntime();
    TRuntime(const TRuntime&) = delete;
    TRuntime& operator=(const TRuntime&) = delete;

    const std::string& Log() const { return log_; }
    // Whether the stand-in recorded, of any view, each of calls in this order.
    bool Recorded(const std::vector<std::string>& calls) const;
    // How many calls of a kind ("navigate", "script") it recorded.
    size_t Count(const std::string& kind) const;

private:
    std::string log_;
};

} // namespace standin
