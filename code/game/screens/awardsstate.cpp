#include "game/screens/awardsstate.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/app/messagebox.h"
#include "game/app/playerprofile.h"
#include "game/app/simpletooltip.h"
#include "game/screens/newawardwindow.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_math.h"

namespace {

constexpr size_t kLongestTooltip = 511;
constexpr aColor kUnearnedShape = 0x30FFFFFF;

using Binder = GUI::_memberBinder<cAwardsState, bool, const GUI::EventArgs&>;

// A picture that exists, or null: a missing file draws nothing.
std::unique_ptr<aImage> loadPicture(const std::string& path)
{
    if (path.empty() || !file_exists(path.c_str())) {
        if (!path.empty())
            a_log("cAwardsState. Picture \"%s\" is missing", path.c_str());
        return nullptr;
    }
    return std::make_unique<aImage>(path, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
}

cPlayerProfile* currentProfile()
{
    cGame* game = cGame::get();
    return game ? game->getCurrentProfile() : nullptr;
}

cAwardsState* registeredAwards()
{
    return dynamic_cast<cAwardsState*>(cGameState::find(STATE_AWARDS));
}

int32_t awardGoal(uint16_t index)
{
    const cAwardsState* awards = registeredAwards();
    const cAward* award = awards ? awards->getAward(index) : nullptr;
    return award ? award->goal : 0;
}

void announceAward(uint16_t index)
{
    cNewAwardWindow::notify(index);
}

} // namespace

std::wstring award_describe(const std::string& tooltipKey, int32_t goal)
{
    cGame* game = cGame::get();
    if (!game || tooltipKey.empty())
        return {};
    return string_formatData(game->getText(tooltipKey), {goal});
}

cAwardsState::cAwardsState() : cGameState(STATE_AWARDS)
{
    installAwardHooks();
}

cAwardsState::~cAwardsState()
{
    release();
}

void cAwardsState::installAwardHooks()
{
    cAwardHooks hooks;
    hooks.goal = &awardGoal;
    hooks.announce = &announceAward;
    cPlayerProfile::setAwardHooks(hooks);
}

void cAwardsState::loadConfig(const std::string& path)
{
    if (!file_exists(path.c_str())) {
        a_log("cAwardsState. \"%s\" is missing: no awards", path.c_str());
        return;
    }
    aOptionsFile ini(path.c_str());
    if (ini.setSection("MAIN")) {
        m_background = loadPicture(ini.getString("Background"));
        m_plate = ini.findKey("AwardBack") ? loadPicture(ini.getString("AwardBack")) : nullptr;
    }

    if (!m_awards.empty()) {
        for (cAward& award : m_awards)
            award.image = loadPicture(award.imagePath);
        return;
    }
    size_t sections = 0;
    for (ini.firstSection(); !ini.isSectionEnd(); ini.nextSection())
        ++sections;
    m_awards.reserve(sections);
    for (ini.firstSection(); !ini.isSectionEnd(); ini.nextSection()) {
        if (ini.getSectionName() != "AWARD")
            continue;
        cAward award;
        award.imagePath = ini.getString("Image");
        award.image = loadPicture(award.imagePath);
        std::vector<int32_t> position;
        ini.getIntList("Position", position);
        if (position.size() >= 2) {
            award.x = static_cast<int16_t>(position[0]);
            award.y = static_cast<int16_t>(position[1]);
        }
        award.goal = ini.getInt("GoalValue");
        award.tooltipKey = ini.getString("Tooltip");
        m_awards.push_back(std::move(award));
    }
}

void cAwardsState::freeResources()
{
    for (cAward& award : m_awards)
        award.image.reset();
    m_background.reset();
    m_plate.reset();
}

const cAward* cAwardsState::getAward(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_awards.size() ? &m_awards[index] : nullptr;
}

bool cAwardsState::isEarned(int32_t index) const
{
    const cAward* award = getAward(index);
    const cPlayerProfile* profile = currentProfile();
    return award && profile && award->goal > 0 &&
           profile->getAwardProgress(static_cast<uint16_t>(index)) >= award->goal;
}

bool cAwardsState::isNew(int32_t index) const
{
    const cPlayerProfile* profile = currentProfile();
    return profile &&
           std::find(profile->newAwards.begin(), profile->newAwards.end(), index) != profile->newAwards.end();
}

void cAwardsState::init()
{
    if (isInitiated())
        return;
    cGame* game = cGame::get();
    m_fadeIn = 0.0f;
    m_hovered = -1;
    m_gui = std::make_unique<GUI::Server>(game ? game->getImageManager() : nullptr,
                                          game ? game->getSoundManager() : nullptr);
    m_gui->load("gui:awards.agui");
    m_gui->InitializeWidgets();
    m_gui->SetMouseCursor("default");
    if (GUI::Widget* back = m_gui->GetRoot()->FindChild("Back", true))
        back->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cAwardsState::onBack));
    setInitiated(true);
}

void cAwardsState::release()
{
    if (!isInitiated())
        return;
    cSimpleTooltip::destroy();
    m_gui.reset();
    // The awards on the screen count as seen.
    if (cPlayerProfile* profile = currentProfile())
        profile->newAwards.clear();
    setInitiated(false);
}

bool cAwardsState::onBack(const GUI::EventArgs&)
{
    if (cGame* game = cGame::get())
        game->requestState(game->getPreviousState() == STATE_MAP ? STATE_MAP : STATE_MENU);
    return true;
}

void cAwardsState::update(float dt)
{
    m_gui->Update(dt);
    cGame* game = cGame::get();
    // Only the message box holds the screen; a new award announced over it does not.
    if (cMessageBox::isShown()) {
        cSimpleTooltip::hide();
        m_hovered = -1;
        return;
    }
    updateHover();

    if (m_fadeIn < 1.0f) {
        m_fadeIn += dt;
        if (m_fadeIn >= 1.0f) {
            m_fadeIn = 1.0f;
            sparkleNewAwards();
        }
    }
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (input && input->keyStates[A_KEY_ESCAPE] == A_STATE_RELEASED)
        game->requestState(STATE_MENU);
}

void cAwardsState::updateHover()
{
    cGame* game = cGame::get();
    aInputServer* input = game ? game->getInputServer() : nullptr;
    if (!input)
        return;
    int32_t mx = 0, my = 0;
    input->getMousePos(mx, my);
    int32_t hovered = -1;
    for (size_t i = 0; i < m_awards.size(); ++i) {
        const cAward& a = m_awards[i];
        if (mx >= a.x && my >= a.y && mx < a.x + a.width() && my < a.y + a.height()) {
            hovered = static_cast<int32_t>(i);
            break;
        }
    }
    if (hovered < 0) {
        if (m_hovered >= 0)
            cSimpleTooltip::hide();
        m_hovered = -1;
        return;
    }
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    const cAward& award = m_awards[hovered];
    if (award.goal <= 0) {
        cSimpleTooltip::hide();
        return;
    }
    const cPlayerProfile* profile = currentProfile();
    const int32_t progress = profile ? profile->getAwardProgress(static_cast<uint16_t>(hovered)) : 0;
    std::wstring text = award_describe(award.tooltipKey, award.goal);
    if (progress < award.goal)
        text += string_formatData(game->getText("awards.left"), {award.goal - progress});
    if (text.size() > kLongestTooltip)
        text.resize(kLongestTooltip);
    cSimpleTooltip::show(static_cast<int16_t>(award.x + award.width() / 2 + 20),
                         static_cast<int16_t>(award.y + award.height() / 2 - 20), text);
}

void cAwardsState::sparkleNewAwards()
{
    cGame* game = cGame::get();
    const cPlayerProfile* profile = currentProfile();
    if (!game || !profile || profile->newAwards.empty())
        return;
    for (int32_t index : profile->newAwards) {
        const cAward* award = getAward(index);
        if (!award || !isEarned(index) || !game->getParticles())
            continue;
        game->getParticles()->Add("UPGRADE", award->x + award->width() / 2.0f, award->y + award->height() / 2.0f, 0,
                                  true, true);
    }
    game->playSound("get_award");
}

void cAwardsState::draw()
{
    if (m_background)
        m_background->drawAt(0, 0);
    for (size_t i = 0; i < m_awards.size(); ++i) {
        const cAward& award = m_awards[i];
        const int32_t index = static_cast<int32_t>(i);
        if (m_plate)
            m_plate->drawAt(award.x, award.y);
        if (!award.image)
            continue;
        if (isEarned(index)) {
            aColor color = 0xFFFFFFFF;
            if (isNew(index))
                color = (static_cast<aColor>(aMath::round(m_fadeIn * m_fadeIn * 255.0f)) << 24) | 0xFFFFFF;
            award.image->drawAt(award.x, award.y, color);
        } else if (index == m_hovered) {
            award.image->drawAt(award.x, award.y, kUnearnedShape);
        }
    }
    if (m_gui)
        m_gui->Render();
    cGame* game = cGame::get();
    cSimpleTooltip::update(game ? game->getFrameTime() : 0.0f);
    if (game && game->getParticles())
        game->getParticles()->renderAll();
}
