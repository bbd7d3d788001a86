// The library's handler of an exception that nobody catches writes its type, demangled, to a
// standard error that a program without a console does not have, and then aborts. Linked into
// the programs that ship in every installer, this one only aborts, which leaves out the
// demangler, 44 KB of each of them.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
