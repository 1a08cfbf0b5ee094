#include "platform/ProfileText.h"

#include <strings.h>

namespace platform {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s, std::size_t from, std::size_t to) {
    while (from < to && IsBlank(s[from]))
        ++from;
    while (to > from && IsBlank(s[to - 1]))
        --to;
    return s.substr(from, to - from);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

} // namespace

ProfileText::ProfileText(std::string bytes) : m_Bytes(std::move(bytes)) {}

// Editors that save UTF-8 may put a byte-order mark first. It belongs to no line: read as part of
// the first line it would hide a section header there. The edits never touch it, so it stays.
std::size_t ProfileText::BodyStart() const {
    static const std::string kUtf8Bom = "\xEF\xBB\xBF";
    return m_Bytes.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0 ? kUtf8Bom.size() : 0;
}

std::vector<ProfileText::Line> ProfileText::SplitLines() const {
    std::vector<Line> lines;
    std::size_t begin = BodyStart();
    while (begin < m_Bytes.size()) {
        std::size_t nl = m_Bytes.find('\n', begin);
        std::size_t next = nl == std::string::npos ? m_Bytes.size() : nl + 1;
        std::size_t end = nl == std::string::npos ? m_Bytes.size() : nl;
        if (end > begin && m_Bytes[end - 1] == '\r')
            --end;
        lines.push_back({begin, end, next});
        begin = next;
    }
    return lines;
}

// A section header is a line whose first non-blank character is '['; the name runs to the ']'
// (or to the end of a line that lacks one).
static bool SectionName(const std::string& bytes, std::size_t begin, std::size_t end, std::string& name) {
    while (begin < end && IsBlank(bytes[begin]))
        ++begin;
    if (begin == end || bytes[begin] != '[')
        return false;
    std::size_t close = bytes.find(']', begin);
    std::size_t nameEnd = (close == std::string::npos || close > end) ? end : close;
    name = Trim(bytes, begin + 1, nameEnd);
    return true;
}

// A key line holds an '='; comment lines (';') and lines without '=' name no key.
static bool KeyName(const std::string& bytes, std::size_t begin, std::size_t end, std::string& name,
                    std::size_t& equals) {
    std::size_t first = begin;
    while (first < end && IsBlank(bytes[first]))
        ++first;
    if (first == end || bytes[first] == ';')
        return false;
    equals = bytes.find('=', first);
    if (equals == std::string::npos || equals >= end)
        return false;
    name = Trim(bytes, first, equals);
    return true;
}

long ProfileText::FindSection(const std::vector<Line>& lines, const std::string& section, long& end) const {
    const long count = static_cast<long>(lines.size());
    for (long i = 0; i < count; ++i) {
        std::string name;
        if (!SectionName(m_Bytes, lines[i].Begin, lines[i].End, name) || !SameName(name, section))
            continue;
        long j = i + 1;
        std::string other;
        while (j < count && !SectionName(m_Bytes, lines[j].Begin, lines[j].End, other))
            ++j;
        end = j;
        return i;
    }
    end = -1;
    return -1;
}

long ProfileText::FindKey(const std::vector<Line>& lines, long first, long end,
                          const std::string& key) const {
    for (long i = first; i < end; ++i) {
        std::string name;
        std::size_t equals;
        if (KeyName(m_Bytes, lines[i].Begin, lines[i].End, name, equals) && SameName(name, key))
            return i;
    }
    return -1;
}

bool ProfileText::Find(const std::string& section, const std::string& key, std::string& value) const {
    auto lines = SplitLines();
    long end;
    long header = FindSection(lines, section, end);
    if (header < 0)
        return false;
    long at = FindKey(lines, header + 1, end, key);
    if (at < 0)
        return false;
    std::string name;
    std::size_t equals;
    KeyName(m_Bytes, lines[at].Begin, lines[at].End, name, equals);
    value = Trim(m_Bytes, equals + 1, lines[at].End);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

std::vector<std::string> ProfileText::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    auto lines = SplitLines();
    long end;
    long header = FindSection(lines, section, end);
    if (header < 0)
        return keys;
    for (long i = header + 1; i < end; ++i) {
        std::string name;
        std::size_t equals;
        if (KeyName(m_Bytes, lines[i].Begin, lines[i].End, name, equals))
            keys.push_back(name);
    }
    return keys;
}

std::string ProfileText::LineEnding() const {
    return m_Bytes.find("\r\n") != std::string::npos ? "\r\n" : "\n";
}

void ProfileText::Set(const std::string& section, const std::string& key, const std::string& value) {
    auto lines = SplitLines();
    const std::string eol = LineEnding();
    long end;
    long header = FindSection(lines, section, end);
    if (header < 0) {
        if (m_Bytes.size() > BodyStart() && m_Bytes.back() != '\n')
            m_Bytes += eol;
        m_Bytes += "[" + section + "]" + eol + key + "=" + value + eol;
        return;
    }
    long at = FindKey(lines, header + 1, end, key);
    if (at >= 0) {
        // Keep the key as written and the blanks after '='; replace the value only.
        std::string name;
        std::size_t equals;
        KeyName(m_Bytes, lines[at].Begin, lines[at].End, name, equals);
        std::size_t from = equals + 1;
        while (from < lines[at].End && IsBlank(m_Bytes[from]))
            ++from;
        m_Bytes.replace(from, lines[at].End - from, value);
        return;
    }
    // A new key goes after the section's last key (or straight after its header).
    long after = header;
    for (long i = header + 1; i < end; ++i) {
        std::string name;
        std::size_t equals;
        if (KeyName(m_Bytes, lines[i].Begin, lines[i].End, name, equals))
            after = i;
    }
    const Line& line = lines[after];
    if (line.End == line.Next) // the file's last line, without a line end
        m_Bytes.insert(line.End, eol + key + "=" + value);
    else
        m_Bytes.insert(line.Next, key + "=" + value + eol);
}

void ProfileText::RemoveKey(const std::string& section, const std::string& key) {
    auto lines = SplitLines();
    long end;
    long header = FindSection(lines, section, end);
    if (header < 0)
        return;
    long at = FindKey(lines, header + 1, end, key);
    if (at >= 0)
        m_Bytes.erase(lines[at].Begin, lines[at].Next - lines[at].Begin);
}

void ProfileText::RemoveSection(const std::string& section) {
    auto lines = SplitLines();
    long end;
    long header = FindSection(lines, section, end);
    if (header < 0)
        return;
    std::size_t to = lines[end - 1].Next;
    m_Bytes.erase(lines[header].Begin, to - lines[header].Begin);
}

} // namespace platform
