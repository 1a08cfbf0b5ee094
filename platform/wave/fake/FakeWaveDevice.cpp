#include "platform/wave/fake/FakeWaveDevice.h"

namespace platform {

FakeWaveDevice::FakeWaveDevice(bool output, unsigned deviceId, const WAVEFORMATEX& format,
                               WaveCallback callback, std::uintptr_t instance)
    : m_Output(output), m_DeviceId(deviceId), m_Format(format), m_Callback(callback), m_Instance(instance),
      m_Running(output) {}

std::vector<std::string> FakeWaveDevice::Calls() const {
    std::lock_guard lock(m_Lock);
    return m_Calls;
}

std::vector<WAVEHDR*> FakeWaveDevice::Held() const {
    std::lock_guard lock(m_Lock);
    return {m_Held.begin(), m_Held.end()};
}

bool FakeWaveDevice::Closed() const {
    std::lock_guard lock(m_Lock);
    return m_Closed;
}

bool FakeWaveDevice::Running() const {
    std::lock_guard lock(m_Lock);
    return m_Running;
}

std::string FakeWaveDevice::Played() const {
    std::lock_guard lock(m_Lock);
    return m_Played;
}

void FakeWaveDevice::GiveBack(WAVEHDR* header, std::vector<WAVEHDR*>& out) {
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    out.push_back(header);
}

void FakeWaveDevice::Notify(const std::vector<WAVEHDR*>& headers) {
    for (WAVEHDR* header : headers)
        m_Callback(m_Handle, m_Output ? WOM_DONE : WIM_DATA, m_Instance,
                   reinterpret_cast<std::uintptr_t>(header), 0);
}

void FakeWaveDevice::Complete(std::size_t n) {
    std::vector<WAVEHDR*> done;
    {
        std::lock_guard lock(m_Lock);
        while (n-- > 0 && !m_Held.empty()) {
            WAVEHDR* header = m_Held.front();
            m_Held.pop_front();
            if (m_Output) {
                m_Played.append(header->lpData, header->dwBufferLength);
            } else {
                for (unsigned i = m_FrontFill; i < header->dwBufferLength; ++i)
                    header->lpData[i] = NextCapturedByte();
                header->dwBytesRecorded = header->dwBufferLength;
                m_FrontFill = 0;
            }
            GiveBack(header, done);
        }
    }
    Notify(done);
}

char FakeWaveDevice::NextCapturedByte() {
    const std::uint64_t at = m_Captured++;
    return m_Sound.empty() ? static_cast<char>(at % 251) : m_Sound[at % m_Sound.size()];
}

void FakeWaveDevice::SetSound(const std::vector<std::int16_t>& samples) {
    std::lock_guard lock(m_Lock);
    m_Sound.clear();
    for (const std::int16_t v : samples) { // little-endian, as the devices deliver them
        m_Sound.push_back(static_cast<char>(v & 0xFF));
        m_Sound.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
}

void FakeWaveDevice::Capture(unsigned bytes) {
    std::vector<WAVEHDR*> done;
    {
        std::lock_guard lock(m_Lock);
        if (m_Output)
            return;
        for (; m_Running && bytes > 0 && !m_Held.empty(); --bytes) {
            WAVEHDR* header = m_Held.front();
            header->lpData[m_FrontFill++] = NextCapturedByte();
            header->dwBytesRecorded = m_FrontFill;
            if (m_FrontFill == header->dwBufferLength) {
                m_Held.pop_front();
                m_FrontFill = 0;
                GiveBack(header, done);
            }
        }
        m_Captured += bytes; // stopped, or nowhere to put them: lost
    }
    Notify(done);
}

void FakeWaveDevice::SetAutoComplete(bool on) {
    std::lock_guard lock(m_Lock);
    m_AutoComplete = on;
}

void FakeWaveDevice::Vanish() {
    std::vector<WAVEHDR*> done;
    {
        std::lock_guard lock(m_Lock);
        m_Vanished = true;
        while (!m_Held.empty()) {
            GiveBack(m_Held.front(), done);
            m_Held.pop_front();
        }
        m_FrontFill = 0;
    }
    m_Callback(m_Handle, WAVE_FAILED, m_Instance, 0, 0);
    Notify(done);
}

MMRESULT FakeWaveDevice::Prepare(WAVEHDR* header) {
    std::lock_guard lock(m_Lock);
    m_Calls.push_back("Prepare");
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveDevice::Unprepare(WAVEHDR* header) {
    std::lock_guard lock(m_Lock);
    m_Calls.push_back("Unprepare");
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveDevice::Queue(WAVEHDR* header) {
    std::vector<WAVEHDR*> done;
    {
        std::lock_guard lock(m_Lock);
        m_Calls.push_back(m_Output ? "Write" : "AddBuffer");
        if (!(header->dwFlags & WHDR_PREPARED))
            return WAVERR_UNPREPARED;
        header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        header->dwBytesRecorded = 0;
        if (m_Vanished) {
            GiveBack(header, done);
        } else if (m_Output && m_AutoComplete && m_Running) {
            m_Played.append(header->lpData, header->dwBufferLength);
            GiveBack(header, done);
        } else {
            m_Held.push_back(header);
        }
    }
    Notify(done);
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveDevice::Start() {
    std::lock_guard lock(m_Lock);
    m_Calls.push_back(m_Output ? "Restart" : "Start");
    m_Running = true;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveDevice::Stop() {
    std::vector<WAVEHDR*> done;
    {
        std::lock_guard lock(m_Lock);
        m_Calls.push_back(m_Output ? "Pause" : "Stop");
        m_Running = false;
        if (!m_Output && !m_Held.empty() && m_FrontFill > 0) {
            GiveBack(m_Held.front(), done);
            m_Held.pop_front();
            m_FrontFill = 0;
        }
    }
    Notify(done);
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveDevice::Reset() {
    std::vector<WAVEHDR*> done;
    {
        std::lock_guard lock(m_Lock);
        m_Calls.push_back("Reset");
        if (!m_Output)
            m_Running = false;
        while (!m_Held.empty()) {
            GiveBack(m_Held.front(), done);
            m_Held.pop_front();
        }
        m_FrontFill = 0;
    }
    Notify(done);
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveDevice::Close() {
    Reset();
    std::lock_guard lock(m_Lock);
    m_Calls.push_back("Close");
    m_Closed = true;
    return MMSYSERR_NOERROR;
}

} // namespace platform
