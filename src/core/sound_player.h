#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orniva {

// The platform's message beeps.
enum class BeepKind { Simple, Asterisk, Exclamation, Hand, Question, Default };
const char* BeepKindName(BeepKind kind);

// Asynchronous sound playback: message beeps, sound files and the built-in
// clips ("TOP", "OUI", "NON", "YES", "NO"). The desktop plays them; without a
// display the recording player keeps (and can print) what would play.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void Beep(BeepKind kind) = 0;
  virtual void PlayFile(const std::string& path) = 0;
  virtual void PlayClip(const std::string& name) = 0;
};

class RecordingSoundPlayer : public SoundPlayer {
 public:
  // What was asked, in order: "beep <kind>", "file <path>", "clip <name>".
  const std::vector<std::string>& Played() const { return played_; }
  void Clear() { played_.clear(); }
  std::function<void(const std::string&)> Echo;

  void Beep(BeepKind kind) override;
  void PlayFile(const std::string& path) override;
  void PlayClip(const std::string& name) override;

 private:
  void Record(std::string what);
  std::vector<std::string> played_;
};

}  // namespace orniva
