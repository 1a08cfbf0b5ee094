// The two operations Tavlo repeats for hours: the 100 ms poll (Read with nothing
// waiting) and the once-a-second presence test (Open of the receiver), next to
// hidapi's nearest calls on the same emulated devices in the same run.
#include "StandardBus.h"

#include "kelvane.h"

#include <benchmark/benchmark.h>
#include <hidapi/hidapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

EmulatedHidBus* g_Bus = nullptr;

void KelvaneReadNothingWaiting(benchmark::State& state) {
    CKelvane hid;
    if (hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1) != 1) {
        state.SkipWithError("receiver not found");
        return;
    }
    unsigned char report[8];
    for (auto _ : state) {
        if (hid.Read(report) != 0) {
            state.SkipWithError("a report was waiting");
            break;
        }
    }
}
BENCHMARK(KelvaneReadNothingWaiting);

void HidapiReadTimeoutZero(benchmark::State& state) {
    hid_device* dev = hid_open(kReceiverVendor, kReceiverProduct, nullptr);
    if (dev == nullptr) {
        state.SkipWithError("hidapi cannot open the receiver");
        return;
    }
    unsigned char report[8];
    for (auto _ : state) {
        if (hid_read_timeout(dev, report, sizeof report, 0) != 0) {
            state.SkipWithError("a report was waiting");
            break;
        }
    }
    hid_close(dev);
}
BENCHMARK(HidapiReadTimeoutZero);

// The presence test as Tavlo makes it: Open again on an open object (enumerate,
// match, replace both channels).
void KelvanePresenceOpen(benchmark::State& state) {
    CKelvane hid;
    for (auto _ : state) {
        if (hid.Open(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, 1) != 1) {
            state.SkipWithError("receiver not found");
            break;
        }
    }
}
BENCHMARK(KelvanePresenceOpen)->Unit(benchmark::kMicrosecond);

// Enumeration only, the same work as hid_enumerate.
void KelvaneGetList(benchmark::State& state) {
    CKelvane hid;
    mdeviceList list[8];
    for (auto _ : state) {
        if (hid.GetList(kReceiverVendor, kReceiverProduct, nullptr, nullptr, nullptr, list, 8) != 1) {
            state.SkipWithError("receiver not listed");
            break;
        }
    }
}
BENCHMARK(KelvaneGetList)->Unit(benchmark::kMicrosecond);

void HidapiEnumerate(benchmark::State& state) {
    for (auto _ : state) {
        hid_device_info* list = hid_enumerate(kReceiverVendor, kReceiverProduct);
        if (list == nullptr) {
            state.SkipWithError("hidapi lists no receiver");
            break;
        }
        hid_free_enumeration(list);
    }
}
BENCHMARK(HidapiEnumerate)->Unit(benchmark::kMicrosecond);

// hidapi's own way to a presence test: enumerate, open one channel, close it.
void HidapiOpenClose(benchmark::State& state) {
    for (auto _ : state) {
        hid_device* dev = hid_open(kReceiverVendor, kReceiverProduct, nullptr);
        if (dev == nullptr) {
            state.SkipWithError("hidapi cannot open the receiver");
            break;
        }
        hid_close(dev);
    }
}
BENCHMARK(HidapiOpenClose)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    auto bus = std::make_unique<EmulatedHidBus>();
    AddStandardDevices(*bus);
    // hidapi asks the node for its descriptor size when it opens it.
    for (int node : {kKeyboardNode, kComboNode, kReceiverNode, kSecondKeyboardNode}) {
        bus->AnswerHidrawIoctls(node);
    }
    g_Bus = bus.get();
    hid_init();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    hid_exit();
    return 0;
}
