#pragma once

#include <string>

#include <windows.h>

#include "system/Handle.h"

namespace systest {

// A junction at link leading to target, as an unprivileged user may make one on Windows; false
// when the platform cannot make it (Wine 8 answers ERROR_NOT_SUPPORTED).
bool MakeJunction(const std::string& link, const std::string& target);

// The Windows name of the folder tree that the link-tree fixture made from the Unix side under
// Wine (a.txt, sub\b.txt, and the folder links loop and sub\up leading back to the root), or ""
// when the fixture did not run.
std::string UnixLinkTree();

// A message-only window that counts the WM_APP messages dispatched to it. The count lives in
// the window, so nothing ties the window to this object's address.
class TMessageSink {
public:
    TMessageSink();

    HWND Handle() const { return window_.Get(); }
    void Post() const { PostMessageA(Handle(), WM_APP, 0, 0); }
    int Received() const { return static_cast<int>(GetWindowLongPtrA(Handle(), GWLP_USERDATA)); }

private:
    sys::TWindowHandle window_;
};

} // namespace systest
