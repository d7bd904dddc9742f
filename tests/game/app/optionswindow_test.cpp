// The options window on a screen of the running game: sliders that act at
// once, Cancel that puts the volumes back and saves nothing, Ok that keeps
// them and leaves the display as it is. (The playthrough keeps its choices
// over a second start.)
#include <gtest/gtest.h>

#include "game/app/optionswindow.h"
#include "game/support/harness.h"
#include "game/support/player_steps.h"
#include "game/support/test_screen.h"
#include "gui/checkbox.h"
#include "gui/slider.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/sound/a_musicmanager.h"
#include "orvo/sound/a_soundmanager.h"

using namespace kbtest;

TEST(OptionsWindow, SlidersActAtOnceCancelPutsThemBackOkKeepsThem)
{
    GameHarness h;
    StateCalls calls;
    ScopedStateClass menu(STATE_MENU, [&] { return new TestScreen(STATE_MENU, calls); });
    ASSERT_EQ(h.start(), 0);
    ASSERT_TRUE(h.waitForState(STATE_MENU));
    cOptionsWindow options;
    options.create();
    static_cast<TestScreen*>(cGameState::find(STATE_MENU))->onUpdate = [&](float dt) { options.update(dt); };
    cPlayerProfile* profile = h.makePlayer();
    aSoundManager& sounds = *h.game().getSoundManager();
    aMusicManager& music = *h.game().getMusicManager();
    auto slider = [&](const char* name) { return static_cast<GUI::Slider*>(h.widget(name)); };
    // Started since the window opened (a short sound may have ended already).
    auto played = [&](const char* sound) { return sounds.getSound(sound)->getChannel() != -1; };
    auto openFully = [&] {
        sounds.stopAll();
        options.open();
        h.frames(20);
        ASSERT_EQ(options.getAlpha(), 1.0f);
    };
    const std::string file = h.home().userDir() + "Profiles/profiles.dat";

    profile->setMusicVolume(0.3f);
    profile->setSoundVolume(0.6f);
    openFully();
    EXPECT_TRUE(played("open_dialog"));
    EXPECT_FALSE(played("sample")) << "setting the sliders on opening plays nothing";
    EXPECT_FLOAT_EQ(slider("MusicVolume")->GetValue(), 0.3f);
    EXPECT_FLOAT_EQ(slider("SoundVolume")->GetValue(), 0.6f);
    EXPECT_EQ(static_cast<GUI::Checkbox*>(h.widget("Fullscreen"))->IsChecked(), profile->isFullscreen());
    EXPECT_EQ(h.widget("Widescreen")->IsEnabled(true), h.game().getGraphServer()->isWideModeAvailable());
    h.expectScreen("options_window");

    // Dragging changes what is heard, not the profile; Cancel puts it back and saves nothing.
    slider("MusicVolume")->SetValue(0.9f);
    slider("SoundVolume")->SetValue(0.2f);
    EXPECT_FLOAT_EQ(music.getMusicVolume(music.getCurrentIndex()), 0.9f);
    EXPECT_FLOAT_EQ(sounds.getSound("sample")->getMasterVolume(), 0.2f);
    EXPECT_TRUE(played("sample"));
    EXPECT_FLOAT_EQ(profile->getMusicVolume(), 0.3f);
    const std::string before = readFile(file);
    clickOn(h, "Cancel");
    EXPECT_FLOAT_EQ(music.getMusicVolume(music.getCurrentIndex()), 0.3f);
    EXPECT_FLOAT_EQ(sounds.getSound("sample")->getMasterVolume(), 0.6f);
    h.frames(20);
    EXPECT_FALSE(options.getWindow()->IsVisible());
    EXPECT_EQ(readFile(file), before);

    // Ok keeps the volumes and the effects choice, and saves them; the display stays as it is.
    const bool fullscreen = h.game().getGraphServer()->isFullscreen();
    openFully();
    slider("SoundVolume")->SetValue(0.5f);
    static_cast<GUI::Checkbox*>(h.widget("FXQuality"))->SetChecked(false);
    clickOn(h, "Ok");
    h.frames(20);
    EXPECT_FALSE(options.getWindow()->IsVisible());
    EXPECT_EQ(h.game().getGraphServer()->isFullscreen(), fullscreen);
    cProfiles saved;
    saved.load(file);
    ASSERT_NE(saved.current(), nullptr);
    EXPECT_FLOAT_EQ(saved.current()->getSoundVolume(), 0.5f);
    EXPECT_FALSE(saved.current()->getFxQuality());

    // The window's fade never takes its alpha below 0.
    options.update(5.0f);
    EXPECT_EQ(options.getAlpha(), 0.0f);
}
