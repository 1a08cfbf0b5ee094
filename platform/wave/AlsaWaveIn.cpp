#include "platform/wave/AlsaWaveIn.h"

#include <cerrno>

namespace platform {

AlsaWaveIn::AlsaWaveIn(snd_pcm_t* pcm, const WAVEFORMATEX& format, WaveCallback callback,
                       std::uintptr_t instance, const std::string& serverSource)
    : AlsaStream(pcm, format, callback, instance, WIM_DATA), m_Rate(format.nSamplesPerSec) {
    Begin(this);
    if (!serverSource.empty())
        m_Watch = std::make_unique<ServerSourceWatch>(serverSource, [this] { PostGone(); });
}

MMRESULT AlsaWaveIn::Start() {
    DoCommand(CmdStart);
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaWaveIn::Stop() {
    DoCommand(CmdPause);
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaWaveIn::Reset() {
    DoCommand(CmdReset);
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaWaveIn::Close() {
    // The watch first: once it is gone nothing posts to the thread that DoClose ends.
    m_Watch.reset();
    DoClose();
    delete this;
    return MMSYSERR_NOERROR;
}

// Collects what ALSA already captured into the buffers, then stops the PCM so that the next
// Start begins with fresh sound.
void AlsaWaveIn::EndCapture() {
    if (!m_Running)
        return;
    Transfer();
    m_Running = false;
    if (!m_Dead) {
        snd_pcm_drop(m_Pcm);
        snd_pcm_prepare(m_Pcm);
    }
}

void AlsaWaveIn::Execute(Command command) {
    switch (command) {
    case CmdStart:
    case CmdRestart:
        if (m_Running)
            break;
        // Some PCMs (the sound server's among them) gather sound from the moment they are
        // prepared; what came before Start was not asked for, so it is dropped.
        snd_pcm_drop(m_Pcm);
        snd_pcm_prepare(m_Pcm);
        if (snd_pcm_start(m_Pcm) < 0) {
            Die();
            break;
        }
        m_Running = true;
        break;
    case CmdPause:
        EndCapture();
        if (!m_Queue.empty() && m_Offset > 0) {
            GiveBack(m_Queue.front());
            m_Queue.pop_front();
            m_Offset = 0;
        }
        break;
    case CmdReset:
        EndCapture();
        GiveBackAll();
        break;
    default:
        break;
    }
}

void AlsaWaveIn::AfterRecover() {
    if (m_Running)
        snd_pcm_start(m_Pcm);
}

void AlsaWaveIn::Transfer() {
    while (!m_Queue.empty() && !m_Dead) {
        WAVEHDR* header = m_Queue.front();
        const unsigned room = header->dwBufferLength >= m_Offset ? header->dwBufferLength - m_Offset : 0;
        const snd_pcm_uframes_t frames = room / m_FrameBytes;
        if (frames == 0) {
            m_Queue.pop_front();
            m_Offset = 0;
            GiveBack(header);
            continue;
        }
        const snd_pcm_sframes_t got = snd_pcm_readi(m_Pcm, header->lpData + m_Offset, frames);
        if (got == -EAGAIN || got == 0)
            break;
        if (got < 0) {
            if (!Recover(got))
                return;
            continue;
        }
        m_Offset += static_cast<unsigned>(got) * m_FrameBytes;
        m_Moved += static_cast<std::uint64_t>(got);
        header->dwBytesRecorded = m_Offset;
    }
}

// Capture is read by the clock: the thread wakes when the buffer it is filling should be full (a
// little late, so that the server's last packet has come), reads everything the PCM holds and
// gives back the full buffers. The PCM's ring holds half a second, so a wake that comes late on a
// loaded machine still loses nothing.
int AlsaWaveIn::PaceMs() {
    constexpr unsigned kLateMs = 10;
    const WAVEHDR* front = m_Queue.front();
    const std::uint64_t bytes = front->dwBufferLength > m_Offset ? front->dwBufferLength - m_Offset : 0;
    const unsigned rate = m_Rate != 0 ? m_Rate : 8000;
    return static_cast<int>(bytes / m_FrameBytes * 1000 / rate + kLateMs);
}

} // namespace platform
