#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace wallpaper {

// A data script: the bytes of one file that the wallpaper page's fetch hands to the web
// player, since a page opened from file:// may not fetch the files beside it. The page loads
// it with a plain <script src>:
//     MuravelData("url", "type", gzip, function () {/*base64*/});
// The bytes sit in a comment of a function body (read back with Function.prototype.toString):
// a browser skips a comment of many megabytes at once, where a string literal takes seconds.
// Base64 has no "*", so the comment cannot end early.
class TDataScript {
public:
    using TTextSink = std::function<void(const char* text, size_t size)>;

    // url as the web player will ask for it, relative to the page; gzip when the bytes are a
    // gzip file that the page unpacks before handing them out.
    TDataScript(const std::string& url, const std::string& type, bool gzip);

    // The script's length for content of size bytes.
    int64_t Size(int64_t contentSize) const;

    // Writes the script to sink as the content arrives in pieces through Write; Finish ends it.
    void Begin(const TTextSink& sink);
    void Write(const uint8_t* data, size_t size);
    void Finish();

private:
    // Flushes the buffer unless it has room for count more characters.
    void Room(size_t count);
    void Flush();

    std::string head_;
    TTextSink sink_;
    uint8_t carry_[3] = {};
    size_t carried_ = 0;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
};

} // namespace wallpaper
