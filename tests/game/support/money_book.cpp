#include "game/support/money_book.h"

#include <algorithm>
#include <cmath>

#include "game/park/animal.h"
#include "game/park/bonus.h"
#include "game/park/food.h"
#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/park/playstate.h"
#include "game/park/poacher.h"

namespace kbtest {

namespace {

bool leavesFrom(const cBonus* coin, const aVector2& anchor)
{
    const auto& samples = coin->arc.getSamples();
    return !samples.empty() && samples.front().x == std::trunc(anchor.x) && samples.front().y == std::trunc(anchor.y);
}

int32_t foodMode(int32_t cursorMode)
{
    return cursorMode == cPlayState::MODE_GRASS ? 0 : cursorMode == cPlayState::MODE_MEAT ? 1 : -1;
}

} // namespace

std::string MoneyBook::sourceOf(const cPlayState& state, const cBonus* coin) const
{
    const cLevel* level = state.getLevel();
    for (const cPoacher* p : level->poachers)
        if (p->health <= 0.0f && leavesFrom(coin, p->anchor))
            return {};
    for (const cAnimal* a : level->animals)
        if (leavesFrom(coin, a->anchor))
            return a->kind->name;
    return "?";
}

void MoneyBook::before(const cPlayState& state)
{
    const cLevel* level = state.getLevel();
    if (!level)
        return;
    m_money = level->money;
    m_saleUnderWay = state.getHelicopter() && state.getHelicopter()->underWay();
    m_portions = state.getPortions();
    m_hunger.clear();
    for (const cAnimal* a : level->animals)
        if (a->state == cAnimalKind::EAT && a->foodTarget)
            m_hunger[a] = a->hunger;
}

void MoneyBook::after(const cPlayState& state)
{
    const cLevel* level = state.getLevel();
    if (!level)
        return;
    // Coins: each counted once, when it is picked up.
    int32_t picked = 0;
    std::map<const cBonus*, Coin> seen;
    for (const cBonus* c : level->bonuses) {
        auto it = m_coins.find(c);
        // A pooled coin thrown again is a new coin (a picked-up one gets its stay time back too).
        const bool fresh =
            it == m_coins.end() || (!c->collected && (it->second.collected || c->stayLeft > it->second.stayLeft));
        Coin coin = fresh ? Coin{sourceOf(state, c), false, 0.0f} : it->second;
        if (c->collected && !coin.collected) {
            picked += c->value;
            if (coin.source.empty())
                poacherCoins += c->value;
            else {
                animalCoins += c->value;
                kinds[coin.source].coins += c->value;
            }
        }
        coin.collected = c->collected;
        coin.stayLeft = c->stayLeft;
        seen[c] = coin;
    }
    m_coins.swap(seen);
    // What the eating animals took, at what their food cost.
    for (const cAnimal* a : level->animals) {
        const auto it = m_hunger.find(a);
        if (it == m_hunger.end() || !a->foodTarget)
            continue;
        const cFood* kind = cFood::findKind(a->foodTarget->type, a->foodTarget->level);
        if (kind && kind->count > 0.0f)
            kinds[a->kind->name].foodEaten += std::max(0.0f, it->second - a->hunger) * kind->cost / kind->count;
    }
    // The rest of the change: a sale credited, a portion bought or handed back.
    const int32_t rest = level->money - m_money - picked;
    const bool sold = m_saleUnderWay && !(state.getHelicopter() && state.getHelicopter()->underWay());
    const int32_t food = foodMode(state.getCursorMode());
    int32_t bought = 0;
    if (state.getPortions() > m_portions && food >= 0) {
        // A sale in the same frame hides the price: the last one paid stands for it.
        if (!sold)
            m_portionCost[food] = -rest;
        bought = m_portionCost[food];
        foodBill += bought;
    } else if (state.getPortions() < m_portions && rest > 0 && !sold) {
        foodBill -= rest; // handed back when the tool was left
    }
    if (sold)
        sales += rest + bought;
}

} // namespace kbtest
