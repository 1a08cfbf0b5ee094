#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Helpers for the wave file tests: a private folder per test, and byte-level file building
// and reading so that tests can state exactly what lies in a file.
namespace wavetest {

using Bytes = std::vector<unsigned char>;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Path(const std::string& name) const { return m_Path + "/" + name; }
    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);

std::uint32_t Le32(const Bytes& bytes, std::size_t offset);
std::uint16_t Le16(const Bytes& bytes, std::size_t offset);
void AppendTag(Bytes& bytes, const char* tag);
void Append32(Bytes& bytes, std::uint32_t v);
void Append16(Bytes& bytes, std::uint16_t v);
Bytes FromHex(const std::string& hex);

// A fmt chunk ("fmt " + size + payload), PCM unless another tag is given; extra bytes (cbSize
// etc., zeros) make it longer.
void AppendFmt(Bytes& bytes, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
               std::uint32_t payloadSize = 16, std::uint16_t formatTag = 1);

// A file as the program writes it: 44-byte header, dataBytes sample bytes (a ramp), the "sect"
// chunk with the given entries.
Bytes ProgramFile(std::uint32_t dataBytes, const std::vector<std::uint32_t>& entries,
                  std::uint32_t rate = 44100);

// The 44-byte header of an ordinary WAV file of 16-bit PCM holding dataBytes sample bytes.
Bytes PcmHeader(std::uint16_t channels, std::uint32_t rate, std::uint32_t dataBytes);

// An ordinary WAV file of 16-bit PCM whose dataBytes sample bytes are a hole of zeros: hours of
// sound that take no room on the disk.
void WriteSparseWave(const std::string& path, std::uint16_t channels, std::uint32_t rate,
                     std::uint32_t dataBytes);

// A chunk: tag, payload size, payload (no pad byte; add one where it belongs).
Bytes Chunk(const char* tag, const std::string& payload);

// A RIFF/WAVE file made of the given chunks, in order.
Bytes RiffWave(const std::vector<Bytes>& chunks);

// WAV files of 44100 Hz 16-bit mono sound whose chunks lie in ways that a search for the letters
// "data" got wrong: where the samples start and what they are.
struct ChunkedCase {
    std::string Name;
    Bytes File;
    std::uint64_t DataStart;
    Bytes Samples;
};
std::vector<ChunkedCase> ChunkedFiles();

// Sample bytes that differ from position to position, to check what was read.
Bytes Ramp(std::size_t count, unsigned seed = 0);

} // namespace wavetest
