#include "automation/script_commands.h"

#include <sys/stat.h>

#include "automation/script_text.h"
#include "automation/tfrm_message.h"
#include "automation/tfrm_script.h"

namespace orniva {

namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void RegisterControlCommands(TFRM_Script& script, TFRM_Message& message) {
  ScriptInterpreter& s = script.Interpreter();
  TFRM_Script* w = &script;
  TFRM_Message* m = &message;

  message.OnContinue = [w] { w->ContinueFromMessage(); };

  s.Register("wait", [&s](std::string_view args) {
    const std::optional<int32_t> ms = s.ReadIntArgument(Field(args, 1), 50);
    if (!ms) return;
    s.Current().WaitState = 2;
    s.ContinueScript(*ms);
  });
  s.Register("message.show", [&s, w](std::string_view args) {
    const std::optional<std::string> text = s.ReadTextArgument(Field(args, 1));
    if (!text) return;
    w->App().Dlg().MessageBox(*text, "Orniva", MessageKind::Information, MessageButtons::Ok);
    s.ContinueScript(50);
  });
  s.Register("beep", [&s, w](std::string_view args) {
    static constexpr std::pair<std::string_view, BeepKind> kKinds[] = {
        {"beep", BeepKind::Simple},
        {"asterisk", BeepKind::Asterisk},
        {"exclamation", BeepKind::Exclamation},
        {"hand", BeepKind::Hand},
        {"question", BeepKind::Question},
        {"ok", BeepKind::Default}};
    const std::string_view word = Field(args, 1);
    for (const auto& [name, kind] : kKinds) {
      if (word == name) {
        w->Sound().Beep(kind);
        return s.ContinueScript(50);
      }
    }
    s.ScriptError("Unknown parameter : " + std::string(word));
  });
  s.Register("playsound", [&s, w](std::string_view args) {
    const std::string_view field = Field(args, 1);
    size_t pos = 0;
    std::string file;
    const auto r = s.ReadStringOperand(field, pos, file);
    if (r == ScriptInterpreter::Operand::Failed) return;
    if (r != ScriptInterpreter::Operand::Ok) file = std::string(TrimBlanks(field));
    if (!IsFile(file)) return s.ScriptError("File not found : " + file);
    w->Sound().PlayFile(file);
    s.ContinueScript(50);
  });
  s.Register("messagebox.show", [&s, m](std::string_view args) {
    const std::optional<std::string> text = s.ReadTextArgument(Field(args, 1));
    if (!text) return;
    m->ShowMessageLine(false, *text);
    s.ContinueScript(50);
  });
  s.Register("messagebox.showwait", [&s, m](std::string_view args) {
    const std::optional<std::string> text = s.ReadTextArgument(Field(args, 1));
    if (!text) return;
    s.Current().WaitState = 2;
    m->ShowMessageWait(false, *text);
  });
  s.Register("messagebox.clear", [&s, m](std::string_view) {
    m->ShowMessageLine(true, "");
    s.ContinueScript(50);
  });
  s.Register("messagebox.hide", [&s, m](std::string_view) {
    m->Hide();
    s.ContinueScript(50);
  });
}

}  // namespace orniva
