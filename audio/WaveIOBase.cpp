#include "WaveIOBase.h"

#include "PcmFormat.h"
#include "platform/Clock.h"

#include <algorithm>

using platform::WAVEHDR;

namespace {
constexpr int kBufferCount = 8;
constexpr std::int64_t kPassPauseMs = 20;  // at least, between the starts of two passes of a worker
constexpr unsigned kFillHeadStartMs = 100; // about five fill passes before the first submit
constexpr unsigned kPollMs = 1;            // Halt's checks
} // namespace

CWaveIOBase::CWaveIOBase() {
    // Both workers begin parked: their first act is to wait for a wake that only Start or
    // Terminate gives, the parked flags being set already.
    m_hSubmitThread = std::thread([this] {
        m_SubmitWake.acquire();
        SubmitLoop();
    });
    m_hFillThread = std::thread([this] {
        m_FillWake.acquire();
        FillLoop();
    });
}

CWaveIOBase::~CWaveIOBase() {
    // The devices' destructors have called Terminate; this only keeps a device that did not from
    // leaving running threads behind.
    EndWorkers();
    FreeBuffers();
}

void CWaveIOBase::Wake(std::atomic<bool>& parked, std::counting_semaphore<2>& wake) {
    parked = false;
    wake.release();
}

// Waits before the next pass: the design's pause keeps passes at least 20 ms apart (at most 50 a
// second), but a worker with nothing to do waits for work instead of waking every 20 ms while
// nothing moves. `seen` is the worker's signal as read before its pass, so work that came during
// the pass is not slept through. After a wait the pause counts from the start of the last pass.
void CWaveIOBase::PauseOrWait(bool moreToDo, WorkSignal& signal, std::uint32_t seen, std::int64_t passStart) {
    if (!moreToDo && !m_Terminate) {
        signal.WaitPast(seen);
        const std::int64_t since = std::max<std::int64_t>(platform::Clock().MonotonicMs() - passStart, 0);
        if (since < kPassPauseMs)
            platform::Clock().Sleep(static_cast<unsigned>(kPassPauseMs - since));
        return;
    }
    platform::Clock().Sleep(static_cast<unsigned>(kPassPauseMs));
}

std::uint32_t CWaveIOBase::WorkSignal::Seen() {
    std::lock_guard lock(m_Lock);
    return m_Count;
}

void CWaveIOBase::WorkSignal::Raise() {
    {
        std::lock_guard lock(m_Lock);
        ++m_Count;
    }
    m_Changed.notify_one();
}

void CWaveIOBase::WorkSignal::WaitPast(std::uint32_t seen) {
    std::unique_lock lock(m_Lock);
    m_Changed.wait(lock, [&] { return m_Count != seen; });
}

void CWaveIOBase::SubmitLoop() {
    while (!m_Terminate) {
        const std::uint32_t seen = m_SubmitSignal.Seen();
        const std::int64_t passStart = platform::Clock().MonotonicMs();
        m_ReadyQueue.Lock();
        if (!m_ReadyQueue.Empty()) {
            WAVEHDR* buffer = m_ReadyQueue.Take();
            SubmitBuffer(buffer);
            m_DeviceQueue.Lock();
            m_DeviceQueue.Add(buffer);
            m_DeviceQueue.Unlock();
        }
        const bool moreToDo = !m_ReadyQueue.Empty();
        m_ReadyQueue.Unlock();
        // A worker woken from parking has work again (Start); it pauses as it always did.
        const bool parks = m_Halted;
        if (parks) {
            m_SubmitParked = true;
            m_SubmitWake.acquire();
        }
        PauseOrWait(moreToDo || parks, m_SubmitSignal, seen, passStart);
    }
}

void CWaveIOBase::FillLoop() {
    while (!m_Terminate) {
        const std::uint32_t seen = m_FillSignal.Seen();
        const std::int64_t passStart = platform::Clock().MonotonicMs();
        m_FreeQueue.Lock();
        // A failed device would give a buffer back at once, unplayed or empty.
        const bool feeds = !m_DeviceFailed;
        if (feeds && !m_FreeQueue.Empty()) {
            WAVEHDR* buffer = m_FreeQueue.Front();
            FillBuffer(buffer);
            if (buffer->dwBufferLength != 0) {
                m_FreeQueue.Take();
                m_ReadyQueue.Lock();
                m_ReadyQueue.Add(buffer);
                m_ReadyQueue.Unlock();
                m_SubmitSignal.Raise();
            }
        }
        m_FreeQueue.Unlock();

        if (m_DoneCount != 0) {
            m_DeviceQueue.Lock();
            if (!m_DeviceQueue.Empty()) {
                // The device gives buffers back in the order it received them.
                WAVEHDR* buffer = m_DeviceQueue.Take();
                {
                    std::lock_guard lock(m_DoneLock);
                    --m_DoneCount;
                }
                CompleteBuffer(buffer);
                m_FreeQueue.Lock();
                m_FreeQueue.Add(buffer);
                m_FreeQueue.Unlock();
            }
            m_DeviceQueue.Unlock();
        }

        // Only this worker takes from the free queue, so a look without the lock is current. A
        // free buffer is work even when FillBuffer left it empty: a player at the end of its file
        // retries it on every pass.
        const bool moreToDo = (feeds && !m_FreeQueue.Empty()) || m_DoneCount != 0;
        const bool parks = m_Halted;
        if (parks) {
            m_FillParked = true;
            m_FillWake.acquire();
        }
        PauseOrWait(moreToDo || parks, m_FillSignal, seen, passStart);
    }
}

void CWaveIOBase::OnBufferDone() {
    {
        std::lock_guard lock(m_DoneLock);
        ++m_DoneCount;
    }
    m_FillSignal.Raise();
}

void CWaveIOBase::WaveCallback(platform::HWAVE, unsigned message, std::uintptr_t instance, std::uintptr_t,
                               std::uintptr_t) {
    auto* engine = reinterpret_cast<CWaveIOBase*>(instance);
    if (message == platform::WOM_DONE || message == platform::WIM_DATA)
        engine->OnBufferDone();
    else if (message == platform::WAVE_FAILED)
        engine->m_DeviceFailed = true;
}

bool CWaveIOBase::SetDataStore(CWaveDataStore* store) {
    // Without workers no buffer would ever move, and a device opened now would outlive the
    // object (the destructor's Terminate has nothing left to do): nothing is attached.
    if (m_Terminate)
        return store == nullptr;
    if (m_pStore) {
        Halt();
        DeviceClose();
        m_pStore = nullptr;
        FreeBuffers();
    }
    m_pStore = store;
    // A new store gets a new device: what the last one did no longer counts.
    m_DeviceFailed = false;
    m_FailureTaken = false;
    if (!store)
        return true;
    unsigned rate = 0;
    unsigned short bits = 0, channels = 0;
    store->GetFormat(&rate, &bits, &channels);
    m_Format.wFormatTag = platform::WAVE_FORMAT_PCM;
    m_Format.cbSize = 0;
    m_Format.nSamplesPerSec = rate;
    m_Format.wBitsPerSample = bits;
    m_Format.nChannels = channels;
    m_Format.nBlockAlign = static_cast<std::uint16_t>((bits / 8) * channels);
    m_Format.nAvgBytesPerSec = m_Format.nBlockAlign * rate;
    // The format is checked before any buffer is made: first against sane limits (a damaged
    // header would size the buffers by its own numbers), then by the device itself. Refused out
    // of hand, the store stays attached with no buffers and no device, so Start refuses.
    m_BufferSize = 0;
    if (!IsPlayablePcm(rate, bits, channels))
        return false;
    const bool opened = DeviceOpen();
    AllocBuffers();
    return opened;
}

void CWaveIOBase::AllocBuffers() {
    // A tenth of a second, even, and in whole frames: a device plays and records whole frames
    // only, so the bytes past the last whole frame were dropped and the next buffer began in the
    // middle of a frame (11025 Hz stereo: channels swapped in every other buffer).
    const unsigned frame = m_Format.nBlockAlign != 0 ? m_Format.nBlockAlign : 1;
    m_BufferSize = (m_Format.nAvgBytesPerSec / 20) * 2 / frame * frame;
    for (int i = 0; i < kBufferCount; ++i) {
        auto* buffer = new WAVEHDR{};
        buffer->lpData = new char[m_BufferSize]();
        m_FreeQueue.Add(buffer);
    }
}

void CWaveIOBase::FreeBuffers() {
    while (!m_FreeQueue.Empty()) {
        WAVEHDR* buffer = m_FreeQueue.Take();
        delete[] buffer->lpData;
        delete buffer;
    }
}

bool CWaveIOBase::Start() {
    if (!m_pStore || m_Terminate)
        return false;
    // Chosen for a device that did not open: refuse, so that no buffer goes where it would never
    // come back from and Halt has nothing to wait for.
    if (!m_hDevice)
        return false;
    if (m_Halted) {
        m_Halted = false;
        Wake(m_FillParked, m_FillWake);
        platform::Clock().Sleep(kFillHeadStartMs);
        Wake(m_SubmitParked, m_SubmitWake);
        DeviceStart();
    }
    return true;
}

void CWaveIOBase::Halt() {
    // Ended workers never park again; with nothing attached there is nothing to bring back.
    if (m_Terminate)
        return;
    m_Halted = true;
    // A worker waiting for work must come round to park.
    m_FillSignal.Raise();
    m_SubmitSignal.Raise();
    while (!m_SubmitParked || !m_FillParked)
        platform::Clock().Sleep(kPollMs);
    DeviceReset();
    while (!m_ReadyQueue.Empty())
        m_FreeQueue.Add(m_ReadyQueue.Take());
    // "Fewer than" rather than "not equal": a device that over-counted must not hold the window for ever.
    while (m_DoneCount < m_DeviceQueue.Size())
        platform::Clock().Sleep(kPollMs);
    {
        std::lock_guard lock(m_DoneLock);
        m_DoneCount = 0;
    }
    while (!m_DeviceQueue.Empty()) {
        WAVEHDR* buffer = m_DeviceQueue.Take();
        CompleteBuffer(buffer);
        m_FreeQueue.Add(buffer);
    }
}

bool CWaveIOBase::Stop() {
    Halt();
    DeviceClose();
    m_pStore = nullptr;
    FreeBuffers();
    return true;
}

void CWaveIOBase::Terminate() {
    if (m_Terminate) {
        // Nothing can be opened after the first call; this only keeps a device from outliving us.
        if (m_hDevice)
            DeviceClose();
        return;
    }
    Halt();
    DeviceClose();
    m_pStore = nullptr;
    FreeBuffers();
    EndWorkers();
}

void CWaveIOBase::EndWorkers() {
    if (!m_hFillThread.joinable())
        return;
    m_Terminate = true;
    m_FillParked = false;
    m_SubmitParked = false;
    m_Halted = false;
    m_FillWake.release();
    m_SubmitWake.release();
    m_FillSignal.Raise();
    m_SubmitSignal.Raise();
    m_hFillThread.join();
    m_hSubmitThread.join();
}
