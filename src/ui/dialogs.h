#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orniva {

enum class MessageKind { Information, Warning, Error, Confirmation };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageResult { Ok, Cancel, Yes, No };

// Modal questions to the operator. The Qt view shows real dialogs; without a
// display the headless implementation answers from a queue a test (or a
// script run) fills.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MessageResult MessageBox(const std::string& text, const std::string& caption,
                                   MessageKind kind, MessageButtons buttons) = 0;
  // The text entered, or nothing when cancelled.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial) = 0;
  // filter: "Bitmap (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg" pairs, as the program's
  // file dialogs describe them.
  virtual std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                              const std::string& initialDir) = 0;
  // A multiple-selection open dialog: the files chosen, or nothing when
  // cancelled. Without one of its own a view offers OpenFile's single file.
  virtual std::optional<std::vector<std::string>> OpenFiles(const std::string& title,
                                                            const std::string& filter,
                                                            const std::string& initialDir) {
    std::optional<std::string> one = OpenFile(title, filter, initialDir);
    if (!one) return std::nullopt;
    return std::vector<std::string>{*one};
  }
  virtual std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                              const std::string& initialDir,
                                              const std::string& defaultName) = 0;
  // The index of the item chosen, or nothing when cancelled.
  virtual std::optional<int> Choose(const std::string& title, const std::vector<std::string>& items,
                                    int initialIndex) = 0;
};

// Answers queued in advance. A question with no queued answer of its kind
// is refused: message boxes answer Cancel (No when there is no Cancel, Ok
// when Ok is the only button), the other dialogs answer nothing. Every
// question is recorded, and passed to the echo function when one is set.
class HeadlessDialogs : public Dialogs {
 public:
  struct Asked {
    std::string kind;     // "message", "input", "open", "save", "choose"
    std::string caption;  // caption or title
    std::string text;     // message text or prompt
  };

  void QueueMessageResult(MessageResult r) { messageAnswers_.push_back(r); }
  void QueueText(std::optional<std::string> text) { textAnswers_.push_back(std::move(text)); }
  void QueueChoice(std::optional<int> index) { choiceAnswers_.push_back(index); }
  // Files for the next multiple-selection open dialog (a queued text answers
  // it with one file when no list is queued).
  void QueueFiles(std::vector<std::string> files) { fileAnswers_.push_back(std::move(files)); }
  const std::vector<Asked>& History() const { return history_; }
  void ClearHistory() { history_.clear(); }
  std::function<void(const Asked&)> Echo;

  MessageResult MessageBox(const std::string& text, const std::string& caption, MessageKind kind,
                           MessageButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                      const std::string& initialDir) override;
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& initialDir,
                                      const std::string& defaultName) override;
  std::optional<std::vector<std::string>> OpenFiles(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& initialDir) override;
  std::optional<int> Choose(const std::string& title, const std::vector<std::string>& items,
                            int initialIndex) override;

 private:
  void Record(std::string kind, std::string caption, std::string text);
  std::optional<std::string> NextText();
  std::deque<MessageResult> messageAnswers_;
  std::deque<std::optional<std::string>> textAnswers_;
  std::deque<std::optional<int>> choiceAnswers_;
  std::deque<std::vector<std::string>> fileAnswers_;
  std::vector<Asked> history_;
};

}  // namespace orniva
