#pragma once
#include "platform/Clock.h"

#include <functional>
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
