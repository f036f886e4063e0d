#pragma once

#include <functional>
#include <string>

#include "ui/controls.h"

namespace orniva {

// The "Message" window: an always-on-top window whose read-only memo
// collects the status lines the program posts; "Poursuivre" shows only when
// a script waits for the operator.
class TFRM_Message : public Window {
 public:
  explicit TFRM_Message(Application& app);

  Memo MEMO_Message{*this, "MEMO_Message"};
  Button BTN_Poursuivre{*this, "BTN_Poursuivre", "Poursuivre"};

  // Shows the window (brought back onto the screen), hides "Poursuivre",
  // empties the memo when clear is set, then appends text as a line.
  void ShowMessageLine(bool clear, const std::string& text);
  // The same with "Poursuivre" visible.
  void ShowMessageWait(bool clear, const std::string& text);
  void BTN_PoursuivreClick();
  // Any key released in the window closes it.
  void FormKeyUp();

  // Called by "Poursuivre" to let a waiting script go on (the script runner
  // installs it).
  std::function<void()> OnContinue;
  // Called when "Poursuivre" is shown (the headless run presses it at once).
  std::function<void()> OnWait;
  // Called with every line appended (the headless run prints them).
  std::function<void(const std::string&)> OnLine;
};

}  // namespace orniva
