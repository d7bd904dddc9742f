#include "orvo/gfx/a_advanim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/util/a_log.h"

using advAnim::aAdvAnimBlock;
using advAnim::PlayStep;

namespace {

constexpr float kMaxUpdateSeconds = 3600.0f;

struct Group {
    std::string key;
    std::string value;
};

// "(key=value)" groups of a value, in order; text outside them is ignored.
// Nothing is trimmed: "(Fps = 24)" has the key "Fps ".
std::vector<Group> readGroups(const std::string& text)
{
    std::vector<Group> groups;
    size_t pos = 0;
    while ((pos = text.find('(', pos)) != std::string::npos) {
        const size_t end = text.find(')', pos + 1);
        if (end == std::string::npos)
            break;
        const std::string inside = text.substr(pos + 1, end - pos - 1);
        const size_t eq = inside.find('=');
        if (eq != std::string::npos)
            groups.push_back({inside.substr(0, eq), inside.substr(eq + 1)});
        pos = end + 1;
    }
    return groups;
}

bool flag(const aOptionsFile& file, const char* key)
{
    return file.findKey(key) && file.getInt(key) != 0;
}

} // namespace

void aAdvAnim::reset()
{
    m_speed = 1.0f;
    m_nloops = 1;
    m_reverse = m_pingpong = m_pixelIndent = m_showStopped = false;
    m_width = m_height = 0;
    m_playing = m_finished = false;
    paused = false;
    m_totalFrames = m_frameCounter = m_stepIndex = m_pass = 0;
    m_reversed = m_startPending = false;
    m_blocks.clear();
    m_steps.clear();
    m_loadedFrames = 0;
    m_frameCapLogged = false;
}

bool aAdvAnim::Load(const std::string& file, aImageManager* images, const std::string& listName)
{
    if (!file_exists(file.c_str())) {
        a_log("aAdvAnim::Load(). File '%s' not exist!", file.c_str());
        return false;
    }
    reset();
    m_name = file_getName(file.c_str());
    const size_t dot = m_name.rfind('.');
    if (dot != std::string::npos)
        m_name.erase(dot);

    aOptionsFile ini;
    (void)ini.loadFile(file.c_str());
    bool autoStart = false;
    aImage* texture = nullptr;
    for (ini.firstSection(); !ini.isSectionEnd(); ini.nextSection()) {
        const std::string section = ini.getSectionName();
        if (section == "_General_") {
            readGeneral(ini);
            autoStart = flag(ini, "AutoStart");
        } else if (section == "_Play_") {
            readPlay(ini);
        } else {
            readBlock(ini, images, listName, texture);
        }
    }

    uint64_t total = 0;
    for (const PlayStep& step : m_steps) {
        aAdvAnimBlock& block = m_blocks[step.block];
        block.owner = this;
        total += block.getStepFrames(step);
    }
    // With an endless step there is no count; setFrame then fails for it.
    m_totalFrames = total < aAdvAnimBlock::NO_COUNT ? static_cast<uint32_t>(total) : aAdvAnimBlock::NO_COUNT;

    play();
    m_playing = autoStart;
    paused = false;
    return true;
}

void aAdvAnim::readGeneral(const aOptionsFile& ini)
{
    m_width = static_cast<uint32_t>(ini.getInt("Width"));
    m_height = static_cast<uint32_t>(ini.getInt("Height"));
    m_speed = ini.findKey("Speed") ? static_cast<float>(std::atof(ini.getString("Speed").c_str())) : 1.0f;
    m_reverse = flag(ini, "Reverse");
    m_pingpong = flag(ini, "PingPong");
    m_nloops = ini.findKey("NLoops") ? static_cast<uint32_t>(ini.getInt("NLoops")) : 1;
    m_pixelIndent = flag(ini, "PixelIndent");
    m_showStopped = flag(ini, "ShowStoped");
}

void aAdvAnim::readPlay(aOptionsFile& ini)
{
    for (bool more = ini.firstKey(); more && !ini.isKeyEnd(); more = ini.nextKey()) {
        PlayStep step;
        step.block = ini.getKeyName();
        for (const Group& g : readGroups(ini.getKeyValue())) {
            if (g.key == "Fps")
                step.fps = static_cast<uint32_t>(std::atoi(g.value.c_str()));
            else if (g.key == "Reverse")
                step.reverse = std::atoi(g.value.c_str()) != 0;
            else if (g.key == "PingPong")
                step.pingpong = std::atoi(g.value.c_str()) != 0;
            else if (g.key == "NLoops")
                step.nloops = static_cast<uint32_t>(std::atoi(g.value.c_str()));
        }
        m_steps.push_back(step);
    }
}

void aAdvAnim::readBlock(aOptionsFile& ini, aImageManager* images, const std::string& listName, aImage*& texture)
{
    const std::string name = ini.getSectionName();
    aAdvAnimBlock& block = m_blocks[name];
    block.owner = this;
    // Frames past the cap of the whole animation are dropped: 1 x 1 cells of
    // a large picture, in block after block, would otherwise take gigabytes.
    auto count = [&block] { return static_cast<uint32_t>(block.getFrames().size()); };
    const uint32_t limit = aAdvAnimBlock::MAX_FRAMES - (m_loadedFrames - count());
    auto keepWithinCap = [&] {
        if (count() <= limit)
            return;
        block.keepFrames(limit);
        if (!m_frameCapLogged)
            a_log("aAdvAnim. More than %u frames in '%s', the rest ignored", aAdvAnimBlock::MAX_FRAMES, m_name.c_str());
        m_frameCapLogged = true;
    };
    bool sequenceGiven = false;
    std::vector<int32_t> sequence;
    for (bool more = ini.firstKey(); more && !ini.isKeyEnd(); more = ini.nextKey()) {
        const std::string key = ini.getKeyName();
        const std::string value = ini.getKeyValue();
        if (key == "Texture") {
            texture = images ? images->getImage(value, listName) : nullptr;
        } else if (key == "AutoFrames") {
            if (!texture)
                a_log("aAdvAnim. AutoFrames without a texture in block '%s' of '%s'", name.c_str(), m_name.c_str());
            else if (m_width == 0 || m_height == 0)
                a_log("aAdvAnim. AutoFrames of %u x %u pixels in block '%s' of '%s' cut no frames", m_width, m_height,
                      name.c_str(), m_name.c_str());
            else {
                // One frame past the room shows whether the cut would go on.
                const int32_t room = static_cast<int32_t>(limit - std::min(limit, count()));
                (void)block.autoFrames(std::min(std::atoi(value.c_str()), room + 1), texture, m_width, m_height,
                                       m_pixelIndent);
                keepWithinCap();
            }
        } else if (key == "Frame") {
            advAnim::BlockFrame frame;
            frame.image = texture;
            short x = 0, y = 0;
            unsigned short w = 0, h = 0;
            int dx = 0, dy = 0;
            for (const Group& g : readGroups(value)) {
                if (g.key == "Rect")
                    (void)std::sscanf(g.value.c_str(), "%hi %hi %hu %hu", &x, &y, &w, &h);
                else if (g.key == "Disp")
                    (void)std::sscanf(g.value.c_str(), "%d %d", &dx, &dy);
            }
            frame.rect = aRect(x, y, w, h);
            frame.dispX = dx;
            frame.dispY = dy;
            if (ms_frameTrim) {
                frame.rect = aRect(x, static_cast<int16_t>(y + 1), w > 0 ? w - 1 : 0, h > 0 ? h - 1 : 0);
                frame.dispY += 1;
            }
            block.addFrame(frame);
            keepWithinCap();
        } else if (key == "FramesSequence") {
            sequence.clear();
            ini.getIntList(key, sequence);
            sequenceGiven = !sequence.empty();
        }
    }
    if (sequenceGiven) {
        block.applySequence(sequence);
        keepWithinCap();
    }
    m_loadedFrames = aAdvAnimBlock::MAX_FRAMES - limit + count();
}

aAdvAnimBlock* aAdvAnim::currentBlock()
{
    if (m_stepIndex >= m_steps.size())
        return nullptr;
    auto it = m_blocks.find(m_steps[m_stepIndex].block);
    return it == m_blocks.end() ? nullptr : &it->second;
}

const aAdvAnimBlock* aAdvAnim::getCurrentBlock() const
{
    return const_cast<aAdvAnim*>(this)->currentBlock();
}

void aAdvAnim::startStep(aAdvAnimBlock& block)
{
    block.start(m_steps[m_stepIndex], m_speed, m_reversed);
}

void aAdvAnim::play()
{
    m_finished = false;
    if (m_steps.empty())
        return;
    m_reversed = m_reverse;
    m_stepIndex = m_reversed ? static_cast<uint32_t>(m_steps.size() - 1) : 0;
    m_frameCounter = m_reversed ? m_totalFrames - 1 : 0;
    m_pass = 0;
    m_startPending = false;
    if (aAdvAnimBlock* block = currentBlock()) {
        startStep(*block);
        m_playing = true;
    }
}

void aAdvAnim::stall()
{
    a_log("aAdvAnim. Animation '%s' plays no time in a whole pass, stopped", m_name.c_str());
}

void aAdvAnim::update(float seconds)
{
    if (!m_playing || paused || seconds == 0.0f || std::isnan(seconds))
        return;
    // Every turn of the loop either uses time or moves to another step, so
    // more turns without using any than a whole pass has steps can only be
    // a pass that takes no time (empty blocks, a rate or speed that cannot
    // use the seconds up): it would never end.
    const size_t stallLimit = m_steps.size() + 2;
    size_t idleTurns = 0;
    // A time so long that a frame's length vanishes in it would look like a
    // stall; an hour is far more than one update ever brings.
    seconds = std::min(seconds, kMaxUpdateSeconds);
    size_t changes = 0;
    for (;;) {
        aAdvAnimBlock* block = currentBlock();
        if (!block)
            break;
        if (m_startPending) {
            m_startPending = false;
            startStep(*block);
            onStepStart();
        }
        const uint32_t before = block->getPlayFrame();
        const float was = seconds;
        seconds = block->advance(seconds);
        if (block->getPlayFrame() != before) {
            m_frameCounter += m_reversed ? -1u : 1u;
            onFrameChange();
            ++changes;
        }
        if (!block->isPlaying()) {
            const bool forwardOn = !m_reversed && m_stepIndex + 1 < m_steps.size();
            const bool backwardOn = m_reversed && m_stepIndex > 0;
            if (forwardOn || backwardOn) {
                m_frameCounter += m_reversed ? -1u : 1u;
                onFrameChange();
                ++changes;
                m_stepIndex += forwardOn ? 1u : -1u;
                m_startPending = true;
            } else {
                onSequenceEnd();
                if (m_nloops != 0 && m_pass + 1 >= m_nloops) {
                    m_finished = true;
                    break;
                }
                ++m_pass;
                if (m_pingpong)
                    m_reversed = !m_reversed;
                m_frameCounter = m_reversed ? m_totalFrames - 1 : 0;
                m_stepIndex = m_reversed ? static_cast<uint32_t>(m_steps.size() - 1) : 0;
                m_startPending = true;
            }
        }
        // The rest of the time is dropped once the changes reach their bound.
        if (seconds == 0.0f || changes >= MAX_FRAME_CHANGES_PER_UPDATE)
            return;
        idleTurns = seconds < was ? 0 : idleTurns + 1;
        if (idleTurns > stallLimit) {
            stall();
            break;
        }
    }
    m_playing = false;
}

void aAdvAnim::draw(float x, float y, aColor color, const float* scale)
{
    if (!m_playing && !m_showStopped)
        return;
    if (const aAdvAnimBlock* block = getCurrentBlock())
        block->draw(x, y, color, scale);
}

bool aAdvAnim::setFrame(uint32_t frame)
{
    if (frame >= m_totalFrames || !m_playing)
        return false;
    uint32_t rest = frame;
    for (uint32_t i = 0; i < m_steps.size(); ++i) {
        auto it = m_blocks.find(m_steps[i].block);
        if (it == m_blocks.end())
            continue;
        const uint32_t frames = it->second.getStepFrames(m_steps[i]);
        if (frames == aAdvAnimBlock::NO_COUNT)
            return false;
        if (rest < frames) {
            m_stepIndex = i;
            m_frameCounter = frame;
            m_startPending = false;
            startStep(it->second);
            return it->second.seek(rest);
        }
        rest -= frames;
    }
    return false;
}

float aAdvAnim::getFrameTime() const
{
    const aAdvAnimBlock* block = getCurrentBlock();
    return block ? block->getTimer() : 0.0f;
}

void aAdvAnim::setFrameTime(float seconds)
{
    if (aAdvAnimBlock* block = currentBlock())
        block->setTimer(seconds);
}

uint32_t aAdvAnim::getCurrentFrameIndex() const
{
    const aAdvAnimBlock* block = getCurrentBlock();
    return block ? block->getIndex() : 0;
}

aImage* aAdvAnim::getCurrentFrame(aRect& rect) const
{
    const aAdvAnimBlock* block = getCurrentBlock();
    const advAnim::BlockFrame* frame = block ? block->getCurrentFrame() : nullptr;
    if (!frame)
        return nullptr;
    rect = frame->rect;
    return frame->image;
}

bool aAdvAnim::getCurrentFrameRect(aRect& rect) const
{
    const aAdvAnimBlock* block = getCurrentBlock();
    const advAnim::BlockFrame* frame = block ? block->getCurrentFrame() : nullptr;
    if (!frame)
        return false;
    rect = aRect(static_cast<int16_t>(frame->dispX), static_cast<int16_t>(frame->dispY), frame->rect.width,
                 frame->rect.height);
    return true;
}
