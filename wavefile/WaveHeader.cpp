#include "WaveHeader.h"

#include "WaveBytes.h"

#include <algorithm>
#include <limits>

using namespace wavebytes;

namespace waveheader {

std::uint32_t MaxDataBytes(unsigned frameBytes) {
    const unsigned frame = std::max(frameBytes, 2u);
    // The "sect" chunk starts at 44 + D; keeping that offset within 32 bits keeps the RIFF size
    // (36 + D) and every position a reader reports within 32 bits as well.
    return (std::numeric_limits<std::uint32_t>::max() - std::uint32_t(kSize)) / frame * frame;
}

std::array<unsigned char, kSize> Make(unsigned sampleRate, unsigned short channels, std::uint32_t dataBytes) {
    std::array<unsigned char, kSize> h{};
    const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
    PutTag(h.data(), "RIFF");
    Put32(h.data() + kRiffSizeAt, RiffSizeFor(dataBytes));
    PutTag(h.data() + 8, "WAVE");
    PutTag(h.data() + kFmtAt, "fmt ");
    Put32(h.data() + 16, 16);
    Put16(h.data() + 20, 1);
    Put16(h.data() + kChannelsAt, channels);
    Put32(h.data() + kRateAt, sampleRate);
    Put32(h.data() + kByteRateAt, std::uint32_t(blockAlign) * sampleRate);
    Put16(h.data() + kBlockAlignAt, blockAlign);
    Put16(h.data() + kBitsAt, 16);
    PutTag(h.data() + kDataAt, "data");
    Put32(h.data() + kDataSizeAt, dataBytes);
    return h;
}

void FormatOfFmtChunk(const unsigned char* fmt, unsigned* sampleRate, unsigned short* bitsPerSample,
                      unsigned short* channels) {
    *channels = Get16(fmt + (kChannelsAt - kFmtAt));
    *sampleRate = Get32(fmt + (kRateAt - kFmtAt));
    *bitsPerSample = Get16(fmt + (kBitsAt - kFmtAt));
}

std::array<SizeField, 2> SizeFields(std::uint32_t dataBytes) {
    std::array<SizeField, 2> fields{{{kRiffSizeAt, {}}, {kDataSizeAt, {}}}};
    Put32(fields[0].Bytes, RiffSizeFor(dataBytes));
    Put32(fields[1].Bytes, dataBytes);
    return fields;
}

std::optional<unsigned> FrameOfOwnHeader(const unsigned char* h) {
    if (!TagIs(h, "RIFF") || !TagIs(h + 8, "WAVE") || !TagIs(h + kFmtAt, "fmt ") || Get32(h + 16) != 16 ||
        Get16(h + 20) != 1 || Get16(h + kBitsAt) != 16 || !TagIs(h + kDataAt, "data"))
        return std::nullopt;
    const unsigned channels = Get16(h + kChannelsAt);
    if (channels == 0 || Get16(h + kBlockAlignAt) != channels * 2)
        return std::nullopt;
    return channels * 2;
}

} // namespace waveheader
