#pragma once
// The pictures of the tree and the toolbar, drawn with GDI when the window is made, so that
// no bitmap files have to be kept in step with the code. The change report's lists use the
// same tree images, so each caller makes its own list (a list belongs to one owner, which
// destroys it).
#include <windows.h>

#include <commctrl.h>

#include "tree/TreeImages.h"

namespace prowl::win32 {

inline constexpr int kImageSize = 16;

// Whole pixels per drawn pixel at the screen's DPI, so that pictures keep their size on the
// screen without blurring: 1 up to 143 DPI, 2 from 144, and so on.
int ImageScale();

// The tree's image keys are the tree's own rule; the list below draws them in their order.
using prowl::TreeImageKeys;

// The six tree images, keyed by TreeImageKeys(). The caller owns the list.
HIMAGELIST CreateTreeImageList(int scale = ImageScale());

// The toolbar images in button order: New, Open, Save, Re-Prowl, Stop. The caller owns it.
HIMAGELIST CreateToolbarImageList(int scale = ImageScale());

}  // namespace prowl::win32
