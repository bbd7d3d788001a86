#include "IniFile.h"

#include "Paths.h"
#include "StringList.h"
#include "TextUtils.h"

namespace rtl {

TMemIniFile::TMemIniFile(std::string path) : path_(std::move(path)) {
    if (FileExists(path_)) {
        TMemoryStream file;
        file.LoadFromFile(path_);
        SetText(file.ToString());
    }
}

void TMemIniFile::SetText(const std::string& text) {
    TStringList lines;
    lines.SetText(text);
    sections_.clear();
    Section* current = nullptr;
    for (const std::string& raw : lines.Items()) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string name = Trim(line.substr(1, line.size() - 2));
            // A section named again starts afresh: the last occurrence counts.
            for (auto it = sections_.begin(); it != sections_.end(); ++it)
                if (SameTextAscii(it->name, name)) {
                    sections_.erase(it);
                    break;
                }
            sections_.push_back(Section{name, {}});
            current = &sections_.back();
            continue;
        }
        const size_t eq = line.find('=');
        if (current == nullptr || eq == std::string::npos)
            continue;
        const std::string name = Trim(line.substr(0, eq));
        const std::string value = Trim(line.substr(eq + 1));
        bool replaced = false;
        for (Key& key : current->keys)
            if (SameTextAscii(key.name, name)) {
                key.value = value;
                replaced = true;
                break;
            }
        if (!replaced)
            current->keys.push_back(Key{name, value});
    }
}

std::string TMemIniFile::Text() const {
    std::string text;
    for (const Section& section : sections_) {
        text += "[" + section.name + "]\r\n";
        for (const Key& key : section.keys)
            text += key.name + "=" + key.value + "\r\n";
        text += "\r\n";
    }
    return text;
}

const TMemIniFile::Section* TMemIniFile::FindSection(const std::string& name) const {
    for (const Section& section : sections_)
        if (SameTextAscii(section.name, name))
            return &section;
    return nullptr;
}

const std::string* TMemIniFile::FindValue(const std::string& section,
                                          const std::string& key) const {
    const Section* s = FindSection(section);
    if (s == nullptr)
        return nullptr;
    for (const Key& k : s->keys)
        if (SameTextAscii(k.name, key))
            return &k.value;
    return nullptr;
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return FindValue(section, key) != nullptr;
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
    const std::string* value = FindValue(section, key);
    return value != nullptr ? *value : fallback;
}

int32_t TMemIniFile::ReadInteger(const std::string& section, const std::string& key,
                                 int32_t fallback) const {
    const std::string* value = FindValue(section, key);
    return value != nullptr ? StrToIntDef(*value, fallback) : fallback;
}

bool TMemIniFile::ReadBool(const std::string& section, const std::string& key,
                           bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    Section* s = const_cast<Section*>(FindSection(section));
    if (s == nullptr) {
        sections_.push_back(Section{section, {}});
        s = &sections_.back();
    }
    for (Key& k : s->keys)
        if (SameTextAscii(k.name, key)) {
            k.value = value;
            return;
        }
    s->keys.push_back(Key{key, value});
}

void TMemIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, IntToStr(value));
}

void TMemIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TMemIniFile::UpdateFile() const {
    TMemoryStream text;
    const std::string content = Text();
    text.WriteBuffer(content.data(), static_cast<int64_t>(content.size()));
    text.SaveToFile(path_);
}

} // namespace rtl
