#include "WaveRecorder.h"

#include "platform/CaptureDevices.h"

#include <string>

using platform::WAVEHDR;

CWaveRecorder::CWaveRecorder() {
    m_DeviceId = platform::WAVE_MAPPER;
    platform::ICaptureDevices& devices = platform::CaptureDevices();
    const unsigned count = devices.Count();
    for (unsigned id = 0; id < count; ++id) {
        // A device whose name cannot be read reads as "" and simply does not match.
        if (devices.ProductName(id) == "USB Headset") {
            m_DeviceId = id;
            break;
        }
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
