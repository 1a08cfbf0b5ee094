#include "platform/wave/AlsaWaveOut.h"

#include <algorithm>
#include <cerrno>

namespace platform {

AlsaWaveOut::AlsaWaveOut(snd_pcm_t* pcm, const WAVEFORMATEX& format, WaveCallback callback,
                         std::uintptr_t instance)
    : AlsaStream(pcm, format, callback, instance, WOM_DONE), m_Rate(format.nSamplesPerSec) {
    Begin(this);
}

MMRESULT AlsaWaveOut::Pause() {
    DoCommand(CmdPause);
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaWaveOut::Restart() {
    DoCommand(CmdRestart);
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaWaveOut::Reset() {
    DoCommand(CmdReset);
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaWaveOut::Close() {
    DoClose();
    delete this;
    return MMSYSERR_NOERROR;
}

void AlsaWaveOut::Execute(Command command) {
    switch (command) {
    case CmdPause:
        if (m_Paused)
            break;
        m_Paused = true;
        m_HeldByAlsa = false;
        if (snd_pcm_state(m_Pcm) == SND_PCM_STATE_RUNNING) {
            // Not every PCM can pause; then the little that sits in ALSA's ring is dropped rather
            // than played on while the user expects silence.
            m_HeldByAlsa = snd_pcm_pause(m_Pcm, 1) == 0;
            if (!m_HeldByAlsa) {
                snd_pcm_drop(m_Pcm);
                snd_pcm_prepare(m_Pcm);
                AfterRecover(); // what was in the ring will not be played
            }
        }
        break;
    case CmdRestart:
        if (!m_Paused)
            break;
        m_Paused = false;
        if (m_HeldByAlsa && snd_pcm_state(m_Pcm) == SND_PCM_STATE_PAUSED && snd_pcm_pause(m_Pcm, 0) < 0)
            snd_pcm_prepare(m_Pcm);
        break;
    case CmdReset:
        // The pause, if any, stays in force: only Restart lifts it.
        snd_pcm_drop(m_Pcm);
        snd_pcm_prepare(m_Pcm);
        m_HeldByAlsa = false;
        GiveBackAll();
        m_Frames = 0;
        break;
    default:
        break;
    }
}

void AlsaWaveOut::Transfer() {
    while (!m_Queue.empty() && !m_Dead) {
        WAVEHDR* header = m_Queue.front();
        const unsigned left = header->dwBufferLength >= m_Offset ? header->dwBufferLength - m_Offset : 0;
        const snd_pcm_uframes_t frames = left / m_FrameBytes;
        if (frames == 0) {
            m_Queue.pop_front();
            m_Offset = 0;
            m_Playing.emplace_back(header, m_Frames);
            continue;
        }
        const snd_pcm_sframes_t written = snd_pcm_writei(m_Pcm, header->lpData + m_Offset, frames);
        if (written == -EAGAIN)
            break;
        if (written < 0) {
            if (!Recover(written))
                return;
            continue;
        }
        m_Offset += static_cast<unsigned>(written) * m_FrameBytes;
        m_Frames += static_cast<std::uint64_t>(written);
    }
    // A tail shorter than the start threshold would otherwise wait in the ring for ever.
    if (!m_Dead && m_Queue.empty() && snd_pcm_state(m_Pcm) == SND_PCM_STATE_PREPARED)
        snd_pcm_start(m_Pcm);
}

// An xrun or a dropped ring: whatever was written has been played or never will be; counting
// starts again from the freshly prepared PCM.
void AlsaWaveOut::AfterRecover() {
    while (!m_Playing.empty()) {
        GiveBack(m_Playing.front().first);
        m_Playing.pop_front();
    }
    m_Frames = 0;
}

void AlsaWaveOut::GiveBackAll() {
    AfterRecover();
    AlsaStream::GiveBackAll();
}

std::uint64_t AlsaWaveOut::PlayedFrames() {
    snd_pcm_sframes_t delay = 0;
    const snd_pcm_state_t state = snd_pcm_state(m_Pcm);
    if (state == SND_PCM_STATE_XRUN || snd_pcm_delay(m_Pcm, &delay) < 0)
        return m_Frames; // ran dry: all of it was played
    if (delay < 0)
        delay = 0;
    const auto pending = static_cast<std::uint64_t>(delay);
    return pending >= m_Frames ? 0 : m_Frames - pending;
}

void AlsaWaveOut::Tick() {
    if (m_Playing.empty())
        return;
    if (!m_Paused && !m_Queue.empty())
        Transfer();
    if (m_Dead || m_Playing.empty())
        return;
    const std::uint64_t played = PlayedFrames();
    while (!m_Playing.empty() && m_Playing.front().second <= played) {
        GiveBack(m_Playing.front().first);
        m_Playing.pop_front();
    }
}

int AlsaWaveOut::NextTimeoutMs() {
    if (m_Playing.empty() || m_Paused)
        return -1;
    // Buffers are given back two at a time: the ring still holds the rest, and every thread down
    // to the file wakes half as often.
    const std::uint64_t played = PlayedFrames();
    const std::uint64_t end = m_Playing[std::min<std::size_t>(1, m_Playing.size() - 1)].second;
    if (end <= played)
        return 0;
    // A few milliseconds late: the played count moves in the server's steps, and a wake just
    // before the end would only find that it has to sleep again.
    const std::uint64_t ms = (end - played) * 1000 / m_Rate + 5;
    return static_cast<int>(std::min<std::uint64_t>(ms, 1000));
}

} // namespace platform
