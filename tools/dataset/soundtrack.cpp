#include "soundtrack.hpp"

#include "music_band.hpp"
#include "music_effects.hpp"

#include <lame/lame.h>

#include <cstdio>

namespace dataset {

std::vector<int16_t> renderSoundtrack(const StepProgress& progress) {
    Band band(frameAt(songSeconds));
    // The arrangement is about nine tenths of the work, the effects and mix the rest.
    arrangeSong(band, [&](double fraction) { report(progress, fraction * 0.9); });

    // The kick pushes the bass and the synthesizers aside for a moment.
    applyGain(band.bass, duckingCurve(band.bass.frames(), band.kicks, 0.55f));
    applyGain(band.synth, duckingCurve(band.synth.frames(), band.kicks, 0.3f));
    const Stereo hall = reverb(band.reverbSend, 0.82f, 0.35f);
    const Stereo echoes = pingPong(band.delaySend, float(3.0 * unitSeconds), 0.42f);

    Stereo mix(band.drums.frames());
    band.drums.mixInto(mix, 1.0f);
    band.bass.mixInto(mix, 1.0f);
    band.synth.mixInto(mix, 0.9f);
    band.fx.mixInto(mix, 1.0f);
    hall.mixInto(mix, 1.0f);
    echoes.mixInto(mix, 0.7f);
    // Peaks at -1.9 dBFS: the encoder's ripple adds a little, which must stay
    // under -1 dBFS after decoding.
    std::vector<int16_t> mastered = master(mix, 0.8f, 6.0f);
    report(progress, 1.0);
    return mastered;
}

bool writeMp3(const std::string& path, const std::vector<int16_t>& samples,
              const StepProgress& progress) {
    lame_global_flags* lame = lame_init();
    if (!lame)
        return false;
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 192);
    lame_set_VBR(lame, vbr_off);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_quality(lame, 5);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        lame_close(lame);
        return false;
    }
    bool ok = true;
    const int chunk = 8192; // sample frames per call
    std::vector<unsigned char> buffer(size_t(chunk) * 5 / 4 + 7200);
    const int frames = int(samples.size() / 2);
    for (int at = 0; at < frames && ok; at += chunk) {
        const int count = std::min(chunk, frames - at);
        const int bytes =
            lame_encode_buffer_interleaved(lame, const_cast<short*>(&samples[size_t(at) * 2]),
                                           count, buffer.data(), int(buffer.size()));
        ok = bytes >= 0 && std::fwrite(buffer.data(), 1, size_t(bytes), file) == size_t(bytes);
        report(progress, double(at + count) / double(frames));
    }
    if (ok) {
        const int bytes = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
        ok = bytes >= 0 && std::fwrite(buffer.data(), 1, size_t(bytes), file) == size_t(bytes);
    }
    // The Xing/LAME header at the start of the file, now that the totals are known: it
    // tells decoders the exact length (encoder delay and padding).
    if (ok) {
        const size_t tagBytes = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
        if (tagBytes > 0 && tagBytes <= buffer.size()) {
            ok = std::fseek(file, 0, SEEK_SET) == 0 &&
                 std::fwrite(buffer.data(), 1, tagBytes, file) == tagBytes;
        }
    }
    lame_close(lame);
    return std::fclose(file) == 0 && ok;
}

} // namespace dataset
