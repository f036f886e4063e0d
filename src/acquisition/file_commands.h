#pragma once

#include <functional>
#include <string>
#include <vector>

#include "acquisition/avi_file.h"
#include "acquisition/camera_commands.h"
#include "acquisition/image_load.h"
#include "acquisition/tfrm_alv.h"
#include "ui/controls.h"

namespace orniva {

// What an opened file is for.
inline constexpr int kLoadImage = 0;
inline constexpr int kLoadDark = 1;
inline constexpr int kLoadFlat = 2;

// What other windows do around an opening; empty ones do nothing (the JPEG
// quality reads 80).
struct FileHooks {
  std::function<void()> OnOpenCancelled;  // a running script stops
  std::function<void()> OnFileOpened;     // a script waiting for the file continues
  std::function<void(int loadKind, const std::string& name)> ShowDarkFlatName;
  std::function<void()> StopIntegration;
  std::function<void(int loadKind)> SetIntegrationMode;  // "Creer image unique" / Dark / Flat
  std::function<void(int loadKind)> ComposeDarkOrFlat;   // fills the dark or flat buffer
  std::function<int()> JpegQuality;                      // SPED_Qualite_Jpeg, 80 when empty
  // The player: the "Fichier :" field, and a source of count frames
  // starting at frame 0 (the play-control window is shown).
  std::function<void(const std::string& text)> ShowPlayerFile;
  std::function<void(int count)> StartPlayer;
};

// Image and AVI files as the image camera's source ("file mode"), opened as an
// image, a dark or a flat, and the page on display saved as a bitmap or JPEG
// file: the "Ouvrir" and "Enregistrer" commands of the main window.
class FileCommands {
 public:
  FileCommands(TFRM_Alv& alv, CameraCommands& cameras);

  MenuItem MNU_Ouvrir;
  MenuItem MNU_Ouvrir_Image;
  MenuItem MNU_Ouvrir_Dark;
  MenuItem MNU_Ouvrir_Flat;
  MenuItem MNU_Enregistrer;
  Panel PNL_Outils_Fichier;
  SpeedButton SPDB_Ouvrir;
  SpeedButton SPDB_Enregistrer;

  FileHooks Hooks;

  // "Ouvrir" > "Image" / "Dark" / "Flat": the dialog, then the file source.
  void Open(int loadKind);
  // The same for one file without the dialog (script commands).
  void OpenFileSource(int loadKind, const std::string& name);
  // The files chosen in one dialog: the file list takes them sorted.
  void OpenFileSources(int loadKind, const std::vector<std::string>& names);
  // Decodes the player's current file (or AVI frame) into the image
  // camera's frame slot 0 and runs the pipeline; false, frame kept and a
  // message naming the file, when the file cannot be read or decoded.
  bool LoadImage();
  // "Enregistrer": the page on display, as a JPEG or a bitmap file.
  void Save();

  // The AVI being played; closed when another file opens, when camera 1
  // starts and when the program closes.
  void CloseAvi() { avi_.Close(); }
  const AviReader& Avi() const { return avi_; }
  // The player's file list, emptied at the first activation and at the end.
  void ClearFileList() { files_.clear(); }
  // Frames of the source: the files of the list, or the AVI's frames.
  int FrameCount() const;

  const std::vector<std::string>& FileList() const { return files_; }
  int Position() const { return position_; }
  void SetPosition(int p) { position_ = p; }
  int FileKind() const { return fileKind_; }
  int LoadKind() const { return loadKind_; }
  const std::string& LastDirectory() const { return lastDirectory_; }

 private:
  void StartFileSource();
  bool DecodeCurrent();
  void Message(const std::string& text);

  TFRM_Alv& alv_;
  CameraCommands& cameras_;
  std::vector<std::string> files_;
  int position_ = 0;
  int fileKind_ = kFileKindImage;
  int loadKind_ = kLoadImage;
  std::string lastDirectory_;
  Image decoded_;
  AviReader avi_;
};

}  // namespace orniva
