#include "FileName.h"

std::string g_FileName;
