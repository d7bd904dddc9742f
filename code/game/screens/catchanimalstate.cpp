#include "game/screens/catchanimalstate.h"

#include <algorithm>

#include "game/app/game.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "gui/server.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

constexpr aColor kRunnerHighlight = 0xFF00FF00;

void sortByDepth(std::vector<cAnimal*>& list)
{
    std::sort(list.begin(), list.end(), [](const cAnimal* a, const cAnimal* b) { return compareDepth(a, b); });
}

float randomIn(float from, float span)
{
    return from + static_cast<float>(a_rand()) * span / 32767.0f;
}

} // namespace

cCatchAnimalState::cCatchAnimalState()
    : cMiniGameState(STATE_CATCH_ANIMAL,
                     {"mini-games:CatchAnimal.ini", "tip.catch_animal", 0x20, "catch_animal_win", true})
{
}

cCatchAnimalState::~cCatchAnimalState()
{
    release();
}

void cCatchAnimalState::readArea(cMiniGameState& state, aOptionsFile& file)
{
    auto& self = static_cast<cCatchAnimalState&>(state);
    std::vector<int32_t> area;
    file.getIntList("AnimalsArea", area);
    if (area.size() < 4) {
        // NOTE: a band across the middle of the screen stands in for an unusable area.
        a_log("cCatchAnimalState. \"AnimalsArea\" of \"%s\" needs four numbers, a band across the screen is used",
              state.section().c_str());
        area = {0, 300, 1024, 300};
    }
    self.m_areaX = static_cast<int16_t>(area[0]);
    self.m_areaY = static_cast<int16_t>(area[1]);
    self.m_areaWidth = static_cast<uint16_t>(std::max(0, area[2]));
    self.m_areaHeight = static_cast<uint16_t>(std::max(0, area[3]));
}

void cCatchAnimalState::init()
{
    if (isInitiated())
        return;
    m_won = false;
    m_spawnTimer = 0.0f;
    m_lastKind = nullptr;
    m_wantedTimer = 0.0f;
    m_wantedInterval = 0.0f;
    m_leftToRight = (a_rand() & 1) != 0;
    m_timeLeft = 0.0f;
    m_reward = 0;
    m_runners.reserve(24);
    m_coins.reserve(24);

    initFrame();
    if (readSettings(&cCatchAnimalState::readArea)) {
        uint16_t needed = 0;
        for (const cMiniGoal& goal : m_goals)
            needed = static_cast<uint16_t>(needed + goal.needed);
        if (needed > 0)
            m_wantedInterval = m_timeLeft / static_cast<float>(needed) * 0.5f;
        const char* files[2] = {"sprites:Clouds/clouds_middle.jng", "sprites:Clouds/clouds_near.jng"};
        const float speeds[2] = {-16.0f, -32.0f};
        for (int i = 0; i < 2; ++i) {
            m_clouds[i].image.reset();
            if (file_exists(files[i]))
                m_clouds[i].image = std::make_unique<aImage>(files[i], aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
            m_clouds[i].x = 0.0f;
            m_clouds[i].speed = speeds[i];
        }
        showTip();
    }
    cGame* game = cGame::get();
    m_penaltyFormat = game ? game->getText("time_penalty") : std::wstring();
    setInitiated(true);
}

void cCatchAnimalState::release()
{
    if (!isInitiated())
        return;
    for (cAnimal* a : m_runners)
        a->release();
    m_runners.clear();
    for (Cloud& cloud : m_clouds)
        cloud.image.reset();
    m_lastKind = nullptr;
    releaseFrame();
    setInitiated(false);
}

bool cCatchAnimalState::isWanted(const cAnimalKind* kind) const
{
    return std::any_of(m_goals.begin(), m_goals.end(),
                       [kind](const cMiniGoal& g) { return g.kind == kind && g.collected < g.needed; });
}

void cCatchAnimalState::spawnRunner(float dt)
{
    if (m_kinds.empty())
        return; // nothing to draw from
    cAnimalKind* k = m_kinds[static_cast<size_t>(a_rand()) % m_kinds.size()];
    if (isWanted(k)) {
        m_wantedTimer = m_wantedInterval;
    } else {
        m_wantedTimer -= dt;
        if (m_wantedTimer < 0.0f) {
            const bool open = std::any_of(m_goals.begin(), m_goals.end(),
                                          [](const cMiniGoal& g) { return g.collected < g.needed; });
            // Without an open goal the drawn kind runs (the draw below would never end).
            if (!m_won && open) {
                const cMiniGoal* goal = nullptr;
                do
                    goal = &m_goals[static_cast<size_t>(a_rand()) % m_goals.size()];
                while (goal->collected >= goal->needed);
                k = goal->kind;
            }
            m_wantedTimer = m_wantedInterval;
        }
    }
    cAnimal* a = miniGameCreateAnimal(k, 1.0f);
    if (!a)
        return;
    a->refinePath = false; // runners keep their line across the band
    a->highlight = kRunnerHighlight;
    const float w = static_cast<float>(a->width) * a->scale;
    const float y = static_cast<float>(m_areaY) + static_cast<float>(m_areaHeight ? a_rand() % m_areaHeight : 0);
    const aVector2 left(static_cast<float>(m_areaX) - w, y);
    const aVector2 right(static_cast<float>(m_areaX) + static_cast<float>(m_areaWidth) + w, y);
    a->setPosition(m_leftToRight ? left : right);
    a->setState(cAnimalKind::WALK);
    a->moveTo(m_leftToRight ? right : left);
    a->baseSpeed = randomIn(1.5f, 0.5f);
    a->playEffect("DUST", 0.0f, -static_cast<float>(a->height) * a->scale * 0.5f, false);
    m_runners.push_back(a);
}

bool cCatchAnimalState::onClick(cAnimal* a)
{
    cGame* game = cGame::get();
    const int32_t index = goalIndexOf(a->kind);
    if (index >= 0 && m_goals[static_cast<size_t>(index)].collected < m_goals[static_cast<size_t>(index)].needed) {
        cMiniGoal& goal = m_goals[static_cast<size_t>(index)];
        a->setState(cAnimalKind::WALK);
        a->moveTo(aVector2(miniGameGoalX(static_cast<uint32_t>(index), static_cast<uint32_t>(m_goals.size())),
                           static_cast<float>(kMiniGoalY)));
        a->baseSpeed = 3.0f;
        a->tag = 1;
        a->hovered = false;
        ++goal.collected;
        miniGameEffect("STRIKE", a->centre);
        checkWin();
        if (goal.kind == m_lastKind)
            miniGameDropCoin(a->centre, m_coins);
        else
            m_lastKind = goal.kind;
        game->playSound("action_success");
        return true;
    }
    m_lastKind = nullptr;
    miniGameEffect("RESTRICTION", a->centre);
    game->playSound("action_failed");
    if (index >= 0)
        return true; // a full goal costs no time
    miniGameAddText(m_font, string_formatData(m_penaltyFormat, {1.0}), a->centre);
    m_timeLeft -= 1.0f;
    if (m_timeLeft <= 0.0f)
        miniGameLose(&m_timeLeft);
    return false;
}

bool cCatchAnimalState::checkWin()
{
    if (m_won || !goalsFull())
        return false;
    win();
    return true;
}

void cCatchAnimalState::update(float dt)
{
    updateFrame(dt);
    if (modalOpen() && !m_won) {
        for (cAnimal* a : m_runners)
            a->update(0.0f);
        sortByDepth(m_runners);
        return;
    }
    if (!m_won && m_timeLeft > 0.0f) {
        runClock(dt);
        m_spawnTimer -= dt;
        if (m_spawnTimer < 0.0f) {
            spawnRunner(dt);
            m_spawnTimer = randomIn(0.5f, 0.5f);
        }
    }
    const bool overCoin = miniGameUpdateObjects(m_coins, dt, m_won, m_font, false);
    int32_t x = -1, y = -1;
    uint32_t left = 0;
    pointer(x, y, left);

    cAnimal* candidate = nullptr;
    for (size_t i = 0; i < m_runners.size();) {
        cAnimal* a = m_runners[i];
        a->update(dt);
        if (a->path.empty()) {
            if (a->tag == 1) {
                miniGameEffect("GOAL_DONE", a->anchor);
                a->tag = 0;
            }
            if (!a->hasActiveEffects()) {
                m_runners.erase(m_runners.begin() + static_cast<std::ptrdiff_t>(i));
                a->release();
                continue;
            }
            a->clearEffects();
            ++i;
            continue;
        }
        a->hovered = false;
        if (a->tag == 1) {
            const aVector2 end = a->path.back();
            const float q = ((a->anchor.x - end.x) * (a->anchor.x - end.x) + (a->anchor.y - end.y) * (a->anchor.y - end.y)) /
                            4900.0f;
            if (q > 0.0f && q <= 1.0f) {
                a->baseScale = q * a->kind->adultBaseScale;
                a->updateScale();
            }
        } else if (!m_won && !overCoin) {
            const aRect& r = a->getScreenRect();
            const bool over = x >= r.x && y >= r.y && x < r.x + static_cast<int32_t>(r.width) &&
                              y < r.y + static_cast<int32_t>(r.height);
            if (over && (!candidate || isWanted(a->kind) ||
                         (!isWanted(candidate->kind) && candidate->anchor.y < a->anchor.y)))
                candidate = a;
        }
        ++i;
    }
    if (candidate) {
        candidate->hovered = true;
        if (left == A_STATE_PRESSED)
            onClick(candidate);
    }
    sortByDepth(m_runners);
    updateTail();
}

void cCatchAnimalState::drawClouds()
{
    cGame* game = cGame::get();
    for (Cloud& cloud : m_clouds) {
        if (!cloud.image || cloud.image->getWidth() == 0)
            continue;
        const float w = static_cast<float>(cloud.image->getWidth());
        if (!modalOpen())
            cloud.x += cloud.speed * game->getFrameTime();
        while (cloud.x + w < 0.0f)
            cloud.x += w;
        while (cloud.x > 1024.0f)
            cloud.x -= w;
        float x = cloud.x;
        for (int i = 0; i < 1024 / static_cast<int>(w) + 1; ++i) {
            if (x > 1024.0f)
                x = x - 1024.0f - w;
            cloud.image->drawAtF(x, 0.0f);
            x += w;
        }
    }
}

void cCatchAnimalState::draw()
{
    cGame* game = cGame::get();
    drawBackground();
    drawClouds();
    cAnimal::drawShadows(m_runners);
    for (cAnimal* a : m_runners)
        a->draw();
    aParticlesManager* particles = game->getParticles();
    if (particles)
        particles->renderLayers(0);
    if (m_gui)
        m_gui->Render();
    for (cBonus* b : m_coins)
        b->draw();
    miniGameDrawTimer(m_font, m_timeLeft);
    drawGoals();
    if (particles)
        particles->renderLayers(1);
    miniGameUpdateTexts(game->getFrameTime());
}
