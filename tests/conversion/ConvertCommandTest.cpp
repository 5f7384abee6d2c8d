#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "conversion/ConvertCommand.h"
#include "PdfCheck.h"
#include "TestFolder.h"

using namespace conversion;
using namespace testing_support;

namespace {

class ConvertCommandTest : public ::testing::Test {
 protected:
  // Runs the built program; stderr is captured in `output`.
  CommandResult Convert(const std::string& arguments) {
    CommandResult result = RunCommand(std::string(LUMENFOLD_CONVERT) + " " + arguments);
    result.status = WIFEXITED(result.status) ? WEXITSTATUS(result.status) : -1;
    return result;
  }
  std::string Out() const { return work_ / "out.pdf"; }

  TestFolder work_;
};

}  // namespace

TEST_F(ConvertCommandTest, ExitStatusTellsWhatWasWritten) {
  std::filesystem::create_directories(work_ / "empty-folder");
  const struct {
    std::string arguments;
    int status;
    int pages;  // 0: no file written
    std::string message;
  } cases[] = {
      {Quoted(Fixture("png24.png")) + " " + Quoted(Fixture("jpeg_rgb.jpg")), 0, 2, "Wrote "},
      {Quoted(Fixture("png24.png")) + " " + Quoted(Fixture("tiff_named.png")), 3, 1,
       "tiff_named.png: unsupported image format (TIFF)"},
      {Quoted(Fixture("png24.png")) + " " + Quoted(work_ / "missing.jpg"), 3, 1, "missing.jpg: file not found"},
      {Quoted(Fixture("tiff_named.png")) + " " + Quoted(work_ / "empty-folder"), 4, 0,
       "empty-folder: no supported images in this folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::filesystem::remove(Out());
    const CommandResult result = Convert("-o " + Quoted(Out()) + " " + c.arguments);
    EXPECT_EQ(result.status, c.status) << result.output;
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    if (c.pages == 0) {
      EXPECT_FALSE(std::filesystem::exists(Out()));
    } else {
      EXPECT_EQ(PageSizes(Out()).size(), static_cast<size_t>(c.pages));
      EXPECT_EQ(RunCommand("qpdf --check " + Quoted(Out())).status, 0);
    }
  }
}

TEST_F(ConvertCommandTest, OutputIsReplacedOnlyWithForceAndNeverByAFailure) {
  WriteAll(Out(), "old");
  const std::string input = Quoted(Fixture("png24.png"));
  CommandResult result = Convert("-o " + Quoted(Out()) + " " + input);
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.output.find("already exists; use --force"), std::string::npos) << result.output;
  EXPECT_EQ(ReadAll(Out()), "old");

  EXPECT_EQ(Convert("--force -o " + Quoted(Out()) + " " + Quoted(Fixture("tiff_named.png"))).status, 4);
  EXPECT_EQ(ReadAll(Out()), "old");

  EXPECT_EQ(Convert("--force --quiet -o " + Quoted(Out()) + " " + input).status, 0);
  EXPECT_EQ(PageSizes(Out()), std::vector<std::string>{"64 x 48"});

  std::filesystem::create_directories(work_ / "folder.pdf");
  for (const std::string& output : {work_ / "folder.pdf", std::string("/nonexistent-folder/out.pdf")}) {
    result = Convert("--force -o " + Quoted(output) + " " + input);
    EXPECT_EQ(result.status, 5) << output;
  }
}

TEST_F(ConvertCommandTest, UsageErrorsAndHelp) {
  for (const std::string& arguments : {std::string(""), std::string("--title"), std::string("-o x.pdf"),
                                       std::string("--bogus -o x.pdf y.png"), Quoted(Fixture("png24.png"))}) {
    const CommandResult result = Convert(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.output.find("--help"), std::string::npos) << result.output;
  }
  const CommandResult help = Convert("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* text : {"--title", "--author", "--subject", "--keywords", "--force", "--open", "--quiet", "-o",
                           "natural", "  3  ", "  4  ", "  5  "}) {
    EXPECT_NE(help.output.find(text), std::string::npos) << text;
  }
}

TEST_F(ConvertCommandTest, DocumentTextsAreTakenAsGiven) {
  ASSERT_EQ(Convert("--title ' Spaced ' --author=Ann --subject 'S' --keywords 'a, b' -o " + Quoted(Out()) + " " +
                    Quoted(Fixture("png24.png")))
                .status,
            0);
  EXPECT_EQ(InfoValue(Out(), "Title"), " Spaced ");
  EXPECT_EQ(InfoValue(Out(), "Author"), "Ann");
  EXPECT_EQ(InfoValue(Out(), "Subject"), "S");
  EXPECT_EQ(InfoValue(Out(), "Keywords"), "a, b");
}

TEST_F(ConvertCommandTest, TerminalShowsABarOtherwiseOneLinePerImage) {
  const std::vector<std::string> arguments = {"-o", Out(), Fixture("png24.png"), Fixture("jpeg_rgb.jpg")};
  std::ostringstream bar;
  EXPECT_EQ(RunConvertCommand(arguments, bar, true), 0);
  EXPECT_NE(bar.str().find("\r\033[K[###############               ] 1/2 50% png24.png"), std::string::npos)
      << bar.str();
  EXPECT_NE(bar.str().find("] 2/2 100% jpeg_rgb.jpg"), std::string::npos);

  std::ostringstream lines;
  EXPECT_EQ(RunConvertCommand({"--force", "-o", Out(), Fixture("png24.png"), Fixture("jpeg_rgb.jpg")}, lines, false),
            0);
  EXPECT_NE(lines.str().find("[1/2] " + Fixture("png24.png") + "\n[2/2] " + Fixture("jpeg_rgb.jpg") + "\n"),
            std::string::npos)
      << lines.str();
  EXPECT_EQ(lines.str().find('\r'), std::string::npos);
}

// Ctrl-C finishes the current image and stops: no PDF, no temporary file left behind.
TEST_F(ConvertCommandTest, InterruptWritesNothingAndCleansUp) {
  const std::string tmpdir = work_ / "tmp";
  std::filesystem::create_directories(tmpdir);
  std::vector<std::string> arguments = {LUMENFOLD_CONVERT, "-o", Out()};
  arguments.insert(arguments.end(), 5000, Fixture("png24.png"));
  std::vector<char*> argv;
  for (auto& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);

  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[0]);
    setenv("TMPDIR", tmpdir.c_str(), 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string output;
  char buffer[4096];
  bool signalled = false;
  while (ssize_t n = read(pipeEnds[0], buffer, sizeof buffer)) {
    if (n < 0) break;
    output.append(buffer, static_cast<size_t>(n));
    if (!signalled && output.find("[2/5000]") != std::string::npos) {
      kill(child, SIGINT);
      signalled = true;
    }
  }
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(signalled) << output;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << output;
  EXPECT_NE(output.find("interrupted; no PDF written"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Out()));
  EXPECT_TRUE(std::filesystem::is_empty(tmpdir + "/LumenfoldTemp/Lumenfold"));
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST_F(ConvertCommandTest, HugeClaimsAreRefusedUnderAMemoryLimit) {
  const CommandResult result =
      RunCommand("(ulimit -v 400000; " + std::string(LUMENFOLD_CONVERT) + " -o " + Quoted(Out()) + " " +
                 Quoted(Fixture("huge_claim_60000.bmp")) + " " + Quoted(Fixture("huge_claim_60000.gif")) + "; echo rc=$?)");
  EXPECT_NE(result.output.find("huge_claim_60000.bmp: image too large: 60000 x 60000 pixels"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("huge_claim_60000.gif: image too large"), std::string::npos);
  EXPECT_NE(result.output.find("rc=4"), std::string::npos);
}
#endif
