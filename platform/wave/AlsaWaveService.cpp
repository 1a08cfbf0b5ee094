#include "platform/wave/AlsaWaveService.h"
#include "platform/wave/AlsaCaptureList.h"
#include "platform/wave/AlsaWaveIn.h"
#include "platform/wave/AlsaWaveOut.h"

#include <alsa/asoundlib.h>

#include <string>

namespace platform {

namespace {

// Half a second in ALSA's ring, as aplay and arecord use: a tenth, and even a fifth, let the
// stream run dry or over when the machine was busy for a moment. It costs no latency the user
// notices: playback buffers are announced only when played, pause holds the ring, reset drops it,
// and a capture stop collects what the ring holds.
constexpr unsigned kLatencyUs = 500000;

bool PcmFormat(const WAVEFORMATEX& format, snd_pcm_format_t* out) {
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels == 0 || format.nSamplesPerSec == 0)
        return false;
    if (format.nBlockAlign != format.nChannels * (format.wBitsPerSample / 8))
        return false;
    switch (format.wBitsPerSample) {
    case 8:
        *out = SND_PCM_FORMAT_U8;
        return true;
    case 16:
        *out = SND_PCM_FORMAT_S16_LE;
        return true;
    case 24:
        *out = SND_PCM_FORMAT_S24_3LE;
        return true;
    case 32:
        *out = SND_PCM_FORMAT_S32_LE;
        return true;
    default:
        return false;
    }
}

MMRESULT OpenPcm(snd_pcm_t** pcm, const std::string& name, snd_pcm_stream_t stream,
                 const WAVEFORMATEX& format) {
    snd_pcm_format_t pcmFormat;
    if (!PcmFormat(format, &pcmFormat))
        return WAVERR_BADFORMAT;
    if (snd_pcm_open(pcm, name.c_str(), stream, SND_PCM_NONBLOCK) < 0)
        return MMSYSERR_NODRIVER;
    if (snd_pcm_set_params(*pcm, pcmFormat, SND_PCM_ACCESS_RW_INTERLEAVED, format.nChannels,
                           format.nSamplesPerSec, 1, kLatencyUs) < 0) {
        snd_pcm_close(*pcm);
        return WAVERR_BADFORMAT;
    }
    // Playback starts after one period rather than a full ring, and the thread is woken once a
    // period is free or filled.
    snd_pcm_uframes_t bufferSize = 0, periodSize = 0;
    snd_pcm_sw_params_t* sw;
    snd_pcm_sw_params_alloca(&sw);
    if (snd_pcm_get_params(*pcm, &bufferSize, &periodSize) == 0 && snd_pcm_sw_params_current(*pcm, sw) == 0) {
        snd_pcm_sw_params_set_avail_min(*pcm, sw, periodSize);
        if (stream == SND_PCM_STREAM_PLAYBACK)
            snd_pcm_sw_params_set_start_threshold(*pcm, sw, periodSize);
        else
            snd_pcm_sw_params_set_start_threshold(*pcm, sw, bufferSize * 2); // started only by Start
        snd_pcm_sw_params(*pcm, sw);
    }
    return MMSYSERR_NOERROR;
}

} // namespace

MMRESULT AlsaWaveService::OutOpen(IWaveOut** device, unsigned, const WAVEFORMATEX* format,
                                  WaveCallback callback, std::uintptr_t instance) {
    if (!device || !format || !callback)
        return MMSYSERR_INVALPARAM;
    *device = nullptr;
    snd_pcm_t* pcm = nullptr;
    const MMRESULT r = OpenPcm(&pcm, "default", SND_PCM_STREAM_PLAYBACK, *format);
    if (r != MMSYSERR_NOERROR)
        return r;
    *device = new AlsaWaveOut(pcm, *format, callback, instance);
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaWaveService::InOpen(IWaveIn** device, unsigned deviceId, const WAVEFORMATEX* format,
                                 WaveCallback callback, std::uintptr_t instance) {
    if (!device || !format || !callback)
        return MMSYSERR_INVALPARAM;
    *device = nullptr;
    std::string name = "default";
    std::string serverSource;
    if (deviceId != WAVE_MAPPER) {
        const auto list = AlsaCaptureList();
        if (deviceId >= list.size())
            return MMSYSERR_BADDEVICEID;
        name = list[deviceId].PcmName;
        serverSource = list[deviceId].ServerSource;
    }
    snd_pcm_t* pcm = nullptr;
    const MMRESULT r = OpenPcm(&pcm, name, SND_PCM_STREAM_CAPTURE, *format);
    if (r != MMSYSERR_NOERROR)
        return r;
    *device = new AlsaWaveIn(pcm, *format, callback, instance, serverSource);
    return MMSYSERR_NOERROR;
}

} // namespace platform
