#pragma once
// The screen as the forms see it: its size in twips and the twips-per-pixel factors that come
// from its real pixels per inch.

#include "runtime/Twips.h"

namespace rt {

class Screen {
public:
    static TwipsScale Scale();  // read once from the screen DC
    static long Width();        // twips
    static long Height();       // twips
    static long TwipsPerPixelX();
    static long TwipsPerPixelY();
};

}  // namespace rt
