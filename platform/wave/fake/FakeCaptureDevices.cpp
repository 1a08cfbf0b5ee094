#include "platform/wave/fake/FakeCaptureDevices.h"

namespace platform {

unsigned FakeCaptureDevices::Count() {
    return static_cast<unsigned>(Names.size());
}

std::string FakeCaptureDevices::ProductName(unsigned index) {
    ++Queries;
    return index < Names.size() ? Names[index] : std::string();
}

} // namespace platform
