#pragma once

#include <string>
#include <vector>

#include "Streams.h"

namespace rtl {

// A list of text lines with the line-text stream form: every line followed by CR LF.
class TStringList {
public:
    TStringList() = default;
    explicit TStringList(std::vector<std::string> lines) : items_(std::move(lines)) {}
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises "List index out of bounds (%d)" outside 0 .. Count - 1.
    const std::string& Get(int index) const;
    void Add(const std::string& line) { items_.push_back(line); }
    void Clear() { items_.clear(); }
    const std::vector<std::string>& Items() const { return items_; }
    bool operator==(const TStringList& other) const { return items_ == other.items_; }

    // Every line followed by CR LF, the last one too; an empty list gives "".
    std::string Text() const;
    // Splits at CR LF, a lone CR or a lone LF; a final line without a line end is still an
    // item, a line end at the very end adds none, and a byte 0 ends the text.
    void SetText(const std::string& text);

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

private:
    std::vector<std::string> items_;
};

} // namespace rtl
