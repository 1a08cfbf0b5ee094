#pragma once
#include <string>

// Name of the current recording: the file being recorded, or the one that Play opens. The
// reader takes the name to open from here; the main window and the commands set it.
extern std::string g_FileName;
