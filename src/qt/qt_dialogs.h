#pragma once

#include "ui/dialogs.h"

namespace orniva {

// Real modal dialogs of the desktop program.
class QtDialogs : public Dialogs {
 public:
  MessageResult MessageBox(const std::string& text, const std::string& caption, MessageKind kind,
                           MessageButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                      const std::string& initialDir) override;
  std::optional<std::vector<std::string>> OpenFiles(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& initialDir) override;
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& initialDir,
                                      const std::string& defaultName) override;
  std::optional<int> Choose(const std::string& title, const std::vector<std::string>& items,
                            int initialIndex) override;
};

}  // namespace orniva
