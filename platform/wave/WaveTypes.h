#pragma once
#include <cstdint>

// The records and codes of the wave layer. They keep the layout and the values that the engine's
// buffer bookkeeping was designed around: a buffer is a 32-byte-style header pointing at its data
// block, a format is a PCM description, and every operation answers with a result code.
namespace platform {

using MMRESULT = unsigned;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// The device identifier that asks for the system's default device.
constexpr unsigned WAVE_MAPPER = 0xFFFFFFFFu;

// Notification messages handed to the device callback.
constexpr unsigned WOM_DONE = 0x3BD; // an output buffer has been played
constexpr unsigned WIM_DATA = 0x3C0; // an input buffer has been filled (or returned partly filled)
// The device failed, vanished or stopped delivering: it will play or capture nothing more. Sent
// once, before the buffers it still held are given back (param1 is 0).
constexpr unsigned WAVE_FAILED = 0x3FF;

constexpr unsigned WAVE_FORMAT_PCM = 1;

// Header flags.
constexpr std::uint32_t WHDR_DONE = 0x01;
constexpr std::uint32_t WHDR_PREPARED = 0x02;
constexpr std::uint32_t WHDR_INQUEUE = 0x10;

struct WAVEFORMATEX {
    std::uint16_t wFormatTag;
    std::uint16_t nChannels;
    std::uint32_t nSamplesPerSec;
    std::uint32_t nAvgBytesPerSec;
    std::uint16_t nBlockAlign;
    std::uint16_t wBitsPerSample;
    std::uint16_t cbSize;
};

struct WAVEHDR {
    char* lpData;
    std::uint32_t dwBufferLength;  // bytes to play, or room to record into
    std::uint32_t dwBytesRecorded; // bytes captured (input only)
    std::uintptr_t dwUser;
    std::uint32_t dwFlags;
    std::uint32_t dwLoops;
    WAVEHDR* lpNext;
    std::uintptr_t reserved;
};

} // namespace platform
