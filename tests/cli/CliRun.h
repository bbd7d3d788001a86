#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace clitest {

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

inline std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs program with args and an optional environment prefix, capturing both outputs.
inline Result Run(const std::string& program, const std::vector<std::string>& args,
                  const std::string& env = "") {
    static int serial = 0;
    const std::string errPath =
        ::testing::TempDir() + "/cli-stderr-" + std::to_string(++serial) + ".txt";
    std::string command = env + " " + Quote(program);
    for (const std::string& arg : args)
        command += " " + Quote(arg);
    command += " 2>" + Quote(errPath);
    Result result{-1, "", ""};
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            result.out.append(buffer, n);
        const int status = pclose(pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    result.err = testfiles::ReadFile(errPath);
    std::remove(errPath.c_str());
    return result;
}

} // namespace clitest
