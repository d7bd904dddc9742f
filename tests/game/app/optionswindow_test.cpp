// The options window on a screen of the running game: sliders that act at
// once, Cancel that puts the volumes back, Ok that keeps and saves them.
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

namespace {

class OptionsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(h.start(), 0);
        ASSERT_TRUE(h.waitForState(STATE_MENU));
        options.create();
        static_cast<TestScreen*>(cGameState::find(STATE_MENU))->onUpdate = [this](float dt) { options.update(dt); };
        profile = h.makePlayer();
        ASSERT_NE(profile, nullptr);
    }

    GUI::Slider* slider(const char* name) { return static_cast<GUI::Slider*>(h.widget(name)); }
    GUI::Checkbox* check(const char* name) { return static_cast<GUI::Checkbox*>(h.widget(name)); }
    // Started since the last stopAll (a short sound may have ended already).
    bool played(const char* sound) { return h.game().getSoundManager()->getSound(sound)->getChannel() != -1; }
    float musicVolume()
    {
        aMusicManager* music = h.game().getMusicManager();
        return music->getMusicVolume(music->getCurrentIndex());
    }
    float soundVolume() { return h.game().getSoundManager()->getSound("sample")->getMasterVolume(); }
    void openFully()
    {
        h.game().getSoundManager()->stopAll();
        options.open();
        h.frames(20);
        ASSERT_EQ(options.getAlpha(), 1.0f);
    }
    std::string savedFile() const { return readFile(h.home().userDir() + "Profiles/profiles.dat"); }

    GameHarness h;
    StateCalls calls;
    ScopedStateClass menu{STATE_MENU, [this] { return new TestScreen(STATE_MENU, calls); }};
    cOptionsWindow options;
    cPlayerProfile* profile = nullptr;
};

} // namespace

TEST_F(OptionsWindowTest, SlidersActAtOnceCancelPutsThemBackOkKeepsThem)
{
    ASSERT_NE(options.getWindow(), nullptr);
    EXPECT_FALSE(options.getWindow()->IsVisible());
    profile->setMusicVolume(0.3f);
    profile->setSoundVolume(0.6f);
    openFully();
    EXPECT_TRUE(played("open_dialog"));
    EXPECT_FALSE(played("sample")) << "setting the sliders on opening plays nothing";
    EXPECT_FLOAT_EQ(slider("MusicVolume")->GetValue(), 0.3f);
    EXPECT_FLOAT_EQ(slider("SoundVolume")->GetValue(), 0.6f);
    EXPECT_EQ(check("Fullscreen")->IsChecked(), profile->isFullscreen());
    EXPECT_TRUE(check("FXQuality")->IsChecked());
    EXPECT_EQ(check("Widescreen")->IsEnabled(true), h.game().getGraphServer()->isWideModeAvailable());
    h.expectScreen("options_window");

    // Dragging changes what is heard, not the profile.
    slider("MusicVolume")->SetValue(0.9f);
    slider("SoundVolume")->SetValue(0.2f);
    EXPECT_FLOAT_EQ(musicVolume(), 0.9f);
    EXPECT_FLOAT_EQ(soundVolume(), 0.2f);
    EXPECT_TRUE(played("sample"));
    EXPECT_FLOAT_EQ(profile->getMusicVolume(), 0.3f);
    const std::string before = savedFile();
    clickOn(h, "Cancel");
    EXPECT_FLOAT_EQ(musicVolume(), 0.3f);
    EXPECT_FLOAT_EQ(soundVolume(), 0.6f);
    h.frames(20);
    EXPECT_FALSE(options.getWindow()->IsVisible());
    EXPECT_EQ(options.getAlpha(), 0.0f);
    EXPECT_EQ(savedFile(), before) << "Cancel saves nothing";

    // Ok keeps the volumes and the effects choice, and saves them; the display stays as it is.
    const bool fullscreen = h.game().getGraphServer()->isFullscreen();
    openFully();
    slider("MusicVolume")->SetValue(0.8f);
    slider("SoundVolume")->SetValue(0.5f);
    check("FXQuality")->SetChecked(false);
    clickOn(h, "Ok");
    h.frames(20);
    EXPECT_FALSE(options.getWindow()->IsVisible());
    EXPECT_FLOAT_EQ(profile->getMusicVolume(), 0.8f);
    EXPECT_FLOAT_EQ(profile->getSoundVolume(), 0.5f);
    EXPECT_FALSE(profile->getFxQuality());
    EXPECT_EQ(h.game().getGraphServer()->isFullscreen(), fullscreen);
    cProfiles saved;
    saved.load(h.home().userDir() + "Profiles/profiles.dat");
    ASSERT_NE(saved.current(), nullptr);
    EXPECT_FLOAT_EQ(saved.current()->getMusicVolume(), 0.8f);
    EXPECT_FALSE(saved.current()->getFxQuality());

    // The window's fade never takes its alpha below 0.
    options.update(5.0f);
    EXPECT_EQ(options.getAlpha(), 0.0f);
}
