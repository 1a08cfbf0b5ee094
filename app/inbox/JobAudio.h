#pragma once
#include "JobFile.h"

#include <string>

// A job's Opus audio made playable: decoded to a sectioned WAV file (16-bit mono, 48 kHz, the
// job's sections as the file's section list) in a private cache, so that the main window's player
// plays it as it plays any recording. Any thread may call these; decoding takes a while and runs
// on a worker.

// `$XDG_CACHE_HOME/tavlo/jobs` (else `~/.cache/tavlo/jobs`), made with mode 0700 when missing.
std::string JobCacheFolder();

// Decodes `<inbox>/<job.Audio>` to `<cache>/<job.Id>.wav` (through a temporary name, renamed
// when complete) unless a complete decoding newer than the audio is there already. The audio is
// opened as a regular file only (no link, no FIFO). True with the WAV's path in `wav`; false with
// `problem` in plain words.
bool DecodeJobAudio(const std::string& inbox, const dictation::Job& job, const std::string& cache,
                    std::string& wav, std::string& problem);
