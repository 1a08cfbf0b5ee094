#pragma once
#include "platform/wave/WaveDevice.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// What an open ALSA PCM needs in both directions: the notification thread that alone touches the
// PCM, the queue of buffers the device holds (oldest first), and commands that callers hand to the
// thread and wait for. The PCM is non-blocking and the thread waits in poll() on the PCM and on an
// eventfd, so a command is always answered: a stalled or vanished device cannot hang a caller.
class AlsaStream {
public:
    enum Command { CmdStart, CmdPause, CmdRestart, CmdReset, CmdClose, CmdGone };

    AlsaStream(const AlsaStream&) = delete;
    AlsaStream& operator=(const AlsaStream&) = delete;

protected:
    AlsaStream(snd_pcm_t* pcm, const WAVEFORMATEX& format, WaveCallback callback, std::uintptr_t instance,
               unsigned message);
    virtual ~AlsaStream();

    // Starts the notification thread; self is the handle passed to the callback.
    void Begin(HWAVE self);
    MMRESULT DoPrepare(WAVEHDR* header, unsigned size);
    MMRESULT DoUnprepare(WAVEHDR* header, unsigned size);
    MMRESULT DoQueue(WAVEHDR* header, unsigned size);
    // Runs the command on the notification thread and returns once it and the notifications it
    // caused are done.
    void DoCommand(Command command);
    // Gives everything back, ends the thread and closes the PCM.
    void DoClose();
    // From any thread, without waiting: the device is gone although ALSA has not said so (the
    // sound server moved the stream elsewhere). The thread then fails it as it fails a dead PCM.
    void PostGone();

    // On the notification thread with m_Lock held.
    virtual void Execute(Command command) = 0;
    virtual bool WantsIo() = 0;
    // Whether a buffer queued now needs the thread woken. Behind another buffer it is reached when
    // the thread finishes that one.
    virtual bool WakeFor() { return m_Queue.empty(); }
    virtual void Transfer() = 0;
    // After an xrun was recovered: the direction restarts what it needs.
    virtual void AfterRecover() {}
    // Called after every wake-up; and how long the thread may sleep when nothing else wakes it
    // (-1: until woken).
    virtual void Tick() {}
    virtual int NextTimeoutMs() { return -1; }
    // While the direction streams by the clock rather than by the PCM's readiness: how long until
    // its next transfer is due (-1: it waits in poll() for the PCM). A PCM behind a sound server
    // reports readiness for every packet the server sends, a few hundred times a second.
    virtual int PaceMs() { return -1; }

    // Helpers for the directions, on the notification thread with m_Lock held.
    void GiveBack(WAVEHDR* header);
    // Gives back every buffer the device holds, oldest first.
    virtual void GiveBackAll();
    // Handles a negative ALSA result: xruns and suspends are recovered (the buffer in progress keeps
    // its place and its offset, so order is kept); anything else means the device is gone, and
    // every buffer is given back so that nobody waits for it. Returns true when streaming can go on.
    bool Recover(long error);
    // The device is gone: it says so once (WAVE_FAILED, ahead of the buffers), gives back every
    // buffer it holds, and from now on every buffer it is handed.
    void Die();

    snd_pcm_t* m_Pcm;
    unsigned m_FrameBytes;
    std::deque<WAVEHDR*> m_Queue;
    unsigned m_Offset = 0;     // bytes done in the front buffer
    std::uint64_t m_Moved = 0; // frames moved so far: a paced stream that moves none is quiet
    bool m_Dead = false;
    bool m_FailureToTell = false;

private:
    void Loop();
    void Notify(std::unique_lock<std::mutex>& lock);

    WaveCallback m_Callback;
    std::uintptr_t m_Instance;
    unsigned m_Message;
    HWAVE m_Self = nullptr;
    int m_WakeFd;
    std::mutex m_Lock;
    std::condition_variable m_Answered;
    std::deque<std::pair<Command, std::uint64_t>> m_Commands;
    std::uint64_t m_Posted = 0;
    std::uint64_t m_Completed = 0;
    std::vector<WAVEHDR*> m_Finished;
    std::vector<WAVEHDR*> m_Delivering; // only the notification thread touches it
    // Since when the device has been streaming without a sign of life (only the thread).
    std::chrono::steady_clock::time_point m_QuietSince = std::chrono::steady_clock::now();
    std::thread m_Thread;
};

} // namespace platform
