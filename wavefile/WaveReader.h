#pragma once
#include "SectionNode.h"
#include "WaveDataStore.h"
#include "WaveFile.h"

#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>

// Opens one recording for playback: checks the RIFF/WAVE header, finds the "data" chunk, loads
// the section list of the "sect" chunk that follows the RIFF chunk, and serves the samples to
// the playback engine through its CWaveDataStore side.
//
// Besides the program's own files it accepts ordinary WAV files: the RIFF size is not compared
// with the file length, only channels, rate and bits are taken from the fmt chunk, other chunks
// (or a longer fmt chunk) before "data" are skipped by a search, and a file without bytes after
// the RIFF chunk simply has no section list.
//
// Threads: Read runs on the player's fill worker while Tell and GetLength are asked from the
// window's thread; a lock keeps each read and each position query whole. Seek is called only
// while the player is halted; the section list is touched only from the window's thread.
class CWaveReader : public CWaveFile, public CWaveDataStore {
public:
    // Opens the file named by g_FileName (the tools and benchmarks' way; the program names its
    // file). Throws WaveErrors::RiffDoesntMatch, WaveDoesntMatch,
    // FmtDoesntMatch, DataDoesntMatch or FormatDoesntMatch (sound the program cannot play: not
    // integer PCM, or outside PcmFormat.h) when the file is rejected; a file that cannot be opened
    // (missing, unreadable, not a regular file) reads as empty and is rejected as not RIFF.
    CWaveReader();
    // The same on the file `fileName`: for readers off the window's thread, which must not touch
    // g_FileName.
    explicit CWaveReader(const std::string& fileName);
    // Closes the file and frees the section list.
    ~CWaveReader() override;

    // Closes the file; afterwards Read delivers nothing, Seek fails and Tell gives 0.
    virtual void Close();

    // Delivers up to *length sample bytes and sets *length to the number delivered; 0 once the
    // end of the samples is reached.
    void Read(char* buffer, unsigned* length) override;
    void GetFormat(unsigned* sampleRate, unsigned short* bitsPerSample, unsigned short* channels) override;
    // Absolute: to sample byte offset, or to the end when offset is negative or past the end.
    // Relative: by offset from the current position, held within the samples. False only when
    // the file is not open.
    bool Seek(std::int64_t offset, bool absolute) override;
    // The current position as an absolute file offset (header included); 0 when closed.
    std::uint64_t Tell() override;
    // Sample bytes in the file: the data size of the header, or less when the file ends sooner.
    std::uint64_t GetLength() override;

    // The name the reader opened.
    const std::string& FileName() const { return m_FileName; }

    // Number of entries in the "sect" chunk; 0 when there is none.
    std::uint32_t m_SectionCount = 0;
    // Cursor into the section list; the main window moves it.
    SectionNode* m_pCurSection = nullptr;
    // Section 1; null when the file has no section header.
    SectionNode* m_pFirstSection = nullptr;

    // The most entries a section list is read with: section numbers are 16-bit.
    static constexpr std::uint32_t MaxSectionEntries = 65534;

private:
    // Walks the chunks after "WAVE": fills the fmt image and the data header image and returns the
    // offset of the first sample byte. Throws FmtDoesntMatch or DataDoesntMatch.
    std::uint64_t FindChunks();
    // count bytes from file offset at; false when the file has fewer.
    bool ReadAt(std::uint64_t at, unsigned char* bytes, std::size_t count);
    // How far past a place that is no chunk header a "data" header is still looked for.
    static constexpr std::size_t kResyncWindow = 64;
    bool ReadSections(std::streamoff samplesAt);
    void FreeSections();
    std::uint32_t DataSize() const;

    std::ifstream m_File;
    std::string m_FileName;
    std::uint64_t m_DataStart = 0;
    std::uint64_t m_DataLeft = 0;

    std::uint64_t m_FileSize = 0;
    // The fmt chunk's format tag; for WAVE_FORMAT_EXTENSIBLE that of its sub-format.
    std::uint16_t m_FormatTag = 0;
    mutable std::mutex m_Lock;
};
