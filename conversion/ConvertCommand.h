// The lumenfold-convert command: images and folders in, one PDF out, for scripts and terminals.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "conversion/ConversionEngine.h"

namespace conversion {

enum ExitStatus : int {
  kExitWritten = 0,
  kExitUsage = 2,
  kExitSomeFailed = 3,
  kExitNothingConvertible = 4,
  kExitWriteFailed = 5,
  kExitInterrupted = 130,
};

struct ConvertOptions {
  DocumentTexts texts;
  std::string output;
  std::vector<std::string> inputs;
  bool force = false;
  bool open = false;
  bool quiet = false;
  bool help = false;
};

// The options, or none with the problem in `error`.
std::optional<ConvertOptions> ParseConvertArguments(const std::vector<std::string>& arguments, std::string& error);

std::string ConvertUsage();

// Inputs in the order given, folders expanded as "Add folder" does; an input file counts as
// convertible when its content is one of the supported formats, whatever its name.
std::vector<ConversionEntry> ExpandInputs(const std::vector<std::string>& inputs, std::ostream& err);

// Runs the whole command; `terminal` selects the progress bar over one line per image.
int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& err, bool terminal);

}  // namespace conversion
