#include "game/screens/leveltooltip.h"

#include <algorithm>
#include <memory>

#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/app/spriteregistry.h"
#include "game/park/level.h"
#include "game/screens/mapstate.h"
#include "game/screens/parkconfig.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_image.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_math.h"
#include "orvo/util/a_string.h"

namespace {

std::unique_ptr<cLevelTooltip> g_tooltip;

constexpr float kThumbWidth = 64.0f;
constexpr int32_t kRowLimit = 240;

const char* statusKey(int32_t status)
{
    static const char* const kKeys[] = {"level_unavailable", "time_rewards",   "level_complete",
                                        "level_complete",    "level_complete", "tutorial",
                                        "catch_animal",      "match_3",        "find_pair"};
    return status >= 0 && status <= 8 ? kKeys[status] : kKeys[0];
}

} // namespace

cLevelTooltip::cLevelTooltip(const cMapLevel& level, int32_t status) : m_levelName(level.name), m_status(status)
{
    m_thumbnails.reserve(4);
    build();
}

cLevelTooltip::~cLevelTooltip()
{
    if (m_window)
        m_window->SetVisible(false);
}

void cLevelTooltip::showFor(const cMapLevel& level, int32_t status)
{
    g_tooltip.reset();
    g_tooltip = std::make_unique<cLevelTooltip>(level, status);
    if (cGame* game = cGame::get())
        game->playSound("tip");
}

cLevelTooltip* cLevelTooltip::get()
{
    return g_tooltip.get();
}

void cLevelTooltip::drawCurrent(float dt)
{
    if (g_tooltip && g_tooltip->m_window)
        g_tooltip->draw(dt);
}

void cLevelTooltip::destroy()
{
    g_tooltip.reset();
}

std::wstring cLevelTooltip::formatTime(int32_t seconds)
{
    seconds = std::max(seconds, 0);
    wchar_t text[32];
    swprintf(text, 32, L"%d:%02d", seconds / 60, seconds % 60);
    return text;
}

GUI::Widget* cLevelTooltip::child(const char* name) const
{
    return m_window ? m_window->FindChild(name, true) : nullptr;
}

void cLevelTooltip::setChildText(const char* name, const std::wstring& text) const
{
    if (GUI::Widget* w = child(name))
        w->SetText(text);
}

void cLevelTooltip::showChild(const char* name, bool visible) const
{
    if (GUI::Widget* w = child(name))
        w->SetVisible(visible);
}

void cLevelTooltip::build()
{
    GUI::Server* server = GUI::Server::getSingleton();
    m_window = server && server->GetRoot() ? server->GetRoot()->FindChild("Level_tooltip", true) : nullptr;
    if (!m_window)
        return;
    m_window->SetPosition(WINDOW_X, WINDOW_Y);
    m_window->SetVisible(true);
    cGame* game = cGame::get();
    if (!game)
        return;

    setChildText("Caption", game->getText(m_status < MAP_MINI_GAME ? m_levelName : m_levelName + "_mg"));

    if (m_status == MAP_OPEN) {
        const std::string path = "levels:" + m_levelName + ".ini";
        if (file_exists(path.c_str())) {
            aOptionsFile file(path.c_str());
            if (file.setSection("DATA")) {
                const cLevelRewards r = cLevel::loadRewards(file);
                setChildText("GoldTime", formatTime(r.goldTime));
                setChildText("GoldReward", game->formatMoney(r.goldReward));
                setChildText("SilverTime", formatTime(r.silverTime));
                setChildText("SilverReward", game->formatMoney(r.silverReward));
                setChildText("BaseReward", game->formatMoney(r.baseReward));
            }
        }
    } else if (m_status == MAP_LOCKED) {
        findMissingUpgrades();
    }

    showChild("TimeRewards", m_status == MAP_OPEN);
    showChild("GoldMedal", m_status == MAP_GOLD);
    showChild("SilverMedal", m_status == MAP_SILVER);
    showChild("Complete", m_status == MAP_COMPLETED);
    showChild("MiniGame", m_status >= MAP_MINI_GAME);
    setChildText("Text", game->getText(m_needMoney ? "level_need_money" : statusKey(m_status)));
}

void cLevelTooltip::findMissingUpgrades()
{
    if (!file_exists(cMapState::MAP_FILE))
        return;
    aOptionsFile map(cMapState::MAP_FILE);
    if (!map.setSection(m_levelName))
        return;
    std::vector<int32_t> needs;
    if (map.findKey("NeedUpgradeStages"))
        map.getIntList("NeedUpgradeStages", needs);

    cGame* game = cGame::get();
    const cPlayerProfile* profile = game ? game->getCurrentProfile() : nullptr;
    const std::vector<cUpgradeSection> upgrades = parkConfig::readUpgrades();
    for (size_t i = 0; i < needs.size(); ++i) {
        const int32_t type = static_cast<int32_t>(i);
        const int32_t stage = needs[i];
        const cUpgradeSection* section = parkConfig::find(upgrades, type, stage);
        if (!section || parkConfig::builtStage(profile, type) >= stage)
            continue;
        if (!m_needMoney)
            m_needMoney = (profile ? profile->stars : 0) < section->cost;

        const std::string name = string_format("%d_%d", type + 1, stage);
        const cSpriteEntry* sprite = game ? game->spriteRegistry().findSprite(name) : nullptr;
        if (!sprite || !sprite->image || sprite->hFrames <= 0 || sprite->vFrames <= 0) {
            a_log("cLevelTooltip. No thumbnail \"%s\" for level \"%s\"", name.c_str(), m_levelName.c_str());
            continue;
        }
        const uint32_t frameWidth = sprite->image->getWidth() / static_cast<uint32_t>(sprite->hFrames);
        const uint32_t frameHeight = sprite->image->getHeight() / static_cast<uint32_t>(sprite->vFrames);
        if (frameWidth == 0 || frameHeight == 0) {
            a_log("cLevelTooltip. Thumbnail \"%s\" has frames of no size", name.c_str());
            continue;
        }
        Thumbnail thumb;
        thumb.image = sprite->image.get();
        thumb.scale = kThumbWidth / static_cast<float>(frameWidth);
        thumb.source = aRect(0, 0, static_cast<uint16_t>(frameWidth), static_cast<uint16_t>(frameHeight));
        m_thumbnails.push_back(thumb);

        const int32_t height = aMath::round(static_cast<float>(frameHeight) * thumb.scale);
        m_rowHeight = static_cast<uint16_t>(std::max<int32_t>(m_rowHeight, height));
        const int32_t w = aMath::round(static_cast<float>(frameWidth) * thumb.scale) + 4;
        if (m_rowWidth[0] + w > kRowLimit)
            m_rowWidth[1] = static_cast<uint16_t>(m_rowWidth[1] + w);
        else
            m_rowWidth[0] = static_cast<uint16_t>(m_rowWidth[0] + w);
    }
}

std::vector<aPoint> cLevelTooltip::thumbnailPositions() const
{
    std::vector<aPoint> out;
    if (!m_window)
        return out;
    const int32_t wx = m_window->GetAbsoluteX();
    const int32_t wy = m_window->GetAbsoluteY();
    const int32_t ww = m_window->GetWidth();
    const int32_t startX = wx + (ww - m_rowWidth[0]) / 2;
    int32_t x = startX;
    int32_t y = wy + (m_rowWidth[1] == 0 ? 175 : 125);
    for (const Thumbnail& t : m_thumbnails) {
        const int32_t step = aMath::round(static_cast<float>(t.source.width) * t.scale) + 4;
        if (x + step > startX + m_rowWidth[0]) {
            y += m_rowHeight;
            x = wx + (ww - m_rowWidth[1]) / 2;
        }
        const int32_t top = y + m_rowHeight - aMath::round(static_cast<float>(t.source.height) * t.scale);
        out.push_back({x, top});
        x += step;
    }
    return out;
}

void cLevelTooltip::draw(float dt)
{
    if (!m_window)
        return;
    const float alpha = std::min(m_window->GetAlpha(true) + 2.0f * dt, 1.0f);
    m_window->SetAlpha(alpha);
    m_showing = alpha < 1.0f;
    if (m_status != MAP_LOCKED)
        return;
    const aColor colour = (static_cast<aColor>(aMath::round(alpha * 255.0f)) << 24) | 0x00FFFFFFu;
    const std::vector<aPoint> at = thumbnailPositions();
    for (size_t i = 0; i < m_thumbnails.size() && i < at.size(); ++i) {
        const Thumbnail& t = m_thumbnails[i];
        const float scale[2] = {t.scale, t.scale};
        const float shadow[2] = {static_cast<float>(at[i].x + 1), static_cast<float>(at[i].y + 1)};
        const float pos[2] = {static_cast<float>(at[i].x), static_cast<float>(at[i].y)};
        t.image->draw(shadow, t.source, 0xFF000000, scale);
        t.image->draw(pos, t.source, colour, scale);
    }
}
