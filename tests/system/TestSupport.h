#pragma once

#include <string>

#include <windows.h>

namespace systest {

// A fresh folder in the temporary directory, removed with everything in it at the end.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // Without a trailing "\".
    const std::string& Path() const { return path_; }
    // relative may name folders below the root that AddFolder made before.
    std::string AddFolder(const std::string& relative, DWORD attributes = 0) const;
    std::string AddFile(const std::string& relative, DWORD attributes = 0) const;

private:
    std::string path_;
};

// Removes a folder and everything in it without entering folder links, so a link to an
// ancestor takes only the link with it.
void RemoveTree(const std::string& path);

// A junction at link leading to target, as an unprivileged user may make one on Windows; false
// when the platform cannot make it (Wine 8 answers ERROR_NOT_SUPPORTED).
bool MakeJunction(const std::string& link, const std::string& target);

// The Windows name of the folder tree that the link-tree fixture made from the Unix side under
// Wine (a.txt, sub\b.txt, and the folder links loop and sub\up leading back to the root), or ""
// when the fixture did not run.
std::string UnixLinkTree();

std::string ReadWholeFile(const std::string& path);

// A message-only window that counts the WM_APP messages dispatched to it.
class TMessageSink {
public:
    TMessageSink();
    ~TMessageSink();
    TMessageSink(const TMessageSink&) = delete;
    TMessageSink& operator=(const TMessageSink&) = delete;

    HWND Handle() const { return window_; }
    void Post() const { PostMessageA(window_, WM_APP, 0, 0); }
    int Received() const { return received_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    int received_ = 0;
};

} // namespace systest
