#pragma once
#include "WaveDataStore.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace soundtouch {
class SoundTouch;
}

// Plays a store's sound faster or slower with its pitch kept (time-stretching with SoundTouch), for
// the player's fill worker: Fill reads from the store what the stretched sound needs and hands back
// whole frames in the store's own format. Only the fill worker uses it while the player runs; the
// window's thread configures it while both workers are parked.
class CTempoStretch {
public:
    CTempoStretch();
    ~CTempoStretch();
    CTempoStretch(const CTempoStretch&) = delete;
    CTempoStretch& operator=(const CTempoStretch&) = delete;

    // The store's format (as IsPlayablePcm allows: 8, 16, 24 or 32 bits, 1 to 8 channels); forgets
    // any sound held.
    void SetFormat(unsigned rate, unsigned short bits, unsigned short channels);
    // Forgets the sound held: the next Fill starts afresh at the store's position.
    void Clear();
    // Fills `out` with up to `bytes` bytes (whole frames) of the store's sound at `tempo` times its
    // speed and returns how many it delivered: fewer only at the end of the store, 0 once all is
    // out. A store moved since the last Fill (a seek) starts afresh from where it now is.
    unsigned Fill(CWaveDataStore& store, double tempo, char* out, unsigned bytes);
    // Where in the store (as its Tell counts) the sound Fill delivered last ends: the store's
    // position less what the stretcher still holds, input and output, in the store's time.
    std::uint64_t FilePosition(std::uint64_t storeTell) const;

private:
    void ToFloat(const char* bytes, unsigned frames, float* samples) const;
    void FromFloat(const float* samples, unsigned frames, char* bytes) const;

    std::unique_ptr<soundtouch::SoundTouch> m_Touch;
    unsigned m_Rate = 0;
    unsigned short m_Bits = 16, m_Channels = 1;
    unsigned m_Frame = 2;
    double m_Tempo = 1.0;
    std::optional<std::uint64_t> m_NextRead; // the store's position after the last read, if fed
    bool m_Flushed = false;                  // the store's end reached and the tail pushed out
    std::vector<char> m_Raw;
    std::vector<float> m_In, m_Out;
};
