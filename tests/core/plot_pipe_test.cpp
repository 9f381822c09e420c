#include "core/plot_pipe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/test_support.h"

using namespace orvane;
using orvane_test::TempDir;

namespace {

// Replaces PATH for the life of the object.
class SearchPath {
 public:
  explicit SearchPath(const std::string& path) : saved_(std::getenv("PATH")) {
    setenv("PATH", path.c_str(), 1);
  }
  ~SearchPath() { setenv("PATH", saved_.c_str(), 1); }

 private:
  std::string saved_;
};

void WriteScript(const std::string& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

}  // namespace

TEST(PlotPipe, ShellQuotingLeavesNoCharacterToTheShell) {
  EXPECT_EQ(ShellQuote("plain"), "'plain'");
  EXPECT_EQ(ShellQuote("a b;$(rm -rf x)`y`"), "'a b;$(rm -rf x)`y`'");
  EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
}

TEST(PlotPipeDeathTest, MissingOrDyingPlotterNeverEndsTheRun) {
  // Each case runs in a child process, where the once-only report starts
  // afresh.
  TempDir empty;
  EXPECT_EXIT(
      {
        SearchPath path(empty.Path());
        std::FILE* pipe = StartPlotter({"-title", "x"}, "set pointsize 3\n");
        SendPlot(pipe, "plot sin(x)\n");
        std::FILE* again = StartPlotter({}, "");
        std::exit(pipe == nullptr && again == nullptr ? 7 : 1);
      },
      testing::ExitedWithCode(7),
      "^# Warning: the plotting program gnuplot is not installed: plots are skipped\n$");

  TempDir dying;
  WriteScript(dying.File("gnuplot"), "exit 1");
  EXPECT_EXIT(
      {
        SearchPath path(dying.Path() + ":/bin:/usr/bin");
        std::FILE* pipe = StartPlotter({"-title", "x"}, "");
        std::string big(1 << 20, '#');
        for (int i = 0; i < 8 && pipe != nullptr; ++i) SendPlot(pipe, big + "\n");
        std::exit(pipe == nullptr ? 7 : 1);
      },
      testing::ExitedWithCode(7), "gnuplot has stopped: plots are skipped");
}

TEST(PlotPipe, CommandsReachTheProgramWithItsArgumentsQuoted) {
  TempDir dir;
  WriteScript(dir.File("gnuplot"), "printf '%s|' \"$@\" > \"$0.args\"; cat > \"$0.in\"");
  {
    SearchPath path(dir.Path() + ":/bin:/usr/bin");
    EXPECT_TRUE(PlotterInstalled());
    std::FILE* pipe = StartPlotter({"-title", "DOPING:a b;c"}, "set pointsize 3\n");
    ASSERT_NE(pipe, nullptr);
    SendPlot(pipe, "plot x\n");
    StopPlotter(pipe);
    EXPECT_EQ(pipe, nullptr);
  }
  EXPECT_EQ(orvane_test::ReadFile(dir.File("gnuplot.args")), "-title|DOPING:a b;c|");
  EXPECT_EQ(orvane_test::ReadFile(dir.File("gnuplot.in")), "set pointsize 3\nplot x\n");
}
