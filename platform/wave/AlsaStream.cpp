#include "platform/wave/AlsaStream.h"
#include "platform/wave/AlsaWaveService.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace platform {

namespace {
std::atomic<unsigned long long> g_Xruns{0};
// A device that streams gives or takes a period every few tens of milliseconds. One that has been
// silent this long while it should stream has stopped (a sound server stopped or hung), and is
// failed as a dead one is. Long enough that a loaded machine's hiccups never end a recording.
constexpr auto kStalled = std::chrono::seconds(2);
} // namespace

unsigned long long AlsaXruns() {
    return g_Xruns;
}

AlsaStream::AlsaStream(snd_pcm_t* pcm, const WAVEFORMATEX& format, WaveCallback callback,
                       std::uintptr_t instance, unsigned message)
    : m_Pcm(pcm), m_FrameBytes(format.nBlockAlign), m_Callback(callback), m_Instance(instance),
      m_Message(message), m_WakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

// Close() has ended the thread already: the directions' destructors are private and only their
// Close() deletes them.
AlsaStream::~AlsaStream() {
    if (m_WakeFd >= 0)
        close(m_WakeFd);
}

void AlsaStream::Begin(HWAVE self) {
    m_Self = self;
    m_Thread = std::thread([this] { Loop(); });
}

MMRESULT AlsaStream::DoPrepare(WAVEHDR* header, unsigned size) {
    if (!header || size < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    std::lock_guard lock(m_Lock);
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaStream::DoUnprepare(WAVEHDR* header, unsigned size) {
    if (!header || size < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    std::lock_guard lock(m_Lock);
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaStream::DoQueue(WAVEHDR* header, unsigned size) {
    if (!header || size < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    bool wake;
    {
        std::lock_guard lock(m_Lock);
        if (!(header->dwFlags & WHDR_PREPARED))
            return WAVERR_UNPREPARED;
        header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        header->dwBytesRecorded = 0;
        // Only a buffer that the thread would not come to by itself needs it woken (a wake per
        // buffer would double the thread's wake-ups).
        wake = m_Dead || WakeFor();
        m_Queue.push_back(header);
    }
    if (wake) {
        const std::uint64_t one = 1;
        (void)!write(m_WakeFd, &one, sizeof one);
    }
    return MMSYSERR_NOERROR;
}

void AlsaStream::DoCommand(Command command) {
    std::unique_lock lock(m_Lock);
    if (!m_Thread.joinable())
        return;
    const std::uint64_t ticket = ++m_Posted;
    m_Commands.emplace_back(command, ticket);
    const std::uint64_t one = 1;
    (void)!write(m_WakeFd, &one, sizeof one);
    m_Answered.wait(lock, [&] { return m_Completed >= ticket; });
}

void AlsaStream::PostGone() {
    std::lock_guard lock(m_Lock);
    m_Commands.emplace_back(CmdGone, ++m_Posted);
    const std::uint64_t one = 1;
    (void)!write(m_WakeFd, &one, sizeof one);
}

void AlsaStream::DoClose() {
    DoCommand(CmdClose);
    if (m_Thread.joinable())
        m_Thread.join();
    if (m_Pcm) {
        // Closing a PCM whose sound server hangs waits for the server's answer, for half a minute;
        // a dead device is closed on a thread of its own so that no caller waits for it.
        if (m_Dead)
            std::thread([pcm = m_Pcm] { snd_pcm_close(pcm); }).detach();
        else
            snd_pcm_close(m_Pcm);
        m_Pcm = nullptr;
    }
}

void AlsaStream::GiveBack(WAVEHDR* header) {
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    m_Finished.push_back(header);
}

void AlsaStream::GiveBackAll() {
    while (!m_Queue.empty()) {
        GiveBack(m_Queue.front());
        m_Queue.pop_front();
    }
    m_Offset = 0;
}

bool AlsaStream::Recover(long error) {
    if (error == -EPIPE || error == -ESTRPIPE)
        ++g_Xruns;
    if (error == -EPIPE || error == -ESTRPIPE || error == -EINTR) {
        if (snd_pcm_recover(m_Pcm, static_cast<int>(error), 1) == 0) {
            AfterRecover();
            return true;
        }
    }
    Die();
    return false;
}

void AlsaStream::Die() {
    if (!m_Dead)
        m_FailureToTell = true;
    m_Dead = true;
    GiveBackAll();
}

// Fires the notifications collected so far, in order, without the lock: the callback may take
// the engine's locks, and callers of AddBuffer may be waiting for ours meanwhile. The two lists
// trade places and keep their storage, so a buffer costs no allocation here.
void AlsaStream::Notify(std::unique_lock<std::mutex>& lock) {
    if (m_Finished.empty() && !m_FailureToTell)
        return;
    const bool failed = m_FailureToTell;
    m_FailureToTell = false;
    m_Delivering.swap(m_Finished);
    lock.unlock();
    // The failure first: the engine then hands no more buffers to a device that is gone.
    if (failed)
        m_Callback(m_Self, WAVE_FAILED, m_Instance, 0, 0);
    for (WAVEHDR* header : m_Delivering)
        m_Callback(m_Self, m_Message, m_Instance, reinterpret_cast<std::uintptr_t>(header), 0);
    m_Delivering.clear();
    lock.lock();
}

void AlsaStream::Loop() {
    std::unique_lock lock(m_Lock);
    std::vector<pollfd> fds;
    bool closing = false;
    for (;;) {
        std::uint64_t answered = m_Completed;
        while (!m_Commands.empty()) {
            const auto [command, ticket] = m_Commands.front();
            m_Commands.pop_front();
            if (command == CmdClose) {
                closing = true;
                Execute(CmdReset);
            } else if (command == CmdGone) {
                Die();
            } else if (!m_Dead) {
                Execute(command);
            }
            answered = ticket;
        }
        // A dead device hands back whatever it is given, so that nobody waits for it.
        if (m_Dead)
            GiveBackAll();
        Notify(lock);
        if (answered != m_Completed) {
            m_Completed = answered;
            m_Answered.notify_all();
        }
        if (closing)
            break;

        const bool io = !m_Dead && WantsIo();
        const int pace = io ? PaceMs() : -1;
        fds.assign(1, pollfd{m_WakeFd, POLLIN, 0});
        int pcmCount = 0;
        if (io && pace < 0) {
            pcmCount = snd_pcm_poll_descriptors_count(m_Pcm);
            if (pcmCount > 0) {
                fds.resize(1 + static_cast<size_t>(pcmCount));
                snd_pcm_poll_descriptors(m_Pcm, fds.data() + 1, static_cast<unsigned>(pcmCount));
            }
        }
        int wait = io ? (pace >= 0 ? pace : 1000) : -1;
        const int timer = m_Dead ? -1 : NextTimeoutMs();
        if (timer >= 0)
            wait = wait < 0 ? timer : std::min(wait, timer);
        // Without an eventfd nobody can wake the thread: look for commands now and then instead.
        if (m_WakeFd < 0 && (wait < 0 || wait > 20))
            wait = 20;
        lock.unlock();
        poll(fds.data(), fds.size(), wait);
        lock.lock();
        std::uint64_t drained;
        while (read(m_WakeFd, &drained, sizeof drained) > 0) {
        }
        bool alive = !io;
        if (io && pace >= 0) {
            const std::uint64_t before = m_Moved;
            Transfer();
            alive = m_Moved != before;
        } else if (io && pcmCount > 0) {
            unsigned short revents = 0;
            const int r = snd_pcm_poll_descriptors_revents(m_Pcm, fds.data() + 1,
                                                           static_cast<unsigned>(pcmCount), &revents);
            alive = r < 0 || revents != 0;
            if (r < 0)
                Recover(r);
            else if (revents)
                Transfer();
        }
        const auto now = std::chrono::steady_clock::now();
        if (alive || m_Dead)
            m_QuietSince = now;
        else if (now - m_QuietSince > kStalled)
            Die();
        if (!m_Dead)
            Tick();
        Notify(lock);
    }
}

} // namespace platform
