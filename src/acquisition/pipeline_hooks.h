#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/image.h"

namespace orniva {

class Picture;

// Motion detection as the pipeline sees it: switched on with a reference
// image loaded and no detection action pending, and its two thresholds.
struct MotionSetup {
  bool armed = false;
  int levelThreshold = 0;
  int countThreshold = 0;
};

// Settings the pipeline reads from the controls of other windows. The
// program connects each to its control; one left empty reads as unchecked,
// zero or absent.
struct PipelineInputs {
  // Information window: "Seuil de saturation" (CKB_Satur), TNI_Seuil_Satur, visible.
  std::function<bool()> SaturationView;
  std::function<double()> SaturationThreshold;
  std::function<bool()> InfoVisible;
  // Long-exposure window: "Longue pose active", "Self-Guidage".
  std::function<bool()> LongExposureActive;
  std::function<bool()> SelfGuiding;
  // Preferences: "Camera modifiée Vorta", "Date/Heure", "Mode RAW Couleur"
  // and the chosen Bayer pattern (1..4, 0 when none).
  std::function<bool()> ModifiedCamera;
  std::function<bool()> DateTime;
  std::function<bool()> RawMode;
  std::function<int()> RawPattern;
  // Mini source: its picture while the window is visible (else nullptr) and
  // the camera its "Source 1"/"Source 2" buttons select.
  std::function<Picture*()> MiniSource;
  std::function<int()> MiniSourceCamera;
  // Display tool window: TNI_Taille_ZDetect, TNI_Taille_ZAffich,
  // "Afficher le Reticule", and the focus aid on with "Detection de contraste".
  std::function<double()> DetectionZoneSize;
  std::function<double()> DisplayZoneSize;
  std::function<bool()> Reticle;
  std::function<bool()> FocusContrast;
  // Image tool window: automatic selection "Activer", integration active,
  // running (its "Demarrer" disabled) and in loop mode, dark power, flat
  // active, "Forcer" levels, and SPED_Freq_Sauve of the sequencer.
  std::function<bool()> Selection;
  std::function<bool()> IntegrationActive;
  std::function<bool()> IntegrationRunning;
  std::function<bool()> IntegrationLoop;
  std::function<double()> DarkPower;
  std::function<bool()> FlatActive;
  std::function<bool()> ForceLevels;
  std::function<int()> SaveEvery;
  // Motion-detection window.
  std::function<MotionSetup()> Motion;
  // Binning factor of a camera: 1 ("1x1" checked) or 2.
  std::function<int(int camera)> Binning;
};

// The stages of the pipeline that other windows carry out, called with what
// the pipeline passes. An empty hook does nothing (a query returns the answer
// that lets the frame through: tracking stayed inside the frame, the quality
// and the motion test passed).
struct PipelineHooks {
  // Hears the name of every stage the pipeline reaches, in order.
  std::function<void(std::string_view stage)> Trace;

  // Time text and intensity labels on a page or on the mini source.
  std::function<void(Image& target, const std::string& text)> DrawFrameTime;
  std::function<void(int camera, Image& target, bool miniSource)> DrawIntensityLabels;
  // Detection-zone marker at the zone centre, on a page or on the mini source.
  std::function<void(int camera, Image& target, bool miniSource)> DrawDetectionMarker;
  // Tracking of the guide camera's frame with the detection-zone size;
  // returns whether the pass stayed inside the frame.
  std::function<bool(int camera, int zoneSize)> TrackGuideFrame;
  // Updates the frame zone and zone rectangles for the image camera.
  std::function<void(int camera)> ComputeDisplayZone;
  // Quality measure of the zone image (selection or focus aid): accepted or not.
  std::function<bool(const Image& zoneImage)> MeasureQuality;
  std::function<void()> QualityFeedback;
  // Motion detection with its thresholds: whether motion was found.
  std::function<bool(int levelThreshold, int countThreshold)> DetectMotion;
  // The verdict on an image-camera frame (selection indicator, kept qualities).
  std::function<void(bool accepted)> SelectionVerdict;
  // Sets every sum of the compositor's buffer to 0 (camera start, and before
  // a frame that goes alone through the compositor).
  std::function<void(int targetBuffer)> ClearCells;
  std::function<void(int targetBuffer, bool add, bool single, bool permanentView)> ComposeResult;
  std::function<void(Image& resultPage)> FishEye;
  std::function<void()> FullScreenRefresh;
  std::function<void()> RefreshInfo;
  std::function<void(bool trackingInside)> AdvanceGuidedOperation;

  // Refresh timers and the sequencer.
  std::function<void(int camera)> StepPlayer;
  std::function<void()> StartRequestedExposureTimers;
  std::function<void()> LongExposureCountdown;
  // Grabs one frame of a camera in image mode; the capture layer hands it
  // to TFRM_Alv::StoreFrame.
  std::function<void(int camera)> GrabFrame;
  std::function<void()> SaveFlashImage;

  // Measured frame rate of a camera for its EDT_CamN_FPS field.
  std::function<void(int camera, const std::string& rate, bool repaintNow)> ShowFrameRate;
  // Fits the zones, the reticle and the sampling to a camera's new frame
  // size, at a start or after a format change.
  std::function<void(int camera, bool start)> FitZones;
  // Estimated size of a saved image, for the sequencer's EDT_Taille_Fichier.
  std::function<void(int64_t bytes)> ShowSavedImageSize;
  std::function<void()> RefreshMemoryStatus;
};

// Steps of the main window's creation, first activation, closing and
// destruction that other windows carry out, in the order they are called.
struct LifecycleHooks {
  // Hears the name of every step, set or not, in order.
  std::function<void(std::string_view step)> Trace;

  // Creation.
  std::function<void()> InstallKeyHook;  // keypad centre key shows the hand pad
  std::function<void()> ResetCompositor;
  std::function<void()> ResetSelectionRing;
  std::function<void()> CreateCustomFunctionList;
  std::function<void()> ResetGuidedOperation;  // also on closing
  // First activation.
  std::function<void()> ResetSelectionQualities;
  std::function<void(const std::string& settingsFile)> LoadSettings;
  std::function<void()> ApplyLanguage;
  std::function<void()> OpenPortDriver;
  std::function<void()> LoadScriptCollection;
  std::function<void()> SaveSystemColours;
  std::function<void()> CreatePlayerFileList;
  // Closing.
  std::function<void()> SetChartClosing;
  std::function<void(int camera)> StopStream;
  std::function<void()> CloseAvi;
  std::function<void()> SaveSettings;
  std::function<void()> ReleasePortDriver;
  std::function<void()> CloseDebugLog;
  std::function<void()> DestroySkyChart;
  // Destruction.
  std::function<void()> FreeLoopRing;
  std::function<void(int camera)> FreeDecodingBuffers;
  std::function<void()> FreePlayerFileList;
  std::function<void()> RestoreNightColours;
  std::function<void()> FreeScriptCollection;
};

}  // namespace orniva
