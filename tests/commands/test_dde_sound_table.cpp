// tests/commands/test_dde_sound_table.cpp -- the two sound texts read from
// the sound source table itself (commands/nk_dde_sound_table.cpp).

#include <gtest/gtest.h>

#include "commands/nk_dde_server.h"
#include "commands/nk_sound_dde.h"
#include "core/nk_sound_sources.h"

TEST(DdeSoundTable, TextsComeFromTheTable)
{
    SoundSourceTable table;
    ASSERT_EQ(table.Add(1, "Bell", "bell.wav"), 0);
    const float afBox[6] = {0, 0, 0, 10, 1, 1};
    for (int k = 0; k < 6; k++) table.afModelBox[k] = afBox[k];
    const float afView[11] = {1, 2, 3, 0, 0, 0, 0, 0, 1, 0, 0};
    table.SetListenerView(afView);
    table.SetTime(0.5f);
    table.aSources[0].afPosition[0] = 10.0f;
    table.aSources[0].afPosition[1] = 1.0f;
    table.aSources[0].afPosition[2] = 1.0f;
    table.aSources[0].fValue = 2.5f;

    ASSERT_TRUE(NKDDESoundUpdateString(&table));
    EXPECT_STREQ(NKDDEGetItemText("sound_update").GetText(), "OFF");
    table.bSoundEnabled = 1;
    ASSERT_TRUE(NKDDESoundUpdateString(&table));
    EXPECT_STREQ(NKDDEGetItemText("sound_update").GetText(),
                 "0.5\n1 2 3  0 0 0  0 0 1 \n1  10 1 1  2.5\n");
    // Without a model the box is whatever GetModelBox makes of no frames.
    ASSERT_TRUE(NKDDESoundSetupString(&table));
    const float *pfBox = table.GetModelBox();
    std::string expected = NKDDEComposeSoundSetup(pfBox, nullptr, 0).GetText();
    EXPECT_EQ(std::string(NKDDEGetItemText("sound_setup").GetText()),
              expected + "1  \"Bell\"  \"bell.wav\"\n");
}
