// The play state's HUD over the park: the money label, the buy and ability
// buttons, the tool buttons' state, the goals panel and the timers, the
// pips and the cooldown sweep, the money texts.
#include <algorithm>
#include <cstdio>

#include "game/app/activebuttoneffect.h"
#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "game/app/simpletooltip.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/animalkind.h"
#include "game/park/flyawaytext.h"
#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/park/parkupgrades.h"
#include "game/park/playstate.h"
#include "game/park/upgrade.h"
#include "gui/buttonbase.h"
#include "gui/imagebutton.h"
#include "gui/server.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/util/a_format.h"

namespace {

using Binder = GUI::_memberBinder<cPlayState, bool, const GUI::EventArgs&>;

aImage* gameImage(const char* name)
{
    cGame* game = cGame::get();
    aImageManager* images = game ? game->getImageManager() : nullptr;
    return images && images->hasImage(name) ? images->getImage(name) : nullptr;
}

aImage* hudSheet()
{
    return gameImage("hud");
}

void drawHud(int16_t x, int16_t y, const aRect& source, aColor colour = 0xFFFFFFFF)
{
    if (aImage* hud = hudSheet())
        hud->drawRegionAt(x, y, source, colour);
}

// Four equal columns of one picture: normal, pushed, hover, disabled.
void setStateImages(GUI::ImageButton* button, const aImage* image)
{
    const uint16_t w = static_cast<uint16_t>(image->getWidth() / 4);
    const aRect normal(0, 0, w, image->getHeight()), pushed(static_cast<int16_t>(w), 0, w, image->getHeight()),
        hover(static_cast<int16_t>(2 * w), 0, w, image->getHeight()), disabled(static_cast<int16_t>(3 * w), 0, w, image->getHeight());
    button->SetNormalImage(image, &normal);
    button->SetPushedImage(image, &pushed);
    button->SetHoverImage(image, &hover);
    button->SetDisabledImage(image, &disabled);
}

std::wstring printf2(const wchar_t* format, int32_t a, int32_t b)
{
    wchar_t text[32];
    std::swprintf(text, 32, format, a, b);
    return text;
}

} // namespace

std::wstring cPlayState::formatTime(int32_t t)
{
    if (t < 3600)
        return printf2(L"%02d:%02d", t / 60, t % 60);
    wchar_t text[32];
    std::swprintf(text, 32, L"%d:%02d:%02d", t / 3600, (t / 60) % 60, t % 60);
    return text;
}

std::wstring cPlayState::formatMedalLeft(float elapsed, int32_t limit)
{
    const auto left = static_cast<int32_t>(static_cast<float>(limit) - elapsed) + 1;
    return printf2(L"%02d:%02d", left / 60, left % 60);
}

void cPlayState::setMoney(int32_t value)
{
    cGame* game = cGame::get();
    if (!moneyLabel || !game)
        return;
    const auto& children = moneyLabel->GetChildren();
    if (children.size() > 0)
        children[0]->SetVisible(value > 100);
    if (children.size() > 1)
        children[1]->SetVisible(value > 500);
    if (GUI::Widget* text = moneyLabel->FindChild("Value", true))
        text->SetText(game->formatMoney(value));
}

void cPlayState::showMoneyChange(const aVector2& at, int32_t amount)
{
    cGame* game = cGame::get();
    if (!game || !hudFont)
        return;
    const std::wstring text = amount < 1 ? game->formatMoney(amount) : game->formatMoneyGain(amount);
    cFlyAwayText::add(hudFont, text, 1.1f, at, 70.0f, 0.75f);
}

namespace {

// A widget's centre, worked out on the first call and kept.
aVector2 keptCentre(const GUI::Widget* widget, std::optional<aVector2>& kept)
{
    if (!kept && widget) {
        const aRect r = widget->GetAbsoluteRect();
        kept = aVector2(r.x + r.width / 2.0f, r.y + r.height / 2.0f);
    }
    return kept.value_or(aVector2());
}

} // namespace

aVector2 cPlayState::moneyLabelCentre()
{
    return keptCentre(moneyLabel, m_moneyCentre);
}

aVector2 cPlayState::tutorialPointCentre()
{
    return keptCentre(grassButton, m_grassCentre);
}

void cPlayState::addAnimalButton(const std::string& name)
{
    const cAnimalKind* kind = cAnimal::findKindByName(name);
    cGame* game = cGame::get();
    if (!kind || !kind->buttonImage || !hudRoot || !game)
        return;
    auto* button = new GUI::ImageButton(name);
    setStateImages(button, kind->buttonImage.get());
    button->SetArea(static_cast<int16_t>(580 + 86 * animalButtons.size()), -30,
                    static_cast<uint16_t>(kind->buttonImage->getWidth() / 4), kind->buttonImage->getHeight());
    hudRoot->AddChild(button);
    // The buy buttons stand out above the HUD board.
    button->SetClipByParent(false);
    button->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cPlayState::onAnimalButton));
    button->SubscribeEvent(GUI::Widget::EventMouseEnter, new Binder(this, &cPlayState::onAnimalButtonEnter));
    button->SubscribeEvent(GUI::Widget::EventMouseLeave, new Binder(this, &cPlayState::onHudButtonLeave));
    if (aFont* font = gui->GetFont("mistral24"))
        button->SetFont(font);
    button->SetFontSize(0.6f);
    button->SetTextNormalColor(0xFF46332E);
    button->SetTextHoverColor(0xFF46332E);
    button->SetTextPushedColor(0xFF46332E);
    button->SetTextDisabledColor(0xFF46332E);
    // The price sits on the card's plate below the animal, 64 pixels down.
    button->SetTextVertAlign(GUI::VA_TOP);
    button->SetTextOffset(3.0f, 64.0f);
    button->SetText(game->formatMoney(kind->cost));
    animalButtons.push_back(button);
}

void cPlayState::addAbilityButton(int32_t index)
{
    cUpgradeKind* kind = cUpgrade::findKind(index);
    cGame* game = cGame::get();
    std::vector<int32_t> stages;
    for (uint16_t i = 0; i < 5; ++i)
        stages.push_back(parkConfig::builtStage(parkUpgrades::currentPlayer(), i));
    if (!kind || !kind->buttonImage || !hudRoot || !game || !cUpgrade::isOffered(*kind, stages))
        return;
    int32_t above = 0;
    for (const GUI::Widget* b : abilityButtons)
        if (b)
            above += b->GetHeight();
    auto* button = new GUI::ImageButton(std::to_string(index));
    setStateImages(button, kind->buttonImage.get());
    const uint16_t h = kind->buttonImage->getHeight();
    button->SetArea(24, static_cast<int16_t>(-above - h), static_cast<uint16_t>(kind->buttonImage->getWidth() / 4), h);
    hudRoot->AddChild(button);
    // The ability buttons stack upwards from the HUD's top edge.
    button->SetClipByParent(false);
    button->SubscribeEvent(GUI::Widget::EventMouseEnter, new Binder(this, &cPlayState::onHudButtonEnter));
    button->SubscribeEvent(GUI::Widget::EventMouseLeave, new Binder(this, &cPlayState::onHudButtonLeave));
    button->SubscribeEvent(GUI::Widget::EventClick, new Binder(this, &cPlayState::onAbilityButton));
    button->SetTextNormalColor(0xFF000000);
    button->SetTextHoverColor(0xFFFFFFFF);
    button->SetTextPushedColor(0xFFFFFFFF);
    button->SetTextDisabledColor(0xFF000000);
    // The price stands at the foot of the button, over the bottom of its picture,
    // in the plain face of the layouts' buttons.
    if (aFont* font = gui ? gui->GetFont(kAbilityPriceFont) : nullptr)
        button->SetFont(font);
    button->SetFontSize(kAbilityPriceTextSize);
    button->SetTextHorzAlign(GUI::HA_CENTER);
    button->SetTextVertAlign(GUI::VA_BOTTOM);
    button->SetTextOffset(0.0f, kAbilityPriceBottom);
    if (kind->cost > 0)
        button->SetText(game->formatMoney(kind->cost));
    // NOTE: the button keeps the place of its ability; a missing one leaves a gap.
    if (abilityButtons.size() <= static_cast<size_t>(index))
        abilityButtons.resize(index + 1, nullptr);
    abilityButtons[index] = button;
}

bool cPlayState::onAnimalButton(const GUI::EventArgs& args)
{
    if (level)
        level->spawnAnimals(static_cast<const GUI::WidgetEventArgs&>(args).widget->GetName(), false);
    return true;
}

bool cPlayState::onAnimalButtonEnter(const GUI::EventArgs& args)
{
    GUI::Widget* button = static_cast<const GUI::WidgetEventArgs&>(args).widget;
    cGame* game = cGame::get();
    overHud = true;
    foodCursorOff = true;
    foodBlocked = false;
    if (level && game && !cTutorialTooltip::anyActive()) {
        const int32_t n = level->goalRemaining(button->GetName());
        if (n > 0) {
            const aRect r = button->GetAbsoluteRect();
            cSimpleTooltip::show(static_cast<int16_t>(r.x + 17), static_cast<int16_t>(r.y + 20),
                                 string_formatData(game->getText(n == 1 ? "need_to_buy_animal" : "need_to_buy_animals"), {n}));
        }
    }
    button->SetMouseCursor("default");
    return true;
}

bool cPlayState::onAbilityButton(const GUI::EventArgs& args)
{
    // NOTE: the ability is the one whose type the button was made for, not a
    // position among the buttons that happen to exist.
    GUI::Widget* button = static_cast<const GUI::WidgetEventArgs&>(args).widget;
    const auto it = std::find(abilityButtons.begin(), abilityButtons.end(), button);
    if (it == abilityButtons.end() || !level)
        return true;
    if (cUpgradeKind* kind = cUpgrade::findKind(static_cast<int32_t>(it - abilityButtons.begin())))
        cUpgrade::apply(*kind, *level, moneyLabelCentre());
    return true;
}

void cPlayState::updateHudButtons()
{
    if (sellButton) {
        const bool canSell = helicopter && helicopter->inactive && !level->saleQueue.empty();
        sellButton->SetEnabled(canSell);
        if (canSell && !sellHighlight) {
            const aRect r = sellButton->GetAbsoluteRect();
            sellHighlight = std::make_unique<cActiveButtonEffect>();
            sellHighlight->initCircle(r.x + r.width / 2.0f, r.y + r.height / 2.0f, r.width / 3.0f, 90.0f);
        } else if (!canSell) {
            sellHighlight.reset();
        }
    }
    if (healButton) {
        if (auto* b = dynamic_cast<GUI::ButtonBase*>(healButton))
            b->SetPushed(cursorMode == MODE_HEAL);
        healButton->SetEnabled(healWait == 0.0f && level->animalsSickPossibility > 0);
    }
    if (auto* b = dynamic_cast<GUI::ButtonBase*>(hitButton))
        b->SetPushed(cursorMode == MODE_HIT);
}

void cPlayState::drawAnimalButtons()
{
    cGame* game = cGame::get();
    if (!game || !level)
        return;
    aImage* mark = gameImage("count_mark");
    for (GUI::Widget* button : animalButtons) {
        const cAnimalKind* kind = cAnimal::findKindByName(button->GetName());
        if (!kind)
            continue;
        const aRect& area = level->area(kind->foodType);
        if ((kind->liveInWater == 1 && !level->water) || kind->foodType < 0 || kind->foodType > 1 || !area.width ||
            !area.height) {
            button->SetEnabled(false);
            button->SetText(L"");
            continue;
        }
        const int32_t price = level->animalPrice(kind->name);
        button->SetEnabled(level->money >= price);
        const aRect r = button->GetAbsoluteRect();
        const float f = level->buyCooldownFraction(kind->name);
        if (f < 1.0f) {
            drawCooldown(r.x + r.width / 2.0f, r.y + r.height / 2.0f, 1.0f - f);
            button->SetEnabled(false);
        }
        button->SetText(game->formatMoney(price));
        const int32_t n = level->goalRemaining(kind->name);
        if (n > 0) {
            if (mark)
                mark->drawAt(r.x, static_cast<int16_t>(r.y + 10), button->IsEnabled() ? 0xFFFFFFFF : 0xFF808080);
            if (hudFont) {
                hudFont->setSize(0.75f);
                hudFont->color = 0xFF751D01;
                hudFont->drawText(r.x + 17.0f, r.y + 34.0f, std::to_wstring(n));
            }
        }
    }
}

void cPlayState::drawCooldown(float cx, float cy, float fraction)
{
    cGame* game = cGame::get();
    aGraphServer* graph = game ? game->getGraphServer() : nullptr;
    const auto x = static_cast<int16_t>(cx - 18.0f), y = static_cast<int16_t>(cy - 18.0f);
    drawHud(x, y, aRect(473, 162, 36, 36));
    aImage* sweep = gameImage("cooldown");
    aGpuDevice* device = graph ? graph->getDevice() : nullptr;
    if (sweep && device) {
        device->setRenderState(aGpuRenderState::SrcBlend, static_cast<uint32_t>(aGpuBlend::One));
        device->setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(aGpuBlend::Zero));
        device->setRenderState(aGpuRenderState::AlphaTestEnable, 1);
        device->setRenderState(aGpuRenderState::AlphaFunc, static_cast<uint32_t>(aGpuCompare::Greater));
        device->setRenderState(aGpuRenderState::AlphaRef, static_cast<uint32_t>(fraction * 255.0f));
        sweep->drawAt(static_cast<int16_t>(x + (36 - sweep->getWidth()) / 2), static_cast<int16_t>(y + (36 - sweep->getHeight()) / 2));
        device->setRenderState(aGpuRenderState::SrcBlend, static_cast<uint32_t>(aGpuBlend::SrcAlpha));
        device->setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(aGpuBlend::InvSrcAlpha));
        device->setRenderState(aGpuRenderState::AlphaRef, 0);
    }
    drawHud(x, y, aRect(437, 162, 36, 36));
}

void cPlayState::drawFoodUpgradePips()
{
    const int32_t n = parkConfig::builtStage(parkUpgrades::currentPlayer(), 2);
    const struct {
        GUI::Widget* button;
        uint16_t stage;
        bool on;
    } foods[] = {{grassButton, grassStage, grassUpgradeOn}, {meatButton, meatStage, meatUpgradeOn}};
    for (const auto& food : foods) {
        if (n <= 0 || !food.on || !food.button)
            continue;
        const aRect r = food.button->GetAbsoluteRect();
        for (int32_t i = 0; i < n; ++i)
            drawHud(static_cast<int16_t>(r.x + 28 + (58 - 15 * n) / 2 + 15 * i), static_cast<int16_t>(r.y + 79),
                    i < food.stage ? aRect(424, 162, 13, 13) : aRect(411, 162, 13, 13));
    }
    if (!sellButton)
        return;
    const int32_t c = parkUpgrades::helicopterCapacity();
    const int32_t aboard = helicopter ? static_cast<int32_t>(helicopter->aboard.size()) : 0;
    const aRect r = sellButton->GetAbsoluteRect();
    for (int32_t i = 0; i < c; ++i)
        drawHud(static_cast<int16_t>(r.x + 52 + (3 - c) * 16 / 2 + 16 * i), static_cast<int16_t>(r.y + 77),
                i < aboard ? aRect(424, 175, 13, 14) : aRect(411, 175, 13, 14));
}

void cPlayState::updateHud()
{
    cGame* game = cGame::get();
    if (!game || !level || !hudFont)
        return;
    hudFont->setSize(0.75f);
    hudFont->color = 0xFF6B1900;
    // Animal goals first in the level's order, the money goal last.
    std::vector<size_t> order;
    for (size_t i = 0; i < level->goals.size(); ++i)
        if (level->goals[i].type != cGoal::MONEY)
            order.push_back(i);
    for (size_t i = 0; i < level->goals.size(); ++i)
        if (level->goals[i].type == cGoal::MONEY)
            order.push_back(i);
    const auto g = static_cast<int32_t>(order.size());
    const int32_t total = 10 + 90 * g + 10;
    int32_t x = 512 + 45 - total / 2;
    constexpr int16_t y = 0;
    if (g > 0) {
        drawHud(static_cast<int16_t>(x), y, aRect(657, 162, 10, 32));
        x += 10;
    }
    for (size_t i : order) {
        const cGoal& goal = level->goals[i];
        drawHud(static_cast<int16_t>(x), y, aRect(667, 162, 90, 32));
        const float cx = x + 45.0f, cy = y + 16.0f;
        if (goal.done) {
            hudFont->setSize(0.67f);
            hudFont->drawText(cx, cy, game->getText("done"), A_FONT_CENTER_X | A_FONT_CENTER_Y);
            hudFont->setSize(0.75f);
            if (i < cLevel::kMaxGoals && !(goalsDoneMask & (1u << i))) {
                goalsDoneMask = static_cast<uint16_t>(goalsDoneMask | (1u << i));
                if (game->getParticles())
                    game->getParticles()->Add("GOAL_DONE", cx, cy, 0, true, true);
            }
        } else if (goal.type == cGoal::MONEY) {
            hudFont->drawText(cx, cy, game->formatMoney(goal.progress) + L"/" + game->formatMoney(goal.target),
                              A_FONT_CENTER_X | A_FONT_CENTER_Y);
        } else {
            const cAnimalKind* kind = cAnimal::findKindByName(goal.kindName);
            if (kind && kind->icon)
                kind->icon->drawAt(static_cast<int16_t>(x + 2), 5);
            hudFont->drawText(cx + 16.0f, cy, printf2(L"%d / %d", goal.progress, goal.target),
                              A_FONT_CENTER_X | A_FONT_CENTER_Y);
        }
        x += 90;
    }
    if (g > 0)
        drawHud(static_cast<int16_t>(x), y, aRect(757, 162, 10, 32));
    updateTimerText();
}

void cPlayState::updateTimerText()
{
    cGame* game = cGame::get();
    if (!game || !level || !hudFont)
        return;
    constexpr int16_t tx = kTimerBoxX, ty = kTimerBoxY;
    drawHud(tx, ty, aRect(768, 162, 90, 32));
    hudFont->color = 0xFF722206;
    hudFont->setSize(0.75f);
    hudFont->drawText(tx + 54.0f, ty + 16.0f, formatTime(static_cast<int32_t>(elapsed)), A_FONT_CENTER_X | A_FONT_CENTER_Y);
    const cLevelRewards& r = level->rewards;
    int32_t limit = -1;
    aRect box;
    if (elapsed <= static_cast<float>(r.goldTime)) {
        limit = r.goldTime;
        box = aRect(884, 98, 90, 32);
    } else if (elapsed <= static_cast<float>(r.silverTime)) {
        limit = r.silverTime;
        box = aRect(884, 130, 90, 32);
    }
    if (limit < 0)
        return;
    drawHud(kMedalBoxX, ty, box);
    hudFont->drawText(kMedalBoxX + 54.0f, ty + 16.0f, formatMedalLeft(elapsed, limit), A_FONT_CENTER_X | A_FONT_CENTER_Y);
}
