#include "platform/wave/AlsaCaptureList.h"
#include "platform/wave/ServerSourceList.h"

#include <alsa/asoundlib.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace platform {

namespace {

// Cards: each capture PCM device of each card, opened through the plug layer so that any rate and
// sample format the program asks for is converted.
void AddCards(std::vector<AlsaCaptureEntry>& list) {
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        char ctlName[32];
        std::snprintf(ctlName, sizeof ctlName, "hw:%d", card);
        snd_ctl_t* ctl = nullptr;
        if (snd_ctl_open(&ctl, ctlName, 0) < 0)
            continue;
        char* cardName = nullptr;
        snd_card_get_name(card, &cardName);
        int device = -1;
        while (snd_ctl_pcm_next_device(ctl, &device) == 0 && device >= 0) {
            snd_pcm_info_t* info;
            snd_pcm_info_alloca(&info);
            snd_pcm_info_set_device(info, static_cast<unsigned>(device));
            snd_pcm_info_set_subdevice(info, 0);
            snd_pcm_info_set_stream(info, SND_PCM_STREAM_CAPTURE);
            if (snd_ctl_pcm_info(ctl, info) < 0)
                continue; // a playback-only device
            char pcmName[48];
            std::snprintf(pcmName, sizeof pcmName, "plughw:%d,%d", card, device);
            list.push_back({cardName ? cardName : "", pcmName, ""});
        }
        std::free(cardName);
        snd_ctl_close(ctl);
    }
}

// Names that ALSA's own configuration and its plugin package define: converters, mixers and the
// default aliases. They are not capture devices a user would choose.
bool IsHelperPcm(const std::string& name) {
    static const std::set<std::string> helpers = {"null",       "default",   "sysdefault", "lavrate",
                                                  "samplerate", "speexrate", "jack",       "oss",
                                                  "speex",      "upmix",     "vdownmix"};
    return helpers.count(name) != 0 || name.find(':') != std::string::npos;
}

void AddConfiguredPcms(std::vector<AlsaCaptureEntry>& list) {
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0)
        return;
    for (void** h = hints; *h; ++h) {
        char* name = snd_device_name_get_hint(*h, "NAME");
        char* desc = snd_device_name_get_hint(*h, "DESC");
        char* ioid = snd_device_name_get_hint(*h, "IOID");
        // IOID absent means both directions.
        const bool capture = !ioid || std::string(ioid) == "Input";
        if (name && desc && capture && !IsHelperPcm(name)) {
            std::string product = desc;
            product = product.substr(0, product.find('\n'));
            list.push_back({product, name, ""});
        }
        std::free(name);
        std::free(desc);
        std::free(ioid);
    }
    snd_device_name_free_hint(hints);
}

} // namespace

std::vector<AlsaCaptureEntry> AlsaCaptureList() {
    // A sound server owns the cards it serves: its sources come first so that the receiver is
    // recorded through the server, and opening the card behind its back is only the way on machines
    // without one.
    std::vector<AlsaCaptureEntry> list = ServerSourceList();
    AddCards(list);
    AddConfiguredPcms(list);
    return list;
}

} // namespace platform
