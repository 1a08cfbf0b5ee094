#pragma once
// A recording of a steady tone where samples are not exact (a server that resamples adaptively):
// its length, pitch and longest silence.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tonecheck {

struct ToneFacts {
    double Seconds = 0;      // all samples
    double SoundSeconds = 0; // from the first to the last sounding sample
    double Hz = 0;           // zero crossings / 2 per second of sound
    double LongestGapMs = 0; // the longest quiet run between the first and the last sound
};

// Below `quiet` a sample is silence: a tone passes it in a sample or two at each zero crossing,
// so a longer quiet run is a gap.
inline ToneFacts Examine(const std::vector<std::int16_t>& samples, unsigned rate, int quiet = 300) {
    ToneFacts facts;
    facts.Seconds = static_cast<double>(samples.size()) / rate;
    std::size_t first = samples.size(), last = 0;
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (std::abs(samples[i]) >= quiet) {
            first = std::min(first, i);
            last = i;
        }
    if (first > last)
        return facts;
    std::size_t crossings = 0, run = 0, longest = 0;
    for (std::size_t i = first + 1; i <= last; ++i) {
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
        run = std::abs(samples[i]) < quiet ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    facts.SoundSeconds = static_cast<double>(last - first + 1) / rate;
    facts.Hz = crossings / 2.0 / facts.SoundSeconds;
    facts.LongestGapMs = 1000.0 * longest / rate;
    return facts;
}

// Where a steady sine breaks: it obeys s[n+1] = 2 cos(w) s[n] - s[n-1] at every sample, so a lost or
// doubled stretch, or a gap, shows as a sample off that rule by more than 2 % of the amplitude.
// Counts the places (breaks closer than four samples are one), from the first to the last loud
// sample. Only for sound that is sample-exact (no adaptive resampling).
inline unsigned PhaseBreaks(const std::vector<std::int16_t>& samples) {
    int amplitude = 0;
    for (std::int16_t v : samples)
        amplitude = std::max(amplitude, std::abs(static_cast<int>(v)));
    std::size_t first = 0, last = samples.size();
    while (first < last && std::abs(samples[first]) < amplitude / 2)
        ++first;
    while (last > first + 2 && std::abs(samples[last - 1]) < amplitude / 2)
        --last;
    if (last < first + 3)
        return 1; // no tone at all
    // cos(w) from the loud samples themselves: the median of (s[n-1] + s[n+1]) / 2 s[n].
    std::vector<double> ratios;
    for (std::size_t n = first + 1; n + 1 < last; n += 16)
        if (std::abs(samples[n]) > amplitude / 2)
            ratios.push_back((samples[n - 1] + samples[n + 1]) / (2.0 * samples[n]));
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<long>(ratios.size() / 2), ratios.end());
    const double c = ratios[ratios.size() / 2];
    unsigned breaks = 0;
    std::size_t lastBreak = 0;
    for (std::size_t n = first + 1; n + 1 < last; ++n) {
        if (std::abs(samples[n + 1] - 2 * c * samples[n] + samples[n - 1]) <= 0.02 * amplitude)
            continue;
        if (breaks == 0 || n > lastBreak + 3)
            ++breaks;
        lastBreak = n;
    }
    return breaks;
}

// The 16-bit samples of a raw file, or of the data chunk of a WAV file with a 44-byte header.
inline std::vector<std::int16_t> ReadSamples(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::size_t begin = 0, length = bytes.size();
    if (bytes.size() >= 44 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(36, 4, "data") == 0) {
        std::uint32_t data = 0;
        std::memcpy(&data, bytes.data() + 40, 4);
        begin = 44;
        length = std::min<std::size_t>(data, bytes.size() - 44);
    }
    std::vector<std::int16_t> samples(length / 2);
    std::memcpy(samples.data(), bytes.data() + begin, samples.size() * 2);
    return samples;
}

} // namespace tonecheck
