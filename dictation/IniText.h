#pragma once
#include <string>

namespace dictation {

// The small INI texts the two sides pass each other (jobs, states): one "key=value" line, and the
// checks a reader makes before it trusts a text from another machine.
std::string IniLine(const char* key, const std::string& value);
// The value on one line: control characters (a note's line breaks) become blanks, blanks at the
// ends go, and a value the reader would take for a quoted one keeps its quotes.
std::string OneLine(const std::string& value);
// True when the bytes are UTF-8 without NUL bytes.
bool IsUtf8Text(const std::string& bytes);

} // namespace dictation
