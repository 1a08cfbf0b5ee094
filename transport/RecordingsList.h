#pragma once
#include "platform/FileSystem.h"

#include <list>
#include <string>

// The rules of the recordings list, apart from the folder search that feeds it.

// The list's single entry when the folder holds no recording.
inline constexpr const char* kNoWavFiles = "No WAV files";
// The status line when the current entry cannot be opened for playback.
inline constexpr const char* kFileOpenError = "File Open Error!";

// Whether a folder entry is a recording: a file (not a folder, whatever its other attribute bits,
// and not a dangling link, a pipe or a device, which would fail or block the reader) whose name
// ends in exactly ".wav" or ".WAV". Everything that lists recordings asks this.
bool IsListedRecording(const platform::FindData& entry);

// Sorts the names in byte order (capitals before small letters); an iterator into the list keeps
// designating the same name wherever it lands.
void SortRecordings(std::list<std::string>& names);

// The entry after `at` (after the last comes the first) and the one before it (before the first
// comes the last). `at` must designate an entry of a non-empty list.
std::list<std::string>::iterator NextRecording(std::list<std::string>& names,
                                               std::list<std::string>::iterator at);
std::list<std::string>::iterator PreviousRecording(std::list<std::string>& names,
                                                   std::list<std::string>::iterator at);

// A recording that came into the folder after the scan joins the list where its name sorts (the
// placeholder gives way to it; the current entry stays, unless that was the placeholder). Returns
// its entry; a name already listed is not added twice.
std::list<std::string>::iterator AddRecording(std::list<std::string>& names,
                                              std::list<std::string>::iterator& current,
                                              const std::string& name);
// A recording that left the folder leaves the list. When it was the current entry, the one after
// it becomes current (after the last, the first); an emptied list holds the placeholder.
void RemoveRecording(std::list<std::string>& names, std::list<std::string>::iterator& current,
                     const std::string& name);
