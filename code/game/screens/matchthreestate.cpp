#include "game/screens/matchthreestate.h"

#include <algorithm>
#include <cmath>

#include "game/app/game.h"
#include "game/park/animal.h"
#include "gui/server.h"
#include "gui/staticanim.h"
#include "orvo/app/a_application.h"
#include "orvo/gfx/a_anim.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/a_keycodes.h"
#include "orvo/util/a_math.h"
#include "orvo/util/a_random.h"

namespace {

constexpr float kSpacing = 105.0f;
constexpr float kPieceScale = 0.85f;
constexpr float kArrowAngle[4] = {0.0f, 270.0f, 180.0f, 90.0f};

void sortByDepth(std::vector<cAnimal*>& list)
{
    std::sort(list.begin(), list.end(), [](const cAnimal* a, const cAnimal* b) { return compareDepth(a, b); });
}

} // namespace

cMatchThreeState::cMatchThreeState()
    : cMiniGameState(STATE_MATCH_THREE,
                     {"mini-games:MatchThree.ini", "tip.match_three", 0x40, "match_three_win", true})
{
}

cMatchThreeState::~cMatchThreeState()
{
    release();
}

aVector2 cMatchThreeState::home(int c, int r)
{
    return aVector2(static_cast<float>(c) * kSpacing + 255.0f, static_cast<float>(r) * kSpacing + 145.0f);
}

void cMatchThreeState::init()
{
    if (isInitiated())
        return;
    m_board.clear();
    m_pieces.fill(nullptr);
    m_hintTime = 0.0f;
    m_removeDelay = 0.0f;
    m_won = false;
    m_swapDir = kNoDir;
    m_selColumn = m_selRow = -1;
    m_dragging = false;
    m_checkMoves = false;
    m_still = false;
    m_hintA = m_hintB = nullptr;
    m_timeLeft = 0.0f;
    m_reward = 0;

    initFrame();
    cGame* game = cGame::get();
    // The GUI tree owns the arrow; without a root there is none to show.
    m_arrow = nullptr;
    if (GUI::Widget* root = m_gui ? m_gui->GetRoot() : nullptr) {
        m_arrow = new GUI::StaticAnim("SwapDirArrow");
        if (aImage* picture = game->findImage("dir_arrow")) {
            aAnim anim;
            const uint32_t frames = std::max<uint32_t>(1, picture->getWidth() / 32u);
            anim.addGridFrames(0, picture, frames, frames, 1);
            anim.setFrameTime(0.5f / static_cast<float>(frames));
            anim.setPlayFlags(aAnim::PLAY_LOOP);
            m_arrow->SetAnim(anim);
        }
        m_arrow->SetVisible(false);
        m_arrow->SetColor(0xFFFFFFFF);
        m_arrow->Initialize();
        root->AddChild(m_arrow);
    }

    if (readSettings()) {
        fillAll();
        showTip();
    }
    setInitiated(true);
}

void cMatchThreeState::release()
{
    if (!isInitiated())
        return;
    for (cAnimal*& a : m_pieces)
        if (a) {
            a->release();
            a = nullptr;
        }
    for (cAnimal* a : m_leaving)
        a->release();
    m_leaving.clear();
    m_drawList.clear();
    m_board.clear();
    m_hintA = m_hintB = nullptr;
    m_arrow = nullptr;
    releaseFrame();
    setInitiated(false);
}

void cMatchThreeState::walkHome(cAnimal* a, int c, int r)
{
    a->setState(cAnimalKind::WALK);
    a->moveTo(home(c, r));
    a->held = false;
}

bool cMatchThreeState::fillColumn(int c)
{
    const int r = m_board.topEmptyRow(c);
    const int n = static_cast<int>(m_kinds.size());
    if (r < 0 || n == 0)
        return false;
    int k = m_board.fillKind(c, r, a_rand() % n, n, -1);
    if (k < 0)
        k = a_rand() % n;
    cAnimal* a = miniGameCreateAnimal(m_kinds[static_cast<size_t>(k)], kPieceScale);
    if (!a)
        return false; // logged by create; the column stays open rather than looping
    const float w = static_cast<float>(a->width) * a->scale;
    const float y = static_cast<float>(r) * kSpacing + static_cast<float>(a_rand() % 100) + 95.0f;
    a->setPosition(aVector2(c < 3 ? -w : w + 1024.0f, y));
    walkHome(a, c, r);
    a->actionTime = 0.0f;
    a->actionDuration = 3.0f;
    m_board.set(c, r, k);
    m_pieces[static_cast<size_t>(cMatchBoard::index(c, r))] = a;
    m_checkMoves = true;
    return true;
}

void cMatchThreeState::fillAll()
{
    for (int c = 0; c < cMatchBoard::kSize; ++c)
        while (fillColumn(c)) {
        }
}

bool cMatchThreeState::findMatches()
{
    const std::vector<int> found = m_board.findMatches();
    if (found.empty())
        return false;
    int fresh = 0;
    for (int i : found) {
        cAnimal* a = m_pieces[static_cast<size_t>(i)];
        if (a && a->tag != 1) {
            a->tag = 1;
            ++fresh;
        }
    }
    for (int i = 3; i < fresh; ++i)
        if (cAnimal* a = m_pieces[static_cast<size_t>(found[static_cast<size_t>(a_rand()) % found.size()])])
            miniGameDropCoin(a->anchor, m_coins);
    cGame::get()->playSound("action_success");
    m_removeDelay = 0.2f;
    return true;
}

void cMatchThreeState::removePiece(cAnimal* a, bool clearing)
{
    const int32_t goal = clearing ? -1 : goalIndexOf(a->kind);
    aVector2 target;
    if (goal >= 0) {
        target = aVector2(miniGameGoalX(static_cast<uint32_t>(goal), static_cast<uint32_t>(m_goals.size())),
                          static_cast<float>(kMiniGoalY));
    } else {
        const float w = static_cast<float>(a->width) * a->scale;
        target = aVector2(a->anchor.x >= 512.0f ? w + 1024.0f : -w, static_cast<float>(a_rand() % 370 + 280));
    }
    a->setState(cAnimalKind::WALK);
    a->moveTo(target);
    a->held = false;
    a->baseSpeed = 3.5f;
    if (clearing)
        a->tag = 2;
    m_leaving.push_back(a);
    miniGameEffect("STRIKE", a->centre);
}

void cMatchThreeState::swapCells(int c, int r, int d)
{
    if (!m_board.swap(c, r, d))
        return;
    const int c2 = c + cMatchBoard::kColumnStep[d];
    const int r2 = r + cMatchBoard::kRowStep[d];
    auto& a = m_pieces[static_cast<size_t>(cMatchBoard::index(c, r))];
    auto& b = m_pieces[static_cast<size_t>(cMatchBoard::index(c2, r2))];
    std::swap(a, b);
    if (a)
        walkHome(a, c, r);
    if (b)
        walkHome(b, c2, r2);
}

void cMatchThreeState::collapseAndRefill()
{
    for (const auto& [from, to] : m_board.collapse()) {
        cAnimal* a = m_pieces[static_cast<size_t>(from)];
        m_pieces[static_cast<size_t>(from)] = nullptr;
        m_pieces[static_cast<size_t>(to)] = a;
        if (a)
            walkHome(a, to / cMatchBoard::kSize, to % cMatchBoard::kSize);
    }
    fillAll();
}

bool cMatchThreeState::hasAnyMove()
{
    m_hintA = m_hintB = nullptr;
    int c = 0, r = 0, d = 0;
    if (m_board.findMove(c, r, d)) {
        m_hintA = piece(c + cMatchBoard::kColumnStep[d], r + cMatchBoard::kRowStep[d]);
        m_hintB = piece(c, r);
        return true;
    }
    reshuffle();
    return false;
}

void cMatchThreeState::reshuffle()
{
    for (int i = 0; i < cMatchBoard::kCells; ++i) {
        cAnimal*& a = m_pieces[static_cast<size_t>(i)];
        if (!a)
            continue;
        removePiece(a, true);
        a = nullptr;
        m_board.set(i / cMatchBoard::kSize, i % cMatchBoard::kSize, cMatchBoard::kEmpty);
    }
    fillAll();
}

bool cMatchThreeState::countGoal(const cAnimalKind* kind)
{
    cMiniGoal* goal = goalOf(kind);
    if (!goal)
        return false;
    if (goal->collected < goal->needed)
        ++goal->collected;
    return true;
}

bool cMatchThreeState::checkWin()
{
    if (!goalsFull())
        return false;
    win();
    return true;
}

void cMatchThreeState::hideArrow()
{
    if (m_arrow)
        m_arrow->SetVisible(false);
}

void cMatchThreeState::handleInput()
{
    int32_t x = 0, y = 0;
    uint32_t left = 0;
    if (!pointer(x, y, left))
        return;
    int hc = -1, hr = -1;
    for (int c = 0; c < cMatchBoard::kSize; ++c)
        for (int r = 0; r < cMatchBoard::kSize; ++r) {
            cAnimal* a = piece(c, r);
            if (a && a->getScreenRect().contains(x, y)) {
                hc = c;
                hr = r;
                break;
            }
        }
    if (!m_dragging) {
        if (hc >= 0) {
            cAnimal* a = piece(hc, hr);
            a->hovered = true;
            a->highlight = 0xFFFFFF00;
            if (left == A_STATE_PRESSED) {
                m_hintTime = 0.0f;
                m_dragging = true;
                m_selColumn = hc;
                m_selRow = hr;
            }
        }
        hideArrow();
        return;
    }
    cAnimal* selected = piece(m_selColumn, m_selRow);
    if (!selected) {
        m_dragging = false;
        return;
    }
    selected->hovered = true;
    selected->highlight = 0xFF0000FF;
    int d = kNoDir;
    if (hc == m_selColumn && hr == m_selRow) {
        hideArrow();
    } else {
        const float dx = static_cast<float>(x) - selected->anchor.x;
        const float dy = static_cast<float>(y) - selected->anchor.y;
        if (std::fabs(dx) <= std::fabs(dy))
            d = static_cast<float>(y) <= selected->anchor.y ? 0 : 2;
        else
            d = static_cast<float>(x) <= selected->anchor.x ? 3 : 1;
        if (m_arrow) {
            m_arrow->SetArea(static_cast<int16_t>(m_selColumn * 105 + 229 + (cMatchBoard::kColumnStep[d] * 105) / 2),
                             static_cast<int16_t>(m_selRow * 105 + 93 + (cMatchBoard::kRowStep[d] * 105) / 2), 32, 50);
            m_arrow->SetRotAngle(kArrowAngle[d]);
            m_arrow->SetVisible(true);
        }
    }
    if (left == A_STATE_RELEASED) {
        if (d < kNoDir) {
            m_swapDir = d;
            swapCells(m_selColumn, m_selRow, d);
        }
        m_dragging = false;
        hideArrow();
    }
}

void cMatchThreeState::update(float dt)
{
    updateFrame(dt);
    m_drawList.clear();
    if (modalOpen() && !m_won) {
        for (cAnimal* a : m_pieces)
            if (a) {
                a->update(0.0f);
                m_drawList.push_back(a);
            }
        for (cAnimal* a : m_leaving) {
            a->update(0.0f);
            m_drawList.push_back(a);
        }
        sortByDepth(m_drawList);
        return;
    }
    if (!m_won) {
        runClock(dt);
        if (m_removeDelay > 0.0f)
            m_removeDelay -= dt;
    }

    bool still = true;
    bool removed = false;
    for (int c = cMatchBoard::kSize - 1; c >= 0; --c) {
        for (int r = 0; r < cMatchBoard::kSize; ++r) {
            cAnimal*& a = m_pieces[static_cast<size_t>(cMatchBoard::index(c, r))];
            if (!a)
                continue;
            a->update(dt);
            a->hovered = false;
            a->highlight = 0xFFFFFF00;
            if (!a->path.empty()) {
                a->baseSpeed = 5.0f;
                still = false;
            } else if (a->tag != 1) {
                if (!a->held) {
                    a->freeRunning = false;
                    a->held = true;
                    a->direction = cAnimal::DOWN_RIGHT;
                    a->mirrored = false;
                    a->chooseNextAction();
                }
                a->baseSpeed = 0.8f;
            } else {
                still = false;
                if (m_removeDelay > 0.0f) {
                    a->hovered = true;
                    a->highlight = 0xFF00FF00;
                } else {
                    if (a == m_hintA || a == m_hintB)
                        m_hintA = m_hintB = nullptr;
                    removePiece(a, false);
                    a = nullptr;
                    m_board.set(c, r, cMatchBoard::kEmpty);
                    removed = true;
                    continue;
                }
            }
            m_drawList.push_back(a);
        }
    }

    bool winCheck = false;
    for (size_t i = 0; i < m_leaving.size();) {
        cAnimal* a = m_leaving[i];
        a->update(dt);
        if (a->path.empty()) {
            if (a->tag == 1 && countGoal(a->kind)) {
                miniGameEffect("GOAL_DONE", a->centre);
                cGame::get()->playSound("goal_done"); // the goal sound of the shared list
                winCheck = !m_won;
            }
            m_leaving.erase(m_leaving.begin() + static_cast<std::ptrdiff_t>(i));
            a->release();
            continue;
        }
        const aVector2 end = a->path.back();
        const float q = ((a->anchor.y - end.y) * (a->anchor.y - end.y) + (a->anchor.x - end.x) * (a->anchor.x - end.x)) /
                        6400.0f;
        if (q > 0.0f && q <= 1.0f) {
            a->baseScale = a->kind->adultBaseScale * kPieceScale * q;
            a->updateScale();
        }
        m_drawList.push_back(a);
        ++i;
    }
    m_still = still;
    if (winCheck && checkWin()) {
        sortByDepth(m_drawList);
        return;
    }

    if (still && !m_won && m_timeLeft != 0.0f) {
        if (!findMatches()) {
            if (m_swapDir < kNoDir) {
                swapCells(m_selColumn, m_selRow, m_swapDir);
                cGame::get()->playSound("action_failed");
            }
        }
        m_swapDir = kNoDir;
        if (m_checkMoves) {
            hasAnyMove();
            m_checkMoves = false;
        }
        if (!m_dragging && m_hintA && m_hintB) {
            m_hintTime += dt;
            if (m_hintTime > 5.0f) {
                const float s = std::fabs(aMath::sin(4.0f * m_hintTime));
                const aColor color = static_cast<aColor>(aMath::round(s * 255.0f)) << 24 | 0xFF00;
                for (cAnimal* a : {m_hintA, m_hintB}) {
                    a->hovered = s > 0.0f;
                    a->highlight = color;
                }
            }
        }
        handleInput();
    }
    if (!still) {
        hideArrow();
        if (removed)
            collapseAndRefill();
    }
    sortByDepth(m_drawList);
    updateTail();
}

void cMatchThreeState::collectDrawList()
{
    m_drawList.clear();
    for (cAnimal* a : m_pieces)
        if (a)
            m_drawList.push_back(a);
    m_drawList.insert(m_drawList.end(), m_leaving.begin(), m_leaving.end());
    sortByDepth(m_drawList);
}

void cMatchThreeState::draw()
{
    cGame* game = cGame::get();
    if (m_drawList.empty() || aApplication::isApplicationPaused())
        collectDrawList();
    drawBackground();
    cAnimal::drawShadows(m_drawList);
    for (cAnimal* a : m_drawList)
        a->draw();
    m_drawList.clear();
    const float frame = game->getFrameTime();
    miniGameUpdateObjects(m_coins, getModalCount() <= 0 ? frame : 0.0f, m_won, m_font, true);
    if (aParticlesManager* particles = game->getParticles())
        particles->renderLayers(0);
    if (m_gui)
        m_gui->Render();
    miniGameDrawTimer(m_font, m_timeLeft);
    drawGoals();
    if (aParticlesManager* particles = game->getParticles())
        particles->renderLayers(1);
    miniGameUpdateTexts(frame);
}
