#include "qt/program_palette.h"

#include <QApplication>
#include <QPalette>

#include "ui/night_mode.h"

namespace orniva {
namespace {

QColor Q(Bgr c) {
  return QColor(c.r, c.g, c.b);
}

// The palette roles drawn from the colour elements.
QPalette PaletteFrom(const ColourScheme& s, const QPalette& base) {
  QPalette p = base;
  auto set = [&p](QPalette::ColorRole role, Bgr c) {
    p.setColor(QPalette::Active, role, Q(c));
    p.setColor(QPalette::Inactive, role, Q(c));
    p.setColor(QPalette::Disabled, role, Q(c));
  };
  set(QPalette::Window, s[15]);
  set(QPalette::Button, s[15]);
  set(QPalette::Base, s[5]);
  set(QPalette::AlternateBase, s[4]);
  set(QPalette::WindowText, s[8]);
  set(QPalette::Text, s[8]);
  set(QPalette::ButtonText, s[18]);
  set(QPalette::Highlight, s[13]);
  set(QPalette::HighlightedText, s[14]);
  set(QPalette::ToolTipText, s[23]);
  set(QPalette::ToolTipBase, s[24]);
  set(QPalette::Light, s[20]);
  set(QPalette::Midlight, s[22]);
  set(QPalette::Mid, s[16]);
  set(QPalette::Dark, s[16]);
  set(QPalette::Shadow, s[21]);
  set(QPalette::Link, s[26]);
  set(QPalette::PlaceholderText, s[17]);
  p.setColor(QPalette::Disabled, QPalette::WindowText, Q(s[17]));
  p.setColor(QPalette::Disabled, QPalette::Text, Q(s[17]));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, Q(s[17]));
  return p;
}

}  // namespace

struct ProgramPaletteFollower::Saved {
  QPalette palette;
};

ProgramPaletteFollower::ProgramPaletteFollower() : saved_(new Saved{QApplication::palette()}) {
  token_ = SystemColours::Program().Subscribe([this] { Apply(); });
  Apply();
}

ProgramPaletteFollower::~ProgramPaletteFollower() {
  SystemColours::Program().Unsubscribe(token_);
  QApplication::setPalette(saved_->palette);
  delete saved_;
}

void ProgramPaletteFollower::Apply() {
  const SystemColours& colours = SystemColours::Program();
  if (colours.NightActive()) {
    QApplication::setPalette(PaletteFrom(colours.Current(), saved_->palette));
  } else {
    QApplication::setPalette(saved_->palette);
  }
}

}  // namespace orniva
