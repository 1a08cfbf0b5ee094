#include "WaveIOBase.h"

#include "PcmFormat.h"
#include "platform/Clock.h"

#include <algorithm>

using platform::WAVEHDR;

namespace {
constexpr int kBufferCount = 8;
constexpr std::int64_t kPassPauseMs = 20;  // a worker's pause after parking, or while it cannot do its work
constexpr unsigned kFillHeadStartMs = 100; // about five fill passes before the first submit
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

void CWaveIOBase::Park(std::atomic<bool>& parked, std::counting_semaphore<2>& wake) {
    {
        std::lock_guard lock(m_ParkLock);
        parked = true;
    }
    m_ParkChanged.notify_all();
    wake.acquire();
}

std::uint32_t CWaveIOBase::DoneCount() {
    std::lock_guard lock(m_DoneLock);
    return m_DoneCount;
}

// Waits before the next pass: a worker with nothing to do waits for work rather than waking every
// 20 ms while nothing moves; one that was parked, or still has work it could not do, pauses 20 ms
// (at most 50 passes a second). `seen` is the worker's signal as its pass last read it, so work
// that came during the pass is not slept through.
void CWaveIOBase::PauseOrWait(bool moreToDo, WorkSignal& signal, std::uint32_t seen) {
    if (!moreToDo && !m_Terminate)
        signal.WaitPast(seen);
    else
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

// A pass hands the device every buffer that is ready, and goes round again while more are made
// ready meanwhile: buffers come back from the device, and are made ready again, several at a time,
// and a pass per buffer would be a wake-up per buffer.
void CWaveIOBase::SubmitLoop() {
    while (!m_Terminate) {
        std::uint32_t seen = m_SubmitSignal.Seen();
        do {
            m_ReadyQueue.Lock();
            while (!m_ReadyQueue.Empty()) {
                WAVEHDR* buffer = m_ReadyQueue.Take();
                SubmitBuffer(buffer);
                m_DeviceQueue.Lock();
                m_DeviceQueue.Add(buffer);
                m_DeviceQueue.Unlock();
            }
            m_ReadyQueue.Unlock();
        } while (Changed(m_SubmitSignal, seen));
        // A worker woken from parking has work again (Start); it pauses as it always did.
        const bool parks = m_Halted;
        if (parks)
            Park(m_SubmitParked, m_SubmitWake);
        PauseOrWait(parks, m_SubmitSignal, seen);
    }
}

// A pass first collects what the device has finished, then fills every free buffer, so that a
// buffer given back is on its way to the device again within the same wake-up; and it goes round
// again while the device gives back more (it hands back several at once, each with a notice of
// its own). Between passes the worker waits for a finished buffer itself, not for a notice: a
// notice whose buffer a pass already took wakes nobody.
void CWaveIOBase::FillLoop() {
    while (!m_Terminate) {
        bool filled = false;
        bool starved = false;
        do {
            CollectDone();
            starved = !FillFree(filled);
        } while (DoneCount() != 0 && !m_Halted && !m_Terminate);
        if (filled)
            m_SubmitSignal.Raise();

        if (m_Halted) {
            Park(m_FillParked, m_FillWake);
            platform::Clock().Sleep(static_cast<unsigned>(kPassPauseMs));
        } else if (starved) {
            platform::Clock().Sleep(static_cast<unsigned>(kPassPauseMs));
        } else {
            std::unique_lock lock(m_DoneLock);
            m_DoneChanged.wait(lock, [&] { return m_DoneCount != 0 || m_Halted || m_Terminate; });
        }
    }
}

void CWaveIOBase::WakeFill() {
    // Under the lock: the worker looks at the flags under it, so it sees them or is waiting already.
    { std::lock_guard lock(m_DoneLock); }
    m_DoneChanged.notify_all();
}

// Whether the worker's signal was raised since `seen` (which then moves on to it): work came
// during the pass, and the same pass takes it. Work made visible before its raise is never missed:
// the wait that follows a pass without a change is for a raise after `seen`. A halt ends the pass.
bool CWaveIOBase::Changed(WorkSignal& signal, std::uint32_t& seen) {
    const std::uint32_t now = signal.Seen();
    if (now == seen || m_Halted || m_Terminate)
        return false;
    seen = now;
    return true;
}

void CWaveIOBase::CollectDone() {
    while (DoneCount() != 0) {
        m_DeviceQueue.Lock();
        // The device gives buffers back in the order it received them.
        WAVEHDR* buffer = m_DeviceQueue.Empty() ? nullptr : m_DeviceQueue.Take();
        if (buffer) {
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
        if (!buffer)
            break;
    }
}

// Fills every free buffer and moves it to the ready queue; false when the store had nothing for
// one (a player at the end of its file leaves the buffer empty and retries it on every pass until
// it is halted).
bool CWaveIOBase::FillFree(bool& filled) {
    // A failed device would give a buffer back at once, unplayed or empty.
    const bool feeds = !m_DeviceFailed;
    bool starved = false;
    m_FreeQueue.Lock();
    while (feeds && !m_FreeQueue.Empty() && !m_Halted) {
        WAVEHDR* buffer = m_FreeQueue.Front();
        FillBuffer(buffer);
        if (buffer->dwBufferLength == 0) {
            starved = true;
            break;
        }
        m_FreeQueue.Take();
        m_ReadyQueue.Lock();
        m_ReadyQueue.Add(buffer);
        m_ReadyQueue.Unlock();
        filled = true;
    }
    m_FreeQueue.Unlock();
    return !starved;
}

void CWaveIOBase::OnBufferDone() {
    {
        std::lock_guard lock(m_DoneLock);
        ++m_DoneCount;
    }
    m_DoneChanged.notify_all();
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
    WakeFill();
    m_SubmitSignal.Raise();
    {
        std::unique_lock lock(m_ParkLock);
        m_ParkChanged.wait(lock, [&] { return m_SubmitParked && m_FillParked; });
    }
    DeviceReset();
    while (!m_ReadyQueue.Empty())
        m_FreeQueue.Add(m_ReadyQueue.Take());
    {
        // "Fewer than" rather than "not equal": a device that over-counted must not hold the
        // window for ever. Both workers are parked, so the device queue holds still.
        std::unique_lock lock(m_DoneLock);
        m_DoneChanged.wait(lock, [&] { return m_DoneCount >= m_DeviceQueue.Size(); });
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
    WakeFill();
    m_SubmitSignal.Raise();
    m_hFillThread.join();
    m_hSubmitThread.join();
}
