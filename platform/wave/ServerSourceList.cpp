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

// A source by its device's product name (a USB microphone shows its product, "USB Headset"), else
// its description, else its name.
std::string Named(const pa_source_info* info) {
    const char* product = pa_proplist_gets(info->proplist, PA_PROP_DEVICE_PRODUCT_NAME);
    if (product && *product)
        return product;
    return info->description ? info->description : (info->name ? info->name : "");
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
    listing->Sources.push_back({Named(info), PcmFor(info->name), info->name});
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

// Connects to the server, never starting one, and runs `query` with the loop and the ready context.
template <typename Query> void AskServer(Query query) {
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Tavlo");
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0 &&
        RunUntil(loop, context, [&] { return pa_context_get_state(context) == PA_CONTEXT_READY; }))
        query(loop, context);
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
}

// Runs an operation to its end; false when it could not be started or did not end in time.
template <typename Done> bool Complete(pa_mainloop* loop, pa_context* context, pa_operation* op, Done done) {
    if (!op)
        return false;
    const bool ended = RunUntil(loop, context, done);
    pa_operation_cancel(op);
    pa_operation_unref(op);
    return ended;
}

struct DefaultSource {
    std::string Source; // the server's name of it
    std::string Name;   // as the user knows it
    bool Done = false;
};

} // namespace

std::vector<AlsaCaptureEntry> ServerSourceList() {
    Listing listing;
    AskServer([&](pa_mainloop* loop, pa_context* context) {
        if (!Complete(loop, context, pa_context_get_source_info_list(context, OnSource, &listing),
                      [&] { return listing.Done; }))
            listing.Sources.clear(); // half a list would shift the indices between calls
    });
    return listing.Sources;
}

std::string ServerDefaultSourceName() {
    DefaultSource found;
    AskServer([&](pa_mainloop* loop, pa_context* context) {
        auto onServer = [](pa_context*, const pa_server_info* info, void* userdata) {
            auto* f = static_cast<DefaultSource*>(userdata);
            if (info && info->default_source_name)
                f->Source = info->default_source_name;
            f->Done = true;
        };
        if (!Complete(loop, context, pa_context_get_server_info(context, onServer, &found),
                      [&] { return found.Done; }) ||
            found.Source.empty())
            return;
        found.Done = false;
        auto onSource = [](pa_context*, const pa_source_info* info, int eol, void* userdata) {
            auto* f = static_cast<DefaultSource*>(userdata);
            if (eol == 0 && info)
                f->Name = Named(info);
            else
                f->Done = true;
        };
        Complete(loop, context,
                 pa_context_get_source_info_by_name(context, found.Source.c_str(), onSource, &found),
                 [&] { return found.Done; });
    });
    return found.Name;
}

} // namespace platform
