#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// The 44-byte header that the program writes ahead of the samples, field by field: the one
// description that the writer (which makes it), the reader (which takes channels, rate and bits
// from its fmt chunk) and the repair (which recognises it and patches its sizes) all use.
//
//   offset  0  "RIFF"            offset 24  sample rate R
//   offset  4  RIFF size 36 + D  offset 28  byte rate R × A
//   offset  8  "WAVE"            offset 32  block align A = C × 2
//   offset 12  "fmt "            offset 34  bits per sample 16
//   offset 16  fmt size 16       offset 36  "data"
//   offset 20  format tag 1      offset 40  data size D
//   offset 22  channels C        offset 44  the D sample bytes, then "sect", N, N lengths
namespace waveheader {

constexpr std::size_t kSize = 44;
constexpr std::size_t kRiffSizeAt = 4;
constexpr std::size_t kFmtAt = 12;
constexpr std::size_t kChannelsAt = 22;
constexpr std::size_t kRateAt = 24;
constexpr std::size_t kByteRateAt = 28;
constexpr std::size_t kBlockAlignAt = 32;
constexpr std::size_t kBitsAt = 34;
constexpr std::size_t kDataAt = 36;
constexpr std::size_t kDataSizeAt = 40;
constexpr std::size_t kSectHeaderSize = 8;

// The RIFF size that goes with D sample bytes: everything after the RIFF size field up to the
// last sample ("sect" is not counted).
constexpr std::uint32_t RiffSizeFor(std::uint32_t dataBytes) {
    return static_cast<std::uint32_t>(kSize - 8 + dataBytes);
}

// The most sample bytes a file can hold with frames of frameBytes (at least 2) so that no size
// or offset in it, the "sect" chunk's included, passes 32 bits.
std::uint32_t MaxDataBytes(unsigned frameBytes);

// The header for 16-bit PCM at the given rate and channel count, claiming dataBytes samples.
std::array<unsigned char, kSize> Make(unsigned sampleRate, unsigned short channels, std::uint32_t dataBytes);

// Sample rate, bits per sample and channels of a fmt chunk image that starts with "fmt "
// (the 24 bytes from file offset 12).
void FormatOfFmtChunk(const unsigned char* fmt, unsigned* sampleRate, unsigned short* bitsPerSample,
                      unsigned short* channels);

// The two size fields for dataBytes samples: where each goes and its four bytes. The writer and
// the repair write them in this order.
struct SizeField {
    std::size_t At;
    unsigned char Bytes[4];
};
std::array<SizeField, 2> SizeFields(std::uint32_t dataBytes);

// The sample frame size of a header exactly as the program writes it (16-bit PCM, 16-byte fmt
// chunk, "data" at offset 36); nothing for any other header.
std::optional<unsigned> FrameOfOwnHeader(const unsigned char* header);

} // namespace waveheader
