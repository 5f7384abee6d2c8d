// lumenfold-convert: the command-line face of the conversion engine.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "conversion/ConvertCommand.h"
#include "conversion/MemoryTuning.h"

int main(int argc, char** argv) {
  conversion::KeepLargeBlocksForReuse();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return conversion::RunConvertCommand(arguments, std::cerr, isatty(STDERR_FILENO) != 0);
}
