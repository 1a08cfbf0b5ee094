#include "platform/wave/ServerSourceList.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <string>

namespace platform {

namespace {

// A server that accepts the connection but never answers must not hold the caller (the window,
// at start-up) for long; a live one answers in a few milliseconds.
constexpr auto kAnswerTime = std::chrono::seconds(2);

struct Listing {
    std::vector<AlsaCaptureEntry> Sources;
    bool Done = false;
};

// ALSA reads the argument as a configuration string: quoted, with quotes and backslashes escaped.
std::string PcmFor(const std::string& source) {
    std::string quoted;
    for (char c : source) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return "pulse:DEVICE=\"" + quoted + "\"";
}

void OnSource(pa_context*, const pa_source_info* info, int eol, void* userdata) {
    auto* listing = static_cast<Listing*>(userdata);
    if (eol != 0 || !info) {
        listing->Done = true;
        return;
    }
    // A monitor records what an output plays; it is not a microphone.
    if (info->monitor_of_sink != PA_INVALID_INDEX || !info->name)
        return;
    const char* product = pa_proplist_gets(info->proplist, PA_PROP_DEVICE_PRODUCT_NAME);
    std::string name = product && *product ? product : (info->description ? info->description : info->name);
    listing->Sources.push_back({name, PcmFor(info->name)});
}

// Runs the loop until `done` or the answer time has passed; false on timeout or a dead connection.
template <typename Done> bool RunUntil(pa_mainloop* loop, pa_context* context, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
    while (!done()) {
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
            return false;
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return false;
        if (pa_mainloop_prepare(
                loop, static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(left).count())) <
                0 ||
            pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
            return false;
    }
    return true;
}

} // namespace

std::vector<AlsaCaptureEntry> ServerSourceList() {
    Listing listing;
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return {};
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Tavlo");
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0 &&
        RunUntil(loop, context, [&] { return pa_context_get_state(context) == PA_CONTEXT_READY; })) {
        if (pa_operation* op = pa_context_get_source_info_list(context, OnSource, &listing)) {
            if (!RunUntil(loop, context, [&] { return listing.Done; }))
                listing.Sources.clear(); // half a list would shift the indices between calls
            pa_operation_cancel(op);
            pa_operation_unref(op);
        }
    }
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    return listing.Sources;
}

} // namespace platform
