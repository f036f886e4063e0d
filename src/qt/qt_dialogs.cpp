#include "qt/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace orniva {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// "Bitmap (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg" -> "Bitmap (*.bmp);;JPEG (*.jpg)"
QString QtFilter(const std::string& filter) {
  QStringList parts = Q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i].section('(', 0, 0).trimmed() + " (" + patterns + ")";
  }
  return out.join(";;");
}

}  // namespace

MessageResult QtDialogs::MessageBox(const std::string& text, const std::string& caption,
                                    MessageKind kind, MessageButtons buttons) {
  QMessageBox box;
  box.setWindowTitle(Q(caption));
  box.setText(Q(text));
  switch (kind) {
    case MessageKind::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageKind::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageKind::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageKind::Confirmation:
      box.setIcon(QMessageBox::Question);
      break;
  }
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MessageResult::Ok;
    case QMessageBox::Yes:
      return MessageResult::Yes;
    case QMessageBox::No:
      return MessageResult::No;
    default:
      return MessageResult::Cancel;
  }
}

std::optional<std::string> QtDialogs::InputBox(const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& initial) {
  bool ok = false;
  QString text =
      QInputDialog::getText(nullptr, Q(caption), Q(prompt), QLineEdit::Normal, Q(initial), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}

std::optional<std::string> QtDialogs::OpenFile(const std::string& title, const std::string& filter,
                                               const std::string& initialDir) {
  QString name = QFileDialog::getOpenFileName(nullptr, Q(title), Q(initialDir), QtFilter(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<std::vector<std::string>> QtDialogs::OpenFiles(const std::string& title,
                                                             const std::string& filter,
                                                             const std::string& initialDir) {
  const QStringList names =
      QFileDialog::getOpenFileNames(nullptr, Q(title), Q(initialDir), QtFilter(filter));
  if (names.isEmpty()) return std::nullopt;
  std::vector<std::string> files;
  for (const QString& n : names) files.push_back(n.toStdString());
  return files;
}

std::optional<std::string> QtDialogs::SaveFile(const std::string& title, const std::string& filter,
                                               const std::string& initialDir,
                                               const std::string& defaultName) {
  QString start = Q(initialDir);
  if (!defaultName.empty()) start = start.isEmpty() ? Q(defaultName) : start + "/" + Q(defaultName);
  QString name = QFileDialog::getSaveFileName(nullptr, Q(title), start, QtFilter(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<int> QtDialogs::Choose(const std::string& title,
                                     const std::vector<std::string>& items, int initialIndex) {
  QStringList list;
  for (const auto& item : items) list << Q(item);
  bool ok = false;
  QString chosen = QInputDialog::getItem(nullptr, Q(title), Q(title), list,
                                         initialIndex < 0 ? 0 : initialIndex, false, &ok);
  if (!ok) return std::nullopt;
  int index = static_cast<int>(list.indexOf(chosen));
  return index < 0 ? std::nullopt : std::optional<int>(index);
}

}  // namespace orniva
