// One entry per file reader of the engine, shared by the fuzz programs
// (tests/fuzz/*_fuzz.cpp) and by the replay of their corpora in orvo_tests.
// Each entry writes the bytes where the reader looks for them, reads them
// through the engine's own operations and uses what came out; it answers
// false when a promise of the reader breaks (a size past its bound, a value
// that is not finite). Crashes, hangs and bad memory accesses are found by
// the sanitizers and the time limit of the fuzz programs.
//
// Readers that make textures need an application with a graph server: a
// fuzz program makes one Stage for its whole run, the replay one per test.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/text_format_entries.h"
#include "orvo/app/a_file.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/audio/a_audiomixer.h"
#include "orvo/platform/audio/a_audiosample.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/sound/a_soundlibrary.h"
#include "orvo/sound/a_soundmanager.h"
#include "support/app_fixture.h"

namespace kbfuzz {

// Keeps the sound library (and its audio device) open: sounds open it and
// close it again when the last one goes, which costs a device start and
// stop on every input otherwise.
struct AudioHold {
    AudioHold() { sound_libraryAcquire(false); }
    ~AudioHold() { sound_libraryRelease(); }
    AudioHold(const AudioHold&) = delete;
    AudioHold& operator=(const AudioHold&) = delete;
};

// An application with a graph server on the recording device.
struct Stage {
    Stage()
    {
        auto recorder = kbtest::recorder();
        device = recorder.get();
        graph =
            std::make_unique<aGraphServer>(640, 480, false, false, true, "fuzz", 0, false, true, std::move(recorder));
    }
    // What the readers drew is of no use; without this the records would grow run by run.
    void forgetDraws() { device->clearRecords(); }

    kbtest::TestApp app;
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
    AudioHold audio;
};

// Small good files beside the ones the entries write, for the lines and
// descriptions that name files: "strip.bmp" (64 x 32), "tiny.bmp" (2 x 2)
// and "beep.wav". Written once per process.
inline void writeNeighbours()
{
    static const bool written = [] {
        std::vector<uint32_t> pixels(64 * 32);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
        const std::vector<uint8_t> strip = gpu_encodeBmp(pixels.data(), 64, 32);
        writeScratch("strip.bmp", strip.data(), strip.size());
        const std::vector<uint8_t> tiny = gpu_encodeBmp(pixels.data(), 2, 2);
        writeScratch("tiny.bmp", tiny.data(), tiny.size());
        // 16-bit mono WAV, 8 frames of silence.
        std::string wav = "RIFF";
        auto put32 = [&wav](uint32_t v) {
            for (int i = 0; i < 4; ++i)
                wav += static_cast<char>(v >> (8 * i));
        };
        auto put16 = [&wav](uint32_t v) {
            wav += static_cast<char>(v & 0xFF);
            wav += static_cast<char>(v >> 8);
        };
        put32(36 + 16);
        wav += "WAVEfmt ";
        put32(16);
        put16(1);
        put16(1);
        put32(22050);
        put32(44100);
        put16(2);
        put16(16);
        wav += "data";
        put32(16);
        wav.append(16, '\0');
        writeScratch("beep.wav", reinterpret_cast<const uint8_t*>(wav.data()), wav.size());
        return true;
    }();
    (void)written;
}

// Central directory names of a ZIP archive, found by their signature, so that
// the fuzzer reaches every member it makes up.
inline std::vector<std::string> zipNames(const uint8_t* data, size_t size)
{
    std::vector<std::string> names;
    for (size_t at = 0; at + 46 <= size && names.size() < 16; ++at) {
        if (data[at] != 'P' || data[at + 1] != 'K' || data[at + 2] != 1 || data[at + 3] != 2)
            continue;
        const size_t length = data[at + 28] | (data[at + 29] << 8);
        if (at + 46 + length <= size)
            names.emplace_back(reinterpret_cast<const char*>(data) + at + 46, length);
    }
    return names;
}

// The bytes as "pack.zip" in place of the folder "pack": every member it
// names (and a few it may not) is read through the file layer. A member
// read whole is never longer than its compressed bytes can give.
inline bool archive(const uint8_t* data, size_t size)
{
    writeScratch("pack.zip", data, size);
    file_closeArchives();
    std::vector<std::string> names = zipNames(data, size);
    names.insert(names.end(), {"a.txt", "DIR/B.BIN", "missing"});
    bool ok = true;
    for (const std::string& name : names) {
        const std::string path = scratchDir() + "/pack/" + name;
        uint32_t length = 0;
        void* bytes = file_readFullAndMalloc(path.c_str(), &length);
        ok = ok && (bytes || length == 0) && uint64_t(length) <= uint64_t(size) * 1032;
        std::free(bytes);
        (void)file_existsFileOrDir(path.c_str());
    }
    file_closeArchives();
    return ok;
}

// Any picture decoder by the first bytes: a decoded picture has as many
// pixels as its size says, within the decoders' bounds.
inline bool picture(const uint8_t* data, size_t size)
{
    aGpuPicture out;
    aGpuImageFileFormat format = aGpuImageFileFormat::Unknown;
    if (gpu_decodeImage(data, size, out, &format) != aGpuResult::Ok)
        return true;
    return out.width > 0 && out.height > 0 && out.width <= gpuMaxImageSide && out.height <= gpuMaxImageSide &&
           out.pixels.size() == size_t(out.width) * out.height;
}

// A sound file as a sample and as a looping stream played for a few buffers.
inline bool sound(const uint8_t* data, size_t size)
{
    const aAudioSamplePtr sample = aAudioSample::load(data, size);
    if (sample && sample->frameCount() == 0)
        return false;
    aAudioMixer mixer;
    const int32_t id = mixer.openStream(data, size, true);
    if (id == 0)
        return true;
    mixer.playStream(id, false);
    std::vector<int16_t> out(2 * 1024);
    for (int i = 0; i < 6 && mixer.channelsPlaying() > 0; ++i)
        mixer.mix(out.data(), 1024);
    mixer.closeStream(id);
    return true;
}

// A particle definition, run for a few frames and some long and odd times:
// never more particles than the cap, never more steps in one update than the bound.
inline bool particles(const uint8_t* data, size_t size)
{
    const std::string path = writeScratch("p.psi", data, size);
    aParticleSystem system(path, nullptr, "");
    const int32_t fps = system.getParams().fps;
    if (fps < 0 || fps > aParticleSystem::MAX_FPS)
        return false;
    system.restartAt(100, 100);
    for (const float dt : {1.0f / 60, 1.0f / 60, 0.5f, 1e9f, -1.0f, 1.0f / 60}) {
        const float before = system.getClock();
        system.update(dt);
        if (system.getLiveCount() > aParticleSystem::MAX_PARTICLES)
            return false;
        if (fps > 0 && system.getClock() - before > (aParticleSystem::MAX_STEPS_PER_UPDATE + 1.0f) / float(fps))
            return false;
        system.moveTo(50, 60);
    }
    aParticleSystem copy(system);
    copy.update(0.1f);
    return copy.getLiveCount() <= aParticleSystem::MAX_PARTICLES;
}

// An animation description with "strip" and "tiny" to cut frames from,
// played and drawn for a while and sought: never more frames than the cap.
inline bool animation(Stage& stage, const uint8_t* data, size_t size)
{
    writeNeighbours();
    const std::string path = writeScratch("a.anim", data, size);
    aImageManager images;
    images.loadItem(scratchDir() + "/", "strip.bmp 8888 8888", "");
    images.loadItem(scratchDir() + "/", "tiny.bmp 8888 8888", "");
    aAdvAnim anim;
    if (!anim.Load(path, &images))
        return true;
    uint64_t frames = 0;
    for (const auto& [name, block] : anim.getBlocks())
        frames += block.getFrames().size();
    if (frames > advAnim::aAdvAnimBlock::MAX_FRAMES)
        return false;
    anim.play();
    const float scale[2] = {-2.0f, 0.5f};
    if (stage.graph->beginScene()) {
        for (const float dt : {0.016f, 0.5f, 1e6f, 0.016f}) {
            anim.update(dt);
            anim.draw(10, 10, 0xFFFFFFFF, scale);
        }
        stage.graph->endScene();
    }
    const uint32_t total = anim.getTotalFrames();
    if (total != advAnim::aAdvAnimBlock::NO_COUNT && total > 0)
        (void)anim.setFrame(total / 2);
    aRect rect;
    (void)anim.getCurrentFrameRect(rect);
    stage.forgetDraws();
    return true;
}

// A font description with the small pictures beside it as textures: every
// text measures to finite sizes.
inline bool font(Stage& stage, const uint8_t* data, size_t size)
{
    writeNeighbours();
    const std::string path = writeScratch("f.ini", data, size);
    aFont font(path.c_str());
    bool ok = std::isfinite(font.getCharSpacing()) && std::isfinite(font.getUnderlineOffset());
    if (stage.graph->beginScene()) {
        for (const float scale : {1.0f, 20.0f}) {
            font.setSize(scale);
            for (const wchar_t* text : {L"A", L"AV Wq\x0416", L"\x20\x5F", L""}) {
                const aTextSize s = font.getTextSize(text);
                ok = ok && std::isfinite(s.width) && std::isfinite(s.height);
                font.drawText(5, 5, text, 0);
            }
        }
        stage.graph->endScene();
    }
    stage.forgetDraws();
    return ok;
}

// Image-list lines naming the pictures beside the list, and anything else.
inline bool imageList(Stage& stage, const uint8_t* data, size_t size)
{
    writeNeighbours();
    const std::string path = writeScratch("images.list", data, size);
    aImageManager images;
    images.loadList(path, "l");
    (void)images.getImage("strip", "l");
    std::vector<std::string> files;
    images.collectFiles(path, files);
    images.unloadList(path, "l");
    images.AddListToTask(path);
    images.runTasks();
    stage.forgetDraws();
    return true;
}

// Sound-list lines naming "beep.wav" beside the list, and anything else.
inline bool soundList(Stage& stage, const uint8_t* data, size_t size)
{
    writeNeighbours();
    const std::string path = writeScratch("sounds.list", data, size);
    aSoundManager sounds;
    sounds.loadList(path, "l");
    if (aSound* beep = sounds.getSound("beep", "l")) {
        aSound* copy = sounds.cloneSound(beep);
        sounds.releaseClone(copy);
    }
    sounds.unloadList(path, "l");
    sounds.AddListToTask(path);
    sounds.runTasks();
    (void)stage;
    return true;
}

} // namespace kbfuzz
