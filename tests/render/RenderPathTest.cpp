#include "render/RenderPath.h"

#include <gtest/gtest.h>

// GL_RENDERER strings as drivers report them.
const char* const llvmpipe = "llvmpipe (LLVM 15.0.6, 256 bits)";
const char* const radeon = "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)";
const char* const geforce = "NVIDIA GeForce RTX 3060/PCIe/SSE2";

TEST(RenderPath, SoftwareRenderersAreKnownByNameWhateverTheirCase)
{
    for (const char* software : {llvmpipe, "LLVMPIPE (LLVM 11.0.1, 128 bits)", "softpipe", "Software Rasterizer",
                                 "Mesa X11 swrast", "GDI Generic"})
        EXPECT_TRUE(isSoftwareRenderer(software)) << software;
    // A card whose driver is also built with LLVM is no software renderer.
    for (const char* card : {radeon, geforce, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", ""})
        EXPECT_FALSE(isSoftwareRenderer(card)) << card;
}

TEST(RenderPath, DriverDecidesUnlessAPathIsForced)
{
    EXPECT_TRUE(renderPathFor(RendererChoice::fromDriver, llvmpipe, 16.0f).software);
    EXPECT_FALSE(renderPathFor(RendererChoice::fromDriver, geforce, 16.0f).software);
    EXPECT_FALSE(renderPathFor(RendererChoice::hardware, llvmpipe, 16.0f).software);
    EXPECT_TRUE(renderPathFor(RendererChoice::software, geforce, 16.0f).software);
}

// The hardware path takes what the driver offers, up to 16; the software path none at all.
TEST(RenderPath, AnisotropyOnlyOnTheHardwarePathAndAtMostSixteen)
{
    EXPECT_EQ(renderPathFor(RendererChoice::fromDriver, geforce, 16.0f).anisotropy, 16.0f);
    EXPECT_EQ(renderPathFor(RendererChoice::fromDriver, geforce, 8.0f).anisotropy, 8.0f);
    EXPECT_EQ(renderPathFor(RendererChoice::fromDriver, geforce, 64.0f).anisotropy, 16.0f);
    EXPECT_EQ(renderPathFor(RendererChoice::fromDriver, geforce, 1.0f).anisotropy, 1.0f) << "none offered";
    EXPECT_EQ(renderPathFor(RendererChoice::fromDriver, geforce, 0.0f).anisotropy, 1.0f) << "no answer";
    EXPECT_EQ(renderPathFor(RendererChoice::fromDriver, llvmpipe, 16.0f).anisotropy, 1.0f);
    EXPECT_EQ(renderPathFor(RendererChoice::software, geforce, 16.0f).anisotropy, 1.0f);
    EXPECT_EQ(renderPathFor(RendererChoice::hardware, llvmpipe, 16.0f).anisotropy, 16.0f);
}
