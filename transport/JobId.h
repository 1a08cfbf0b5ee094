#pragma once
#include <string>

// A dictation job's name, shared by the author's and the typist's side: the recording's stem and
// the author, "20261210-194651-Maria_Lopez". The author's part keeps [A-Za-z0-9_-] and turns every
// other character (a UTF-8 sequence counts as one) into '_', at most 32 characters, so that the
// name is safe on every file system and sync engine the job passes through.
std::string AuthorSlug(const std::string& author);
std::string JobId(const std::string& stem, const std::string& author);
