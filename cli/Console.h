#pragma once

namespace cli {

// While it lives, a console shows the tool's UTF-8 output as UTF-8; the console's own code
// page comes back afterwards, since the console outlives the tool. Output to files and pipes
// is UTF-8 either way.
class TUtf8Console {
public:
    TUtf8Console();
    ~TUtf8Console();
    TUtf8Console(const TUtf8Console&) = delete;
    TUtf8Console& operator=(const TUtf8Console&) = delete;

private:
    unsigned previous_ = 0;
};

} // namespace cli
