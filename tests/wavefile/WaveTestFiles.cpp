#include "WaveTestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace wavetest {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavlo-wav-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_Path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_Path, ec);
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::uint32_t Le32(const Bytes& b, std::size_t o) {
    return std::uint32_t(b.at(o)) | std::uint32_t(b.at(o + 1)) << 8 | std::uint32_t(b.at(o + 2)) << 16 |
           std::uint32_t(b.at(o + 3)) << 24;
}

std::uint16_t Le16(const Bytes& b, std::size_t o) {
    return std::uint16_t(b.at(o) | b.at(o + 1) << 8);
}

void AppendTag(Bytes& b, const char* tag) {
    b.insert(b.end(), tag, tag + 4);
}

void Append32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void Append16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

Bytes FromHex(const std::string& hex) {
    Bytes out;
    std::string digits;
    for (char c : hex)
        if (c != ' ')
            digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<unsigned char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

void AppendFmt(Bytes& b, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
               std::uint32_t payloadSize, std::uint16_t formatTag) {
    AppendTag(b, "fmt ");
    Append32(b, payloadSize);
    const std::uint16_t align = std::uint16_t(channels * ((bits + 7) / 8));
    Append16(b, formatTag);
    Append16(b, channels);
    Append32(b, rate);
    Append32(b, rate * align);
    Append16(b, align);
    Append16(b, bits);
    for (std::uint32_t i = 16; i < payloadSize; ++i)
        b.push_back(0);
}

Bytes Ramp(std::size_t count, unsigned seed) {
    Bytes out(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<unsigned char>((i * 7 + seed) ^ (i >> 8));
    return out;
}

Bytes ProgramFile(std::uint32_t dataBytes, const std::vector<std::uint32_t>& entries, std::uint32_t rate) {
    Bytes b;
    AppendTag(b, "RIFF");
    Append32(b, 36 + dataBytes);
    AppendTag(b, "WAVE");
    AppendFmt(b, 1, rate, 16);
    AppendTag(b, "data");
    Append32(b, dataBytes);
    Bytes samples = Ramp(dataBytes);
    b.insert(b.end(), samples.begin(), samples.end());
    AppendTag(b, "sect");
    Append32(b, std::uint32_t(entries.size()));
    for (auto e : entries)
        Append32(b, e);
    return b;
}

Bytes Chunk(const char* tag, const std::string& payload) {
    Bytes b;
    AppendTag(b, tag);
    Append32(b, std::uint32_t(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

Bytes RiffWave(const std::vector<Bytes>& chunks) {
    Bytes body;
    AppendTag(body, "WAVE");
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes file;
    AppendTag(file, "RIFF");
    Append32(file, std::uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

std::vector<ChunkedCase> ChunkedFiles() {
    Bytes fmt;
    AppendFmt(fmt, 1, 44100, 16);
    const Bytes samples = Ramp(600, 5);
    Bytes data = Chunk("data", std::string(samples.begin(), samples.end()));
    const auto info = [](const std::string& text) {
        std::string payload = "INFOICMT";
        payload += std::string(1, char(text.size())) + std::string(3, '\0') + text;
        return Chunk("LIST", payload);
    };
    const auto make = [&](const std::string& name, const std::vector<Bytes>& chunks) {
        Bytes file = RiffWave(chunks);
        return ChunkedCase{name, file, file.size() - samples.size(), samples};
    };
    Bytes oddPadded = Chunk("note", "odd");
    oddPadded.push_back(0);
    // A fmt chunk that says 16 bytes but holds 18 (an extension size nobody counted).
    Bytes longFmt = fmt;
    longFmt.push_back(0);
    longFmt.push_back(0);
    // A comment holding what looks like a whole data header with a size.
    const std::string metadata("see the metadata\x0e\0\0\0 of the take", 32);
    std::vector<ChunkedCase> cases = {
        make("LIST text ending in \"Recorded\" right before data", {fmt, info("Recorded"), data}),
        make("fact chunk holding the byte 0x64", {fmt, Chunk("fact", std::string("\x64\0\0\0", 4)), data}),
        make("LIST comment containing \"metadata\"", {fmt, info(metadata), data}),
        make("JUNK chunk before fmt", {Chunk("JUNK", std::string(28, '\0')), fmt, data}),
        make("odd-sized chunk with its pad byte", {fmt, oddPadded, data}),
        make("odd-sized chunk without its pad byte", {fmt, Chunk("note", "odd"), data}),
        make("fmt that says 16 bytes but holds 18", {longFmt, data}),
    };
    // data before fmt: the samples are not at the end.
    Bytes dataFirst = RiffWave({data, fmt});
    cases.push_back({"data before fmt", dataFirst, 20, samples});
    return cases;
}

Bytes PcmHeader(std::uint16_t channels, std::uint32_t rate, std::uint32_t dataBytes) {
    Bytes b;
    AppendTag(b, "RIFF");
    Append32(b, 36 + dataBytes);
    AppendTag(b, "WAVE");
    AppendFmt(b, channels, rate, 16);
    AppendTag(b, "data");
    Append32(b, dataBytes);
    return b;
}

void WriteSparseWave(const std::string& path, std::uint16_t channels, std::uint32_t rate,
                     std::uint32_t dataBytes) {
    WriteFile(path, PcmHeader(channels, rate, dataBytes));
    std::filesystem::resize_file(path, 44 + std::uintmax_t(dataBytes));
}

} // namespace wavetest
