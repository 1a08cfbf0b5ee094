#include "wavefile/WaveReader.h"
#include "WaveTestFiles.h"
#include "wavefile/FileName.h"
#include "wavefile/WaveErrors.h"
#include "wavefile/WaveWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace wavetest;

namespace {

class WaveReaderTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string name = dir.Path("play.wav");

    std::unique_ptr<CWaveReader> Open(const Bytes& bytes) {
        WriteFile(name, bytes);
        g_FileName = name;
        return std::make_unique<CWaveReader>();
    }

    // Everything Read delivers from the current position, in the player's 8820-byte pieces.
    static Bytes ReadAll(CWaveReader& reader) {
        Bytes out;
        char buffer[8820];
        for (;;) {
            unsigned length = sizeof buffer;
            reader.Read(buffer, &length);
            if (length == 0)
                return out;
            out.insert(out.end(), buffer, buffer + length);
        }
    }

    // Section list as (number, start second) pairs, checking the back links on the way.
    static std::vector<std::pair<unsigned, unsigned>> Sections(const CWaveReader& reader) {
        std::vector<std::pair<unsigned, unsigned>> out;
        const SectionNode* prev = nullptr;
        for (const SectionNode* n = reader.m_pFirstSection; n; n = n->pNext) {
            EXPECT_EQ(n->pPrev, prev);
            out.emplace_back(n->Number, n->Seconds);
            prev = n;
        }
        return out;
    }

    using SectionList = std::vector<std::pair<unsigned, unsigned>>;
};

// ----- The program's own files -----

TEST_F(WaveReaderTest, MarksAfter12And5SecondsGiveSectionsStartingAt0And12And17) {
    auto reader = Open(ProgramFile(4000, {12, 5}));
    EXPECT_EQ(reader->m_SectionCount, 2u);
    EXPECT_EQ(Sections(*reader), (SectionList{{1, 0}, {2, 12}, {3, 17}}));
    EXPECT_EQ(reader->m_pCurSection, reader->m_pFirstSection);
    EXPECT_EQ(reader->Tell(), 44u);
    EXPECT_EQ(reader->GetLength(), 4000u);
    EXPECT_EQ(ReadAll(*reader), Ramp(4000));
}

TEST_F(WaveReaderTest, ARecordingWithoutMarksHasOneSectionAtSecondZero) {
    auto reader = Open(ProgramFile(100, {}));
    EXPECT_EQ(reader->m_SectionCount, 0u);
    EXPECT_EQ(Sections(*reader), (SectionList{{1, 0}}));
}

TEST_F(WaveReaderTest, AMarkInTheSameSecondStartsTheNextSectionAtTheSameSecond) {
    auto reader = Open(ProgramFile(100, {3, 0, 4}));
    EXPECT_EQ(Sections(*reader), (SectionList{{1, 0}, {2, 3}, {3, 3}, {4, 7}}));
}

TEST_F(WaveReaderTest, ReadsBackWhatTheWriterWrote) {
    const Bytes samples = Ramp(48000 * 2 * 3 + 100, 5);
    {
        CWaveWriter writer(name.c_str(), 48000, 1);
        for (std::size_t at = 0; at < samples.size(); at += 9600) {
            unsigned length = unsigned(std::min<std::size_t>(9600, samples.size() - at));
            writer.Write(reinterpret_cast<const char*>(samples.data() + at), &length);
        }
        writer.AddSection(1);
        writer.AddSection(2);
    } // the destructor closes
    g_FileName = name;
    CWaveReader reader;
    unsigned rate = 0;
    unsigned short bits = 0, channels = 0;
    reader.GetFormat(&rate, &bits, &channels);
    EXPECT_EQ(rate, 48000u);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(reader.GetLength(), samples.size());
    EXPECT_EQ(Sections(reader), (SectionList{{1, 0}, {2, 1}, {3, 3}}));
    EXPECT_EQ(ReadAll(reader), samples);
}

TEST_F(WaveReaderTest, ARecordingCutOffByACrashPlaysItsWholeSeconds) {
    const Bytes samples = Ramp(8820 * 25);
    EXPECT_EXIT(
        {
            auto* writer = new CWaveWriter(name.c_str(), 44100, 1);
            for (std::size_t at = 0; at < samples.size(); at += 8820) {
                unsigned length = 8820;
                writer->Write(reinterpret_cast<const char*>(samples.data() + at), &length);
            }
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    g_FileName = name;
    CWaveReader reader;
    EXPECT_EQ(reader.GetLength(), 176400u);
    EXPECT_EQ(reader.m_SectionCount, 0u);
    EXPECT_EQ(ReadAll(reader), Bytes(samples.begin(), samples.begin() + 176400));
}

TEST_F(WaveReaderTest, AnUnclosedFileWithoutSamplesIsAcceptedWithoutSectionList) {
    Bytes file = ProgramFile(0, {});
    file.resize(44);
    auto reader = Open(file);
    EXPECT_EQ(reader->GetLength(), 0u);
    EXPECT_EQ(reader->m_pFirstSection, nullptr);
    EXPECT_EQ(reader->m_pCurSection, nullptr);
}

TEST_F(WaveReaderTest, AnUnclosedFileWithSamplesReadsItsFirstSampleBytesAsSectionHeader) {
    Bytes file = ProgramFile(0, {});
    file.resize(44);
    const Bytes samples = Ramp(1000);
    file.insert(file.end(), samples.begin(), samples.end());
    auto reader = Open(file);
    EXPECT_EQ(reader->GetLength(), 0u);
    EXPECT_EQ(reader->m_SectionCount, 0u);
    EXPECT_EQ(Sections(*reader), (SectionList{{1, 0}}));
    EXPECT_TRUE(ReadAll(*reader).empty());
}

// ----- Ordinary WAV files -----

Bytes OrdinaryWav(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::uint32_t dataBytes,
                  const Bytes& chunksBeforeData = {}, std::uint32_t fmtPayload = 16) {
    Bytes fmt;
    AppendFmt(fmt, channels, rate, bits, fmtPayload);
    const Bytes samples = Ramp(dataBytes, 3);
    return RiffWave({fmt, chunksBeforeData, Chunk("data", std::string(samples.begin(), samples.end()))});
}

TEST_F(WaveReaderTest, AnOrdinaryWavFileHasNoSectionList) {
    auto reader = Open(OrdinaryWav(1, 44100, 16, 2000));
    EXPECT_EQ(reader->m_SectionCount, 0u);
    EXPECT_EQ(reader->m_pFirstSection, nullptr);
    EXPECT_EQ(reader->Tell(), 44u);
    EXPECT_EQ(reader->GetLength(), 2000u);
    EXPECT_EQ(ReadAll(*reader), Ramp(2000, 3));
}

TEST_F(WaveReaderTest, ListAndFactChunksBeforeDataAreSkipped) {
    Bytes chunks = Chunk("LIST", "INFOISFT\x0e\0\0\0Some program\0\0");
    const Bytes fact = Chunk("fact", std::string("\x10\x00\x00\x00", 4));
    chunks.insert(chunks.end(), fact.begin(), fact.end());
    auto reader = Open(OrdinaryWav(1, 48000, 16, 500, chunks));
    EXPECT_EQ(reader->Tell(), 44u + chunks.size());
    EXPECT_EQ(reader->GetLength(), 500u);
    EXPECT_EQ(ReadAll(*reader), Ramp(500, 3));
}

TEST_F(WaveReaderTest, LongerFmtChunksOf18And40BytesAreAccepted) {
    for (std::uint32_t fmtSize : {18u, 40u}) {
        auto reader = Open(OrdinaryWav(2, 44100, 16, 800, {}, fmtSize));
        EXPECT_EQ(reader->Tell(), 44u + fmtSize - 16) << fmtSize;
        EXPECT_EQ(reader->GetLength(), 800u);
        unsigned rate = 0;
        unsigned short bits = 0, channels = 0;
        reader->GetFormat(&rate, &bits, &channels);
        EXPECT_EQ(channels, 2);
        EXPECT_EQ(rate, 44100u);
    }
}

TEST_F(WaveReaderTest, ADataTagInsideAnotherChunkIsNotTakenForTheDataChunk) {
    const Bytes chunks = Chunk("junk", std::string("ddata\0\0\0", 8));
    auto reader = Open(OrdinaryWav(1, 44100, 16, 64, chunks));
    EXPECT_EQ(reader->Tell(), 44u + chunks.size());
    EXPECT_EQ(reader->GetLength(), 64u);
}

// Files that sox and libsndfile read, and that a search for the letters "data" refused or misread.
TEST_F(WaveReaderTest, ChunksAreWalkedBySizeAndFmtAndDataTakenWhereverTheyStand) {
    for (const ChunkedCase& c : ChunkedFiles()) {
        SCOPED_TRACE(c.Name);
        try {
            auto reader = Open(c.File);
            EXPECT_EQ(reader->Tell(), c.DataStart);
            EXPECT_EQ(reader->GetLength(), c.Samples.size());
            EXPECT_EQ(ReadAll(*reader), c.Samples);
            unsigned rate = 0;
            unsigned short bits = 0, channels = 0;
            reader->GetFormat(&rate, &bits, &channels);
            EXPECT_EQ(rate, 44100u);
        } catch (...) {
            ADD_FAILURE() << "refused";
        }
    }
}

// A walk that meets no "data" ends at the end of the file after a handful of reads.
TEST_F(WaveReaderTest, AFiveGibibyteFileWithoutADataChunkIsRefused) {
    Bytes header;
    AppendTag(header, "RIFF");
    Append32(header, 0xFFFFFFFF);
    AppendTag(header, "WAVE");
    AppendFmt(header, 1, 44100, 16);
    Bytes big = Chunk("JUNK", std::string(100, 'd'));
    header.insert(header.end(), big.begin(), big.end());
    WriteFile(name, header);
    std::filesystem::resize_file(name, 5ull << 30); // zeros: no chunk header anywhere
    g_FileName = name;
    EXPECT_THROW(CWaveReader(), WaveErrors::DataDoesntMatch);
}

TEST_F(WaveReaderTest, EightBitAndStereoFilesAreAccepted) {
    auto reader = Open(OrdinaryWav(2, 22050, 8, 300));
    unsigned rate = 0;
    unsigned short bits = 0, channels = 0;
    reader->GetFormat(&rate, &bits, &channels);
    EXPECT_EQ(rate, 22050u);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(channels, 2);
}

// WAVE_FORMAT_EXTENSIBLE: the real format is the sub-format, a GUID that starts with its tag.
Bytes ExtensibleWav(std::uint16_t subTag, std::uint16_t bits, bool knownGuid = true) {
    Bytes fmt;
    AppendFmt(fmt, 2, 48000, bits, 40, 0xFFFE);
    const Bytes tail = FromHex(knownGuid ? "00 00 00 00 10 00 80 00 00 aa 00 38 9b 71"
                                         : "11 22 33 44 55 66 77 88 99 aa bb cc dd ee");
    fmt[8 + 16] = 22; // cbSize
    fmt[8 + 18] = std::uint8_t(bits);
    fmt[8 + 24] = std::uint8_t(subTag);
    fmt[8 + 25] = std::uint8_t(subTag >> 8);
    std::copy(tail.begin(), tail.end(), fmt.begin() + 8 + 26);
    return RiffWave({fmt, Chunk("data", std::string(96, '\x10'))});
}

// Played as they are, these would be noise: only integer PCM plays.
TEST_F(WaveReaderTest, FormatsThatAreNotPcmAreRefusedAndNamed) {
    const auto plain = [](std::uint16_t tag, std::uint16_t bits) {
        Bytes fmt;
        AppendFmt(fmt, 2, 44100, bits, 16, tag);
        return RiffWave({fmt, Chunk("data", std::string(96, '\x10'))});
    };
    struct Case {
        const char* name;
        Bytes file;
        std::uint16_t tag; // 1: accepted
    };
    for (const Case& c :
         {Case{"float", plain(3, 32), 3}, Case{"mu-law", plain(7, 8), 7},
          Case{"IMA ADPCM", plain(0x11, 4), 0x11}, Case{"extensible float", ExtensibleWav(3, 32), 3},
          Case{"extensible, unknown sub-format", ExtensibleWav(1, 16, false), 0xFFFE},
          Case{"extensible PCM", ExtensibleWav(1, 24), 1}, Case{"PCM", plain(1, 16), 1}}) {
        SCOPED_TRACE(c.name);
        try {
            auto reader = Open(c.file);
            EXPECT_EQ(c.tag, 1);
            EXPECT_EQ(ReadAll(*reader), Bytes(96, 0x10));
        } catch (const WaveErrors::FormatDoesntMatch& found) {
            EXPECT_EQ(found.FormatTag, c.tag);
        }
    }
}

// A damaged header must not reach the engine, which would size its buffers by it.
TEST_F(WaveReaderTest, FormatsBeyondWhatCanBePlayedAreRefusedAndSayWhatTheyAre) {
    struct Case {
        std::uint32_t rate;
        std::uint16_t bits, channels;
        bool playable;
    };
    for (const Case& c : {Case{65540, 32, 16383, false}, Case{44100, 12, 1, false}, Case{44100, 16, 0, false},
                          Case{0, 16, 1, false}, Case{999, 16, 1, false}, Case{384001, 16, 1, false},
                          Case{44100, 16, 9, false}, Case{44100, 0, 1, false}, Case{1000, 8, 1, true},
                          Case{384000, 32, 8, true}, Case{96000, 24, 2, true}}) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz " + std::to_string(c.bits) + " bits " +
                     std::to_string(c.channels) + " channels");
        WriteFile(name, OrdinaryWav(c.channels, c.rate, c.bits, 120));
        g_FileName = name;
        try {
            CWaveReader reader;
            EXPECT_TRUE(c.playable);
            EXPECT_EQ(reader.GetLength(), 120u);
        } catch (const WaveErrors::FormatDoesntMatch& found) {
            EXPECT_FALSE(c.playable);
            EXPECT_EQ(found.SampleRate, c.rate);
            EXPECT_EQ(found.BitsPerSample, c.bits);
            EXPECT_EQ(found.Channels, c.channels);
        }
    }
}

TEST_F(WaveReaderTest, BytesAfterTheRiffChunkThatAreNotSectGiveNoEntries) {
    Bytes file = OrdinaryWav(1, 44100, 16, 100);
    AppendTag(file, "JUNK");
    Append32(file, 7);
    Append32(file, 7);
    auto reader = Open(file);
    EXPECT_EQ(reader->m_SectionCount, 0u);
    EXPECT_EQ(Sections(*reader), (SectionList{{1, 0}}));
    EXPECT_EQ(reader->GetLength(), 100u);
}

// ----- Rejected files -----

TEST_F(WaveReaderTest, FilesThatAreNotWavFilesAreRejectedByTheFirstFailedCheck) {
    EXPECT_THROW(Open({}), WaveErrors::RiffDoesntMatch);
    EXPECT_THROW(Open(FromHex("52 49 46 46 00 00")), WaveErrors::RiffDoesntMatch) << "RIFF but short";
    Bytes text(200, 'x');
    EXPECT_THROW(Open(text), WaveErrors::RiffDoesntMatch);

    Bytes avi;
    AppendTag(avi, "RIFF");
    Append32(avi, 100);
    AppendTag(avi, "AVI ");
    AppendTag(avi, "LIST");
    avi.resize(108);
    EXPECT_THROW(Open(avi), WaveErrors::WaveDoesntMatch);

    Bytes noFmt = OrdinaryWav(1, 44100, 16, 10);
    std::copy_n("LIST", 4, noFmt.begin() + 12);
    EXPECT_THROW(Open(noFmt), WaveErrors::FmtDoesntMatch);

    Bytes noData = OrdinaryWav(1, 44100, 16, 10);
    std::copy_n("dat!", 4, noData.begin() + 36);
    EXPECT_THROW(Open(noData), WaveErrors::DataDoesntMatch);
}

TEST_F(WaveReaderTest, MissingFilesAndFoldersAreRejectedAsNotRiffAndSayWhy) {
    for (const auto& [path, error] :
         {std::pair{dir.Path("nothing-here.wav"), ENOENT}, {dir.Path(), EISDIR}}) {
        g_FileName = path;
        try {
            CWaveReader reader;
            ADD_FAILURE() << path;
        } catch (const WaveErrors::RiffDoesntMatch& e) {
            EXPECT_EQ(e.Errno, error);
            EXPECT_EQ(e.Path, path);
        }
    }
    const std::string fifo = dir.Path("fifo.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    g_FileName = fifo;
    EXPECT_THROW(CWaveReader(), WaveErrors::RiffDoesntMatch) << "must not block on the FIFO";
}

TEST_F(WaveReaderTest, AnUnreadableFileIsRejectedAsNotRiff) {
    WriteFile(name, ProgramFile(100, {}));
    ASSERT_EQ(chmod(name.c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    g_FileName = name;
    if (geteuid() != 0) {
        EXPECT_THROW(CWaveReader(), WaveErrors::RiffDoesntMatch);
        return;
    }
    // Root reads any file whatever its mode: check as an ordinary user in a child process.
    EXPECT_EXIT(
        {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(3);
            try {
                CWaveReader reader;
            } catch (const WaveErrors::RiffDoesntMatch& e) {
                _exit(e.Errno == EACCES ? 0 : 4);
            } catch (...) {
                _exit(2);
            }
            _exit(1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Cutting a small recording at every offset ends, at each, in the expected rejection or in a
// file whose length and sections stay within what is there.
TEST_F(WaveReaderTest, ARecordingTruncatedAtEveryOffsetIsRejectedOrReadSafely) {
    const std::uint32_t d = 40;
    const Bytes whole = ProgramFile(d, {1, 2, 3});
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE("length " + std::to_string(n));
        const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
        if (n < 12) {
            EXPECT_THROW(Open(cut), WaveErrors::RiffDoesntMatch);
        } else if (n < 20) { // the fmt chunk's header is not whole
            EXPECT_THROW(Open(cut), WaveErrors::FmtDoesntMatch);
        } else if (n < 44) {
            EXPECT_THROW(Open(cut), WaveErrors::DataDoesntMatch);
        } else {
            auto reader = Open(cut);
            const std::size_t present = std::min<std::size_t>(n - 44, d);
            EXPECT_EQ(reader->GetLength(), present);
            EXPECT_EQ(ReadAll(*reader),
                      Bytes(whole.begin() + 44, whole.begin() + 44 + std::ptrdiff_t(present)));
            EXPECT_EQ(reader->Tell(), 44 + present);
            if (n < 44 + d + 8) {
                EXPECT_EQ(reader->m_pFirstSection, nullptr);
            } else {
                EXPECT_EQ(reader->m_SectionCount, std::min<std::size_t>(3, (n - (44 + d + 8)) / 4));
                EXPECT_EQ(Sections(*reader).size(), reader->m_SectionCount + 1);
            }
        }
    }
}

TEST_F(WaveReaderTest, ADataSizeLargerThanTheFileIsHeldToTheBytesThere) {
    Bytes file = OrdinaryWav(1, 44100, 16, 1000);
    file[40] = 0xFF; // data size 0x...FF
    file[41] = 0xFF;
    file[42] = 0xFF;
    auto reader = Open(file);
    EXPECT_EQ(reader->GetLength(), 1000u);
    EXPECT_EQ(ReadAll(*reader), Ramp(1000, 3));
    EXPECT_EQ(reader->Tell(), 1044u) << "Tell must not turn into all bits set";
    EXPECT_TRUE(reader->Seek(-500, false));
    EXPECT_EQ(reader->Tell(), 544u);
    EXPECT_EQ(ReadAll(*reader).size(), 500u);
}

TEST_F(WaveReaderTest, AHugeSectCountReadsOnlyTheEntriesTheFileHolds) {
    Bytes file = ProgramFile(20, {});
    file.resize(file.size() - 4);
    Append32(file, 4000000000u);
    Append32(file, 9);
    Append32(file, 4);
    file.push_back(1); // a part of an entry is not an entry
    file.push_back(2);
    auto reader = Open(file);
    EXPECT_EQ(reader->m_SectionCount, 2u);
    EXPECT_EQ(Sections(*reader), (SectionList{{1, 0}, {2, 9}, {3, 13}}));
    EXPECT_EQ(reader->GetLength(), 20u);
}

TEST_F(WaveReaderTest, MoreEntriesThanSectionNumbersCanCountAreCutAtTheLastNumber) {
    auto reader = Open(ProgramFile(10, std::vector<std::uint32_t>(70000, 1)));
    EXPECT_EQ(reader->m_SectionCount, CWaveReader::MaxSectionEntries);
    const SectionNode* last = reader->m_pFirstSection;
    while (last->pNext)
        last = last->pNext;
    EXPECT_EQ(last->Number, 65535);
    EXPECT_EQ(last->Seconds, 65534u);
}

TEST_F(WaveReaderTest, SectionStartsThatPass32BitsStayAtTheLargestSecond) {
    auto reader = Open(ProgramFile(10, {0xFFFFFFF0u, 0x20, 5}));
    EXPECT_EQ(Sections(*reader), (SectionList{{1, 0}, {2, 0xFFFFFFF0u}, {3, 0xFFFFFFFFu}, {4, 0xFFFFFFFFu}}));
}

TEST_F(WaveReaderTest, ARiffSizeNear4GiBDoesNotWrapToTheStartOfTheFile) {
    // 0xFFFFFFF8 + 8 wraps to offset 0 in 32 bits, where eight bytes can always be read.
    Bytes file = ProgramFile(16, {});
    file[4] = 0xF8;
    file[5] = file[6] = file[7] = 0xFF;
    auto reader = Open(file);
    EXPECT_EQ(reader->m_pFirstSection, nullptr) << "nothing lies 4 GiB into this file";
    EXPECT_EQ(reader->GetLength(), 16u);
}

// ----- Reading, seeking and telling -----

TEST_F(WaveReaderTest, ReadDeliversWhatRemainsThenNothing) {
    auto reader = Open(ProgramFile(8820 * 2 + 100, {}));
    char buffer[8820];
    unsigned length = 8820;
    reader->Read(buffer, &length);
    reader->Read(buffer, &length);
    EXPECT_EQ(length, 8820u);
    reader->Read(buffer, &length);
    EXPECT_EQ(length, 100u);
    length = 8820;
    reader->Read(buffer, &length);
    EXPECT_EQ(length, 0u);
}

TEST_F(WaveReaderTest, AbsoluteSeeksStayWithinTheSamples) {
    const std::uint32_t d = 176400;
    auto reader = Open(ProgramFile(d, {}));
    ReadAll(*reader);
    EXPECT_TRUE(reader->Seek(0, true));
    EXPECT_EQ(reader->Tell(), 44u);
    EXPECT_EQ(ReadAll(*reader).size(), d);
    EXPECT_TRUE(reader->Seek(1000, true));
    EXPECT_EQ(reader->Tell(), 1044u);
    const Bytes samples = Ramp(d);
    EXPECT_EQ(ReadAll(*reader), Bytes(samples.begin() + 1000, samples.end()));
    for (int past : {-1, int(d), int(d) + 5}) {
        EXPECT_TRUE(reader->Seek(0, true));
        EXPECT_TRUE(reader->Seek(past, true));
        EXPECT_EQ(reader->Tell(), 44u + d) << past;
        EXPECT_TRUE(ReadAll(*reader).empty()) << past;
    }
}

TEST_F(WaveReaderTest, RelativeSeeksStopAtTheFirstSampleAndAtTheEnd) {
    const std::uint32_t d = 88200 * 4;
    auto reader = Open(ProgramFile(d, {}));
    EXPECT_TRUE(reader->Seek(176400, true));
    EXPECT_TRUE(reader->Seek(-1000000, false));
    EXPECT_EQ(reader->Tell(), 44u);
    EXPECT_EQ(ReadAll(*reader).size(), d);
    EXPECT_TRUE(reader->Seek(d - 100, true));
    EXPECT_TRUE(reader->Seek(1000000, false));
    EXPECT_EQ(reader->Tell(), 44u + d);
    EXPECT_TRUE(ReadAll(*reader).empty());
    EXPECT_TRUE(reader->Seek(-88200, false));
    EXPECT_EQ(reader->Tell(), 44u + d - 88200);
    const Bytes samples = Ramp(d);
    EXPECT_EQ(ReadAll(*reader), Bytes(samples.end() - 88200, samples.end()));
}

TEST_F(WaveReaderTest, AClosedReaderReadsNothingAndCannotSeek) {
    auto reader = Open(ProgramFile(1000, {4}));
    reader->Close();
    char buffer[100];
    unsigned length = 100;
    reader->Read(buffer, &length);
    EXPECT_EQ(length, 0u);
    EXPECT_FALSE(reader->Seek(0, true));
    EXPECT_FALSE(reader->Seek(10, false));
    EXPECT_EQ(reader->Tell(), 0u);
    EXPECT_EQ(reader->GetLength(), 1000u);
    reader->Close();
    EXPECT_EQ(Sections(*reader).size(), 2u) << "the list outlives the file";
}

// Four hours of 48 kHz stereo hold more sample bytes than an int can count.
TEST_F(WaveReaderTest, SeeksPastTwoGibibytesReachTheSamplesThere) {
    const std::uint32_t d = 4u * 3600 * 192000; // 2,764,800,000
    WriteSparseWave(name, 2, 48000, d);
    g_FileName = name;
    CWaveReader reader;
    EXPECT_EQ(reader.GetLength(), d);

    struct Move {
        std::int64_t offset;
        bool absolute;
        std::uint64_t expected; // Tell afterwards
    };
    // Offsets and positions past 2^31.
    for (const Move& m :
         {Move{2'500'000'000 - 44, true, 2'500'000'000u}, Move{-2'400'000'000, false, 100'000'000u},
          Move{2'600'000'000, false, 2'700'000'000u}, Move{INT64_MAX, false, 44u + d},
          Move{INT64_MIN, false, 44u}, Move{INT64_MAX, true, 44u + d},
          Move{std::int64_t(d) - 4, true, 44u + d - 4}}) {
        EXPECT_TRUE(reader.Seek(m.offset, m.absolute));
        EXPECT_EQ(reader.Tell(), m.expected) << m.offset << (m.absolute ? " absolute" : " relative");
    }
    // From 4 bytes before the end: the last frame, then nothing.
    char buffer[16];
    unsigned length = sizeof buffer;
    reader.Read(buffer, &length);
    EXPECT_EQ(length, 4u);
    length = sizeof buffer;
    reader.Read(buffer, &length);
    EXPECT_EQ(length, 0u);
}

// The window asks Tell and GetLength while the fill worker reads.
TEST_F(WaveReaderTest, TellWhileReadingOnAnotherThreadSeesWholePositions) {
    const std::uint32_t d = 8820 * 40;
    auto reader = Open(ProgramFile(d, {}));
    Bytes read;
    std::atomic<bool> done{false};
    std::thread fill([&] {
        read = ReadAll(*reader);
        done = true;
    });
    std::uint64_t last = 0;
    bool monotonic = true, inside = true;
    while (!done) {
        const std::uint64_t at = reader->Tell();
        monotonic = monotonic && at >= last;
        inside = inside && at >= 44 && at <= 44 + d && (at - 44) % 8820 == 0;
        last = at;
        EXPECT_EQ(reader->GetLength(), d);
    }
    fill.join();
    EXPECT_TRUE(monotonic);
    EXPECT_TRUE(inside);
    EXPECT_EQ(read, Ramp(d));
    EXPECT_EQ(reader->Tell(), 44u + d);
}

} // namespace
