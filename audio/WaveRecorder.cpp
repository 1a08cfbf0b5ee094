#include "WaveRecorder.h"

#include "platform/CaptureDevices.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using platform::WAVEHDR;

CWaveRecorder::CWaveRecorder() {
    ChooseInput("");
}

void CWaveRecorder::ChooseInput(const std::string& preferred) {
    m_Input = platform::ChooseCaptureInput(platform::CaptureDevices(), preferred);
    m_DeviceId = m_Input.DeviceId;
}

void CWaveRecorder::NotePeak(const char* data, std::uint32_t bytes) {
    if (m_Format.wBitsPerSample != 16)
        return;
    int peak = 0;
    for (std::uint32_t at = 0; at + 1 < bytes; at += 2) {
        std::int16_t sample;
        std::memcpy(&sample, data + at, 2);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    // The window reads and clears it once a second; a louder buffer in between raises it.
    int seen = m_Peak.load(std::memory_order_relaxed);
    while (peak > seen && !m_Peak.compare_exchange_weak(seen, peak, std::memory_order_relaxed)) {
    }
}

CWaveRecorder::~CWaveRecorder() {
    Terminate();
}

void CWaveRecorder::SubmitBuffer(WAVEHDR* buffer) {
    if (!buffer || !m_hDevice)
        return;
    In()->PrepareHeader(buffer, sizeof(WAVEHDR));
    In()->AddBuffer(buffer, sizeof(WAVEHDR));
}

void CWaveRecorder::FillBuffer(WAVEHDR* buffer) {
    if (!buffer)
        return;
    char* data = buffer->lpData;
    *buffer = WAVEHDR{};
    buffer->lpData = data;
    buffer->dwBufferLength = m_BufferSize;
}

void CWaveRecorder::CompleteBuffer(WAVEHDR* buffer) {
    if (!buffer)
        return;
    // The level is taken from the samples on their way to the file: the meter costs no stream of
    // its own, and what it shows is what is being recorded.
    NotePeak(buffer->lpData, std::min(buffer->dwBytesRecorded, buffer->dwBufferLength));
    if (m_pStore)
        m_pStore->Write(buffer->lpData, &buffer->dwBytesRecorded);
    if (m_hDevice && (buffer->dwFlags & platform::WHDR_PREPARED))
        In()->UnprepareHeader(buffer, sizeof(WAVEHDR));
}

bool CWaveRecorder::DeviceOpen() {
    platform::IWaveIn* device = nullptr;
    const auto result = platform::WaveService().InOpen(&device, m_DeviceId, &m_Format, WaveCallback,
                                                       reinterpret_cast<std::uintptr_t>(this));
    m_hDevice = result == platform::MMSYSERR_NOERROR ? device : nullptr;
    return m_hDevice != nullptr;
}

bool CWaveRecorder::DeviceClose() {
    if (m_hDevice)
        m_hDevice->Close();
    m_hDevice = nullptr;
    return true;
}

bool CWaveRecorder::DeviceStart() {
    if (m_hDevice)
        In()->Start();
    return true;
}

bool CWaveRecorder::DevicePause() {
    if (m_hDevice)
        In()->Stop();
    return true;
}

bool CWaveRecorder::DeviceRestart() {
    if (m_hDevice)
        In()->Start();
    return true;
}

bool CWaveRecorder::DeviceReset() {
    if (m_hDevice)
        m_hDevice->Reset();
    return true;
}
