#include "game/screens/findpairstate.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/app/spriteregistry.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/entity.h"
#include "gui/server.h"
#include "orvo/app/a_application.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"

namespace {

constexpr float kSpacing = 105.0f;
constexpr aColor kBushLit = 0xFFFFFFFF;
constexpr aColor kBushDim = 0xFFC8C8C8;

// Both bushes of a cell take the same bend.
void bendBushes(cFindPairState::Cell& cell, float degrees)
{
    cell.back->applyRotation(degrees);
    cell.front->applyRotation(degrees);
}

} // namespace

cFindPairState::cFindPairState()
    : cMiniGameState(STATE_FIND_PAIR, {"mini-games:FindPair.ini", "tip.find_pair", 0x80, "find_pair_win", false})
{
}

cFindPairState::~cFindPairState()
{
    release();
}

void cFindPairState::gridFor(int32_t value, uint16_t& size, int32_t& originX, int32_t& originY)
{
    int32_t g = std::max(0, value);
    if (g % 2)
        ++g;
    if (g > kMaxGrid) {
        // NOTE: a larger field would leave the screen; the origin stays signed either way.
        a_log("cFindPairState. GridSize %d is more than the screen holds, %d is used", value, kMaxGrid);
        g = kMaxGrid;
    }
    size = static_cast<uint16_t>(g);
    const int32_t h = (g * 105) / 2;
    originX = 570 - h;
    originY = 500 - h;
}

void cFindPairState::readGrid(cMiniGameState& state, aOptionsFile& file)
{
    auto& self = static_cast<cFindPairState&>(state);
    gridFor(file.getInt("GridSize"), self.m_gridSize, self.m_originX, self.m_originY);
}

void cFindPairState::init()
{
    if (isInitiated())
        return;
    m_won = false;
    m_timeLeft = 0.0f;
    m_reward = 0;
    m_gridSize = 6;
    m_first = m_second = nullptr;
    m_streak = false;
    m_kinds.reserve(16);
    initFrame();
    if (readSettings(&cFindPairState::readGrid) && layoutGrid())
        showTip();
    setInitiated(true);
}

void cFindPairState::releaseCells()
{
    for (Cell& cell : m_cells) {
        if (cell.animal)
            cell.animal->release();
        delete cell.back;
        delete cell.front;
    }
    m_cells.clear();
    m_drawList.clear();
    m_shadowList.clear();
    m_first = m_second = nullptr;
}

void cFindPairState::release()
{
    if (!isInitiated())
        return;
    releaseCells();
    releaseFrame();
    setInitiated(false);
}

bool cFindPairState::layoutGrid()
{
    releaseCells();
    const size_t count = static_cast<size_t>(m_gridSize) * m_gridSize;
    if (count == 0)
        return true; // an empty field, as the settings ask
    cGame* game = cGame::get();
    const cSpriteEntry* bush = game ? game->spriteRegistry().findSprite("bush") : nullptr;
    if (!bush || !bush->image) {
        refuseBoard("no \"bush\" picture");
        return false;
    }
    m_cells.reserve(count);
    m_shadowList.reserve(count / 2);
    std::vector<uint32_t> free(count);
    for (size_t i = 0; i < count; ++i)
        free[i] = static_cast<uint32_t>(i);
    cAnimalKind* previous = nullptr;
    for (size_t pair = 0; pair < count / 2;) {
        // NOTE: a cell without its partner would leave the field unwinnable.
        if (m_kinds.empty()) {
            refuseBoard("no animal can be made");
            return false;
        }
        const size_t n = m_kinds.size();
        cAnimalKind* kind = m_kinds[static_cast<size_t>(a_rand()) % n];
        int tries = 50;
        while (n > 1 && kind == previous && --tries > 0)
            kind = m_kinds[static_cast<size_t>(a_rand()) % n];
        if (!placePair(kind, *bush, free)) {
            a_log("cFindPairState. No \"%s\" can be made: its pairs go to the other kinds", kind->name.c_str());
            m_kinds.erase(std::find(m_kinds.begin(), m_kinds.end(), kind));
            continue;
        }
        previous = kind;
        ++pair;
    }
    return true;
}

void cFindPairState::refuseBoard(const char* reason)
{
    releaseCells();
    a_log("cFindPairState. The board of \"%s\" is not laid out (%s): back to the map", m_section.c_str(), reason);
    if (cGame* game = cGame::get())
        game->requestState(STATE_MAP);
}

bool cFindPairState::placePair(cAnimalKind* kind, const cSpriteEntry& bush, std::vector<uint32_t>& free)
{
    cAnimal* pair[2] = {miniGameCreateAnimal(kind, 0.85f), nullptr};
    if (pair[0])
        pair[1] = miniGameCreateAnimal(kind, 0.85f);
    if (!pair[1]) {
        if (pair[0])
            pair[0]->release();
        return false;
    }
    for (cAnimal* a : pair) {
        const size_t at = static_cast<size_t>(a_rand()) % free.size();
        const uint32_t i = free[at];
        free.erase(free.begin() + static_cast<std::ptrdiff_t>(at));
        placeAnimal(a, bush, static_cast<uint16_t>(i % m_gridSize), static_cast<uint16_t>(i / m_gridSize));
    }
    return true;
}

void cFindPairState::placeAnimal(cAnimal* a, const cSpriteEntry& bush, uint16_t c, uint16_t r)
{
    const aVector2 p(static_cast<float>(c) * kSpacing + static_cast<float>(m_originX),
                     static_cast<float>(r) * kSpacing + static_cast<float>(m_originY));
    a->setPosition(p);
    a->held = true;
    a->direction = cAnimal::DOWN;
    a->mirrored = false;
    a->chooseNextAction();
    a->actionTime = 0.0f;
    a->actionDuration = 1.0f;
    a->baseSpeed = 0.8f;
    a->tag = CLOSED;

    Cell cell;
    cell.column = c;
    cell.row = r;
    cell.animal = a;
    for (bool front : {false, true}) {
        auto* b = new cEntity(nullptr, bush, true);
        b->setSway(0.0f, 40.0f, 0.0f, 0.0f);
        // Like the animals the field has no perspective. The back bush stands
        // a pixel behind the animal and the front one a pixel before it, so
        // the depth sort always puts the animal between them.
        b->perspective = false;
        b->setPosition(aVector2(p.x, p.y + (front ? 1.0f : -1.0f)));
        b->baseScale = front ? 0.75f + static_cast<float>(a_rand()) * 0.25f / 32767.0f
                             : 0.7f + static_cast<float>(a_rand()) * 0.3f / 32767.0f;
        b->updateScale();
        b->mirrored = front;
        b->colour = kBushDim;
        (front ? cell.front : cell.back) = b;
    }
    m_cells.push_back(cell);
}

aRect cFindPairState::bushRect(size_t cell) const
{
    return cell < m_cells.size() ? m_cells[cell].back->getScreenRect() : aRect();
}

void cFindPairState::sendAway(cAnimal* a)
{
    const float w = static_cast<float>(a->width) * a->scale;
    const float x = a->anchor.x >= 512.0f ? w + 1024.0f : -w;
    const float y = 280.0f + static_cast<float>(a_rand()) * 370.0f / 32767.0f;
    a->held = false;
    a->setState(cAnimalKind::WALK);
    a->moveTo(aVector2(x, y)); // in staircase steps, as the park's animals walk
    a->baseSpeed = 3.5f;
    a->tag = FOUND;
    miniGameEffect("STRIKE", a->centre);
}

void cFindPairState::update(float dt)
{
    updateFrame(dt);
    const float s = modalOpen() && !m_won ? 0.0f : dt;
    if (!m_won && m_timeLeft > 0.0f)
        miniGameUpdateCountdown(&m_timeLeft, s);
    int32_t x = -1, y = -1;
    uint32_t left = 0;
    pointer(x, y, left);
    bool clickable = !miniGameUpdateObjects(m_coins, dt, m_won, m_font, false);
    const bool press = left == A_STATE_PRESSED;

    cGame* game = cGame::get();
    m_drawList.clear();
    m_shadowList.clear();
    int remaining = 0;
    bool idle = true;
    for (Cell& cell : m_cells) {
        cAnimal* a = cell.animal;
        const int32_t m = a->tag;
        if (m != FOUND)
            ++remaining;
        if (cell.back->alpha > 0.0f) {
            m_drawList.push_back(cell.back);
            m_drawList.push_back(cell.front);
        }
        if (m == CLOSED) {
            auto inside = [x, y](cEntity* b) {
                const aRect& r = b->getScreenRect();
                return x >= r.x && y >= r.y && x < r.x + static_cast<int32_t>(r.width) &&
                       y < r.y + static_cast<int32_t>(r.height);
            };
            if (clickable && s > 0.0f && !m_won && (inside(cell.back) || inside(cell.front))) {
                cell.back->colour = cell.front->colour = kBushLit;
                clickable = false;
                if (press) {
                    if (!m_first) {
                        a->tag = OPENING;
                        m_first = &cell;
                    } else if (!m_second) {
                        a->tag = OPENING;
                        m_second = &cell;
                        idle = false;
                    }
                    game->playSound("bush");
                }
            } else {
                cell.back->colour = cell.front->colour = kBushDim;
            }
        } else if (!(m == FOUND && a->path.empty())) {
            a->update(s);
            m_drawList.push_back(a);
            m_shadowList.push_back(a);
            float angle = cell.back->swayAngle;
            if (m == OPENING) {
                idle = false;
                if (angle < kOpenAngle) {
                    angle += s * kTurnSpeed;
                    // NOTE: landing on the open angle exactly opens the cell too (it would never open).
                    if (angle >= kOpenAngle) {
                        angle = kOpenAngle;
                        a->tag = OPEN;
                    }
                    bendBushes(cell, angle);
                }
            } else if (m == CLOSING) {
                idle = false;
                if (angle > 0.0f) {
                    angle -= s * kTurnSpeed;
                    if (angle <= 0.0f) {
                        angle = 0.0f;
                        a->tag = CLOSED;
                    }
                    bendBushes(cell, angle);
                }
            }
        } else if (cell.back->alpha > 0.0f) {
            cell.back->alpha = std::max(0.0f, cell.back->alpha - s);
            cell.front->alpha = cell.back->alpha;
        }
    }
    std::sort(m_drawList.begin(), m_drawList.end(), compareDepth);

    if (idle && m_first && m_second) {
        cAnimal* a = m_first->animal;
        cAnimal* b = m_second->animal;
        m_first = m_second = nullptr;
        if (a->kind == b->kind) {
            if (m_streak)
                miniGameDropCoin(aVector2(static_cast<float>(x), static_cast<float>(y)), m_coins);
            m_streak = true;
            game->playSound("action_success");
            sendAway(a);
            sendAway(b);
            if (remaining == 2) {
                for (Cell& cell : m_cells)
                    if (cell.animal->tag != FOUND)
                        sendAway(cell.animal);
                win();
            }
        } else {
            m_streak = false;
            a->tag = CLOSING;
            b->tag = CLOSING;
            game->playSound("action_failed");
        }
    }
    updateTail();
}

void cFindPairState::collectDrawList()
{
    m_drawList.clear();
    m_shadowList.clear();
    for (Cell& cell : m_cells) {
        if (cell.back->alpha > 0.0f) {
            m_drawList.push_back(cell.back);
            m_drawList.push_back(cell.front);
        }
        if (cell.animal->tag != CLOSED && !(cell.animal->tag == FOUND && cell.animal->path.empty())) {
            m_drawList.push_back(cell.animal);
            m_shadowList.push_back(cell.animal);
        }
    }
    std::sort(m_drawList.begin(), m_drawList.end(), compareDepth);
}

void cFindPairState::draw()
{
    cGame* game = cGame::get();
    if (m_drawList.empty() || aApplication::isApplicationPaused())
        collectDrawList();
    drawBackground();
    cAnimal::drawShadows(m_shadowList);
    m_shadowList.clear();
    for (cDrawElement* e : m_drawList)
        e->draw();
    m_drawList.clear();
    for (cBonus* b : m_coins)
        b->draw();
    aParticlesManager* particles = game->getParticles();
    if (particles)
        particles->renderLayers(0);
    if (m_gui)
        m_gui->Render();
    miniGameDrawTimer(m_font, m_timeLeft);
    if (particles)
        particles->renderLayers(1);
    miniGameUpdateTexts(game->getFrameTime());
}
