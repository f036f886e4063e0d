#include "ui/dialogs.h"

namespace orniva {

void HeadlessDialogs::Record(std::string kind, std::string caption, std::string text) {
  history_.push_back({std::move(kind), std::move(caption), std::move(text)});
  if (Echo) Echo(history_.back());
}

std::optional<std::string> HeadlessDialogs::NextText() {
  if (textAnswers_.empty()) return std::nullopt;
  auto answer = std::move(textAnswers_.front());
  textAnswers_.pop_front();
  return answer;
}

MessageResult HeadlessDialogs::MessageBox(const std::string& text, const std::string& caption,
                                          MessageKind, MessageButtons buttons) {
  Record("message", caption, text);
  if (!messageAnswers_.empty()) {
    MessageResult r = messageAnswers_.front();
    messageAnswers_.pop_front();
    return r;
  }
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageResult::Ok;
    case MessageButtons::YesNo:
      return MessageResult::No;
    default:
      return MessageResult::Cancel;
  }
}

std::optional<std::string> HeadlessDialogs::InputBox(const std::string& caption,
                                                     const std::string& prompt,
                                                     const std::string&) {
  Record("input", caption, prompt);
  return NextText();
}

std::optional<std::string> HeadlessDialogs::OpenFile(const std::string& title, const std::string&,
                                                     const std::string&) {
  Record("open", title, {});
  return NextText();
}

std::optional<std::vector<std::string>> HeadlessDialogs::OpenFiles(const std::string& title,
                                                                   const std::string&,
                                                                   const std::string&) {
  Record("open", title, {});
  if (!fileAnswers_.empty()) {
    std::vector<std::string> files = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return files;
  }
  std::optional<std::string> one = NextText();
  if (!one) return std::nullopt;
  return std::vector<std::string>{*one};
}

std::optional<std::string> HeadlessDialogs::SaveFile(const std::string& title, const std::string&,
                                                     const std::string&, const std::string&) {
  Record("save", title, {});
  return NextText();
}

std::optional<int> HeadlessDialogs::Choose(const std::string& title,
                                           const std::vector<std::string>&, int) {
  Record("choose", title, {});
  if (choiceAnswers_.empty()) return std::nullopt;
  auto answer = choiceAnswers_.front();
  choiceAnswers_.pop_front();
  return answer;
}

}  // namespace orniva
