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

std::optional<std::string> ReadStringValue(HKEY key, const std::string& name, bool* otherType) {
    if (otherType != nullptr)
        *otherType = false;
    std::vector<char> data(MAX_PATH);
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size > data.size() ? size : 2 * data.size());
            continue;
        }
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            if (otherType != nullptr)
                *otherType = true;
            return std::nullopt;
        }
        // Stored text need not end with a zero, so the reported size bounds the search too.
        const size_t length = size < data.size() ? size : data.size();
        return std::string(data.data(), strnlen(data.data(), length));
    }
}

std::string TRegistryReader::ReadString(const std::string& name) const {
    if (!key_.Valid())
        return {};
    bool otherType = false;
    const std::optional<std::string> text = ReadStringValue(key_.Get(), name, &otherType);
    if (otherType)
        throw rtl::ERegistryException("Invalid data type for '" + name + "'");
    return text.value_or("");
}

} // namespace sys
