#pragma once
#include <functional>
#include <string>

struct pa_context;
struct pa_threaded_mainloop;

namespace platform {

// Tells when one source of the sound server goes away. The server does not fail a stream whose
// source is removed (a USB microphone unplugged, its module unloaded): it moves the stream to
// its default source, so a recording would go on from another microphone without a word. The
// watch holds its own connection and hears the server's removal notice; `gone` then runs once,
// on the watch's thread, as it does when the server itself goes away. Without a server nothing
// is watched and `gone` never runs.
class ServerSourceWatch {
public:
    ServerSourceWatch(std::string source, std::function<void()> gone);
    // Returns once `gone` cannot run any more.
    ~ServerSourceWatch();
    ServerSourceWatch(const ServerSourceWatch&) = delete;
    ServerSourceWatch& operator=(const ServerSourceWatch&) = delete;

private:
    static void OnState(pa_context* context, void* self);
    static void OnEvent(pa_context* context, int type, unsigned index, void* self);
    void Found(unsigned index);
    void Gone();

    std::string m_Source;
    std::function<void()> m_Gone;
    pa_threaded_mainloop* m_Loop = nullptr;
    pa_context* m_Context = nullptr;
    unsigned m_Index;
    bool m_Watching = false; // the source was found: a later failure of the server means it is gone
    bool m_Told = false;
};

} // namespace platform
