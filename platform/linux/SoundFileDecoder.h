// Decodes a whole sound file (WAV PCM and ADPCM, Ogg Vorbis, FLAC, and whatever else libsndfile
// reads) through the sound device's file callbacks into 16-bit stereo at the output rate.
// Mono is copied to both sides; of more than two channels the first two are kept.
#pragma once
#include <memory>

#include "platform/SoundMixer.h"

namespace Platform {

// The decoded sound, or null with error set to kSoundErrFileOpen or kSoundErrDecode.
std::shared_ptr<const SoundPcm> DecodeSoundFile(const SoundFileCallbacks& files, const char* path,
                                                int outputRate, int& error);

} // namespace Platform
