#pragma once
#include <string>
#include <vector>

namespace platform {

// The rules of the private-profile text format, on the file's bytes in memory; the real service
// and the fake keep the bytes in different places but share these rules.
class ProfileText {
public:
    explicit ProfileText(std::string bytes);

    // The value of the key, blanks around it removed and one pair of enclosing quotes dropped;
    // false when the section or the key is missing.
    bool Find(const std::string& section, const std::string& key, std::string& value) const;
    // The key names of the first section of that name, in file order; empty when missing.
    std::vector<std::string> Keys(const std::string& section) const;

    // The edits change only the line they concern (or append lines) and keep all other bytes.
    void Set(const std::string& section, const std::string& key, const std::string& value);
    void RemoveKey(const std::string& section, const std::string& key);
    void RemoveSection(const std::string& section);

    const std::string& Bytes() const { return m_Bytes; }

private:
    struct Line {
        std::size_t Begin; // offset of the line's first byte
        std::size_t End;   // offset just past its text, before "\r\n" or "\n"
        std::size_t Next;  // offset of the next line
    };
    std::vector<Line> SplitLines() const;
    // Index of the first line of the section's body, or -1; `end` gets the index just past its last line.
    long FindSection(const std::vector<Line>& lines, const std::string& section, long& end) const;
    long FindKey(const std::vector<Line>& lines, long first, long end, const std::string& key) const;
    std::string LineEnding() const;
    // Offset of the first line: past a leading UTF-8 byte-order mark, if there is one.
    std::size_t BodyStart() const;

    std::string m_Bytes;
};

} // namespace platform
