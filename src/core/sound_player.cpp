#include "core/sound_player.h"

namespace orniva {

const char* BeepKindName(BeepKind kind) {
  switch (kind) {
    case BeepKind::Simple:
      return "beep";
    case BeepKind::Asterisk:
      return "asterisk";
    case BeepKind::Exclamation:
      return "exclamation";
    case BeepKind::Hand:
      return "hand";
    case BeepKind::Question:
      return "question";
    case BeepKind::Default:
      return "default";
  }
  return "beep";
}

void RecordingSoundPlayer::Record(std::string what) {
  played_.push_back(std::move(what));
  if (Echo) Echo(played_.back());
}

void RecordingSoundPlayer::Beep(BeepKind kind) {
  Record(std::string("beep ") + BeepKindName(kind));
}

void RecordingSoundPlayer::PlayFile(const std::string& path) {
  Record("file " + path);
}

void RecordingSoundPlayer::PlayClip(const std::string& name) {
  Record("clip " + name);
}

}  // namespace orniva
