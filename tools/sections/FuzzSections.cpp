// The tool's whole path over any bytes: reading, the summary and the label track must never
// crash or divide by zero, whatever the header says.
#include "SectionsReport.h"
#include "wavefile/fuzz/FuzzInputFile.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = FuzzInputFile(data, size);
    std::ostringstream out, err;
    const int summary = RunSections({path}, out, err);
    const int labels = RunSections({"--labels=-", path}, out, err);
    if (summary != labels || (summary != 0 && summary != 1))
        __builtin_trap();
    return 0;
}
