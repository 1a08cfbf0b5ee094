#pragma once
#include "WaveDataStore.h"
#include "WaveIOBase.h"
#include "WavePlayer.h"
#include "WaveRecorder.h"
#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace audiotest {

// Waits run 50 times faster than asked: the engine's 20 ms passes take 0.4 ms, so tests are quick
// yet the workers never spin.
class QuickClock : public platform::IClock {
public:
    platform::LocalTime GetLocalTime() override { return {}; }
    std::int64_t Time64() override { return 0; }
    std::int64_t MonotonicMs() override { return 0; }
    void Sleep(unsigned milliseconds) override {
        ++Sleeps;
        std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * 20));
    }
    // Every wait of every thread: the engine's workers wake once for each.
    std::atomic<unsigned> Sleeps{0};
};

// Waits until nobody has slept on the clock for a while (three spells of ten milliseconds, each
// some twenty of the workers' quick passes): true once the engine's threads are all waiting for
// something to happen.
inline bool UntilQuiet(QuickClock& clock) {
    int quietSpells = 0;
    for (int i = 0; i < 2000 && quietSpells < 3; ++i) {
        const unsigned before = clock.Sleeps;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        quietSpells = clock.Sleeps == before ? quietSpells + 1 : 0;
    }
    return quietSpells == 3;
}

// Polls a condition that the engine's threads bring about. The bound only keeps a broken engine
// from hanging the suite; it is not a measurement.
inline bool WaitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 20000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

// A store in memory: Read serves `Samples` from the position, Write appends to `Written`, Seek
// keeps the position within the samples, as the file classes do.
class MemoryStore : public CWaveDataStore {
public:
    MemoryStore(unsigned rate, unsigned short bits = 16, unsigned short channels = 1,
                std::string samples = {})
        : m_Rate(rate), m_Bits(bits), m_Channels(channels), m_Samples(std::move(samples)) {}

    void Write(const char* data, unsigned* length) override {
        std::lock_guard lock(m_Lock);
        m_Written.append(data, *length);
        m_WriteLengths.push_back(*length);
    }
    void Read(char* buffer, unsigned* length) override {
        std::lock_guard lock(m_Lock);
        ++m_Reads;
        const std::size_t left = m_Samples.size() - m_Position;
        const unsigned n = static_cast<unsigned>(std::min<std::size_t>(*length, left));
        m_Samples.copy(buffer, n, m_Position);
        m_Position += n;
        *length = n;
    }
    void GetFormat(unsigned* rate, unsigned short* bits, unsigned short* channels) override {
        *rate = m_Rate;
        *bits = m_Bits;
        *channels = m_Channels;
    }
    bool Seek(std::int64_t offset, bool absolute) override {
        std::lock_guard lock(m_Lock);
        const auto size = static_cast<std::int64_t>(m_Samples.size());
        const auto at = static_cast<std::int64_t>(m_Position);
        // Clamped before adding, so that no offset can overflow.
        const std::int64_t target = absolute ? std::clamp<std::int64_t>(offset, 0, size)
                                             : at + std::clamp<std::int64_t>(offset, -at, size - at);
        m_Position = static_cast<std::size_t>(target);
        m_Seeks.push_back(offset);
        return true;
    }
    std::uint64_t Tell() override {
        std::lock_guard lock(m_Lock);
        return m_Position;
    }
    std::uint64_t GetLength() override { return m_Samples.size(); }

    std::string Written() const {
        std::lock_guard lock(m_Lock);
        return m_Written;
    }
    std::vector<unsigned> WriteLengths() const {
        std::lock_guard lock(m_Lock);
        return m_WriteLengths;
    }
    std::vector<std::int64_t> Seeks() const {
        std::lock_guard lock(m_Lock);
        return m_Seeks;
    }
    unsigned Reads() const {
        std::lock_guard lock(m_Lock);
        return m_Reads;
    }

private:
    mutable std::mutex m_Lock;
    unsigned m_Rate;
    unsigned short m_Bits;
    unsigned short m_Channels;
    std::string m_Samples;
    std::size_t m_Position = 0;
    std::string m_Written;
    std::vector<unsigned> m_WriteLengths;
    std::vector<std::int64_t> m_Seeks;
    unsigned m_Reads = 0;
};

// `seconds` of a 440 Hz sine at half scale, every channel alike, as a WAV file's bytes.
inline std::string Sine(unsigned rate, unsigned short bits, unsigned short channels, double seconds) {
    const unsigned width = bits / 8;
    const auto frames = static_cast<std::size_t>(rate * seconds);
    std::string bytes;
    for (std::size_t i = 0; i < frames; ++i) {
        const double s = 0.5 * std::sin(2 * M_PI * 440.0 * double(i) / rate);
        const auto v = static_cast<std::int64_t>(std::lround(s * double(std::int64_t{1} << (bits - 1))));
        for (unsigned c = 0; c < channels; ++c)
            for (unsigned k = 0; k < width; ++k)
                bytes += width == 1 ? char(v + 128) : char(std::uint64_t(v) >> (8 * k));
    }
    return bytes;
}

// The bytes the fake capture device produces: byte i is i % 251.
inline std::string CapturePattern(std::size_t count) {
    std::string s(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<char>(i % 251);
    return s;
}

// Where the buffers are. Only meaningful while the engine is halted (both workers parked).
struct Places {
    std::vector<platform::WAVEHDR*> Free, Ready, Device;
};

// Gives the tests a view of the queues and the protected steps, to arrange and check exact states.
template <class Engine> class Probe : public Engine {
public:
    Places Where() const {
        Places p;
        p.Free.assign(this->m_FreeQueue.Items().begin(), this->m_FreeQueue.Items().end());
        p.Ready.assign(this->m_ReadyQueue.Items().begin(), this->m_ReadyQueue.Items().end());
        p.Device.assign(this->m_DeviceQueue.Items().begin(), this->m_DeviceQueue.Items().end());
        return p;
    }
    const platform::WAVEFORMATEX& Format() const { return this->m_Format; }
    bool DeviceIsOpen() const { return this->m_hDevice != nullptr; }
    // Arranging a state by hand, while halted.
    platform::WAVEHDR* TakeFree() { return this->m_FreeQueue.Take(); }
    void PutFree(platform::WAVEHDR* b) { this->m_FreeQueue.Add(b); }
    void PutReady(platform::WAVEHDR* b) { this->m_ReadyQueue.Add(b); }
    void PutDevice(platform::WAVEHDR* b) {
        this->FillBuffer(b);
        this->SubmitBuffer(b);
        this->m_DeviceQueue.Add(b);
    }
    void StartDevice() { this->DeviceStart(); }
    // Buffers in the free queue while the engine runs, read under the queue's lock.
    std::size_t FreeCountNow() {
        this->m_FreeQueue.Lock();
        const std::size_t n = this->m_FreeQueue.Size();
        this->m_FreeQueue.Unlock();
        return n;
    }
};

} // namespace audiotest
