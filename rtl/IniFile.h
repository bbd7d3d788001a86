#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "StringList.h"

namespace rtl {

// An INI document held in memory. Section and key names match without regard to the case
// of A to Z; where a name occurs twice when reading, the last occurrence counts.
class TMemIniFile {
public:
    // Takes in the file at path when one exists; UpdateFile writes back to it.
    explicit TMemIniFile(std::string path);

    void SetText(const std::string& text);
    // "[Section]" lines, "key=value" lines, one empty line after each section; CR LF ends
    // every line.
    std::string Text() const;

    bool ValueExists(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    // The names of a section's keys, in order; none when there is no such section.
    void ReadSection(const std::string& section, TStringList& keys) const;

    // Replaces a same-named key in place, else appends it; creates the section on first use.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Writes Text() to the file, creating or replacing it.
    void UpdateFile() const;
    const std::string& FileName() const { return path_; }

private:
    struct Key {
        std::string name;
        std::string value;
    };
    // Names are looked up by their upper-case form, so that a document of many sections and
    // keys reads and writes in time linear in its size.
    using TIndex = std::unordered_map<std::string, size_t>;
    struct Section {
        std::string name;
        std::vector<Key> keys;
        TIndex index;
        bool dropped = false; // named again later in the text, which replaces it
    };
    const Section* FindSection(const std::string& name) const;
    Section& AddSection(const std::string& name);
    static void SetValue(Section& section, const std::string& key, const std::string& value);
    const std::string* FindValue(const std::string& section, const std::string& key) const;

    std::string path_;
    std::vector<Section> sections_;
    TIndex sectionIndex_;
};

} // namespace rtl
