#include "mainwindow/MainLayout.h"

#include "runtime/Rounding.h"

namespace corvane {

MainLayout LayOutMainWindow(long formWidth, long clientWidth, long clientHeight, long stripHeight)
{
    MainLayout l;
    // The four caption buttons abut, tool first and close last, 85 twips from the right edge.
    l.closeLeft = formWidth - 730;
    l.minmaxLeft = formWidth - 1105;
    l.minLeft = formWidth - 1465;
    l.toolLeft = formWidth - 1825;

    const long stripWidth = clientWidth - 6900;
    if (stripWidth >= 0) l.strip = TwipsRect{kStripLeft, kStripTop, stripWidth, stripHeight};
    l.gameSpaceLeft = clientWidth - 3300;
    l.otherUserLeft = clientWidth - 4850;

    const long pageWidth = clientWidth - 2 * kPageMargin;
    const long pageHeight = clientHeight - stripHeight - kPageMargin;
    if (pageWidth >= 0 && pageHeight >= 0) l.pages = TwipsRect{kPageMargin, stripHeight, pageWidth, pageHeight};
    return l;
}

TwipsRect OverhangingChild(long innerWidth, long innerHeight, long overhang)
{
    return {-overhang, -overhang, innerWidth + 2 * overhang, innerHeight + 2 * overhang};
}

RegionSize RegionForClient(long clientWidthTwips, long clientHeightTwips, double twipsPerPixelX,
                           double twipsPerPixelY)
{
    return {rt::RoundHalfEven(clientWidthTwips / twipsPerPixelX + 1),
            rt::RoundHalfEven(clientHeightTwips / twipsPerPixelY + 1)};
}

long CentredOffset(double screenTwips, double windowTwips)
{
    return rt::IntegerDivide(rt::RoundHalfEven(screenTwips - windowTwips), 2);
}

}  // namespace corvane
