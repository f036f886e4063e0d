#pragma once

namespace orniva {

// Makes every widget of the program follow the program's colours (night
// mode): the palette in use now is kept, the night scheme replaces it while
// night mode is on, and it comes back when night mode ends and when this
// follower is destroyed. Only the program's windows change; the desktop
// keeps its colours.
class ProgramPaletteFollower {
 public:
  ProgramPaletteFollower();
  ~ProgramPaletteFollower();
  ProgramPaletteFollower(const ProgramPaletteFollower&) = delete;
  ProgramPaletteFollower& operator=(const ProgramPaletteFollower&) = delete;

 private:
  void Apply();
  struct Saved;
  Saved* saved_;
  int token_;
};

}  // namespace orniva
