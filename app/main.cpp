#include <QApplication>

#include "app/Startup.h"

int main(int argc, char* argv[]) {
  // Qt takes its own platform options from the arguments; the program itself reads none.
  QApplication application(argc, argv);
  return app::RunLumenfold(application);
}
