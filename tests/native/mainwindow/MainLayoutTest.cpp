// The main window's layout arithmetic and the window regions.

#include <gtest/gtest.h>

#include "mainwindow/MainLayout.h"

namespace corvane {
namespace {

TEST(MainLayout, RestoredSizePlacesStripButtonsAndPages)
{
    // The designer size: 15540 x 9585 twips, a strip of 480.
    const MainLayout l = LayOutMainWindow(15540, 15540, 9585, 480);
    ASSERT_TRUE(l.strip);
    EXPECT_EQ(*l.strip, (TwipsRect{1800, 45, 8640, 480}));
    EXPECT_EQ(15540 - (l.strip->left + l.strip->width), 5100);
    EXPECT_EQ(l.otherUserLeft - (l.strip->left + l.strip->width), 250);
    EXPECT_EQ(l.gameSpaceLeft, 12240);
    // The caption buttons abut (widths 360, 360, 375, 645) and end 85 twips from the edge.
    EXPECT_EQ(l.toolLeft + 360, l.minLeft);
    EXPECT_EQ(l.minLeft + 360, l.minmaxLeft);
    EXPECT_EQ(l.minmaxLeft + 375, l.closeLeft);
    EXPECT_EQ(15540 - (l.closeLeft + 645), 85);
    ASSERT_TRUE(l.pages);
    EXPECT_EQ(*l.pages, (TwipsRect{60, 480, 15420, 9585 - 480 - 60}));
}

TEST(MainLayout, NarrowWindowSkipsTheStepsThatWouldGoNegative)
{
    const MainLayout narrow = LayOutMainWindow(6000, 6000, 400, 480);
    EXPECT_FALSE(narrow.strip);
    EXPECT_FALSE(narrow.pages);
    // The other steps still run.
    EXPECT_EQ(narrow.closeLeft, 5270);
    EXPECT_EQ(narrow.otherUserLeft, 1150);
    const MainLayout edge = LayOutMainWindow(6900, 6900, 540, 480);
    ASSERT_TRUE(edge.strip);
    EXPECT_EQ(edge.strip->width, 0);
    ASSERT_TRUE(edge.pages);
    EXPECT_EQ(edge.pages->height, 0);
}

TEST(MainLayout, BrowsersOverhangTheirContainers)
{
    EXPECT_EQ(OverhangingChild(15420, 9045, 30), (TwipsRect{-30, -30, 15480, 9105}));
    EXPECT_EQ(OverhangingChild(1028, 603, 2), (TwipsRect{-2, -2, 1032, 607}));
}

TEST(MainLayout, RegionsAreTheClientPlusOnePixel)
{
    EXPECT_EQ(RegionForClient(15540, 9585, 15, 15), (RegionSize{1037, 640}));
    // The exit box: 3630 x 2100 twips.
    EXPECT_EQ(RegionForClient(3630, 2100, 15, 15), (RegionSize{243, 141}));
    // At 120 dpi (12 twips per pixel) 15540 twips are 1295 pixels.
    EXPECT_EQ(RegionForClient(15540, 9585, 12, 12), (RegionSize{1296, 800}));
    // Halves go to the even neighbour: 7.5 + 1 -> 8, 8.5 + 1 -> 10 (9.5 rounds to 10).
    EXPECT_EQ(RegionForClient(112, 127, 15, 15), (RegionSize{8, 9}));
    EXPECT_EQ(RegionForClient(127, 142, 15, 15).height, 10);
}

TEST(MainLayout, CentringRoundsTheDifferenceThenDividesWhole)
{
    EXPECT_EQ(CentredOffset(19200, 15540), 1830);
    EXPECT_EQ(CentredOffset(19200, 15541), 1829);  // 3659 \ 2
    EXPECT_EQ(CentredOffset(15360, 15540), -90);
    EXPECT_EQ(CentredOffset(100.5, 0), 50);  // 100.5 rounds to 100
    EXPECT_EQ(BoxCloseLeft(3630), 2900);
}

}  // namespace
}  // namespace corvane
