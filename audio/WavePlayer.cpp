#include "WavePlayer.h"

#include <algorithm>
#include <limits>

using platform::WAVEHDR;

CWavePlayer::CWavePlayer() {
    m_DeviceId = 0;
}

CWavePlayer::~CWavePlayer() {
    Terminate();
}

void CWavePlayer::SkipForward(int steps) {
    if (!m_pStore)
        return;
    Halt();
    m_pStore->Seek(SkipBytes(steps), false);
    Moved();
}

void CWavePlayer::SkipBackward(int steps) {
    if (!m_pStore)
        return;
    Halt();
    m_pStore->Seek(-SkipBytes(steps), false);
    Moved();
}

void CWavePlayer::MoveTo(std::uint64_t position) {
    if (!m_pStore)
        return;
    Halt();
    // Relative to where the store is, so that the move is in Tell's terms (a reader's include its
    // header) and the store holds it within the samples.
    const auto at = static_cast<std::int64_t>(
        std::min<std::uint64_t>(position, std::numeric_limits<std::int64_t>::max()));
    std::int64_t by = at - static_cast<std::int64_t>(m_pStore->Tell());
    // By whole frames, so that the next read begins on a frame as every read before it did.
    if (m_Format.nBlockAlign != 0)
        by -= by % m_Format.nBlockAlign;
    m_pStore->Seek(by, false);
    Moved();
}

void CWavePlayer::SeekTo(std::int64_t offset) {
    if (!m_pStore)
        return;
    Halt();
    m_pStore->Seek(offset, true);
    Moved();
}

void CWavePlayer::Moved() {
    m_Heard = m_pStore->Tell();
    m_Stretch.Clear();
}

void CWavePlayer::SetSpeed(int tenths) {
    m_SpeedTenths = std::clamp(tenths, 5, 15);
}

std::int64_t CWavePlayer::SkipBytes(int steps) const {
    // In 64 bits and held to the file: in an int, a skip past 3.1 hours of 48 kHz stereo wrapped
    // to a negative offset and went back to the start.
    const std::uint64_t length =
        std::min<std::uint64_t>(m_pStore->GetLength(), std::numeric_limits<std::int64_t>::max());
    const std::uint64_t seconds = steps < 0 ? 0 - std::uint64_t(std::int64_t(steps)) : std::uint64_t(steps);
    const std::uint64_t perSecond = std::uint64_t(10) * m_BufferSize;
    std::uint64_t bytes = 0;
    if (perSecond != 0)
        bytes = seconds > length / perSecond ? length : seconds * perSecond;
    return steps < 0 ? -std::int64_t(bytes) : std::int64_t(bytes);
}

void CWavePlayer::SubmitBuffer(WAVEHDR* buffer) {
    if (!buffer || !m_hDevice)
        return;
    Out()->PrepareHeader(buffer, sizeof(WAVEHDR));
    Out()->Write(buffer, sizeof(WAVEHDR));
}

void CWavePlayer::FillBuffer(WAVEHDR* buffer) {
    if (!buffer)
        return;
    char* data = buffer->lpData;
    *buffer = WAVEHDR{};
    buffer->lpData = data;
    buffer->dwBufferLength = m_BufferSize;
    if (!m_pStore)
        return;
    // dwUser carries where in the file the buffer's sound ends, for PlayedPosition.
    const int tenths = m_SpeedTenths;
    if (tenths == 10) {
        // The file's own speed: its bytes as they are, with nothing in between.
        m_Stretch.Clear();
        m_pStore->Read(buffer->lpData, &buffer->dwBufferLength);
        buffer->dwUser = m_pStore->Tell();
        return;
    }
    buffer->dwBufferLength = m_Stretch.Fill(*m_pStore, tenths / 10.0, buffer->lpData, m_BufferSize);
    buffer->dwUser = m_Stretch.FilePosition(m_pStore->Tell());
}

void CWavePlayer::CompleteBuffer(WAVEHDR* buffer) {
    // Given back while running, a buffer was played; Halt's reset gives back unplayed ones.
    if (buffer && !m_Halted && buffer->dwBufferLength != 0)
        m_Heard = buffer->dwUser;
    if (buffer && m_hDevice && (buffer->dwFlags & platform::WHDR_PREPARED))
        Out()->UnprepareHeader(buffer, sizeof(WAVEHDR));
}

bool CWavePlayer::DeviceOpen() {
    platform::IWaveOut* device = nullptr;
    const auto result = platform::WaveService().OutOpen(&device, platform::WAVE_MAPPER, &m_Format,
                                                        WaveCallback, reinterpret_cast<std::uintptr_t>(this));
    m_hDevice = result == platform::MMSYSERR_NOERROR ? device : nullptr;
    // A new store: the stretcher takes its format, and nothing of it is heard yet.
    m_Stretch.SetFormat(m_Format.nSamplesPerSec, m_Format.wBitsPerSample, m_Format.nChannels);
    m_Heard = m_pStore ? m_pStore->Tell() : 0;
    return m_hDevice != nullptr;
}

bool CWavePlayer::DeviceClose() {
    if (m_hDevice)
        m_hDevice->Close();
    m_hDevice = nullptr;
    return true;
}

bool CWavePlayer::DeviceStart() {
    return true;
} // output begins as soon as buffers are written

bool CWavePlayer::DevicePause() {
    if (m_hDevice)
        Out()->Pause();
    return true;
}

bool CWavePlayer::DeviceRestart() {
    if (m_hDevice)
        Out()->Restart();
    return true;
}

bool CWavePlayer::DeviceReset() {
    if (m_hDevice)
        m_hDevice->Reset();
    return true;
}
