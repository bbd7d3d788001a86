#include "StringList.h"

#include <algorithm>
#include <cstring>

#include "Errors.h"

namespace rtl {

const std::string& TStringList::Get(int index) const {
    if (index < 0 || index >= Count())
        throw ListIndexError(index);
    return items_[static_cast<size_t>(index)];
}

std::string TStringList::Text() const {
    size_t total = 0;
    for (const std::string& line : items_)
        total += line.size() + 2;
    std::string text;
    text.reserve(total);
    for (const std::string& line : items_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(const std::string& text) {
    items_.clear();
    const size_t end = std::min(text.size(), std::strlen(text.c_str()));
    size_t i = 0;
    while (i < end) {
        size_t j = i;
        while (j < end && text[j] != '\r' && text[j] != '\n')
            ++j;
        items_.push_back(text.substr(i, j - i));
        if (j < end && text[j] == '\r')
            ++j;
        if (j < end && text[j] == '\n')
            ++j;
        i = j;
    }
}

void TStringList::LoadFromStream(TStream& stream) {
    TMemoryStream whole;
    whole.LoadFromStream(stream);
    SetText(whole.ToString());
}

void TStringList::SaveToStream(TStream& stream) const {
    const std::string text = Text();
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

} // namespace rtl
