#include "game/screens/findpairstate.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/app/spriteregistry.h"
#include "game/park/animal.h"
#include "game/park/bonus.h"
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
constexpr float kOpenAngle = 170.0f;
constexpr float kTurnSpeed = 500.0f;

} // namespace

// A bush over a cell. The two bushes of a cell part as the cell opens: the
// back one slides to the left, the mirrored front one to the right, and
// both grow fainter, showing the animal between them.
class cFindPairState::Bush : public cDrawElement {
public:
    Bush(cSpriteEntry* sprite, const aVector2& p, float scale, bool mirror) : m_sprite(sprite), m_mirror(mirror)
    {
        perspective = false;
        baseScale = scale;
        if (aImage* image = picture())
            setSize(image->getWidth(), image->getHeight());
        // Behind the animal (back bush) or before it (front bush) in the depth order.
        setPosition(aVector2(p.x, p.y + (mirror ? 1.0f : -1.0f)));
    }

    void draw() override
    {
        aImage* image = picture();
        if (!image || opacity <= 0.0f)
            return;
        const float open = std::clamp(angle / kOpenAngle, 0.0f, 1.0f);
        const float w = width * scale;
        const float shift = (m_mirror ? 1.0f : -1.0f) * open * 58.0f;
        // A negative x scale draws leftwards from the position.
        const float pos[2] = {anchor.x - w * 0.5f + shift + (m_mirror ? w : 0.0f), anchor.y - height * scale};
        const float sc[2] = {m_mirror ? -scale : scale, scale};
        const float fade = 1.0f - 0.45f * open;
        const uint32_t alpha = static_cast<uint32_t>(std::clamp(opacity * fade, 0.0f, 1.0f) * 255.0f);
        image->draw(pos, aRect(0, 0, width, height), (color & 0xFFFFFF) | alpha << 24, sc);
    }

    aColor color = 0xFFC8C8C8;
    float opacity = 1.0f;
    float angle = 0.0f;

private:
    aImage* picture() const { return m_sprite ? m_sprite->image.get() : nullptr; }

    cSpriteEntry* m_sprite;
    bool m_mirror;
};

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
    if (readSettings(&cFindPairState::readGrid)) {
        layoutGrid();
        showTip();
    }
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

void cFindPairState::layoutGrid()
{
    const size_t count = static_cast<size_t>(m_gridSize) * m_gridSize;
    if (m_kinds.empty() || count == 0)
        return;
    m_cells.reserve(count);
    cGame* game = cGame::get();
    cSpriteEntry* bush = game->spriteRegistry().findSprite("bush");
    std::vector<uint32_t> free(count);
    for (size_t i = 0; i < count; ++i)
        free[i] = static_cast<uint32_t>(i);
    const size_t n = m_kinds.size();
    cAnimalKind* previous = nullptr;
    for (size_t pair = 0; pair < count / 2; ++pair) {
        cAnimalKind* kind = m_kinds[static_cast<size_t>(a_rand()) % n];
        int tries = 50;
        while (n > 1 && kind == previous && --tries > 0)
            kind = m_kinds[static_cast<size_t>(a_rand()) % n];
        previous = kind;
        for (int twice = 0; twice < 2; ++twice) {
            const size_t at = static_cast<size_t>(a_rand()) % free.size();
            const uint32_t i = free[at];
            free.erase(free.begin() + static_cast<std::ptrdiff_t>(at));
            placeAnimal(kind, bush, static_cast<uint16_t>(i % m_gridSize), static_cast<uint16_t>(i / m_gridSize));
        }
    }
}

void cFindPairState::placeAnimal(cAnimalKind* kind, cSpriteEntry* bush, uint16_t c, uint16_t r)
{
    const aVector2 p(static_cast<float>(c) * kSpacing + static_cast<float>(m_originX),
                     static_cast<float>(r) * kSpacing + static_cast<float>(m_originY));
    cAnimal* a = miniGameCreateAnimal(kind, 0.85f);
    if (!a)
        return;
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
    cell.back = new Bush(bush, p, 0.7f + static_cast<float>(a_rand()) * 0.3f / 32767.0f, false);
    cell.front = new Bush(bush, p, 0.75f + static_cast<float>(a_rand()) * 0.25f / 32767.0f, true);
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
    a->moveTo(aVector2(x, y));
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
    int remaining = 0;
    bool idle = true;
    for (Cell& cell : m_cells) {
        cAnimal* a = cell.animal;
        const int32_t m = a->tag;
        if (m != FOUND)
            ++remaining;
        if (cell.back->opacity > 0.0f) {
            m_drawList.push_back(cell.back);
            m_drawList.push_back(cell.front);
        }
        if (m == CLOSED) {
            auto inside = [x, y](Bush* b) {
                const aRect& r = b->getScreenRect();
                return x >= r.x && y >= r.y && x < r.x + static_cast<int32_t>(r.width) &&
                       y < r.y + static_cast<int32_t>(r.height);
            };
            if (clickable && s > 0.0f && !m_won && (inside(cell.back) || inside(cell.front))) {
                cell.back->color = cell.front->color = 0xFFFFFFFF;
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
                cell.back->color = cell.front->color = 0xFFC8C8C8;
            }
        } else if (!(m == FOUND && a->path.empty())) {
            a->update(s);
            m_drawList.push_back(a);
            if (m == OPENING) {
                idle = false;
                if (cell.back->angle < kOpenAngle) {
                    cell.back->angle += s * kTurnSpeed;
                    if (cell.back->angle >= kOpenAngle) {
                        cell.back->angle = kOpenAngle;
                        a->tag = OPEN;
                    }
                }
                cell.front->angle = cell.back->angle;
            } else if (m == CLOSING) {
                idle = false;
                if (cell.back->angle > 0.0f) {
                    cell.back->angle -= s * kTurnSpeed;
                    if (cell.back->angle <= 0.0f) {
                        cell.back->angle = 0.0f;
                        a->tag = CLOSED;
                    }
                }
                cell.front->angle = cell.back->angle;
            }
        } else if (cell.back->opacity > 0.0f) {
            cell.back->opacity = std::max(0.0f, cell.back->opacity - s);
            cell.front->opacity = cell.back->opacity;
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
    for (Cell& cell : m_cells) {
        if (cell.back->opacity > 0.0f) {
            m_drawList.push_back(cell.back);
            m_drawList.push_back(cell.front);
        }
        if (cell.animal->tag != CLOSED && !(cell.animal->tag == FOUND && cell.animal->path.empty()))
            m_drawList.push_back(cell.animal);
    }
    std::sort(m_drawList.begin(), m_drawList.end(), compareDepth);
}

void cFindPairState::draw()
{
    cGame* game = cGame::get();
    if (m_drawList.empty() || aApplication::isApplicationPaused())
        collectDrawList();
    drawBackground();
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
