#include "acquisition/file_commands.h"

#include <filesystem>

namespace orniva {

FileCommands::FileCommands(TFRM_Alv& alv, CameraCommands& cameras)
    : MNU_Ouvrir(alv.MNU_Fichier, "MNU_Ouvrir", "Ouvrir"),
      MNU_Ouvrir_Image(MNU_Ouvrir, "MNU_Ouvrir_Image", "Image"),
      MNU_Ouvrir_Dark(MNU_Ouvrir, "MNU_Ouvrir_Dark", "Dark"),
      MNU_Ouvrir_Flat(MNU_Ouvrir, "MNU_Ouvrir_Flat", "Flat"),
      MNU_Enregistrer(alv.MNU_Fichier, "MNU_Enregistrer", "Enregistrer"),
      PNL_Outils_Fichier(alv, "PNL_Outils_Fichier"),
      SPDB_Ouvrir(PNL_Outils_Fichier, "SPDB_Ouvrir"),
      SPDB_Enregistrer(PNL_Outils_Fichier, "SPDB_Enregistrer"),
      alv_(alv),
      cameras_(cameras) {
  SPDB_Ouvrir.SetHint("Ouvrir");
  SPDB_Enregistrer.SetHint("Enregistrer l'image");
  MNU_Ouvrir_Image.OnClick = [this] { Open(kLoadImage); };
  SPDB_Ouvrir.OnClick = [this] { Open(kLoadImage); };
  MNU_Ouvrir_Dark.OnClick = [this] { Open(kLoadDark); };
  MNU_Ouvrir_Flat.OnClick = [this] { Open(kLoadFlat); };
  MNU_Enregistrer.OnClick = [this] { Save(); };
  SPDB_Enregistrer.OnClick = [this] { Save(); };
}

void FileCommands::Message(const std::string& text) {
  if (alv_.ShowMessageLine) alv_.ShowMessageLine(false, text);
}

void FileCommands::Open(int loadKind) {
  static const char* titles[] = {"Ouvrir une image", "Ouvrir un dark", "Ouvrir un flat"};
  const std::optional<std::vector<std::string>> names = alv_.App().Dlg().OpenFiles(
      titles[loadKind], kOpenPictureFilter, loadKind == kLoadImage ? lastDirectory_ : "");
  if (!names || names->empty()) {
    if (Hooks.OnOpenCancelled) Hooks.OnOpenCancelled();
    return;
  }
  const std::string& first = names->front();
  if (loadKind != kLoadImage && Hooks.ShowDarkFlatName) Hooks.ShowDarkFlatName(loadKind, first);
  if (loadKind == kLoadImage) {
    lastDirectory_ = std::filesystem::path(first).parent_path().string();
  }
  OpenFileSources(loadKind, *names);
  if (Hooks.OnFileOpened) Hooks.OnFileOpened();
}

void FileCommands::OpenFileSource(int loadKind, const std::string& name) {
  OpenFileSources(loadKind, {name});
}

void FileCommands::OpenFileSources(int loadKind, const std::vector<std::string>& names) {
  fileKind_ = FileKindOf(names.front(), fileKind_);
  const int camera = alv_.ImageCamera();
  if (cameras_.Hooks.StopPlayer) cameras_.Hooks.StopPlayer();
  if (Hooks.StopIntegration) Hooks.StopIntegration();
  if (cameras_.Source(camera).Connected()) cameras_.Stop(camera);
  alv_.State.fileMode = true;
  files_ = SortedFileList(names);
  position_ = 0;
  loadKind_ = loadKind;
  StartFileSource();
}

int FileCommands::FrameCount() const {
  if (fileKind_ == kFileKindAvi) return avi_.FrameCount();
  return static_cast<int>(files_.size());
}

bool FileCommands::DecodeCurrent() {
  if (fileKind_ == kFileKindAvi) {
    if (Hooks.ShowPlayerFile) Hooks.ShowPlayerFile("Frame " + std::to_string(position_));
    if (!avi_.ReadFrame(position_, decoded_)) {
      Message(avi_.Error());
      return false;
    }
    return alv_.StoreFrame(alv_.ImageCamera(), decoded_);
  }
  if (position_ < 0 || position_ >= static_cast<int>(files_.size())) return false;
  const std::string& name = files_[position_];
  if (Hooks.ShowPlayerFile) Hooks.ShowPlayerFile(name);
  const ImageFileResult r = LoadImageFile(name, decoded_);
  if (!r.Ok()) {
    Message(ImageFileMessage(name, r));
    return false;
  }
  // Raw colour mode and the frame-size limit apply as to a camera frame.
  return alv_.StoreFrame(alv_.ImageCamera(), decoded_);
}

void FileCommands::StartFileSource() {
  const int camera = alv_.ImageCamera();
  if (fileKind_ == kFileKindAvi) {
    avi_.Close();
    if (!avi_.Open(files_.front())) {
      Message(avi_.Error());
      if (Hooks.StartPlayer) Hooks.StartPlayer(0);
      return;
    }
  }
  if (!DecodeCurrent()) {
    if (Hooks.StartPlayer) Hooks.StartPlayer(0);
    return;
  }
  const Image& slot = alv_.Slot(camera, 0);
  alv_.SetCameraFormat(camera, slot.Width(), slot.Height(), 24, false, true);
  alv_.Camera(camera).streaming = 0;
  if (Hooks.StartPlayer) Hooks.StartPlayer(FrameCount());
  if (Hooks.SetIntegrationMode) Hooks.SetIntegrationMode(loadKind_);
  alv_.State.processing = true;
  alv_.MNU_Operations.SetEnabled(true);
  alv_.ResizeResultPage();
  alv_.ProcessFrame(true, camera);
  if (loadKind_ != kLoadImage && Hooks.ComposeDarkOrFlat) Hooks.ComposeDarkOrFlat(loadKind_);
  // The refresh timer now drives the player.
  (camera == 1 ? alv_.Timer_Cam1 : alv_.Timer_Cam2).Start();
}

bool FileCommands::LoadImage() {
  if (!DecodeCurrent()) return false;
  const bool accepted = alv_.ProcessFrame(true, alv_.ImageCamera());
  alv_.SequencerHook(accepted);
  return true;
}

void FileCommands::Save() {
  std::optional<std::string> name =
      alv_.App().Dlg().SaveFile("Enregistrer", kSavePictureFilter, lastDirectory_, "");
  if (!name) return;
  const std::string path = WithDefaultExtension(*name);
  const int page = alv_.PGC_Main.ActivePageIndex();
  const Picture& picture = page == 0 ? alv_.Image1 : page == 1 ? alv_.Image2 : alv_.Image3;
  const int quality = Hooks.JpegQuality ? Hooks.JpegQuality() : 80;
  const ImageFileResult r = SavePageImage(path, picture.Bitmap(), quality);
  if (!r.Ok()) Message(ImageFileMessage(path, r));
}

}  // namespace orniva
