#pragma once

#include <functional>
#include <string>

#include "ui/controls.h"

namespace orniva {

// "Comm Trafic": a stay-on-top tool window whose memo keeps the last 101
// lines of what was sent to the mount and written to the ports.
class TFRM_ComTrafic : public Window {
 public:
  static constexpr int kMaxLines = 101;
  explicit TFRM_ComTrafic(Application& app);

  Memo Memo_Historique_Comm{*this, "Memo_Historique_Comm"};

  // plain: "label : text"; otherwise "label : " then, with hex, every byte
  // as two hexadecimal digits, then a blank and the text in double quotes.
  void AddTrafficLine(bool plain, bool hex, const std::string& label, const std::string& text);

  // Called when the operator closes the window (unchecks "Historique de
  // communication").
  std::function<void()> OnClosed;
};

}  // namespace orniva
