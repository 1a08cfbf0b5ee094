#include "platform/wave/ServerSourceWatch.h"

#include <pulse/pulseaudio.h>

namespace platform {

ServerSourceWatch::ServerSourceWatch(std::string source, std::function<void()> gone)
    : m_Source(std::move(source)), m_Gone(std::move(gone)), m_Index(PA_INVALID_INDEX) {
    m_Loop = pa_threaded_mainloop_new();
    if (!m_Loop)
        return;
    m_Context = pa_context_new(pa_threaded_mainloop_get_api(m_Loop), "Tavlo source watch");
    if (!m_Context)
        return;
    pa_context_set_state_callback(m_Context, &ServerSourceWatch::OnState, this);
    pa_context_set_subscribe_callback(
        m_Context,
        [](pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* self) {
            OnEvent(context, static_cast<int>(type), index, self);
        },
        this);
    // Everything from here on runs on the loop's thread: the state callback subscribes and finds
    // the source's index; a refused connection simply watches nothing.
    pa_threaded_mainloop_lock(m_Loop);
    if (pa_context_connect(m_Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0)
        pa_threaded_mainloop_start(m_Loop);
    pa_threaded_mainloop_unlock(m_Loop);
}

ServerSourceWatch::~ServerSourceWatch() {
    if (m_Loop)
        pa_threaded_mainloop_stop(m_Loop);
    if (m_Context) {
        pa_context_set_state_callback(m_Context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_Context, nullptr, nullptr);
        pa_context_disconnect(m_Context);
        pa_context_unref(m_Context);
    }
    if (m_Loop)
        pa_threaded_mainloop_free(m_Loop);
}

void ServerSourceWatch::OnState(pa_context* context, void* self) {
    auto* watch = static_cast<ServerSourceWatch*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
        pa_operation_unref(pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SOURCE, nullptr, nullptr));
        auto onInfo = [](pa_context*, const pa_source_info* info, int eol, void* s) {
            if (eol == 0 && info)
                static_cast<ServerSourceWatch*>(s)->Found(info->index);
        };
        pa_operation_unref(
            pa_context_get_source_info_by_name(context, watch->m_Source.c_str(), onInfo, watch));
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        if (watch->m_Watching)
            watch->Gone();
        break;
    default:
        break;
    }
}

void ServerSourceWatch::OnEvent(pa_context*, int type, unsigned index, void* self) {
    auto* watch = static_cast<ServerSourceWatch*>(self);
    const int facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const int what = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_SOURCE && what == PA_SUBSCRIPTION_EVENT_REMOVE &&
        watch->m_Watching && index == watch->m_Index)
        watch->Gone();
}

void ServerSourceWatch::Found(unsigned index) {
    m_Index = index;
    m_Watching = true;
}

void ServerSourceWatch::Gone() {
    if (m_Told)
        return;
    m_Told = true;
    m_Gone();
}

} // namespace platform
