#pragma once
#include "BufferQueue.h"
#include "WaveDataStore.h"
#include "platform/wave/WaveDevice.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <semaphore>
#include <thread>

// Streams PCM between a sound device and a CWaveDataStore through eight buffers of a tenth of a
// second each. The buffers circulate free -> ready -> device -> free, moved by two workers of this
// object: the fill worker (free -> ready through FillBuffer, device -> free through CompleteBuffer)
// and the submit worker (ready -> device through SubmitBuffer). Every buffer is at every moment in
// exactly one queue or held by exactly one worker.
//
// Threads: the public operations are for one controlling thread (the window's). The device's
// notification thread only calls WaveCallback. Halt parks both workers before it touches any queue,
// so the store is read, written or seeked by one thread at a time.
class CWaveIOBase {
public:
    CWaveIOBase();
    virtual ~CWaveIOBase();
    CWaveIOBase(const CWaveIOBase&) = delete;
    CWaveIOBase& operator=(const CWaveIOBase&) = delete;

    // Detaches any current store (halting first), attaches `store` (not owned), takes its format,
    // opens the device and creates the eight buffers. Returns whether the device opened; true for
    // a null store. A format outside IsPlayablePcm (PcmFormat.h) gets neither device nor buffers:
    // false, and Start refuses.
    bool SetDataStore(CWaveDataStore* store);
    // Starts (or resumes) streaming. False, changing nothing, when no store is attached or the
    // device did not open: buffers handed to a device that is not there would never come back.
    // Calling it while running changes nothing and returns true. Waits 100 ms when it starts.
    bool Start();
    // Stops streaming and brings all eight buffers back to the free queue, in the order: idle,
    // ready, then those the device gave back (each through CompleteBuffer). The store stays
    // attached and the device open. Returns once both workers are parked and the device has given
    // back everything, which a device always does on reset.
    void Halt();
    // Halt, close the device, detach the store, delete the buffers. Always true.
    bool Stop();
    // As Stop, then ends both workers and waits for them. Later calls do nothing. The devices'
    // destructors call it. Afterwards SetDataStore attaches nothing (false for a store) and Start
    // refuses; Halt and Stop return at once.
    void Terminate();

    // True once after the device failed, vanished or stopped delivering (it said so with
    // WAVE_FAILED); false again from the next SetDataStore. Any thread; the window takes it on its
    // clock tick. A failed device is handed no more buffers: a player does not run on through its
    // file into a device that plays nothing, and Halt still returns (the device gave back all).
    bool TakeDeviceFailure() { return m_DeviceFailed && !m_FailureTaken.exchange(true); }

    // Pause and resume the device itself; the workers keep running.
    virtual bool DevicePause() = 0;
    virtual bool DeviceRestart() = 0;

    // Read by the window to turn positions into seconds: bytes per buffer (a tenth of a second)
    // and the attached store (null when none).
    std::uint32_t m_BufferSize = 0;
    CWaveDataStore* m_pStore = nullptr;

protected:
    virtual void SubmitBuffer(platform::WAVEHDR* buffer) = 0;
    virtual void FillBuffer(platform::WAVEHDR* buffer) = 0;
    virtual void CompleteBuffer(platform::WAVEHDR* buffer) = 0;
    virtual bool DeviceOpen() = 0;
    virtual bool DeviceClose() = 0;
    virtual bool DeviceStart() = 0;
    virtual bool DeviceReset() = 0;
    // Counts one buffer the device has finished; called on the notification thread.
    virtual void OnBufferDone();

    // The function given to the device at open, with this object as the instance value.
    static void WaveCallback(platform::HWAVE device, unsigned message, std::uintptr_t instance,
                             std::uintptr_t param1, std::uintptr_t param2);

    platform::HWAVE m_hDevice = nullptr;
    platform::WAVEFORMATEX m_Format{};
    CBufferQueue m_FreeQueue;
    CBufferQueue m_DeviceQueue;
    CBufferQueue m_ReadyQueue;
    // Buffers the device has finished and the fill worker has not collected yet; Halt waits on
    // the condition for the device to give back all it holds.
    std::uint32_t m_DoneCount = 0;
    std::mutex m_DoneLock;
    std::condition_variable m_DoneChanged;
    std::thread m_hSubmitThread;
    std::atomic<bool> m_SubmitParked{true};
    std::thread m_hFillThread;
    std::atomic<bool> m_FillParked{true};
    std::atomic<bool> m_Terminate{false};
    std::atomic<bool> m_Halted{true};
    std::uint32_t m_DeviceId = 0;
    std::atomic<bool> m_DeviceFailed{false};
    std::atomic<bool> m_FailureTaken{false};

private:
    void SubmitLoop();
    void FillLoop();
    void CollectDone();
    bool FillFree(bool& filled);
    void AllocBuffers();
    void FreeBuffers();
    // Wakes a parked worker: the flag is cleared first, and a wake given before the worker
    // blocks is kept by the semaphore, so it is never lost.
    static void Wake(std::atomic<bool>& parked, std::counting_semaphore<2>& wake);
    // Work for the submit worker, which may be waiting for it (a buffer made ready, Halt,
    // Terminate). A plain lock and condition: the library's atomic wait spins through several
    // yields first, each a wake-up of its own.
    class WorkSignal {
    public:
        std::uint32_t Seen();
        void Raise();
        void WaitPast(std::uint32_t seen);

    private:
        std::mutex m_Lock;
        std::condition_variable m_Changed;
        std::uint32_t m_Count = 0;
    };
    void WakeFill();
    bool Changed(WorkSignal& signal, std::uint32_t& seen);
    void PauseOrWait(bool moreToDo, WorkSignal& signal, std::uint32_t seen);
    void EndWorkers();
    // Parks the calling worker until Start or Terminate wakes it; Halt waits on the condition
    // for both to be parked.
    void Park(std::atomic<bool>& parked, std::counting_semaphore<2>& wake);
    std::uint32_t DoneCount();

    std::counting_semaphore<2> m_SubmitWake{0};
    std::counting_semaphore<2> m_FillWake{0};
    WorkSignal m_SubmitSignal;
    std::mutex m_ParkLock;
    std::condition_variable m_ParkChanged;
};
