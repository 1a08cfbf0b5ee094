#pragma once
#include <cstdint>
#include <string>

// The typist's playback without a window: the step-back setting, the speed's steps and text, and
// the position as the clipboard gets it.

// Recorder.ini's section and key for the seconds every pause steps back.
inline constexpr const char* kDictationSection = "Dictation";
inline constexpr const char* kStepBackKey = "StepBack";
inline constexpr unsigned kDefaultStepBack = 2;
inline constexpr unsigned kMaxStepBack = 10;

// A "StepBack" value: whole seconds 0 to 10; anything else (missing, negative, too large, not a
// whole number) is the default, 2.
unsigned StepBackSeconds(const std::string& value);
// The "StepBack" of the settings file in `workDir`.
unsigned LoadStepBack(const std::string& workDir);

// Speeds in tenths of the file's own: 5 to 15 in steps of 1.
inline constexpr int kSlowestSpeed = 5, kNormalSpeed = 10, kFastestSpeed = 15;
// `tenths` one step faster (`faster`) or slower, held to 0.5x..1.5x.
int NextSpeed(int tenths, bool faster);
// The speed text: " " at the file's own speed, else "0.8x" (small x: the wind shows "8X").
std::string SpeedText(int tenths);

// "[hh:mm:ss]", as transcripts mark a place in the sound.
std::string PositionStamp(std::uint64_t seconds);
