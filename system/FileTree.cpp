#include "system/FileTree.h"

#include <windows.h>

#include "system/Handle.h"

namespace sys {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    {
        // Closed before the folder goes, which an open search would keep.
        const TFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &entry));
        if (search.Valid()) {
            do {
                const std::string name = entry.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string child = folder + "\\" + name;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                    DeleteFileA(child.c_str());
                else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                    RemoveDirectoryA(child.c_str());
                else
                    RemoveTree(child);
            } while (FindNextFileA(search.Get(), &entry));
        }
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace sys
