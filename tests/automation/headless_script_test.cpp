#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Result {
  int exitCode;
  std::string output;
};

// Runs the real program on a script file and collects what it prints.
Result RunOrniva(const std::string& args) {
  Result r{-1, {}};
  FILE* p = popen((std::string(ORNIVA_BINARY) + " " + args + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[512];
  while (fgets(buf, sizeof buf, p)) r.output += buf;
  const int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class HeadlessScript : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orniva_headless_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }
  std::filesystem::path dir_;
};

TEST_F(HeadlessScript, RunsToTheEndAndPrintsWhatAppears) {
  Write("sub.txt", "messagebox.show(\"dans sub\")\r\n");
  const std::string file =
      Write("main.script",
            "var(n,integer)\r\nn := 6 * 7\r\nmessage.show(n)\r\nwait(600000)\r\n"
            "callfar(\"sub.txt\")\r\nmessagebox.showwait(\"attente\")\r\nbeep(hand)\r\n");
  const Result r = RunOrniva("--headless --virtual-time --script " + file);
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output,
            "[message] Orniva: 42\n"
            "[message] dans sub\n"
            "[message] attente\n"
            "[sound] beep hand\n");
}

TEST_F(HeadlessScript, StopsOnAnErrorWithNonZeroExit) {
  const std::string file = Write("bad.txt", "var(x,integer)\nx := 1 / 0\nbeep(ok)\n");
  const Result r = RunOrniva("--headless --script " + file);  // real time: 80 ms
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output, "[message] Orniva: Line 2 : Division by zero\n");
}

TEST_F(HeadlessScript, ByteOrderMarkBeforeTheFirstLineIsSkipped) {
  const std::string file = Write("bom.script", "\xEF\xBB\xBFmessage.show(\"premiere\")\r\n");
  const Result r = RunOrniva("--headless --virtual-time --script " + file);
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "[message] Orniva: premiere\n");
}

TEST_F(HeadlessScript, MissingFileIsReported) {
  const Result r = RunOrniva("--headless --script " + (dir_ / "none.txt").string());
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("none.txt"), std::string::npos);
}

}  // namespace
