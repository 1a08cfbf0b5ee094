#pragma once
#include <cstdint>
#include <list>
#include <string>

// Program-wide state of the recorder: one copy per process, shared by the main window's
// handlers, its timers and the remote unit's report decoding. Touched on the user-interface
// thread only. The start-up sequence sets the values that have a start value.

extern std::int32_t g_Hours, g_Minutes, g_Seconds; // the time last split for display

extern bool g_DeviceOpen;     // the HID device was opened; the poll timer runs only while true
extern bool g_DeviceLost;     // the once-per-second check found the device gone
extern bool g_AwaitReconnect; // a loss was seen; the next successful check reconnects
extern bool g_LinkUp;         // a report from the remote unit has arrived since start or link loss

extern bool g_KeyHeld;           // a remote FF/REW key went down; hold detection runs
extern bool g_HoldForward;       // the held key is forward (true) or rewind (false)
extern std::int32_t g_HoldCount; // reports counted while the key is held

extern bool g_HasSections;              // the playing file has a section list
extern std::int32_t g_LastSectionStart; // start second of the playing file's last section
extern std::int32_t g_PlayLength;       // length of the playing file in seconds

extern std::int64_t g_RecordStartTime; // when the open recording's current section began or resumed
extern std::int32_t g_RecordSeconds;   // seconds recorded so far in the open recording
extern std::int32_t g_RecordSection;   // section number while recording
extern bool g_DiskFull;                // set by the free-space check

extern bool g_RescanFolder;   // the recordings folder must be scanned again
extern std::uint32_t g_Speed; // FF/REW speed code: 0, 2, 4, 8, 16 or 32

extern std::list<std::string> g_FileList;          // the recordings of the folder, or "No WAV files"
extern std::list<std::string>::iterator g_CurFile; // the current entry of g_FileList

extern std::string g_Format;      // the "Format" setting (sample rate as text)
extern std::string g_FolderName;  // the recordings folder setting; ".\" is the start-up directory
extern std::string g_RecordInput; // the "RecordInput" setting: the input chosen by name, "" for none
