#pragma once
#include "StateFile.h"

#include <string>

namespace dictation {

// Writes the typist's state to `<folder>/ID.state`: to a temporary dot-name in `folder` first
// (every reader and, through the Done folder's .stignore, the sync engine pass over it), then
// renamed, so that nobody sees half a file. Nothing else in the folder is touched; the author's
// files are never written. False with `problem` in plain words. Any thread.
bool WriteStateFile(const std::string& folder, const TypistState& state, std::string& problem);

} // namespace dictation
