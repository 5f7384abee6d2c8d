// The screen's logical resolution, in dots per inch.
#pragma once

namespace platform {

// The primary screen's logical DPI, taken to the nearest integer; 96 when no screen exists.
int ScreenLogicalDpi();

}  // namespace platform
