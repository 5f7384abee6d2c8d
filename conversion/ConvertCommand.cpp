#include "conversion/ConvertCommand.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "conversion/FreeImageSupport.h"
#include "conversion/ImageProbe.h"
#include "conversion/ScanFolder.h"
#include "pdf/TextString.h"
#include "platform/AppTempFolder.h"

namespace conversion {

namespace {

namespace fs = std::filesystem;

constexpr const char* kName = "lumenfold-convert";

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

// Ctrl-C and termination finish the current image and then stop without writing, so neither
// a temporary file nor a half-written PDF is left behind.
class InterruptGuard {
 public:
  InterruptGuard() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
  }
  ~InterruptGuard() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
  }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

// Several conversions may run at once from scripts; each gets its own folder below the
// application's temporary folder so that equal source names never share a temporary file.
class RunTempFolder {
 public:
  RunTempFolder() {
    std::string pattern = platform::AppTempFolder() + "convert-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
  }
  ~RunTempFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  RunTempFolder(const RunTempFolder&) = delete;
  RunTempFolder& operator=(const RunTempFolder&) = delete;

  // Falls back to the shared folder when no private one could be made.
  std::string Path() const { return path_.empty() ? platform::AppTempFolder() : path_; }

 private:
  std::string path_;
};

// Shows progress on stderr: a redrawn bar on a terminal, one line per image otherwise.
class ProgressReporter : public ConversionObserver {
 public:
  ProgressReporter(std::ostream& err, bool terminal, bool quiet) : err_(err), terminal_(terminal), quiet_(quiet) {}

  bool StopRequested() override { return interrupted != 0; }

  void CurrentFile(size_t, const std::string& path, int pagesPlaced, int convertibleCount, int percent) override {
    path_ = path;
    if (quiet_) return;
    if (terminal_) {
      constexpr int kWidth = 30;
      const int filled = percent * kWidth / 100;
      err_ << "\r\033[K[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] " << pagesPlaced
           << "/" << convertibleCount << " " << percent << "% " << fs::path(path).filename().string() << std::flush;
      barShown_ = true;
    } else {
      err_ << "[" << pagesPlaced << "/" << convertibleCount << "] " << path << "\n";
    }
  }

  void EntryStatusChanged(size_t, EntryStatus status, const std::string& reason) override {
    if (status != EntryStatus::Failed) return;
    EndBar();
    err_ << kName << ": " << path_ << ": " << reason << "\n";
  }

  void WritingStarted() override {
    if (quiet_) return;
    EndBar();
    err_ << "Writing PDF document...\n";
  }

  void EndBar() {
    if (barShown_) err_ << "\n";
    barShown_ = false;
  }

 private:
  std::ostream& err_;
  bool terminal_;
  bool quiet_;
  bool barShown_ = false;
  std::string path_;
};

bool TakesValue(const std::string& option) {
  return option == "--title" || option == "--author" || option == "--subject" || option == "--keywords" ||
         option == "-o" || option == "--output";
}

void SetValue(ConvertOptions& options, const std::string& option, const std::string& value) {
  if (option == "--title") options.texts.title = value;
  else if (option == "--author") options.texts.author = value;
  else if (option == "--subject") options.texts.subject = value;
  else if (option == "--keywords") options.texts.keywords = value;
  else options.output = value;
}

// Opens the written file with the desktop's viewer without waiting for it.
void OpenDetached(const std::string& path, std::ostream& err) {
  const pid_t child = fork();
  if (child == 0) {
    if (fork() == 0) {
      execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  if (child < 0) {
    err << kName << ": cannot open " << path << "\n";
    return;
  }
  waitpid(child, nullptr, 0);
}

// Refuses outputs that can never be written before any image is converted.
std::string OutputProblem(const ConvertOptions& options) {
  std::error_code ec;
  if (pdf::SanitizeUtf8(options.output) != options.output) return "the output name is not valid UTF-8";
  if (fs::is_directory(options.output, ec)) return options.output + " is a folder";
  if (fs::exists(fs::symlink_status(options.output, ec)) && !options.force) {
    return options.output + " already exists; use --force to replace it";
  }
  const fs::path parent = fs::path(options.output).parent_path();
  if (!parent.empty() && !fs::is_directory(parent, ec)) return "the folder " + parent.string() + " does not exist";
  return {};
}

int ExitStatusOf(const RunSummary& summary, size_t entries) {
  switch (summary.outcome) {
    case RunOutcome::Written:
      return summary.pagesWritten == static_cast<int>(entries) ? kExitWritten : kExitSomeFailed;
    case RunOutcome::WriteFailed: return kExitWriteFailed;
    case RunOutcome::NothingConverted: return kExitNothingConvertible;
    case RunOutcome::Stopped: return kExitInterrupted;
  }
  return kExitWriteFailed;
}

}  // namespace

std::string ConvertUsage() {
  return std::string("Usage: ") + kName +
         " [options] -o OUT.pdf INPUT...\n"
         "\n"
         "Converts images into one PDF document, one page per image. Each page measures the\n"
         "image's size in pixels as points, whatever resolution the image declares.\n"
         "\n"
         "Inputs are image files and folders, taken in the order given. A folder contributes the\n"
         "plain, non-hidden files directly inside it (no sub-folders) with a supported extension,\n"
         "grouped by extension in the order bmp, gif, jpg, jpeg, jp2, pcx, png, psd, and in natural\n"
         "name order within one extension (scan2 before scan10). A file is converted when its\n"
         "content is BMP, GIF (first frame), JPEG, JPEG 2000 (jp2), PCX, PNG or PSD, whatever its\n"
         "name. Transparent parts of images become white.\n"
         "\n"
         "Options:\n"
         "  -o, --output OUT.pdf  the PDF to write (required)\n"
         "  --title TEXT          document title\n"
         "  --author TEXT         document author\n"
         "  --subject TEXT        document subject\n"
         "  --keywords TEXT       document keywords\n"
         "  --force               replace OUT.pdf when it exists (otherwise it is left alone)\n"
         "  --open                open the written PDF in the desktop's default viewer\n"
         "  --quiet               print only the images that failed and errors\n"
         "  -h, --help            show this help\n"
         "\n"
         "Progress goes to standard error: a progress bar with count, percentage and current\n"
         "file on a terminal, otherwise one line per image. Every image that fails is named\n"
         "with the reason; the others still become pages. A PDF that cannot be written leaves\n"
         "an existing file of that name as it was.\n"
         "\n"
         "Exit status:\n"
         "  0  every image became a page\n"
         "  2  usage error, or OUT.pdf exists without --force\n"
         "  3  the PDF was written but some images failed\n"
         "  4  nothing convertible: no PDF was written\n"
         "  5  the PDF could not be written\n"
         "  130  interrupted (Ctrl-C): the current image is finished, nothing is written\n";
}

std::optional<ConvertOptions> ParseConvertArguments(const std::vector<std::string>& arguments, std::string& error) {
  ConvertOptions options;
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      options.inputs.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "-h" || argument == "--help") {
      options.help = true;
    } else if (argument == "--force") {
      options.force = true;
    } else if (argument == "--open") {
      options.open = true;
    } else if (argument == "--quiet") {
      options.quiet = true;
    } else if (const size_t equals = argument.find('='); equals != std::string::npos && argument.rfind("--", 0) == 0 &&
                                                           TakesValue(argument.substr(0, equals))) {
      SetValue(options, argument.substr(0, equals), argument.substr(equals + 1));
    } else if (TakesValue(argument)) {
      if (i + 1 == arguments.size()) {
        error = argument + " needs a value";
        return std::nullopt;
      }
      SetValue(options, argument, arguments[++i]);
    } else {
      error = "unknown option " + argument;
      return std::nullopt;
    }
  }
  if (options.help) return options;
  if (options.output.empty()) {
    error = "no output file: give -o OUT.pdf";
    return std::nullopt;
  }
  if (options.inputs.empty()) {
    error = "no input images or folders";
    return std::nullopt;
  }
  return options;
}

std::vector<ConversionEntry> ExpandInputs(const std::vector<std::string>& inputs, std::ostream& err) {
  std::vector<ConversionEntry> entries;
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (fs::is_directory(input, ec)) {
      const std::vector<std::string> found = ScanFolder(input);
      if (found.empty()) err << kName << ": " << input << ": no supported images in this folder\n";
      for (const std::string& path : found) entries.push_back({path, IsSupportedFormat(FileTypeOf(path))});
    } else {
      entries.push_back({input, IsSupportedFormat(FileTypeOf(input))});
    }
  }
  return entries;
}

int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& err, bool terminal) {
  std::string error;
  const std::optional<ConvertOptions> options = ParseConvertArguments(arguments, error);
  if (!options) {
    err << kName << ": " << error << "\nTry '" << kName << " --help' for more information.\n";
    return kExitUsage;
  }
  if (options->help) {
    err << ConvertUsage();
    return kExitWritten;
  }
  if (const std::string problem = OutputProblem(*options); !problem.empty()) {
    err << kName << ": " << problem << "\n";
    return problem.find("--force") != std::string::npos ? kExitUsage : kExitWriteFailed;
  }

  std::vector<ConversionEntry> entries = ExpandInputs(options->inputs, err);
  for (const ConversionEntry& entry : entries) {
    if (!entry.convertible) err << kName << ": " << entry.path << ": " << ProbeImage(entry.path).error << "\n";
  }

  InterruptGuard interruptGuard;
  RunTempFolder temp;
  RunSettings settings{options->output, temp.Path(), options->texts};
  ProgressReporter reporter(err, terminal, options->quiet);
  const RunSummary summary = RunConversion(entries, settings, reporter);
  reporter.EndBar();

  const int status = ExitStatusOf(summary, entries.size());
  if (summary.outcome == RunOutcome::Written) {
    if (!options->quiet) {
      err << "Wrote " << options->output << ": " << summary.pagesWritten << " page"
          << (summary.pagesWritten == 1 ? "" : "s");
      if (status != kExitWritten) err << "; " << entries.size() - summary.pagesWritten << " image(s) failed";
      err << "\n";
    }
    if (options->open) OpenDetached(options->output, err);
  } else if (summary.outcome == RunOutcome::Stopped) {
    err << kName << ": interrupted; no PDF written\n";
  } else if (summary.outcome == RunOutcome::WriteFailed) {
    err << kName << ": error on PDF file writing: " << options->output << " could not be written\n";
  } else {
    err << kName << ": nothing convertible; no PDF written\n";
  }
  return status;
}

}  // namespace conversion
