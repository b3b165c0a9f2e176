#include "framework/assets/FModMusicInterface.h"

#include "framework/core/PathUtils.h"
#include "platform/DebugOutput.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace Fw {

// ---------------------------------------------------------------------------------------------
// The shared library instance
// ---------------------------------------------------------------------------------------------
namespace {

std::mutex gFModMutex;
FModProvider gProvider;
std::unique_ptr<FModApi> gInstance;
std::atomic<int> gRefCount{0};

void PutLE16(std::string& out, uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

void PutLE32(std::string& out, uint32_t v)
{
    PutLE16(out, v & 0xFFFF);
    PutLE16(out, v >> 16);
}

// Truncates toward zero, forgiving the error that summing fade steps leaves (0.01 added 57 times is
// 0.5699999...): a fade of 0.01 per update must send 1, 2, ... 100, not skip a step.
int Truncate(double v)
{
    constexpr double kSlack = 1e-9;
    return int(v >= 0.0 ? v + kSlack : v - kSlack);
}

} // namespace

void SetFModProvider(FModProvider provider)
{
    std::lock_guard<std::mutex> lock(gFModMutex);
    gProvider = std::move(provider);
}

FModApi* LoadFmodLibrary()
{
    std::lock_guard<std::mutex> lock(gFModMutex);
    if (!gInstance) {
        gInstance = gProvider ? gProvider() : nullptr;
        if (!gInstance) {
            Platform::OutputDebugStringA("Can't find fmod.dll.\n");
            return nullptr;
        }
    }
    ++gRefCount;
    return gInstance.get();
}

void ReleaseFmodLibrary()
{
    std::lock_guard<std::mutex> lock(gFModMutex);
    if (gInstance && --gRefCount <= 0) {
        gInstance.reset();
        gRefCount = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// The back end
// ---------------------------------------------------------------------------------------------

std::unique_ptr<MusicInterface> FModMusicInterface::Create()
{
    if (FModApi* api = LoadFmodLibrary()) {
        auto music = std::make_unique<FModMusicInterface>(api);
        ReleaseFmodLibrary(); // the interface holds its own count
        return music;
    }
    return std::make_unique<BassMusicInterface>();
}

FModMusicInterface::FModMusicInterface(FModApi* api) : api_(api) { LoadFmodLibrary(); }

FModMusicInterface::~FModMusicInterface()
{
    // Free what this interface loaded; the library goes with the last interface.
    for (auto& [id, song] : songs_) {
        if (song.sample)
            api_->SampleFree(song.sample);
    }
    songs_.clear();
    ReleaseFmodLibrary();
}

const FModSongEntry* FModMusicInterface::GetSong(int songId) const
{
    auto it = songs_.find(songId);
    return it == songs_.end() ? nullptr : &it->second;
}

bool FModMusicInterface::LoadMusic(int songId, const std::string& fileName)
{
    const uint32_t module = api_->LoadSong(fileName);
    if (!module)
        return false;
    FModSongEntry entry;
    entry.module = module;
    songs_.emplace(songId, entry); // an existing entry stays
    return true;
}

bool FModMusicInterface::LoadSampleMusic(int songId, const std::string& fileName, bool loop)
{
    const uint32_t sample = CacheOggAsWav(fileName);
    if (!sample)
        return false;
    FModSongEntry entry;
    entry.sample = sample;
    entry.loop = loop;
    songs_.emplace(songId, entry);
    return true;
}

bool FModMusicInterface::LoadJoinedSampleMusic(int songId, const std::string& first, const std::string& second,
                                               bool loop)
{
    const uint32_t a = CacheOggAsWav(first);
    const uint32_t b = a ? CacheOggAsWav(second) : 0;
    if (!a || !b)
        return false;
    const unsigned mode = api_->SampleGetMode(a);
    const int frequency = api_->SampleGetDefaultFrequency(a);
    if (mode != api_->SampleGetMode(b) || frequency != api_->SampleGetDefaultFrequency(b))
        return false;
    const int lengthA = api_->SampleGetLength(a);
    const int lengthB = api_->SampleGetLength(b);
    const uint32_t joined =
        api_->SampleAlloc(-1, lengthA + lengthB, mode | kFModSampleLoopNormal, frequency, 255, 128, 0);
    if (!joined)
        return false;
    const int channels = (mode & kFModSampleMono) ? 1 : 2;
    const int bits = (mode & kFModSample8Bit) ? 8 : 16;
    const int blockAlign = bits * channels / 8;
    int offset = 0;
    for (const auto& [part, length] : {std::pair{a, lengthA}, std::pair{b, lengthB}}) {
        const int bytes = length * blockAlign;
        void* src = api_->SampleLock(part, 0, bytes);
        void* dst = api_->SampleLock(joined, offset, bytes);
        if (src && dst)
            std::memcpy(dst, src, size_t(bytes));
        api_->SampleUnlock(joined);
        api_->SampleUnlock(part);
        api_->SampleFree(part);
        offset += bytes;
    }
    api_->SampleSetLoopPoints(joined, lengthA, lengthB);
    FModSongEntry entry;
    entry.sample = joined;
    entry.loop = loop;
    songs_.emplace(songId, entry);
    return true;
}

std::string FModMusicInterface::CachePathFor(const std::string& fileName)
{
    std::string flat = fileName;
    const size_t slash = flat.find_last_of("/\\");
    const size_t dot = flat.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        flat.resize(dot);
    for (char& c : flat) {
        if (c == '/' || c == '\\' || c == ':')
            c = '_';
    }
    return AddTrailingSlash(GetAppDataFolder()) + "cached/" + flat + ".wav";
}

uint32_t FModMusicInterface::CacheOggAsWav(const std::string& fileName)
{
    const std::string cachePath = CachePathFor(fileName);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(cachePath).parent_path(), ec);
    if (const uint32_t cached = api_->SampleLoad(-1, cachePath, 0, 0))
        return cached;
    const uint32_t sample = api_->SampleLoad(-1, fileName + ".ogg", 0, 0);
    if (!sample)
        return 0;

    const unsigned mode = api_->SampleGetMode(sample);
    const uint32_t rate = uint32_t(api_->SampleGetDefaultFrequency(sample));
    const uint32_t channels = (mode & kFModSampleMono) ? 1 : 2;
    const uint32_t bits = (mode & kFModSample8Bit) ? 8 : 16;
    const uint32_t blockAlign = bits * channels / 8;
    const uint32_t dataSize = uint32_t(api_->SampleGetLength(sample)) * blockAlign;
    const void* data = api_->SampleLock(sample, 0, int(dataSize));
    if (!data)
        return sample;

    std::string header;
    header += "RIFF";
    PutLE32(header, dataSize + 36);
    header += "WAVEfmt ";
    PutLE32(header, 16);
    PutLE16(header, 1);
    PutLE16(header, channels);
    PutLE32(header, rate);
    PutLE32(header, blockAlign * rate);
    PutLE16(header, blockAlign);
    PutLE16(header, bits);
    header += "data";
    PutLE32(header, dataSize);

    // Written under a temporary name and renamed, so a cut-off write never leaves a short cache file.
    const std::string temp = cachePath + ".tmp";
    if (FILE* f = std::fopen(temp.c_str(), "wb")) {
        const bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size() &&
                        std::fwrite(data, 1, dataSize, f) == dataSize;
        const bool closed = std::fclose(f) == 0;
        if (ok && closed)
            std::filesystem::rename(temp, cachePath, ec);
        else
            std::filesystem::remove(temp, ec);
    }
    api_->SampleUnlock(sample);
    return sample;
}

void FModMusicInterface::SendVolume(int songId, const FModSongEntry& song)
{
    if (song.module)
        api_->SetMasterVolume(song.module, Truncate(song.volume * masterVolume_ * moduleVolumeScale_));
    else
        api_->SetVolume(songId, Truncate(song.volume * masterVolume_ * sampleVolumeScale_));
}

void FModMusicInterface::Stop(int songId, const FModSongEntry& song)
{
    if (song.module)
        api_->StopSong(song.module);
    else
        api_->StopSound(songId);
}

void FModMusicInterface::PlayMusic(int songId, int offset, bool noLoop)
{
    auto it = songs_.find(songId);
    if (it == songs_.end())
        return;
    FModSongEntry& song = it->second;
    song.volume = song.maxVolume;
    song.fadeStep = 0.0;
    StartSong(songId, song, offset, noLoop, false);
}

void FModMusicInterface::StartSong(int songId, FModSongEntry& song, int offset, bool noLoop, bool onlyIfStopped)
{
    if (song.module) {
        SendVolume(songId, song);
        api_->SetLooping(song.module, noLoop ? 1 : 2);
        if (!onlyIfStopped || !api_->IsSongPlaying(song.module))
            api_->PlaySong(song.module);
        if (!onlyIfStopped || offset != -1)
            api_->SetOrder(song.module, offset);
    } else {
        if (!onlyIfStopped || !api_->IsPlaying(songId)) {
            api_->PlaySound(songId, song.sample);
            api_->SetLoopMode(songId, song.loop ? 2 : 1);
        }
        SendVolume(songId, song);
    }
}

void FModMusicInterface::StopMusic(int songId)
{
    auto it = songs_.find(songId);
    if (it == songs_.end())
        return;
    it->second.volume = 0.0;
    Stop(songId, it->second);
}

void FModMusicInterface::SetPaused(int songId, bool paused)
{
    auto it = songs_.find(songId);
    if (it == songs_.end())
        return;
    if (it->second.module)
        api_->SetSongPaused(it->second.module, paused);
    else
        api_->SetPaused(songId, paused);
}

void FModMusicInterface::PauseMusic(int songId) { SetPaused(songId, true); }
void FModMusicInterface::ResumeMusic(int songId) { SetPaused(songId, false); }

void FModMusicInterface::StopAllMusic()
{
    for (auto& [id, song] : songs_)
        StopMusic(id);
}

void FModMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop)
{
    auto it = songs_.find(songId);
    if (it == songs_.end())
        return;
    it->second.fadeStep = speed; // starts from the current volume
    StartSong(songId, it->second, offset, noLoop, true);
}

void FModMusicInterface::FadeOut(int songId, bool stopWhenSilent, double speed)
{
    auto it = songs_.find(songId);
    if (it == songs_.end())
        return;
    it->second.stopWhenSilent = stopWhenSilent;
    it->second.fadeStep = -speed;
}

void FModMusicInterface::FadeOutAll(bool stopWhenSilent, double speed)
{
    for (auto& [id, song] : songs_)
        FadeOut(id, stopWhenSilent, speed);
}

void FModMusicInterface::SetSongVolume(int songId, double volume)
{
    auto it = songs_.find(songId);
    if (it == songs_.end())
        return;
    it->second.volume = volume;
    SendVolume(songId, it->second);
}

bool FModMusicInterface::IsPlaying(int songId)
{
    auto it = songs_.find(songId);
    if (it == songs_.end())
        return false;
    // A sample song is asked through its channel, a module song through the module.
    return it->second.module ? api_->IsSongPlaying(it->second.module) : api_->IsPlaying(songId);
}

void FModMusicInterface::SetVolume(double masterVolume)
{
    masterVolume_ = masterVolume;
    for (const auto& [id, song] : songs_)
        SendVolume(id, song);
}

void FModMusicInterface::Update()
{
    for (auto& [id, song] : songs_) {
        if (song.fadeStep == 0.0)
            continue;
        song.volume += song.fadeStep;
        if (song.volume > song.maxVolume) {
            song.volume = song.maxVolume;
            song.fadeStep = 0.0;
        } else if (song.volume < 0.0) {
            song.volume = 0.0;
            song.fadeStep = 0.0;
            if (song.stopWhenSilent)
                Stop(id, song);
        }
        SendVolume(id, song);
    }
}

} // namespace Fw
