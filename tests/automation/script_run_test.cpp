#include <gtest/gtest.h>

#include "tests/automation/script_rig.h"

namespace orniva {

namespace {

struct Case {
  const char* name;
  std::string script;
  std::string variables;  // level 1's variables when it ended
  std::string error;      // the message box of the stop, empty when none
};

std::string Repeat(int n, const std::function<std::string(int)>& line) {
  std::string out;
  for (int i = 1; i <= n; ++i) out += line(i) + "\n";
  return out;
}

// d calls nest until d reaches depth, then every call returns.
std::string NestedCalls(int depth) {
  return "var(d,integer)\n"
         "call(r)\n"
         "jump(fin)\n"
         ":r\n"
         "d := d + 1\n"
         "jumpif(d>=" +
         std::to_string(depth) +
         ",unwind)\n"
         "call(r)\n"
         ":unwind\n"
         "return\n"
         ":fin\n";
}

const Case kCases[] = {
    {"LeftToRightArithmetic",
     "var(a,integer)\nvar(b,integer)\nvar(c,integer)\nvar(e,integer)\n"
     "a := 2 + 3 * 4\nb := 7 / 2\nc := -7 / 2\ne := a - -5 - b  \n",
     "a=20 b=3 c=-3 e=22", ""},
    {"ConcatenationWithSystemVariable",
     "var(s,string)\nvar(t,string)\nt := \"z\"\ns := \"a\" + %date + t\n", "s='a20260101z' t='z'",
     ""},
    {"IntegerAndStringJumpif",
     "var(n,integer)\nvar(r,string)\nn := 10\njumpif(n>=10,fin)\nr := \"no\"\n:fin\n"
     "jumpif(%hour>=\"20\",nuit)\nr := \"jour\"\njump(end)\n:nuit\nr := r + \"nuit\"\n:end\n",
     "n=10 r='nuit'", ""},
    {"StringComparisonIsByCharacterCode", "var(r,integer)\njumpif(\"a\"<\"B\",bad)\nr := 1\n:bad\n",
     "r=1", ""},
    {"IncompatibleTypes", "var(a,string)\nvar(b,integer)\njumpif(a=b,l)\n:l\n", "a='' b=0",
     "Line 3 : a=b : incompatible types"},
    {"SystemVariableAgainstNumber", "jumpif(%cam1_online=1,ok)\n:ok\n", "",
     "Line 1 : %cam1_online=1 : incompatible types"},
    {"SystemVariableAgainstText", "var(r,integer)\njumpif(%cam1_online=\"0\",ok)\nr := 1\n:ok\n",
     "r=0", ""},
    {"StackUnderflow", "return\n", "", "Line 1 : Stack underflow"},
    {"TwentyFourCallsPass", NestedCalls(24), "d=24", ""},
    {"TwentyFifthCallOverflows", NestedCalls(25), "d=24", "Line 7 : Stack overflow"},
    {"DuplicatedLabel", ":boucle\nvar(n,integer)\n:Boucle\n", "n=0", "Line 3 : Boucle :Duplicated"},
    {"SecondDeclarationKeepsValue",
     "var(n,integer)\nn := 5\nvar(n,integer)\nvar(N,string)\nn := n + 1\n", "n=6", ""},
    {"LabelWithLeadingBlanksIsNotFound", " :boucle\njump(boucle)\n", "",
     "Line 2 : boucle : Unknown label"},
    {"CaseInsensitiveJump", "var(n,integer)\nJump(Boucle)\nN := 1\n:boucle\n", "n=0", ""},
    {"JumpToLastLineEnds", "var(n,integer)\njump(fin)\nn := 1\n:fin", "n=0", ""},
    {"VariableNamedLikeACommandRunsTheCommand", "var(wait,integer)\nwait := 5\n", "wait=0", ""},
    {"UnknownCommand", "var(n,integer)\nfoo(1)\n", "n=0", "Error, Line 2 : Unknown Command"},
    {"UnknownLabel", "jump(nowhere)\n", "", "Line 1 : nowhere : Unknown label"},
    {"BadType", "var(x,Float)\n", "", "Line 1 : Float"},
    {"AssignmentWithoutOperator", "var(x,integer)\nx = 5\n", "x=0", "Line 2 :  = 5"},
    {"NotDeclared", "var(s,string)\ns := zz\n", "s=''", "Line 2 : zz : not declared"},
    {"UnknownSystemVariable", "var(s,string)\ns := %foo\n", "s=''",
     "Line 2 : %foo : unknown system variable"},
    {"StringInIntegerExpression", "var(s,string)\nvar(n,integer)\nn := 1 + s\n", "s='' n=0",
     "Line 3 : 1 + s : incompatible types"},
    // Faults the interpreter refuses cleanly: the variable keeps its value.
    {"StrayTail", "var(x,integer)\nx := 1\nx := 5 abc\n", "x=1", "Line 3 : abc : unexpected text"},
    {"MinusInStringExpression", "var(s,string)\ns := \"k\"\ns := \"a\" - \"b\"\n", "s='k'",
     "Line 3 : - \"b\" : unexpected text"},
    {"DivisionByZero", "var(x,integer)\nx := 1\nx := 5 / 0\n", "x=1", "Line 3 : Division by zero"},
    {"NumberTooLarge", "var(x,integer)\nx := 1\nx := 3000000000\n", "x=1",
     "Line 3 : 3000000000 : not a valid integer"},
    {"DecimalNumber", "var(x,integer)\nx := 1\nx := 2.5\n", "x=1",
     "Line 3 : 2.5 : not a valid integer"},
    {"SmallestInteger", "var(x,integer)\nx := -2147483648\n", "x=-2147483648", ""},
    {"Overflow", "var(x,integer)\nx := 1\nx := 2147483647 + 1\n", "x=1",
     "Line 3 : Integer overflow"},
    {"NonNumericSystemVariable", "var(x,integer)\nx := 1\nx := %appdir\n", "x=1",
     "Line 3 : /opt/orniva/ : not a valid integer"},
    {"TrailingBlanksAreFine", "var(x,integer)\nx := 4 * 2   \n", "x=8", ""},
    {"TooManyVariables",
     Repeat(129, [](int i) { return "var(v" + std::to_string(i) + ",integer)"; }), "*",
     "Line 129 : v129 : too many variables (128 at most)"},
    {"TooManyLabels", Repeat(129, [](int i) { return ":l" + std::to_string(i); }), "",
     "Line 129 : l129 : too many labels (128 at most)"},
    {"ConditionWithoutComparison", "var(n,integer)\njumpif(n,l)\n:l\n", "n=0",
     "Line 2 : n : comparison missing"},
};

class ScriptCases : public ::testing::TestWithParam<Case> {};

TEST_P(ScriptCases, RunToTheEnd) {
  const Case& c = GetParam();
  ScriptRig rig;
  rig.s.SystemValues().Set("%appdir", [] { return std::string("/opt/orniva/"); });
  rig.Start(c.script);
  ASSERT_TRUE(rig.RunToEnd());
  if (c.variables != "*") {
    EXPECT_EQ(rig.finalVariables, c.variables);
  }
  const std::vector<std::string> messages = rig.Messages();
  if (c.error.empty()) {
    EXPECT_TRUE(messages.empty()) << messages.front();
  } else {
    EXPECT_EQ(messages, std::vector<std::string>{c.error});
  }
  EXPECT_EQ(rig.s.LastError(), c.error);
  // Stopped for good: menus back, timer off, no level left behind.
  EXPECT_FALSE(rig.script.TMR_Script.Enabled());
  EXPECT_EQ(rig.s.ScriptLevel(), 1);
  EXPECT_EQ(rig.s.Current().WaitState, 0);
  EXPECT_TRUE(rig.script.MNU_Executer.Enabled());
  EXPECT_FALSE(rig.script.MNU_Arreter.Enabled());
  EXPECT_FALSE(rig.script.MNU_Pause.Enabled());
}

INSTANTIATE_TEST_SUITE_P(Script, ScriptCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

}  // namespace orniva
