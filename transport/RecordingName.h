#pragma once
#include "platform/Clock.h"

#include <functional>
#include <optional>
#include <string>

// The name of a new recording: the local time it started, "YYYYMMDD-hhmmss.wav", so that the
// folder's byte order is the order of the recordings.
std::string RecordingStamp(const platform::LocalTime& t);

// The stamp, or, when a file of that name exists already (two recordings started within one
// second), the stamp with "_02", "_03", ... before ".wav". '_' sorts after '.', so a second
// recording of the same second still sorts after the first and before the next second's.
// An existing recording is never chosen, so it is never overwritten.
std::string UniqueRecordingName(const platform::LocalTime& t,
                                const std::function<bool(const std::string&)>& exists);

// The start time a recording's name begins with ("YYYYMMDD-hhmmss"), when it has that form.
std::optional<platform::LocalTime> StartTimeFromName(const std::string& name);

// What a user may change in a name, and what stays: the start stamp with its "_NN" (so that the
// folder's order stays the order of recording) and the ".wav"/".WAV" ending (so that the file is
// still a recording). The title is what lies between them, without the separating blank.
std::string RecordingTitle(const std::string& name);

// The name with `title` in place of its title; nothing when the title cannot stand in a file name
// (a '/', a control character, or "." and ".." for a name without a stamp) or leaves no name.
std::optional<std::string> RetitledRecording(const std::string& name, const std::string& title);
