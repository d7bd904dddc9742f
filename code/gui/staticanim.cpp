#include "gui/staticanim.h"

#include <cmath>
#include <sstream>

#include "gui/imagedraw.h"
#include "gui/server.h"
#include "orvo/app/a_caselessless.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace GUI {

float ReadFramesPerSecond(const Property& property, const char* origin)
{
    if (!property.changed)
        return StaticAnim::DEFAULT_FPS;
    const float fps = property.AsFloat();
    if (fps > 0.0f && std::isfinite(fps))
        return fps;
    // Without a rate above 0 there is no frame time to step by.
    a_log("%s - invalid FPS '%s', %g used", origin, property.value.c_str(), double(StaticAnim::DEFAULT_FPS));
    return StaticAnim::DEFAULT_FPS;
}

StaticAnim::StaticAnim(const std::string& name) : Widget(name)
{
    AddProperty("NormalImage", &m_propNormalImage);
    AddProperty("NormalRect", &m_propNormalRect);
    AddProperty("DisabledImage", &m_propDisabledImage);
    AddProperty("DisabledRect", &m_propDisabledRect);
    AddProperty("Color", &m_propColor);
    AddProperty("RotAngle", &m_propRotAngle);
    AddProperty("RotCenter", &m_propRotCenter);
    AddProperty("AnimType", &m_propAnimType);
    AddProperty("NumFrames", &m_propNumFrames);
    AddProperty("FrameSize", &m_propFrameSize);
    AddProperty("FPS", &m_propFPS);
    AddProperty("StartFrame", &m_propStartFrame);
}

StaticAnim::~StaticAnim() = default;

bool StaticAnim::IsKindOf(const std::string& className) const
{
    return className == "StaticAnim";
}

uint32_t StaticAnim::ParseAnimType(const std::string& text)
{
    uint32_t flags = aAnim::PLAY_LOOP;
    std::istringstream words(text);
    std::string word;
    for (int i = 0; i < 3 && words >> word; ++i) {
        if (word.size() > 49)
            word.resize(49);
        if (caseless_equal(word, "noloop"))
            flags &= ~uint32_t(aAnim::PLAY_LOOP);
        else if (caseless_equal(word, "back"))
            flags |= aAnim::PLAY_BACKWARD;
        else if (caseless_equal(word, "pingpong"))
            flags |= aAnim::PLAY_PINGPONG;
    }
    return flags;
}

void StaticAnim::EndFillProperties()
{
    Widget::EndFillProperties();
    const uint32_t flags = ParseAnimType(m_propAnimType.value);
    const float fps = ReadFramesPerSecond(m_propFPS, "StaticAnim::EndFillProperties");
    const int32_t frames = m_propNumFrames.changed ? m_propNumFrames.AsInt() : 1;
    // No frames: nothing to pick a start from.
    int32_t start = 0;
    if (m_propStartFrame.changed)
        start = m_propStartFrame.AsInt();
    else if (frames > 0)
        start = static_cast<int32_t>(static_cast<uint32_t>(a_rand()) % static_cast<uint32_t>(frames));
    float frameW = 1.0f, frameH = 1.0f;
    if (m_propFrameSize.changed)
        m_propFrameSize.AsPoint(frameW, frameH);

    const Server* server = Server::getSingletonPtr();
    auto build = [&](aAnim& anim, const Property& image, const Property& rectProperty) {
        if (!image.changed)
            return;
        const aRect rect = rectProperty.AsRect();
        // Frame sizes below a pixel (or past 16 bits) cut nothing.
        const bool fits = frameW >= 1.0f && frameH >= 1.0f && frameW < 65536.0f && frameH < 65536.0f;
        anim.setStripFrames(server && fits ? server->GetImage(image.value) : nullptr,
                            rectProperty.changed ? &rect : nullptr, static_cast<uint16_t>(frameW),
                            static_cast<uint16_t>(frameH), frames > 0 ? static_cast<uint32_t>(frames) : 0u);
        anim.setPlayFlags(flags);
        anim.setFrameTime(1.0f / fps);
        if (start >= 0 && static_cast<uint32_t>(start) < anim.getFrameCount())
            anim.setFrame(static_cast<uint16_t>(start), 0);
        anim.play();
    };
    build(m_normalAnim, m_propNormalImage, m_propNormalRect);
    build(m_disabledAnim, m_propDisabledImage, m_propDisabledRect);

    if (m_propColor.changed)
        SetColor(m_propColor.AsColor());
    if (m_propRotAngle.changed)
        m_rotAngle = m_propRotAngle.AsFloat();
    if (m_propRotCenter.changed)
        ReadRotCenter(m_propRotCenter, m_rotCenter, m_rotCenterPtr);
    if (m_area.width == 0)
        m_area.width = m_normalAnim.getFrameWidth();
    if (m_area.height == 0)
        m_area.height = m_normalAnim.getFrameHeight();
}

void StaticAnim::SetAnim(const aAnim& animation)
{
    m_normalAnim = animation;
    Restart();
}

void StaticAnim::Restart()
{
    for (aAnim* anim : {&m_normalAnim, &m_disabledAnim}) {
        if (anim->getFrameCount() == 0)
            continue;
        if (anim->getPlayFlags() & aAnim::PLAY_BACKWARD)
            anim->lastFrame();
        else
            anim->firstFrame();
        anim->play();
    }
}

void StaticAnim::UpdateSelf(float dt)
{
    Widget::UpdateSelf(dt);
    m_normalAnim.update(dt);
    m_disabledAnim.update(dt);
}

void StaticAnim::Draw()
{
    const aRect destination = GetAbsoluteRect();
    const float rotation = m_rotAngle * kDegreesToRadians;
    const uint32_t alpha = ColorByte(GetAlpha());
    if (!IsEnabled() && m_disabledAnim.getFrameCount() > 0) {
        DrawAnimFrame(&m_disabledAnim, destination, alpha << 24 | 0x00FFFFFFu, rotation, m_rotCenterPtr);
        return;
    }
    const aColor color = alpha << 24 | ColorByte(m_color.r) << 16 | ColorByte(m_color.g) << 8 | ColorByte(m_color.b);
    DrawAnimFrame(&m_normalAnim, destination, color, rotation, m_rotCenterPtr);
}

} // namespace GUI
