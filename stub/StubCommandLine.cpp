#include "StubCommandLine.h"

#include <algorithm>

#include "rtl/TextUtils.h"

namespace stub {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

constexpr const char* CleanupPrefix = "/cleanup=";

} // namespace

std::string ArgumentText(const std::string& commandLine) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t close = commandLine.find('"', 1);
        i = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i]))
            ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i]))
        ++i;
    return commandLine.substr(i);
}

TStubOptions ParseArguments(const std::string& arguments) {
    TStubOptions options;
    std::string rest = arguments;
    const std::string upper = rtl::UpperCaseAscii(arguments);
    for (size_t at = upper.find("/D="); at != std::string::npos; at = upper.find("/D=", at + 1)) {
        if (at != 0 && !IsBlank(rest[at - 1]))
            continue;
        std::string folder = rest.substr(at + 3);
        while (!folder.empty() && IsBlank(folder.back()))
            folder.pop_back();
        if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
            folder = folder.substr(1, folder.size() - 2);
        if (folder.empty())
            options.Error = "/D= must be followed by a folder.";
        else
            options.Folder = folder;
        rest.erase(at);
        break;
    }
    size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsBlank(rest[i]))
            ++i;
        const size_t start = i;
        while (i < rest.size() && !IsBlank(rest[i]))
            ++i;
        if (start == i)
            break;
        const std::string argument = rest.substr(start, i - start);
        const std::string digits = argument.substr(std::min(argument.size(), size_t{9}));
        if (rtl::SameTextAscii(argument, "/S")) {
            options.Silent = true;
        } else if (rtl::SameTextAscii(argument.substr(0, 9), CleanupPrefix) && !digits.empty() &&
                   digits.size() <= 19 &&
                   digits.find_first_not_of("0123456789") == std::string::npos) {
            options.CleanupWait = std::stoull(digits);
        } else if (options.Error.empty()) {
            options.Error = "Unknown argument \"" + argument +
                            "\". The installer takes /S, and /D=FOLDER as the last argument.";
        }
    }
    return options;
}

} // namespace stub
