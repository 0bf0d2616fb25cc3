// tests/render/test_gl_textures.cpp -- image textures seen in the pixels of
// an off-screen view: the image and part texture lists compiled by the list
// update (decal and modulate, nearest filter, clamp and repeat) on a quad
// drawn with the lists of NKCallPartLists, and a textured part of a scene.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "commands/nk_command.h"
#include "core/nk_export_items.h"
#include "core/nk_image_record.h"
#include "core/nk_memory.h"
#include "core/nk_render_state.h"
#include "platform/nk_gl_context.h"
#include "render/nk_lights.h"
#include "render/nk_part_drawing.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/gl_pixel_probe.h"
#include "tools/nk_texture_commands.h"

namespace {

// A listed image of w x h RGB pixels, rows bottom-up.
ImageRecord *AddImage(const char *pszName, int w, int h, const std::vector<uint8_t> &rgb)
{
    auto *p = new ImageRecord();
    p->szName = pszName;
    p->iWidth = w;
    p->iHeight = h;
    p->pPixels = static_cast<uint8_t *>(NKAlloc(rgb.size()));
    std::memcpy(p->pPixels, rgb.data(), rgb.size());
    return NKAddTextureImage(&TextureImageList, p);
}

class TextureGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pContext = NKCreateOffscreenGLContext(200, 200);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 200, 200);
        NKRegisterTextureCommands();
        *g_pListUpdateInfo = NKListUpdateInfo();
        MakeModel(1, 1);
        // Bottom row red, green; top row blue, white.
        ASSERT_NE(AddImage("q", 2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}), nullptr);
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_TEXTURE, nullptr);
        NKDeleteAllDisplayLists();
        NKClearTextureImageList(&TextureImageList);
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        *g_pListUpdateInfo = NKListUpdateInfo();
        NKRenderModelTest::TearDown();
    }
    // Clears to black and draws the quad -1..1 in x and y with texture
    // coordinates 0..fRepeat, grey, through the part's lists.
    // With bPerspective the quad lies 2 units before the eye in a 90-degree
    // frustum, still filling the view.
    void DrawQuad(float fRepeat, bool bPerspective = false)
    {
        NKPerformListUpdates(g_pListUpdateInfo, &g_DisplayLists, -1);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (bPerspective) glFrustum(-1, 1, -1, 1, 1, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const float f = bPerspective ? 2.0f : 1.0f;
        if (bPerspective) glTranslatef(0, 0, -2);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        NKPart &part = g_pModel->pFrames[0].pGeometry->pParts[0];
        // As the part drawers do: the lists only for a part with mapping on.
        const bool bMapped = part.uTextureMode[0] || part.uTextureMode[1];
        const bool bBound = bMapped && NKCallPartLists(&part, 0, &g_DisplayLists, -1);
        EXPECT_EQ(bBound, bMapped);
        glColor3ub(100, 100, 100);
        glNormal3f(0, 0, 1);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(-f, -f);
        glTexCoord2f(fRepeat, 0);
        glVertex2f(f, -f);
        glTexCoord2f(fRepeat, fRepeat);
        glVertex2f(f, f);
        glTexCoord2f(0, fRepeat);
        glVertex2f(-f, f);
        glEnd();
        if (bBound) NKDisableTexturing();
        glDisable(GL_TEXTURE_2D);
        glFinish();
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(TextureGL, DecalNearestClampShowsEachTexel)
{
    for (const char *psz : {"texture 1 1 q", "textureplane xy 1 1", "textureclamp 1 1",
                            "texturenearest 1 1", "envmode 1 1 decal"})
        ASSERT_EQ(ExecuteCommand(psz), 0) << psz;
    DrawQuad(1.0f);
    EXPECT_TRUE(Is(ReadPixel(50, 50), 255, 0, 0));
    EXPECT_TRUE(Is(ReadPixel(150, 50), 0, 255, 0));
    EXPECT_TRUE(Is(ReadPixel(50, 150), 0, 0, 255));
    EXPECT_TRUE(Is(ReadPixel(150, 150), 255, 255, 255));
    // Modulate: white texel times the grey colour.
    ASSERT_EQ(ExecuteCommand("envmode 1 1 modulate"), 0);
    DrawQuad(1.0f);
    EXPECT_TRUE(Is(ReadPixel(150, 150), 100, 100, 100, 1));
    // Repeat: four copies across the quad.
    ASSERT_EQ(ExecuteCommand("envmode 1 1 decal"), 0);
    ASSERT_EQ(ExecuteCommand("texturetile 1 1"), 0);
    DrawQuad(4.0f);
    EXPECT_TRUE(Is(ReadPixel(12, 12), 255, 0, 0));
    EXPECT_TRUE(Is(ReadPixel(37, 12), 0, 255, 0));
    // Clamp: past the image the edge texel stays.
    ASSERT_EQ(ExecuteCommand("textureclamp 1 1"), 0);
    DrawQuad(4.0f);
    EXPECT_TRUE(Is(ReadPixel(190, 12), 0, 255, 0));
    // Hidden: the plain grey quad.
    ASSERT_EQ(ExecuteCommand("hidetexture 1 1"), 0);
    DrawQuad(1.0f);
    EXPECT_TRUE(Is(ReadPixel(150, 150), 100, 100, 100));
}

// A sphere map seen straight on shows the image's centre.
TEST_F(TextureGL, EnvironmentMappingShowsTheImageCentreStraightOn)
{
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) {
            const bool bCentre = x >= 1 && x <= 2 && y >= 1 && y <= 2;
            rgb.insert(rgb.end(), {static_cast<uint8_t>(bCentre ? 0 : 255),
                                   static_cast<uint8_t>(bCentre ? 255 : 0), 0});
        }
    ASSERT_NE(AddImage("q4", 4, 4, rgb), nullptr);
    ASSERT_EQ(ExecuteCommand("environment 1 1 q4"), 0);
    ASSERT_EQ(ExecuteCommand("texturenearest 1 1"), 0);
    DrawQuad(1.0f, true);
    EXPECT_TRUE(Is(ReadPixel(100, 100), 0, 255, 0));
    ASSERT_EQ(ExecuteCommand("hideenvironment 1 1"), 0);
    DrawQuad(1.0f, true);
    EXPECT_TRUE(Is(ReadPixel(100, 100), 100, 100, 100));
    const NKPart &part = g_pModel->pFrames[0].pGeometry->pParts[0];
    EXPECT_EQ(part.pTexture, TextureImageList.GetAt(NKFindTextureImage(&TextureImageList, "q4")));
}

TEST_F(TextureGL, RemovedImageLeavesTheOthersTheirTexels)
{
    ASSERT_NE(AddImage("g", 1, 1, {0, 255, 0}), nullptr);
    ASSERT_NE(AddImage("b", 1, 1, {0, 0, 255}), nullptr);
    ASSERT_EQ(ExecuteCommand("texture 1 1 b"), 0);
    ASSERT_EQ(ExecuteCommand("texturenearest 1 1"), 0);
    DrawQuad(1.0f);
    EXPECT_TRUE(Is(ReadPixel(100, 100), 0, 0, 255));
    ASSERT_EQ(ExecuteCommand("cleartextures q"), 0);
    EXPECT_EQ(NKFindTextureImage(&TextureImageList, "g"), 0);
    EXPECT_EQ(NKFindTextureImage(&TextureImageList, "b"), 1);
    DrawQuad(1.0f);
    EXPECT_TRUE(Is(ReadPixel(100, 100), 0, 0, 255));
    ASSERT_EQ(ExecuteCommand("cleartextures all"), 0);
    DrawQuad(1.0f);
    EXPECT_TRUE(Is(ReadPixel(100, 100), 100, 100, 100));
}

}  // namespace
