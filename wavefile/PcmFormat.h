#pragma once

// The sound the program can play and record: integer PCM of 8, 16, 24 or 32 bits, 1 to 8
// channels, 1000 to 384000 frames a second (what the wave layer opens). Outside these a damaged
// header would size the engine's buffers by its own numbers: 65540 Hz, 32-bit, 16383 channels
// made each of the eight about 430 MB.
constexpr unsigned kMinPcmRate = 1000;
constexpr unsigned kMaxPcmRate = 384000;
constexpr unsigned short kMaxPcmChannels = 8;

constexpr bool IsPlayablePcm(unsigned sampleRate, unsigned short bitsPerSample, unsigned short channels) {
    const bool bits = bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32;
    return bits && channels >= 1 && channels <= kMaxPcmChannels && sampleRate >= kMinPcmRate &&
           sampleRate <= kMaxPcmRate;
}
