#include "platform/ScreenDpi.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace platform {

int ScreenLogicalDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 96;
  return static_cast<int>(std::nearbyint(screen->logicalDotsPerInch()));
}

}  // namespace platform
