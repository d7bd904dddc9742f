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
