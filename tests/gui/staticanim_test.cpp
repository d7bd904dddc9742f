#include <gtest/gtest.h>

#include "gui_fixture.h"
#include "orvo/app/a_application.h"

using namespace GUI;

namespace {

class StaticAnimTest : public kbtest::GuiTest {
protected:
    StaticAnimTest() { addImage("strip", 40, 10); } // four 10 x 10 frames

    StaticAnim* anim(const std::string& name, const std::string& lines)
    {
        loadScript("staticanim " + name + "\n{\n" + lines + "}\n");
        return find<StaticAnim>(name);
    }
    // The frames shown over `steps` updates of one frame time each.
    static std::string play(StaticAnim* a, int steps)
    {
        std::string out;
        for (int i = 0; i < steps; ++i) {
            out += std::to_string(a->GetNormalAnim().getFrame());
            a->UpdateSelf(a->GetNormalAnim().getFrameTime());
        }
        return out;
    }
};

} // namespace

TEST_F(StaticAnimTest, PlayFlagsComeFromTheAnimTypeAndBadValuesFallBackSafely)
{
    StaticAnim* once = anim("Once", "NormalImage strip\nNumFrames 4\nFrameSize 10 10\nFPS 10\nAnimType NoLoop back\n"
                                    "StartFrame 3\nAreaRect 0 0 0 0\n");
    ASSERT_NE(once, nullptr);
    EXPECT_EQ(play(once, 6), "321000") << "once, backward";

    // The engine's own tests play every sequence of flags.
    EXPECT_EQ(StaticAnim::ParseAnimType("PingPong"), uint32_t(aAnim::PLAY_LOOP | aAnim::PLAY_PINGPONG));
    EXPECT_EQ(StaticAnim::ParseAnimType("back unknown noloop pingpong"), 2u) << "three words at most";

    // Missing frames and bad rates fall back safely.
    StaticAnim* none = anim("None", "NormalImage strip\nNumFrames 0\nFrameSize 10 10\nFPS 0\n");
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(log.contains("StaticAnim::EndFillProperties - invalid FPS '0', 40 used"));
    EXPECT_FLOAT_EQ(none->GetNormalAnim().getFrameTime(), 0.025f);
    none->UpdateSelf(1.0f);

    StaticAnim* slow = anim("Slow", "NormalImage strip\nNumFrames 4\nFrameSize 10 10\nFPS -3\nStartFrame 9\n");
    EXPECT_FLOAT_EQ(slow->GetNormalAnim().getFrameTime(), 0.025f);
    EXPECT_EQ(slow->GetNormalAnim().getFrame(), 0u) << "a start past the frames is ignored";
    StaticAnim* tiny = anim("Tiny", "NormalImage strip\nNumFrames 4\nFrameSize 0.5 10\n");
    EXPECT_EQ(tiny->GetNormalAnim().getFrameCount(), 0u);
    StaticAnim* lost = anim("Lost", "NormalImage nowhere\nNumFrames 4\nFrameSize 10 10\n");
    EXPECT_EQ(lost->GetNormalAnim().getFrameCount(), 0u);

    beginDraws();
    for (StaticAnim* a : {none, tiny, lost})
        a->Draw();
    EXPECT_TRUE(draws().empty());
}

TEST_F(StaticAnimTest, DrawingScalesTheFrameShowsTheDisabledAnimationAndSetAnimRestarts)
{
    StaticAnim* a = anim("Spin", "AreaRect 5 5 20 30\nNormalImage strip\nNumFrames 4\nFrameSize 10 10\n"
                                 "DisabledImage strip\nDisabledRect 30 0 10 10\nStartFrame 2\nColor 80FF0000\n");
    beginDraws();
    a->Draw();
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(src(draws()[0]), "20 0 30 10");
    EXPECT_FLOAT_EQ(draws()[0].f[1], 3.0f);
    EXPECT_EQ(draws()[0].u[4], 0xFFFF0000u) << "the tint's own alpha takes no part";

    a->SetEnabled(false);
    rig.device_->clearRecords();
    a->Draw();
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(src(draws()[0]), "30 20 40 30") << "frame 2 of a strip one frame wide";
    EXPECT_EQ(draws()[0].u[4], 0xFFFFFFFFu);

    aAnim backward = a->GetNormalAnim();
    backward.setPlayFlags(aAnim::PLAY_BACKWARD | aAnim::PLAY_LOOP);
    a->SetAnim(backward);
    EXPECT_EQ(a->GetNormalAnim().getFrame(), 3u);
    EXPECT_FALSE(a->GetNormalAnim().isStopped());
}
