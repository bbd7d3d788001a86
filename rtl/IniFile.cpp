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
    sectionIndex_.clear();
    Section* current = nullptr;
    for (const std::string& raw : lines.Items()) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string name = Trim(line.substr(1, line.size() - 2));
            // A section named again starts afresh: the last occurrence counts.
            const auto earlier = sectionIndex_.find(UpperCaseAscii(name));
            if (earlier != sectionIndex_.end()) {
                Section& old = sections_[earlier->second];
                old.dropped = true;
                old.keys = {};
                old.index = {};
                sectionIndex_.erase(earlier);
            }
            current = &AddSection(name);
            continue;
        }
        const size_t eq = line.find('=');
        if (current == nullptr || eq == std::string::npos)
            continue;
        const std::string name = Trim(line.substr(0, eq));
        SetValue(*current, name, Trim(line.substr(eq + 1)));
    }
}

std::string TMemIniFile::Text() const {
    std::string text;
    for (const Section& section : sections_) {
        if (section.dropped)
            continue;
        text += "[" + section.name + "]\r\n";
        for (const Key& key : section.keys)
            text += key.name + "=" + key.value + "\r\n";
        text += "\r\n";
    }
    return text;
}

const TMemIniFile::Section* TMemIniFile::FindSection(const std::string& name) const {
    const auto found = sectionIndex_.find(UpperCaseAscii(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

TMemIniFile::Section& TMemIniFile::AddSection(const std::string& name) {
    sectionIndex_[UpperCaseAscii(name)] = sections_.size();
    sections_.push_back(Section{name, {}, {}});
    return sections_.back();
}

void TMemIniFile::SetValue(Section& section, const std::string& key, const std::string& value) {
    const auto [at, added] = section.index.emplace(UpperCaseAscii(key), section.keys.size());
    if (added)
        section.keys.push_back(Key{key, value});
    else
        section.keys[at->second].value = value;
}

const std::string* TMemIniFile::FindValue(const std::string& section,
                                          const std::string& key) const {
    const Section* s = FindSection(section);
    if (s == nullptr)
        return nullptr;
    const auto found = s->index.find(UpperCaseAscii(key));
    return found == s->index.end() ? nullptr : &s->keys[found->second].value;
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return FindValue(section, key) != nullptr;
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
    const std::string* value = FindValue(section, key);
    return value != nullptr ? *value : fallback;
}

void TMemIniFile::ReadSection(const std::string& section, TStringList& keys) const {
    keys.Clear();
    if (const Section* s = FindSection(section))
        for (const Key& key : s->keys)
            keys.Add(key.name);
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
    SetValue(s != nullptr ? *s : AddSection(section), key, value);
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
