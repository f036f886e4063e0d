#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "acquisition/camera.h"
#include "acquisition/pipeline_hooks.h"
#include "acquisition/zone_state.h"
#include "ui/controls.h"

namespace orniva {

inline constexpr const char* kProgramCaption = "Orniva 2.0c";

// Pipeline state, global to the main window.
struct PipelineState {
  bool processing = false;   // clear: frames are only shown with their time text
  bool pageVisible = false;  // recomputed by each ProcessFrame
  bool zonesChanged = false;
  // Set by a window that changed what the zones depend on (the image tool's
  // mode): the next frame recomputes the zones even if they did not move.
  bool zonesChangeRequested = false;
  double previousCentreX = 0, previousCentreY = 0;
  double previousOffsetX = 0, previousOffsetY = 0;
  std::string frameTimeText;
  int targetBuffer = 0;  // 1 creating a dark, 2 creating a flat, else 0
  bool permanentView = false;
  bool sequencerRunning = false;
  int32_t flashCount = 0;
  int32_t frameRateCounter = 0;  // callbacks of both cameras since the last camera start
  int64_t frameRateLast = 0, frameRatePrevious = 0;  // times of day, ms
  bool longExposureMode = false;  // "Poses longues" chosen: the image camera's timer grabs nothing
  bool fileMode = false;
};

// The main window: three pages, "Source 1" and "Source 2" with the live
// frames of the two cameras and "Resultat" with the processed zone. It owns
// the working images, the camera records, the cell buffers and the pipeline
// state, runs every frame through ProcessFrame and drives image mode with
// its two refresh timers.
class TFRM_Alv : public Window {
 public:
  explicit TFRM_Alv(Application& app);
  ~TFRM_Alv() override;

  PageControl PGC_Main{*this, "PGC_Main"};
  TabSheet TBS_Source1{PGC_Main, "TBS_Source1", "Source 1"};
  Picture Image1{TBS_Source1, "Image1", 640, 480};
  TabSheet TBS_Source2{PGC_Main, "TBS_Source2", "Source 2"};
  Picture Image2{TBS_Source2, "Image2", 640, 480};
  TabSheet TBS_Resultat{PGC_Main, "TBS_Resultat", "Resultat"};
  Picture Image3{TBS_Resultat, "Image3", 320, 240};

  MenuItem MNU_Fichier{*this, "MNU_Fichier", "Fichier"};
  MenuItem MNU_Quitter{MNU_Fichier, "MNU_Quitter", "Quitter"};
  MenuItem MNU_Operations{*this, "MNU_Operations", "Operations"};
  MenuItem MNU_Fonctions{*this, "MNU_Fonctions", "F&onctions"};
  // "Images": the image tool window on a page, or the information window.
  MenuItem MNU_Images{MNU_Fonctions, "MNU_Images", "Images"};
  MenuItem MNU_Images_Seuils{MNU_Images, "MNU_Images_Seuils", "Seuils"};
  MenuItem MNU_Images_Integration{MNU_Images, "MNU_Images_Integration", "Integration"};
  MenuItem MNU_Images_Darks{MNU_Images, "MNU_Images_Darks", "Darks"};
  MenuItem MNU_Images_Flats{MNU_Images, "MNU_Images_Flats", "Flats"};
  MenuItem MNU_Images_Information{MNU_Images, "MNU_Images_Information", "Informations/Histogramme"};
  MenuItem MNU_Images_Selection{MNU_Images, "MNU_Images_Selection", "Selection automatique"};
  MenuItem MNU_Images_Enregistrement{MNU_Images, "MNU_Images_Enregistrement", "Sequenceur"};
  // "Affichage": the display tool window on a page, the mini source, the
  // full-screen view.
  MenuItem MNU_Affichage{MNU_Fonctions, "MNU_Affichage", "Affichage"};
  MenuItem MNU_Affichage_Reticule{MNU_Affichage, "MNU_Affichage_Reticule", "Reticule"};
  MenuItem MNU_Affichage_Rafraichissement{MNU_Affichage, "MNU_Affichage_Rafraichissement",
                                          "Rafraîchissement"};
  MenuItem MNU_Affichage_Zones{MNU_Affichage, "MNU_Affichage_Zones", "Zones"};
  MenuItem MNU_Affichage_Cameras{MNU_Affichage, "MNU_Affichage_Cameras", "Cameras"};
  MenuItem MNU_Mini_Source{MNU_Affichage, "MNU_Mini_Source", "Mini Source"};
  MenuItem MNU_Plein_Ecran{MNU_Affichage, "MNU_Plein_Ecran", "Plein Ecran"};
  // "Mesures": the measurement window on a page.
  MenuItem MNU_Mesures{MNU_Fonctions, "MNU_Mesures", "Mesures"};
  MenuItem MNU_Mesures_Echantillonage{MNU_Mesures, "MNU_Mesures_Echantillonage", "Echantillonnage"};
  MenuItem MNU_Mesures_Distances{MNU_Mesures, "MNU_Mesures_Distances", "Distances"};
  MenuItem MNU_Mesures_Declinaison{MNU_Mesures, "MNU_Mesures_Declinaison", "Declinaison"};
  MenuItem MNU_MAP{MNU_Fonctions, "MNU_MAP", "Mise au point"};
  MenuItem MNU_Suivi_Autoguidage{MNU_Fonctions, "MNU_Suivi_Autoguidage", "Suivi/Autoguidage"};
  MenuItem MNU_Scripts{MNU_Fonctions, "MNU_Scripts", "Scripts"};
  MenuItem MNU_Options{*this, "MNU_Options", "&Preferences"};
  // The hand pad's menu: enabled while a mount interface or a focuser is
  // chosen.
  MenuItem MNU_Telescope{*this, "MNU_Telescope", "&Telescope"};
  MenuItem MNU_Aide_Menu{*this, "MNU_Aide_Menu", "&?"};
  MenuItem MNU_Ressources{MNU_Aide_Menu, "MNU_Ressources", "Ressources"};
  // Tool-bar buttons of the display: they stay down while their mode is on.
  SpeedButton SPDB_Mini_Source{*this, "SPDB_Mini_Source", "Mini Source"};
  SpeedButton SPDB_Plein_Ecran{*this, "SPDB_Plein_Ecran", "Plein Ecran", 91, true};
  SpeedButton SPDB_Nite{*this, "SPDB_Nite", "Mode nuit", 92, true};

  Timer Timer_Cam1{*this, "Timer_Cam1", 200};
  Timer Timer_Cam2{*this, "Timer_Cam2", 200};

  // Message texts (replaced by the language file).
  std::string MSG_Cannot_Set_Format =
      "Impossible de determiner le format des images, veuillez en choisir un autre.";

  PipelineInputs Inputs;
  PipelineHooks Hooks;
  LifecycleHooks Lifecycle;
  // Posts a status line in the message window.
  std::function<void(bool clear, const std::string& text)> ShowMessageLine;

  // Start-up and shut-down, in the order of their steps.
  void FormCreate();
  void FormActivate();
  void FormClose();
  void FormDestroy();
  // The program directory and settings file fixed at the first activation.
  const std::string& ProgramDirectory() const { return programDirectory_; }
  const std::string& SettingsFile() const { return settingsFile_; }

  // Working images: created at the first activation, freed at destruction.
  bool ImagesCreated() const { return slots_[0][0] != nullptr; }
  void CreateWorkingImages();
  Image& Slot(int camera, int index) { return *slots_[camera - 1][index]; }
  Image& ZoneImage() { return *zoneImage_; }
  Image& RenderImage() { return *renderImage_; }
  Image& ReferenceImage() { return *referenceImage_; }
  Image& SaturationImage() { return *saturationImage_; }
  Image& ReticleOverlay() { return *reticleOverlay_; }
  Image& ZoneOverlay() { return *zoneOverlay_; }
  Image& MiniZoneOverlay() { return *miniZoneOverlay_; }

  CameraState& Camera(int camera) { return cameras_[camera - 1]; }
  bool Online(int camera) const { return online_[camera - 1]; }
  void SetOnline(int camera, bool online) { online_[camera - 1] = online; }
  Picture& SourcePage(int camera) { return camera == 1 ? Image1 : Image2; }
  TabSheet& SourceTab(int camera) { return camera == 1 ? TBS_Source1 : TBS_Source2; }

  // Camera roles: each held by exactly one camera, camera 1 by default.
  int ImageCamera() const { return imageCamera_; }
  int GuideCamera() const { return guideCamera_; }
  void SetImageCamera(int camera) { imageCamera_ = camera; }
  void SetGuideCamera(int camera) { guideCamera_ = camera; }

  ZoneState Zones;
  PipelineState State;
  double MiniSourceScale = 4.0;
  double ZoneAspect = 1.33333;

  // --- What the capture layer and the file sources call ---
  // Checks a video format against the frame limits; a refused one is named
  // in the message window.
  bool AcceptVideoFormat(int width, int height);
  // A camera (cameraStart) or a file source (fileStart) takes a format, or a
  // running camera a new one (neither): camera record, source page size, zone
  // aspect, zones; a camera start also clears the integration's target
  // buffer and restarts the frame-rate count.
  void SetCameraFormat(int camera, int width, int height, int bitDepth, bool cameraStart,
                       bool fileStart = false);
  // Places a decoded frame in frame slot 0, demosaiced when raw colour mode
  // is on and the frame came through the decompressor or from a file. A
  // frame beyond the frame limits is refused with the size message.
  bool StoreFrame(int camera, const Image& decoded, bool demosaicAllowed = true);
  // A stream frame: the frame rate is measured, the frame stored, processed
  // and offered to the sequencer. Returns whether it was accepted.
  bool FrameArrived(int camera, const Image& decoded);
  // Frame-rate measurement of the frame and stream callbacks.
  void MeasureFrameRate(int camera, bool repaintNow);

  // The per-frame pipeline; returns whether the frame was accepted.
  bool ProcessFrame(bool updateResult, int camera);
  void Timer_Cam1Timer() { RefreshTimerTick(1); }
  void Timer_Cam2Timer() { RefreshTimerTick(2); }
  void SequencerHook(bool accepted);

  // Result page size from the display-zone size, zone aspect and binning.
  void ResizeResultPage();

  // The display zone of the image camera's frame, stretched into target's
  // zone rectangle.
  void CopyDisplayZone(Image& target);

 private:
  void Step(std::string_view name, const std::function<void()>& hook);
  void Trace(std::string_view stage) {
    if (Hooks.Trace) Hooks.Trace(stage);
  }
  void RefreshTimerTick(int camera);
  void ShowSourcePage(int camera, bool imageCamera);
  bool Accept(bool& measured);
  void BuildResultPage(bool updateResult);
  bool NeedsIntegerPath();
  void FreeWorkingImages();

  std::array<CameraState, 2> cameras_{};
  std::array<bool, 2> online_{};
  std::array<std::array<std::unique_ptr<Image>, 3>, 2> slots_;
  std::unique_ptr<Image> zoneImage_, renderImage_, referenceImage_, saturationImage_,
      reticleOverlay_, zoneOverlay_, miniZoneOverlay_;
  int imageCamera_ = 1;
  int guideCamera_ = 1;
  bool activated_ = false;
  bool destroyed_ = false;
  std::string programDirectory_;
  std::string settingsFile_;
};

}  // namespace orniva
