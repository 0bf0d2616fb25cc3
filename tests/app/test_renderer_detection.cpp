// tests/app/test_renderer_detection.cpp -- reading the OpenGL version and
// the renderer's quirk from the driver's strings.
#include <gtest/gtest.h>

#include "render/nk_render_options.h"

namespace {

TEST(RendererDetection, VersionTextGivesMajorTimesTenPlusMinor)
{
    const struct {
        const char *pszVersion;
        int iExpected;
    } kCases[] = {
        {"1.2 Vendor", 12},
        {nullptr, 10},
        {"0.9", 10},  // below 1.0
        {"1.1", 11},
        {"4.5 (Compatibility Profile) Mesa 22.3.6", 45},
        {"2.1.2 NVIDIA", 21},
        {"12.0", 10},  // 120 lies outside 10..99
        {"1", 10},     // no minor
        {"abc", 10},
        {"99999999999999999999.9", 10},
    };
    for (const auto &c : kCases)
        EXPECT_EQ(NKParseRendererVersion(c.pszVersion), c.iExpected)
            << (c.pszVersion != nullptr ? c.pszVersion : "(null)");
}

TEST(RendererDetection, RendererNameGivesTheFirstQuirkInTableOrder)
{
    const struct {
        const char *pszRenderer;
        int iExpected;
    } kCases[] = {
        {"PERMEDIA GLZICD", 1},  // GLZICD is looked for first
        {"3Dlabs PERMEDIA2", 0},
        {"PowerStorm 4D", 2},
        {"Cobalt", 4},
        {"GDI Generic", 3},
        {"REALimage 3D", 5},
        {"GM1Rev5", 6},
        {"ELSA GLoria II-64", 7},
        {"llvmpipe (LLVM 15.0.6, 256 bits)", 8},
        {"gdi generic", 8},  // the names are matched as written
        {nullptr, 8},
    };
    for (const auto &c : kCases)
        EXPECT_EQ(NKRendererQuirkFromName(c.pszRenderer), c.iExpected)
            << (c.pszRenderer != nullptr ? c.pszRenderer : "(null)");
}

}  // namespace
