#pragma once
#include "platform/wave/WaveTypes.h"

#include <cstddef>
#include <deque>
#include <mutex>

// A first-in first-out queue of buffer headers with its own lock. The engine's workers take the
// lock explicitly (Lock/Unlock) because they nest queue locks in a fixed order; the window's
// thread touches the queues only while both workers are parked and needs no lock.
class CBufferQueue {
public:
    void Lock() { m_Lock.lock(); }
    void Unlock() { m_Lock.unlock(); }

    bool Empty() const { return m_Items.empty(); }
    std::size_t Size() const { return m_Items.size(); }
    platform::WAVEHDR* Front() const { return m_Items.front(); }
    platform::WAVEHDR* Take() {
        platform::WAVEHDR* front = m_Items.front();
        m_Items.pop_front();
        return front;
    }
    void Add(platform::WAVEHDR* header) { m_Items.push_back(header); }
    // The buffers in order, front first (for inspection while the workers are parked).
    const std::deque<platform::WAVEHDR*>& Items() const { return m_Items; }

private:
    std::mutex m_Lock;
    std::deque<platform::WAVEHDR*> m_Items;
};
