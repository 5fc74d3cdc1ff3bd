#pragma once

#include <windows.h>

namespace vt2::win32 {

// The windows' design sizes are in twips (1/1440 inch); this is their size in screen pixels.
inline int TwipsToPixels(int twips) {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return MulDiv(twips, dotsPerInch > 0 ? dotsPerInch : 96, 1440);
}

}  // namespace vt2::win32
