#include "ProgramState.h"

std::int32_t g_Hours = 0, g_Minutes = 0, g_Seconds = 0;

bool g_DeviceOpen = true;
bool g_DeviceLost = false;
bool g_AwaitReconnect = false;
bool g_LinkUp = false;

bool g_KeyHeld = false;
bool g_HoldForward = false;
std::int32_t g_HoldCount = 0;

bool g_HasSections = false;
std::int32_t g_LastSectionStart = 0;
std::int32_t g_PlayLength = 0;

std::int64_t g_RecordStartTime = 0;
std::int32_t g_RecordSeconds = 0;
std::int32_t g_RecordSection = 0;
bool g_DiskFull = false;

bool g_RescanFolder = true;
std::uint32_t g_Speed = 0;

std::list<std::string> g_FileList;
std::list<std::string>::iterator g_CurFile = g_FileList.end();

std::string g_Format = "44100";
std::string g_FolderName = ".\\";
std::string g_RecordInput;
