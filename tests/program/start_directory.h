#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/virtual_event_loop.h"
#include "program/program.h"

namespace orniva {

// Runs a test in a fresh start directory, removed afterwards; Start() makes
// the program there, keeping its settings file "Orniva.ini".
struct StartDirectoryFixture : ::testing::Test {
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::path dir;
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  std::vector<std::string> lines;  // the message window's lines

  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orniva-start-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
    std::filesystem::current_path(dir);
  }
  void TearDown() override {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
  }
  std::unique_ptr<Program> Start(bool useSettings = true) {
    auto p = std::make_unique<Program>(loop, dialogs);
    p->Message().OnLine = [this](const std::string& s) { lines.push_back(s); };
    if (useSettings) p->UseSettingsFile();
    p->Activate();
    return p;
  }
  std::string Ini() const {
    std::ifstream in(dir / "Orniva.ini");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

}  // namespace orniva
