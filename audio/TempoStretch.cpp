#include "TempoStretch.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>
#include <cstring>

CTempoStretch::CTempoStretch() : m_Touch(std::make_unique<soundtouch::SoundTouch>()) {}

CTempoStretch::~CTempoStretch() = default;

void CTempoStretch::SetFormat(unsigned rate, unsigned short bits, unsigned short channels) {
    m_Rate = rate;
    m_Bits = bits;
    m_Channels = channels != 0 ? channels : 1;
    m_Frame = std::max(1u, unsigned(bits / 8) * m_Channels);
    m_Touch->setSampleRate(rate != 0 ? rate : 1);
    m_Touch->setChannels(m_Channels);
    m_Touch->clear();
    Clear();
}

void CTempoStretch::Clear() {
    // Called with every buffer at the file's own speed: a stretcher that holds nothing costs nothing.
    if (m_NextRead || m_Flushed)
        m_Touch->clear();
    m_NextRead.reset();
    m_Flushed = false;
}

unsigned CTempoStretch::Fill(CWaveDataStore& store, double tempo, char* out, unsigned bytes) {
    // A seek moved the store: what is held belongs to the old place.
    if (m_NextRead && store.Tell() != *m_NextRead)
        Clear();
    if (tempo != m_Tempo) {
        m_Tempo = tempo;
        m_Touch->setTempo(tempo);
    }
    const unsigned wanted = bytes / m_Frame;
    m_Out.resize(std::size_t(wanted) * m_Channels);
    // About a tenth of a second of the store per read, in whole frames.
    const unsigned chunkFrames = std::max(1u, m_Rate / 10);
    unsigned got = 0;
    while (got < wanted) {
        got += m_Touch->receiveSamples(m_Out.data() + std::size_t(got) * m_Channels, wanted - got);
        if (got == wanted || m_Flushed)
            break;
        m_Raw.resize(std::size_t(chunkFrames) * m_Frame);
        unsigned length = chunkFrames * m_Frame;
        store.Read(m_Raw.data(), &length);
        m_NextRead = store.Tell();
        const unsigned frames = length / m_Frame;
        if (frames == 0) {
            // The end: push out what the stretcher still holds, once.
            m_Touch->flush();
            m_Flushed = true;
            continue;
        }
        m_In.resize(std::size_t(frames) * m_Channels);
        ToFloat(m_Raw.data(), frames, m_In.data());
        m_Touch->putSamples(m_In.data(), frames);
    }
    FromFloat(m_Out.data(), got, out);
    return got * m_Frame;
}

std::uint64_t CTempoStretch::FilePosition(std::uint64_t storeTell) const {
    const double held = m_Touch->numUnprocessedSamples() + m_Touch->numSamples() * m_Tempo;
    const auto behind = static_cast<std::uint64_t>(std::llround(held)) * m_Frame;
    return behind < storeTell ? storeTell - behind : 0;
}

// Little-endian PCM as WAV files hold it: 8-bit unsigned, the rest signed.
void CTempoStretch::ToFloat(const char* bytes, unsigned frames, float* samples) const {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    const std::size_t count = std::size_t(frames) * m_Channels;
    const unsigned width = m_Bits / 8;
    for (std::size_t i = 0; i < count; ++i, b += width) {
        if (width == 1) {
            samples[i] = (float(b[0]) - 128.0f) / 128.0f;
            continue;
        }
        std::uint32_t raw = 0;
        for (unsigned k = 0; k < width; ++k)
            raw |= std::uint32_t(b[k]) << (8 * k);
        // Sign-extended from the sample's top bit to 32 bits.
        const int shift = 32 - int(8 * width);
        const auto value = static_cast<std::int32_t>(raw << shift);
        samples[i] = float(double(value) / 2147483648.0);
    }
}

void CTempoStretch::FromFloat(const float* samples, unsigned frames, char* bytes) const {
    auto* b = reinterpret_cast<unsigned char*>(bytes);
    const std::size_t count = std::size_t(frames) * m_Channels;
    const unsigned width = m_Bits / 8;
    for (std::size_t i = 0; i < count; ++i, b += width) {
        const double s = std::clamp(double(samples[i]), -1.0, 1.0);
        if (width == 1) {
            b[0] = static_cast<unsigned char>(std::lround(std::min(s * 128.0 + 128.0, 255.0)));
            continue;
        }
        const double full = double(std::int64_t{1} << (8 * width - 1));
        const auto value = static_cast<std::int64_t>(std::llround(std::clamp(s * full, -full, full - 1)));
        const auto raw = static_cast<std::uint32_t>(value);
        for (unsigned k = 0; k < width; ++k)
            b[k] = static_cast<unsigned char>(raw >> (8 * k));
    }
}
