#include "game/screens/awardprogress.h"

#include "game/app/game.h"
#include "game/app/playerprofile.h"

namespace {

const char* const kSoldKinds[] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"};

cPlayerProfile* profile()
{
    cGame* game = cGame::get();
    return game ? game->getCurrentProfile() : nullptr;
}

} // namespace

int32_t award_forSoldKind(const std::string& kindName)
{
    for (int32_t i = 0; i < 6; ++i)
        if (kindName == kSoldKinds[i])
            return AWARD_WARTHOGS_SOLD + i;
    return -1;
}

void award_animalSold(const std::string& kindName)
{
    const int32_t index = award_forSoldKind(kindName);
    if (cPlayerProfile* p = profile(); p && index >= 0)
        p->addAwardProgress(static_cast<uint16_t>(index), 1);
}

void award_moneyEarned(int32_t amount)
{
    cPlayerProfile* p = profile();
    if (!p)
        return;
    for (uint16_t i : {AWARD_MONEY_1, AWARD_MONEY_2, AWARD_MONEY_3})
        p->setAwardProgress(i, int32_t(uint32_t(p->getAwardProgress(i)) + uint32_t(amount)), true);
}

void award_animalHealed()
{
    if (cPlayerProfile* p = profile())
        p->addAwardProgress(AWARD_ANIMALS_HEALED, 1);
}

void award_poacherDrivenOff()
{
    if (cPlayerProfile* p = profile())
        p->addAwardProgress(AWARD_POACHERS_DRIVEN_OFF, 1);
}

void award_levelStatuses(int32_t completedLevels, int32_t goldMedals)
{
    cPlayerProfile* p = profile();
    if (!p)
        return;
    p->setAwardProgress(AWARD_LEVELS_COMPLETED, completedLevels, true);
    p->setAwardProgress(AWARD_GOLD_MEDALS, goldMedals, true);
}
