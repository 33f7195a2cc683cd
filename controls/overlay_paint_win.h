#pragma once
// Drawing of the status overlay's panel, text and level bars into a device context.
#include <windows.h>

#include <deque>

#include "controls/overlay_geometry.h"
#include "controls/overlay_status.h"

namespace orvello {

// Everything the overlay shows, over the whole client rectangle.
void PaintOverlay(HDC dc, const PixelRect& client, int dpi, const OverlayStatus& status);

}  // namespace orvello
