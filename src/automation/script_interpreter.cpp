#include "automation/script_interpreter.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "automation/script_text.h"

namespace orniva {

namespace {

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
// A name ends at a blank, an arithmetic operator or a comparison sign.
bool EndsName(char c) {
  return IsBlank(c) || c == '+' || c == '-' || c == '*' || c == '/' || c == '<' || c == '=' ||
         c == '>';
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}
// Digits with an optional leading sign, as a 64-bit value capped so that
// anything beyond 32 bits stays beyond; nothing when it is not such a text.
std::optional<int64_t> ParseWhole(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    v = v * 10 + (text[i] - '0');
    if (v > (int64_t{1} << 40)) v = int64_t{1} << 40;
  }
  return negative ? -v : v;
}
bool FitsInt32(int64_t v) {
  return v >= INT32_MIN && v <= INT32_MAX;
}
bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::optional<std::vector<std::string>> ReadScriptFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Editors that save UTF-8 may put a byte-order mark before the first
    // line; it is not part of the script.
    if (lines.empty() && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    lines.push_back(std::move(line));
  }
  if (in.bad()) return std::nullopt;
  return lines;
}

ScriptInterpreter::ScriptInterpreter(ScriptHost& host, EventLoop& loop)
    : host_(host), loop_(loop) {}

void ScriptInterpreter::Register(std::string word, Command handler) {
  commands_[std::move(word)] = std::move(handler);
}

bool ScriptInterpreter::ExecuteCommand(std::string_view word, std::string_view args) {
  auto it = commands_.find(word);
  if (it == commands_.end()) return false;
  it->second(args);
  return true;
}

// ---------------------------------------------------------------- lines

void ScriptInterpreter::ExecuteLine(int phase, std::string_view text) {
  const std::string_view original = FirstWord(text);
  char buf[64];
  std::string_view word;
  if (original.size() < sizeof buf) {
    for (size_t i = 0; i < original.size(); ++i) buf[i] = Lower(original[i]);
    word = std::string_view(buf, original.size());
  }
  if (phase == 1) {
    if (word == "var") {
      DeclareVariable(ArgumentText(text));
    } else if (word == ":") {
      DeclareLabel(text);
    }
    return;
  }
  if (original.empty() || word == "//" || word == "var" || word == ":" || word == "@menu" ||
      word == "@button") {
    ContinueScript(10);
    return;
  }
  const std::string_view args = ArgumentText(text);
  if (word == "jump") return JumpTo(Field(args, 1));
  if (word == "call") return Call(Field(args, 1));
  if (word == "return") return Return();
  if (word == "jumpif") return JumpIf(args);
  if (word == "callfar") return CallFar(args);
  if (!word.empty() && ExecuteCommand(word, args)) return;
  if (TVariable* v = FindVariable(original)) {
    Assign(*v, text.substr(std::min(original.size(), text.size())));
    return;
  }
  UnknownCommand();
}

void ScriptInterpreter::DeclareVariable(std::string_view args) {
  const std::string_view name = TrimBlanks(Field(args, 1));
  const std::string_view type = TrimBlanks(Field(args, 2));
  if (FindVariable(name)) return;
  TScript& level = Current();
  const bool isInteger = SameText(type, "integer");
  if (!isInteger && !SameText(type, "string")) return ScriptError(std::string(type));
  if (level.VariableCount() >= TScript::kMaxVariables) {
    return ScriptError(std::string(name) + " : too many variables (128 at most)");
  }
  TVariable v;
  v.Name = std::string(name);
  v.Kind = isInteger ? 0 : 1;
  level.Variables.push_back(std::move(v));
}

void ScriptInterpreter::DeclareLabel(std::string_view line) {
  const std::string_view name = Field(line.substr(1), 1);
  if (FindLabel(name)) return ScriptError(std::string(name) + " :Duplicated");
  TScript& level = Current();
  if (level.LabelCount() >= TScript::kMaxLabels) {
    return ScriptError(std::string(name) + " : too many labels (128 at most)");
  }
  level.Labels.push_back({std::string(name), level.CurrentLine});
}

TVariable* ScriptInterpreter::FindVariable(std::string_view name) {
  for (TVariable& v : Current().Variables) {
    if (SameText(v.Name, name)) return &v;
  }
  return nullptr;
}

const TEtiquette* ScriptInterpreter::FindLabel(std::string_view name) const {
  for (const TEtiquette& l : levels_[level_ - 1].Labels) {
    if (SameText(l.Name, name)) return &l;
  }
  return nullptr;
}

// ---------------------------------------------------------------- control flow

void ScriptInterpreter::JumpTo(std::string_view label) {
  const TEtiquette* l = FindLabel(label);
  if (!l) return ScriptError(std::string(label) + " : Unknown label");
  Current().CurrentLine = l->Line;
  ContinueScript(10);
}

void ScriptInterpreter::Call(std::string_view label) {
  TScript& level = Current();
  if (level.StackCount >= TScript::kStackSize) return ScriptError("Stack overflow");
  const TEtiquette* l = FindLabel(label);
  if (!l) return ScriptError(std::string(label) + " : Unknown label");
  level.ReturnStack[level.StackCount] = level.CurrentLine;
  ++level.StackCount;
  level.CurrentLine = l->Line;
  ContinueScript(10);
}

void ScriptInterpreter::Return() {
  TScript& level = Current();
  if (level.StackCount <= 1) return ScriptError("Stack underflow");
  --level.StackCount;
  level.CurrentLine = level.ReturnStack[level.StackCount];
  ContinueScript(10);
}

void ScriptInterpreter::JumpIf(std::string_view args) {
  const std::optional<bool> result = EvaluateCondition(Field(args, 1));
  if (!result) return;
  if (*result) return JumpTo(Field(args, 2));
  ContinueScript(10);
}

void ScriptInterpreter::CallFar(std::string_view args) {
  const std::string_view field = Field(args, 1);
  size_t pos = 0;
  std::string name;
  const Operand r = ReadStringOperand(field, pos, name);
  if (r == Operand::Failed) return;
  if (r != Operand::Ok) name = std::string(TrimBlanks(field));
  const std::string path =
      systemVariables_.Value("%scriptdir", loop_.LocalTime()).value_or("") + name;
  if (!FileExists(path)) return ScriptError("Script not found : " + name);
  if (level_ >= kMaxLevels) {
    return ScriptError("Too many nested scripts (8 levels at most) : " + name);
  }
  if (!RunScriptFile(path)) ScriptError("Script not found : " + name);
}

bool ScriptInterpreter::RunScriptFile(const std::string& path) {
  if (level_ >= kMaxLevels || !LoadScript(path, true)) return false;
  host_.ShowLevelFile(path, true);
  host_.SetRunMenus(RunMenus::Running);
  Current().WaitState = 1;
  StartScript(0);
  return true;
}

// ---------------------------------------------------------------- operands

std::string_view ScriptInterpreter::ReadName(std::string_view text, size_t& pos) const {
  const size_t start = pos;
  while (pos < text.size() && !EndsName(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

std::optional<std::string> ScriptInterpreter::SystemVariable(std::string_view name) const {
  return systemVariables_.Value(name, loop_.LocalTime());
}

ScriptInterpreter::Operand ScriptInterpreter::ReadStringOperand(std::string_view text, size_t& pos,
                                                                std::string& value) {
  size_t p = pos;
  while (p < text.size() && IsBlank(text[p])) ++p;
  if (p >= text.size()) return Operand::Mismatch;
  const char c = text[p];
  if (c == '"') {
    const size_t close = text.find('"', p + 1);
    const size_t end = close == std::string_view::npos ? text.size() : close;
    value.assign(text.substr(p + 1, end - p - 1));
    pos = close == std::string_view::npos ? text.size() : close + 1;
    return Operand::Ok;
  }
  if (c == '%') {
    const std::string_view name = ReadName(text, p);
    std::optional<std::string> v = SystemVariable(name);
    if (!v) {
      ScriptError(std::string(name) + " : unknown system variable");
      return Operand::Failed;
    }
    value = std::move(*v);
    pos = p;
    return Operand::Ok;
  }
  if (IsLetter(c) || c == '_') {
    const std::string_view name = ReadName(text, p);
    const TVariable* v = FindVariable(name);
    if (!v) {
      ScriptError(std::string(name) + " : not declared");
      return Operand::Failed;
    }
    if (v->Kind != 1) return Operand::Mismatch;
    value = v->StrValue;
    pos = p;
    return Operand::Ok;
  }
  return Operand::Mismatch;
}

ScriptInterpreter::Operand ScriptInterpreter::ReadIntegerOperand(std::string_view text, size_t& pos,
                                                                 int32_t& value,
                                                                 std::string* numberText) {
  size_t p = pos;
  bool negative = false;
  while (p < text.size() && (IsBlank(text[p]) || text[p] == '-')) {
    if (text[p] == '-') negative = true;
    ++p;
  }
  if (p >= text.size()) return Operand::Mismatch;
  const char c = text[p];
  int64_t v = 0;
  if (IsDigit(c) || c == '.') {
    const size_t start = p;
    while (p < text.size() && (IsDigit(text[p]) || text[p] == '.')) ++p;
    const std::string_view digits = text.substr(start, p - start);
    const std::optional<int64_t> parsed = ParseWhole(digits);
    if (!parsed || !FitsInt32(negative ? -*parsed : *parsed)) {
      if (numberText) {
        numberText->clear();
        if (negative) numberText->push_back('-');
        numberText->append(digits.data(), digits.size());
      }
      return Operand::NotNumeric;
    }
    v = *parsed;
  } else if (c == '%') {
    const std::string_view name = ReadName(text, p);
    const std::optional<std::string> s = SystemVariable(name);
    if (!s) {
      ScriptError(std::string(name) + " : unknown system variable");
      return Operand::Failed;
    }
    const std::optional<int64_t> parsed = ParseWhole(TrimBlanks(*s));
    if (!parsed || !FitsInt32(*parsed) || !FitsInt32(-*parsed)) {
      if (numberText) *numberText = *s;
      return Operand::NotNumeric;
    }
    v = *parsed;
  } else if (IsLetter(c) || c == '_') {
    const std::string_view name = ReadName(text, p);
    const TVariable* var = FindVariable(name);
    if (!var) {
      ScriptError(std::string(name) + " : not declared");
      return Operand::Failed;
    }
    if (var->Kind != 0) return Operand::Mismatch;
    v = var->IntValue;
  } else {
    return Operand::Mismatch;
  }
  if (negative) v = -v;
  if (!FitsInt32(v)) {  // only -(-2147483648)
    if (numberText) *numberText = std::to_string(v);
    return Operand::NotNumeric;
  }
  value = static_cast<int32_t>(v);
  pos = p;
  return Operand::Ok;
}

std::optional<std::string> ScriptInterpreter::ReadTextArgument(std::string_view field) {
  size_t pos = 0;
  std::string text;
  const Operand r = ReadStringOperand(field, pos, text);
  if (r == Operand::Ok) return text;
  if (r == Operand::Failed) return std::nullopt;
  pos = 0;
  int32_t n = 0;
  std::string number;
  switch (ReadIntegerOperand(field, pos, n, &number)) {
    case Operand::Ok:
      return std::to_string(n);
    case Operand::NotNumeric:
      ScriptError(number + " : not a valid integer");
      return std::nullopt;
    case Operand::Mismatch:
      ScriptError(std::string(field));
      return std::nullopt;
    case Operand::Failed:
      break;
  }
  return std::nullopt;
}

std::optional<int32_t> ScriptInterpreter::ReadIntArgument(std::string_view field,
                                                          int32_t fallback) {
  size_t pos = 0;
  int32_t n = 0;
  switch (ReadIntegerOperand(field, pos, n)) {
    case Operand::Ok:
      return n;
    case Operand::Failed:
      return std::nullopt;
    default:
      return fallback;
  }
}

// ---------------------------------------------------------------- expressions

namespace {

// After an operand: blanks and double quotes are skipped before an operator.
size_t SkipToOperator(std::string_view text, size_t pos) {
  while (pos < text.size() && (IsBlank(text[pos]) || text[pos] == '"')) ++pos;
  return pos;
}

}  // namespace

void ScriptInterpreter::Assign(TVariable& variable, std::string_view rest) {
  const size_t at = rest.find(":=");
  if (at == std::string_view::npos) return ScriptError(std::string(rest));
  const std::string_view expression = rest.substr(at + 2);
  if (variable.Kind == 0) {
    AssignInteger(variable, expression);
  } else {
    AssignString(variable, expression);
  }
}

void ScriptInterpreter::AssignInteger(TVariable& variable, std::string_view expression) {
  // The variable may move if an operand error stops the script: keep its
  // name to find it again when the value is stored.
  const std::string name = variable.Name;
  size_t pos = 0;
  int64_t total = 0;
  char op = 0;
  while (true) {
    int32_t operand = 0;
    std::string number;
    switch (ReadIntegerOperand(expression, pos, operand, &number)) {
      case Operand::Ok:
        break;
      case Operand::Mismatch:
        return ScriptError(std::string(TrimBlanks(expression)) + " : incompatible types");
      case Operand::NotNumeric:
        return ScriptError(number + " : not a valid integer");
      case Operand::Failed:
        return;
    }
    switch (op) {
      case 0:
        total = operand;
        break;
      case '+':
        total += operand;
        break;
      case '-':
        total -= operand;
        break;
      case '*':
        total *= operand;
        break;
      case '/':
        if (operand == 0) return ScriptError("Division by zero");
        total /= operand;
        break;
    }
    if (!FitsInt32(total)) return ScriptError("Integer overflow");
    pos = SkipToOperator(expression, pos);
    if (pos >= expression.size()) break;
    op = expression[pos];
    if (op != '+' && op != '-' && op != '*' && op != '/') {
      return ScriptError(std::string(TrimBlanks(expression.substr(pos))) + " : unexpected text");
    }
    ++pos;
  }
  if (TVariable* v = FindVariable(name)) v->IntValue = static_cast<int32_t>(total);
  ContinueScript(10);
}

void ScriptInterpreter::AssignString(TVariable& variable, std::string_view expression) {
  const std::string name = variable.Name;
  size_t pos = 0;
  std::string total;
  std::string operand;
  while (true) {
    switch (ReadStringOperand(expression, pos, operand)) {
      case Operand::Ok:
        break;
      case Operand::Failed:
        return;
      default:
        return ScriptError(std::string(TrimBlanks(expression)) + " : incompatible types");
    }
    total += operand;
    pos = SkipToOperator(expression, pos);
    if (pos >= expression.size()) break;
    if (expression[pos] != '+') {
      return ScriptError(std::string(TrimBlanks(expression.substr(pos))) + " : unexpected text");
    }
    ++pos;
  }
  if (TVariable* v = FindVariable(name)) v->StrValue = std::move(total);
  ContinueScript(10);
}

std::optional<bool> ScriptInterpreter::EvaluateCondition(std::string_view condition) {
  const std::string incompatible = std::string(condition) + " : incompatible types";
  size_t pos = 0;
  std::string leftText;
  int32_t leftInt = 0;
  bool isString = true;
  // Reads an integer operand at pos; a failure is reported and gives false.
  auto readInteger = [&](int32_t& value) {
    std::string number;
    switch (ReadIntegerOperand(condition, pos, value, &number)) {
      case Operand::Ok:
        return true;
      case Operand::Mismatch:
        ScriptError(incompatible);
        return false;
      case Operand::NotNumeric:
        ScriptError(number + " : not a valid integer");
        return false;
      case Operand::Failed:
        return false;
    }
    return false;
  };
  switch (ReadStringOperand(condition, pos, leftText)) {
    case Operand::Ok:
      break;
    case Operand::Failed:
      return std::nullopt;
    default:
      isString = false;
      pos = 0;
      if (!readInteger(leftInt)) return std::nullopt;
  }
  static constexpr std::string_view kOperators[] = {"<>", "<=", ">=", "<", ">", "="};
  const std::string_view rest = condition.substr(pos);
  std::string_view op;
  size_t opAt = std::string_view::npos;
  for (std::string_view candidate : kOperators) {
    opAt = rest.find(candidate);
    if (opAt != std::string_view::npos) {
      op = candidate;
      break;
    }
  }
  if (op.empty()) {
    ScriptError(std::string(condition) + " : comparison missing");
    return std::nullopt;
  }
  pos += opAt + op.size();
  int cmp = 0;
  if (isString) {
    std::string right;
    switch (ReadStringOperand(condition, pos, right)) {
      case Operand::Ok:
        break;
      case Operand::Failed:
        return std::nullopt;
      default:
        ScriptError(incompatible);
        return std::nullopt;
    }
    const int c = leftText.compare(right);
    cmp = c < 0 ? -1 : (c > 0 ? 1 : 0);
  } else {
    int32_t right = 0;
    if (!readInteger(right)) return std::nullopt;
    cmp = leftInt < right ? -1 : (leftInt > right ? 1 : 0);
  }
  pos = SkipToOperator(condition, pos);
  if (pos < condition.size()) {
    ScriptError(std::string(condition) + " : unexpected text");
    return std::nullopt;
  }
  if (op == "<>") return cmp != 0;
  if (op == "<=") return cmp <= 0;
  if (op == ">=") return cmp >= 0;
  if (op == "<") return cmp < 0;
  if (op == ">") return cmp > 0;
  return cmp == 0;
}

// ---------------------------------------------------------------- running

void ScriptInterpreter::ContinueScript(int delayMs) {
  TScript& level = Current();
  if (level.CurrentLine < level.LineCount) {
    ++level.CurrentLine;
    host_.ArmRunTimer(delayMs);
  } else if (level.Phase == 1) {
    level.CurrentLine = 0;
    level.Phase = 2;
    level.CaretOffset = 0;
    host_.ArmRunTimer(delayMs);
  } else {
    EndOfLevel();
  }
}

void ScriptInterpreter::EndOfLevel() {
  if (level_ == 1) return StopScript();
  Discard(Current());
  LeaveLevel();
  switch (Current().WaitState) {
    case 0:
      StopScript();
      break;
    case 1:
      ContinueScript(50);
      break;
    case 3:
      PauseScript();
      break;
    default:
      break;
  }
}

void ScriptInterpreter::StartScript(int firstLine) {
  TScript& level = Current();
  level.LineCount = static_cast<int32_t>(level.Lines.size());
  if (level.LineCount <= 0) {
    // Nothing to run: the level ends at once (a nested empty file lets its
    // caller go on, an empty editor gives the stopped menus back).
    level.Phase = 2;
    level.CurrentLine = 0;
    running_ = running_ || level_ > 1;
    return EndOfLevel();
  }
  host_.SetRunMenus(RunMenus::Running);
  level.Variables.clear();
  level.Labels.clear();
  level.Phase = 1;
  level.CurrentLine = -1;
  level.CaretOffset = 0;
  const uint64_t stops = stops_;
  const int levelNumber = level_;
  const std::vector<std::string>& editor = host_.EditorLines();
  int lastPercent = -1;
  for (int32_t i = 0; i < level.LineCount; ++i) {
    level.CurrentLine = i;
    const int percent = static_cast<int>(int64_t{i} * 100 / level.LineCount);
    if (percent != lastPercent) host_.ShowProgress("Preanalyse en cours...", percent);
    lastPercent = percent;
    host_.SelectLine(i);
    ExecuteLine(1, i < static_cast<int32_t>(editor.size()) ? std::string_view(editor[i])
                                                           : std::string_view());
    if (stops_ != stops || level_ != levelNumber) {
      host_.ShowProgress("Preanalyse en cours...", 100);
      return;
    }
  }
  host_.ShowProgress("Preanalyse en cours...", 100);
  level.Phase = 2;
  level.CaretOffset = 0;
  level.CurrentLine = firstLine - 1;
  level.StackCount = 1;
  level.ReturnStack.fill(0);
  running_ = true;
  paused_ = false;
  ContinueScript(50);
}

void ScriptInterpreter::RunTimerTick() {
  TScript& level = Current();
  level.CaretOffset = host_.SelectLine(level.CurrentLine);
  host_.DisarmRunTimer();
  if (level.WaitState == 2) level.WaitState = 1;
  if (OnExecute) OnExecute(level.CurrentLine);
  const std::vector<std::string>& editor = host_.EditorLines();
  std::string line;
  if (level.CurrentLine >= 0 && level.CurrentLine < static_cast<int32_t>(editor.size())) {
    line = editor[level.CurrentLine];
  }
  ExecuteLine(level.Phase, line);
}

void ScriptInterpreter::Discard(TScript& level) {
  if (OnDiscard) OnDiscard(level);
  level.Variables.clear();
  level.Labels.clear();
}

void ScriptInterpreter::LeaveLevel() {
  if (level_ <= 1) return;
  --level_;
  TScript& level = Current();
  host_.SetEditorLines(level.Lines);
  host_.ShowLevelFile(level.FileName, false);
}

void ScriptInterpreter::StopScript() {
  paused_ = false;
  ++stops_;
  Discard(Current());
  host_.DisarmRunTimer();
  const bool last = level_ == 1;
  if (last) {
    running_ = false;
    host_.SetRunMenus(RunMenus::Stopped);
  } else {
    LeaveLevel();
  }
  host_.StopSequencer();
  Current().WaitState = 0;
  if (last && OnStopped) OnStopped();
}

void ScriptInterpreter::PauseScript() {
  running_ = false;
  paused_ = true;
  host_.SetRunMenus(RunMenus::Paused);
  host_.DisarmRunTimer();
  Current().WaitState = 3;
}

void ScriptInterpreter::ResumeScript() {
  TScript& level = Current();
  --level.CurrentLine;
  running_ = true;
  paused_ = false;
  level.WaitState = 1;
  host_.SetRunMenus(RunMenus::Running);
  ContinueScript(50);
}

bool ScriptInterpreter::LoadScript(const std::string& fileName, bool push) {
  std::vector<std::string> lines;
  if (fileName.empty()) {
    lines = host_.EditorLines();
  } else {
    std::optional<std::vector<std::string>> read = ReadScriptFile(fileName);
    if (!read) return false;
    lines = std::move(*read);
  }
  if (push) {
    if (level_ >= kMaxLevels) return false;
    Current().FileName = host_.DialogFileName();
    ++level_;
    Current() = TScript{};
  }
  TScript& level = Current();
  level.FileName = fileName;
  level.Lines = std::move(lines);
  host_.SetEditorLines(level.Lines);
  level.LineCount = static_cast<int32_t>(level.Lines.size());
  level.CurrentLine = 1;
  level.CaretOffset = 0;
  return true;
}

void ScriptInterpreter::BeginWait(bool& waitFlag) {
  Current().WaitState = 2;
  waitFlag = true;
}

void ScriptInterpreter::CompleteWait(bool& waitFlag) {
  if (!running_ || !waitFlag) return;
  waitFlag = false;
  Current().WaitState = 1;
  ContinueScript(50);
}

// ---------------------------------------------------------------- errors

void ScriptInterpreter::ScriptError(const std::string& text) {
  Fail("Line " + std::to_string(Current().CurrentLine + 1) + " : " + text);
}

void ScriptInterpreter::UnknownCommand() {
  host_.BringToFront();
  Fail("Error, Line " + std::to_string(Current().CurrentLine + 1) + " : Unknown Command");
}

void ScriptInterpreter::Fail(const std::string& message) {
  lastError_ = message;
  if (OnError) OnError(message);
  host_.ShowErrorBox(message);
  // An error ends the script on every level: a calling level left without a
  // continue would stay "running" with nothing armed.
  while (level_ > 1) StopScript();
  StopScript();
}

}  // namespace orniva
