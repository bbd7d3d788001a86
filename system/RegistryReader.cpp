#include "system/RegistryReader.h"

#include <cstring>
#include <vector>

#include "rtl/Errors.h"

namespace sys {

bool TRegistryReader::OpenKeyReadOnly(HKEY root, const std::string& path) {
    key_.Reset();
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    key_.Reset(key);
    return true;
}

std::string TRegistryReader::ReadString(const std::string& name) const {
    if (!key_.Valid())
        return {};
    std::vector<char> data(MAX_PATH);
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG status = RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size > data.size() ? size : 2 * data.size());
            continue;
        }
        if (status != ERROR_SUCCESS)
            return {};
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw rtl::ERegistryException("Invalid data type for '" + name + "'");
        // Stored text need not end with a zero, so the reported size bounds the search too.
        const size_t length = size < data.size() ? size : data.size();
        return std::string(data.data(), strnlen(data.data(), length));
    }
}

} // namespace sys
