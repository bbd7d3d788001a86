#include "Shell.h"

#include <sys/wait.h>
#include <unistd.h>

namespace cli {

bool OpenWithDefaultProgram(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

} // namespace cli
