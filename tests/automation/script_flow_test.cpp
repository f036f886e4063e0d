#include <gtest/gtest.h>

#include "tests/automation/script_rig.h"

namespace orniva {

namespace {

using Trace = std::vector<std::pair<int64_t, int>>;

// A long operation of some owner: "test.op(startwait)" waits for it with
// the integration's flag, "test.op(start)" goes on at once; Finish is the
// owner's completion hook.
struct TestOperation {
  explicit TestOperation(ScriptInterpreter& s) : s_(s) {
    s.Register("test.op", [this](std::string_view args) {
      ++started;
      if (args == "startwait") return s_.BeginWait(s_.Waits().WaitIntegration);
      s_.ContinueScript(50);
    });
  }
  void Finish() { s_.CompleteWait(s_.Waits().WaitIntegration); }
  bool Waiting() const { return s_.Waits().WaitIntegration; }
  ScriptInterpreter& s_;
  int started = 0;
};

TEST(ScriptRun, LineTraceWithDelays) {
  struct TraceCase {
    std::string script;
    Trace trace;
  };
  const TraceCase cases[] = {
      // 50 ms to the first line, 10 ms per control line; the tick after the
      // last line finds the end.
      {"// a\n\n// b\n", {{50, 0}, {60, 1}, {70, 2}, {80, 3}}},
      {"wait(60000)\nmessagebox.show(\"fin\")\n", {{50, 0}, {60050, 1}, {60100, 2}}},
      {"wait(abc)\n", {{50, 0}}},  // abc : not declared
      {"wait(\"x\")\n", {{50, 0}, {100, 1}}},
      {"wait(0)\n", {{50, 0}, {51, 1}}},
      {"var(n,integer)\n:b\nn := n + 1\njumpif(n<2,b)\n",
       {{50, 0}, {60, 1}, {70, 2}, {80, 3}, {90, 2}, {100, 3}, {110, 4}}},
  };
  for (const TraceCase& c : cases) {
    ScriptRig rig;
    rig.Start(c.script);
    ASSERT_TRUE(rig.RunToEnd()) << c.script;
    EXPECT_EQ(rig.trace, c.trace) << c.script;
    EXPECT_EQ(rig.loop.NowMs(), c.trace.back().first) << c.script;
  }
}

TEST(ScriptRun, WaitingCommandContinuesWhenItsOwnerFinishes) {
  ScriptRig rig;
  TestOperation op(rig.s);
  rig.Start("test.op(startwait)\nmessagebox.show(\"after\")\n");
  rig.loop.RunFor(10'000);
  EXPECT_TRUE(rig.s.ScriptRunning());
  EXPECT_EQ(rig.s.Current().WaitState, 2);
  EXPECT_FALSE(rig.script.TMR_Script.Enabled());
  EXPECT_EQ(rig.trace, (Trace{{50, 0}}));
  op.Finish();
  EXPECT_EQ(rig.s.Current().WaitState, 1);
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.trace, (Trace{{50, 0}, {10'050, 1}, {10'100, 2}}));
  EXPECT_EQ(rig.message.MEMO_Message.Lines(), std::vector<std::string>{"after"});
}

TEST(ScriptRun, PauseDuringAWaitRunsTheWaitingLineAgainOnResume) {
  ScriptRig rig;
  TestOperation op(rig.s);
  rig.Start("test.op(startwait)\nmessagebox.show(\"b\")\n");
  rig.loop.RunFor(100);
  rig.script.MNU_Pause.Click();
  EXPECT_EQ(rig.s.Current().WaitState, 3);
  EXPECT_TRUE(rig.s.ScriptPaused());
  EXPECT_TRUE(rig.script.MNU_Executer.Enabled());
  EXPECT_FALSE(rig.script.MNU_Du_Debut.Enabled());
  EXPECT_TRUE(rig.script.MNU_Depuis_Curseur.Enabled());
  EXPECT_TRUE(rig.script.MNU_Arreter.Enabled());
  EXPECT_FALSE(rig.script.MNU_Pause.Enabled());
  op.Finish();  // the paused script is not continued; the flag stays set
  EXPECT_TRUE(op.Waiting());
  rig.loop.RunFor(1000);
  EXPECT_EQ(rig.trace.size(), 1u);
  rig.script.MNU_Depuis_Curseur.Click();  // resume
  EXPECT_EQ(rig.s.Current().WaitState, 1);
  rig.loop.RunFor(100);
  EXPECT_EQ(op.started, 2);
  EXPECT_EQ(rig.trace.back(), (std::pair<int64_t, int>{1150, 0}));
  op.Finish();
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.message.MEMO_Message.Lines(), std::vector<std::string>{"b"});
}

TEST(ScriptRun, PauseAndResumeRunTheLineThatWasDue) {
  ScriptRig rig;
  rig.Start("var(n,integer)\nn := 1\nn := n + 10\nmessagebox.show(n)\n");
  rig.loop.RunFor(60);  // lines 0 and 1 ran; line 2 is due at 70
  rig.script.MNU_Pause.Click();
  EXPECT_FALSE(rig.script.TMR_Script.Enabled());
  rig.loop.RunFor(5000);
  rig.script.MNU_Depuis_Curseur.Click();
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.trace, (Trace{{50, 0}, {60, 1}, {5110, 2}, {5120, 3}, {5170, 4}}));
  EXPECT_EQ(rig.message.MEMO_Message.Lines(), std::vector<std::string>{"11"});
}

TEST(ScriptRun, MessageWindowWaitAndPoursuivre) {
  ScriptRig rig;
  rig.Start(
      "messagebox.showwait(\"continuer ?\")\nmessagebox.clear\nmessagebox.show(42)\n"
      "messagebox.hide\n");
  rig.loop.RunFor(1000);
  EXPECT_TRUE(rig.message.Visible());
  EXPECT_TRUE(rig.message.BTN_Poursuivre.Visible());
  EXPECT_EQ(rig.s.Current().WaitState, 2);
  rig.message.BTN_Poursuivre.Click();
  rig.loop.RunFor(120);  // the clear ran at 1050, then 42 is shown
  EXPECT_EQ(rig.message.MEMO_Message.Lines(), (std::vector<std::string>{"", "42"}));
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_FALSE(rig.message.Visible());
  // "Poursuivre" does nothing once the script has stopped.
  rig.message.ShowMessageWait(false, "x");
  rig.message.BTN_Poursuivre.Click();
  EXPECT_FALSE(rig.script.TMR_Script.Enabled());
}

TEST(ScriptRun, DialogsAndSounds) {
  ScriptRig rig;
  rig.WriteFile("top.wav", "RIFF");
  const std::string wav = (rig.dir / "top.wav").string();
  rig.Start(
      "var(f,string)\nf := %scriptdir + \"top.wav\"\nmessage.show(\"Bonjour, ciel\")\n"
      "beep(exclamation)\nbeep(ok)\nplaysound(f)\nbeep(Beep)\n");
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.Messages(),
            (std::vector<std::string>{"Bonjour, ciel", "Line 7 : Unknown parameter : Beep"}));
  EXPECT_EQ(rig.sound.Played(),
            (std::vector<std::string>{"beep exclamation", "beep default", "file " + wav}));
  rig.Start("playsound(\"/nonexistent/x.wav\")\n");
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.s.LastError(), "Line 1 : File not found : /nonexistent/x.wav");
}

TEST(ScriptRun, MenusAndProgressWhileRunning) {
  ScriptRig rig;
  int progressShown = 0;
  rig.progress.OnShow = [&] { ++progressShown; };
  std::vector<RunMenus> states;
  rig.script.OnRunMenus = [&](RunMenus m) { states.push_back(m); };
  EXPECT_TRUE(rig.script.MNU_Executer.Enabled());
  EXPECT_FALSE(rig.script.MNU_Arreter.Enabled());
  EXPECT_FALSE(rig.script.MNU_Pause.Enabled());
  rig.Start("wait(1000)\nwait(1000)\n");
  EXPECT_EQ(progressShown, 1);
  EXPECT_EQ(rig.progress.Caption(), "Preanalyse en cours...");
  EXPECT_FALSE(rig.progress.Visible());  // closed once the analysis is done
  EXPECT_FALSE(rig.script.MNU_Executer.Enabled());
  EXPECT_TRUE(rig.script.MNU_Arreter.Enabled());
  EXPECT_TRUE(rig.script.MNU_Pause.Enabled());
  rig.loop.RunFor(500);
  rig.script.MNU_Arreter.Click();
  EXPECT_FALSE(rig.Running());
  EXPECT_FALSE(rig.script.TMR_Script.Enabled());
  EXPECT_TRUE(rig.script.MNU_Executer.Enabled());
  EXPECT_FALSE(rig.script.MNU_Arreter.Enabled());
  EXPECT_EQ(states.back(), RunMenus::Stopped);
  // An empty editor gives the stopped menus back at once.
  rig.Start("");
  EXPECT_FALSE(rig.Running());
  EXPECT_TRUE(rig.script.MNU_Executer.Enabled());
  EXPECT_FALSE(rig.script.MNU_Arreter.Enabled());
}

TEST(ScriptRun, RunFromTheCaretLine) {
  ScriptRig rig;
  const std::string text = "var(n,integer)\nn := 1\nn := n + 2\nn := n + 4\nn := n + 8\n";
  rig.script.Memo_Script.SetText(text);
  rig.script.SetCaret(0);
  rig.script.MNU_Depuis_Curseur.Click();
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.finalVariables, "n=15");
  // Anywhere on line 5 ("n := n + 8" starts at offset 16 + 8 + 12 + 12).
  rig.script.SetCaret(48 + 3);
  rig.trace.clear();
  rig.script.MNU_Depuis_Curseur.Click();
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.trace.front().second, 4);
  EXPECT_EQ(rig.finalVariables, "n=8");
}

TEST(ScriptRun, CallfarDeclaresAfreshEachTimeAndComesBack) {
  ScriptRig rig;
  rig.WriteFile("sub.txt", "var(k,integer)\nk := k + 1\nmessagebox.show(k)\n");
  rig.Start(
      "var(f,string)\nf := \"sub.txt\"\ncallfar(f)\ncallfar(\"sub.txt\")\n"
      "messagebox.show(\"fin\")\n");
  const std::vector<std::string> level1 = rig.script.Memo_Script.Lines();
  int maxLevel = 1;
  rig.s.OnExecute = [&](int) { maxLevel = std::max(maxLevel, rig.s.ScriptLevel()); };
  rig.loop.RunUntil([&] { return rig.s.ScriptLevel() == 2; }, 1000);
  EXPECT_EQ(rig.script.Caption(), "Scripts : " + (rig.dir / "sub.txt").string());
  EXPECT_TRUE(rig.script.MNU_Enregistrer.Enabled());
  EXPECT_EQ(rig.script.Memo_Script.Lines()[0], "var(k,integer)");
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(maxLevel, 2);
  EXPECT_EQ(rig.message.MEMO_Message.Lines(), (std::vector<std::string>{"1", "1", "fin"}));
  EXPECT_EQ(rig.script.Memo_Script.Lines(), level1);
  EXPECT_EQ(rig.finalVariables, "f='sub.txt'");
  EXPECT_TRUE(rig.Messages().empty());
}

TEST(ScriptRun, NestedScriptsFailCleanly) {
  struct FailCase {
    std::string file;  // sub.txt
    std::string caller;
    std::string error;
  };
  const FailCase cases[] = {
      // Calls itself: eight levels exist, the ninth is refused.
      {"callfar(\"sub.txt\")\n", "callfar(\"sub.txt\")\n",
       "Line 1 : Too many nested scripts (8 levels at most) : sub.txt"},
      {"x\n", "callfar(\"sub.txt\")\nmessagebox.show(\"not reached\")\n",
       "Error, Line 1 : Unknown Command"},
      {"", "callfar(\"missing.txt\")\n", "Line 1 : Script not found : missing.txt"},
      {":a\n:a\n", "callfar(\"sub.txt\")\n", "Line 2 : a :Duplicated"},
  };
  for (const FailCase& c : cases) {
    ScriptRig rig;
    rig.WriteFile("sub.txt", c.file);
    rig.Start(c.caller);
    ASSERT_TRUE(rig.RunToEnd()) << c.caller;
    EXPECT_EQ(rig.s.LastError(), c.error);
    EXPECT_EQ(rig.s.ScriptLevel(), 1);
    EXPECT_FALSE(rig.script.TMR_Script.Enabled());
    EXPECT_TRUE(rig.message.MEMO_Message.Lines().empty());
    EXPECT_EQ(rig.script.Memo_Script.Lines()[0], c.caller.substr(0, c.caller.find('\n')));
    for (int level = 1; level <= ScriptInterpreter::kMaxLevels; ++level) {
      EXPECT_EQ(rig.s.Level(level).VariableCount() + rig.s.Level(level).LabelCount(), 0);
    }
  }
}

TEST(ScriptRun, EmptyNestedScriptLetsTheCallerGoOn) {
  ScriptRig rig;
  rig.WriteFile("empty.txt", "");
  rig.Start("callfar(\"empty.txt\")\nmessagebox.show(\"ok\")\n");
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.message.MEMO_Message.Lines(), std::vector<std::string>{"ok"});
}

TEST(ScriptRun, StopOnANestedLevelLeavesOnlyThatLevel) {
  ScriptRig rig;
  rig.WriteFile("sub.txt", "wait(10000)\n");
  rig.Start("callfar(\"sub.txt\")\nmessagebox.show(\"after\")\n");
  rig.loop.RunUntil([&] { return rig.s.ScriptLevel() == 2 && rig.trace.size() >= 2; }, 1000);
  rig.script.MNU_Arreter.Click();
  EXPECT_EQ(rig.s.ScriptLevel(), 1);
  // The caller is not continued but keeps the running menus until stopped.
  EXPECT_TRUE(rig.s.ScriptRunning());
  EXPECT_TRUE(rig.script.MNU_Arreter.Enabled());
  rig.loop.RunFor(20000);
  EXPECT_TRUE(rig.message.MEMO_Message.Lines().empty());
  rig.script.MNU_Arreter.Click();
  EXPECT_FALSE(rig.Running());
}

}  // namespace

}  // namespace orniva
