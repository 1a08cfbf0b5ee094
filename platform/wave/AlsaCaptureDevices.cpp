#include "platform/wave/AlsaCaptureDevices.h"
#include "platform/wave/AlsaCaptureList.h"
#include "platform/wave/ServerSourceList.h"

namespace platform {

unsigned AlsaCaptureDevices::Count() {
    return static_cast<unsigned>(AlsaCaptureList().size());
}

std::string AlsaCaptureDevices::ProductName(unsigned index) {
    const auto list = AlsaCaptureList();
    return index < list.size() ? list[index].ProductName : std::string();
}

std::string AlsaCaptureDevices::DefaultInputName() {
    return ServerDefaultSourceName();
}

} // namespace platform
