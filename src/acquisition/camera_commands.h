#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "acquisition/capture_format.h"
#include "acquisition/frame_source.h"
#include "acquisition/tfrm_alv.h"
#include "ui/controls.h"

namespace orniva {

// The menu and tool-bar controls of one camera ("Camera 1" or "Camera 2"),
// created on the main window so that scripts and settings find them by name.
struct CameraControls {
  CameraControls(Window& w, int camera);
  int camera;
  MenuItem MNU_Cam;
  MenuItem MNU_Demarrer, MNU_Arreter, MNU_Format, MNU_Source, MNU_Pilote;
  MenuItem MNU_Mode, MNU_Image, MNU_Stream, MNU_PoseLongue;
  MenuItem MNU_Binning, MNU_Binning_1x1, MNU_Binning_2x2;
  Panel PNL_Outils;
  SpeedButton SPDB_Start, SPDB_Stop, SPDB_Format, SPDB_Source;
  SpeedButton SPDB_Image, SPDB_Flux, SPDB_PoseLongue;
};

// What the cameras ask of other windows. Unset, the refresh reads 200 ms and
// "Debug actif" unchecked, and the rest does nothing.
struct CameraHooks {
  // Settings read from other windows' controls; empty ones read as 200 ms
  // and unchecked.
  std::function<double(int camera)> RefreshMs;  // TNI_CamN_Tps_Rafraichissement
  std::function<bool()> Debug;                  // CKB_Debug
  // Long-exposure window: stop a running exposure, show or hide the window.
  std::function<void()> StopExposure;
  std::function<void(bool show)> ShowLongExposureWindow;
  // A running file player is stopped before a camera starts; camera 1 then
  // closes the AVI being played.
  std::function<void()> StopPlayer;
  std::function<void()> CloseAvi;
  // The zone controls take the limits of a camera's new frame width (at a
  // start and after a format change); after a format change of camera 1
  // both zones are centred on the frame; the motion-detection reference no
  // longer fits a new format.
  std::function<void(int camera, const ZoneLimits& limits)> ApplyZoneLimits;
  std::function<void()> CentreZones;
  std::function<void()> ReferenceNotLoaded;
  // The level controls of the image tool window (enabled or not).
  std::function<void(bool enabled)> EnableLevelControls;
  // What other windows do when a camera has started or stopped (switches
  // that need frames, guided operations).
  std::function<void(int camera)> CameraStarted;
  std::function<void(int camera)> CameraStopped;
};

// The capture side of the main window: starting and stopping the two
// cameras, their image, stream and long-exposure modes, binning, the driver,
// format and source dialogs. Each camera draws its frames from its frame
// source: the refresh timer grabs one per tick in image mode; in stream mode
// the source delivers every frame on the loop thread, frames the loop could
// not take in time being dropped and counted.
class CameraCommands {
 public:
  CameraCommands(TFRM_Alv& alv, FrameSource& camera1, FrameSource& camera2);
  ~CameraCommands();
  CameraCommands(const CameraCommands&) = delete;
  CameraCommands& operator=(const CameraCommands&) = delete;

  CameraControls Cam1;
  CameraControls Cam2;
  // One-shot: shows a camera's "Mode image" button down once more.
  Timer TMR_Insiste;

  // Message texts (replaced by the language file).
  std::string MSG_Cannot_Start_Cam1 = "Impossible de demarrer la camera #";
  std::string MSG_Cannot_Start_Cam2 = ", verifier le branchement et les pilotes.";

  CameraHooks Hooks;

  // Program operations.
  void Start(int camera);
  void Stop(int camera);
  bool GrabFrame(int slot, int camera);
  void SetImageMode(int camera);
  void SetStreamMode(int camera);
  void SetLongExposureMode(int camera);
  void BTN_TurboClick(int camera);
  void SetBinning(int camera, int factor);
  void FormatDialog(int camera);
  void SourceDialog(int camera);
  // What Start shows for the driver dialog: the chosen index, or nothing.
  std::optional<int> GetDriver(int camera);

  FrameSource& Source(int camera) { return camera == 1 ? source1_ : source2_; }
  CameraControls& Controls(int camera) { return camera == 1 ? Cam1 : Cam2; }
  int Binning(int camera) { return Controls(camera).MNU_Binning_2x2.Checked() ? 2 : 1; }
  // Frames a camera's stream has dropped since it started.
  int64_t Dropped(int camera) { return Source(camera).Stats().dropped; }

 private:
  void Wire(CameraControls& c);
  void Message(const std::string& text);
  void ReleaseStart(int camera);
  Timer& RefreshTimer(int camera) { return camera == 1 ? alv_.Timer_Cam1 : alv_.Timer_Cam2; }
  int RefreshInterval(int camera);
  void StartSequence(int camera);
  void EndStream(int camera);
  void LeaveLongExposure(int camera);
  // Without integration, binning, long exposure or forced levels the result
  // page is a plain copy of the frame: the level controls are disabled.
  void LevelControlsRule();
  void StreamFailed(int camera, const std::string& message);
  void WriteDebugLog(const std::string& text);

  TFRM_Alv& alv_;
  FrameSource& source1_;
  FrameSource& source2_;
  std::array<Image, 2> grabbed_;
  std::array<int, 2> grabFailures_{};
  int insisteCamera_ = 1;
  int grabTarget_ = 0;
};

}  // namespace orniva
