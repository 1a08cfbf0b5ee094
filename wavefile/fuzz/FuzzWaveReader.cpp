// Any bytes must end in one of the reader's exceptions or in a reader whose every operation
// stays within the file: no crash, no hang, no allocation beyond the input.
#include "FuzzInputFile.h"
#include "wavefile/FileName.h"
#include "wavefile/WaveErrors.h"
#include "wavefile/WaveReader.h"

#include <cstdint>
#include <cstring>

namespace {

void Exercise(CWaveReader& reader, std::size_t fileSize) {
    unsigned rate = 0;
    unsigned short bits = 0, channels = 0;
    reader.GetFormat(&rate, &bits, &channels);
    const std::uint64_t length = reader.GetLength();
    if (length > fileSize || reader.Tell() > fileSize)
        __builtin_trap();

    std::uint32_t nodes = 0;
    const SectionNode* last = nullptr;
    for (const SectionNode* n = reader.m_pFirstSection; n; n = n->pNext) {
        if (n->pPrev != last || (last && n->Seconds < last->Seconds) || n->Number != nodes + 1)
            __builtin_trap();
        last = n;
        ++nodes;
    }
    if (reader.m_pFirstSection && nodes != reader.m_SectionCount + 1)
        __builtin_trap();

    char buffer[8820];
    std::uint64_t total = 0;
    for (;;) {
        unsigned got = sizeof buffer;
        reader.Read(buffer, &got);
        if (got == 0)
            break;
        total += got;
        if (total > length)
            __builtin_trap();
    }
    if (total != length)
        __builtin_trap();

    const auto half = std::int64_t(length / 2), past = std::int64_t(length) + 1;
    for (std::int64_t offset : {std::int64_t(0), std::int64_t(-1), std::int64_t(1), half, past,
                                std::int64_t(-1000000), std::int64_t(1000000), INT64_MIN + 1, INT64_MAX}) {
        reader.Seek(offset, true);
        reader.Seek(-offset, false);
        const std::uint64_t at = reader.Tell();
        if (at > fileSize)
            __builtin_trap();
    }
    reader.Close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    g_FileName = FuzzInputFile(data, size);
    try {
        CWaveReader reader;
        Exercise(reader, size);
    } catch (const WaveErrors::RiffDoesntMatch&) {
    } catch (const WaveErrors::WaveDoesntMatch&) {
    } catch (const WaveErrors::FmtDoesntMatch&) {
    } catch (const WaveErrors::DataDoesntMatch&) {
    } catch (const WaveErrors::FormatDoesntMatch&) {
    }
    return 0;
}
