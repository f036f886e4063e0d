#pragma once

#include "acquisition/display_zone.h"
#include "acquisition/zone_state.h"
#include "core/image.h"

namespace orniva {

// What the display windows need from the main window and from the other
// parts of the program: the cameras, the pipeline, and the hooks where a
// click or a control reaches tracking, guiding, measurements, the focus aid
// and the other windows. The program implements it over the main window;
// what is not overridden answers as if no camera had started and nothing
// else were there.
class DisplayHost {
 public:
  virtual ~DisplayHost() = default;

  // The zone state, the mini-source scale and the overlays, owned by the
  // main window (an overlay not yet created is nullptr: nothing is drawn).
  virtual ZoneState& Zones() { return zones_; }
  virtual double MiniScale() const { return miniScale_; }
  virtual void SetMiniScale(double scale) { miniScale_ = scale; }
  virtual Image* ZoneOverlay() { return nullptr; }
  virtual Image* MiniZoneOverlay() { return nullptr; }
  virtual Image* ReticleOverlay() { return nullptr; }

  // The camera roles chosen on the "Cameras" page.
  virtual void RolesChanged(int imageCamera, int guideCamera) {}

  // Cameras and pages.
  virtual int FrameWidth(int camera) const { return 1; }
  virtual int FrameHeight(int camera) const { return 1; }
  // The camera's refresh timer is enabled or it streams.
  virtual bool CameraRunning(int camera) const { return false; }
  // The source page of the camera is the one shown.
  virtual bool SourcePageVisible(int camera) const { return false; }
  // Width / height of the image camera (4 / 3 in loop integration).
  virtual double ZoneAspect() const { return 1.33333; }
  // The camera's "2x2" binning menu item is checked.
  virtual bool Binning2x2(int camera) const { return false; }

  // The pipeline.
  virtual void ProcessFrame(bool force, int camera) {}
  virtual void SetProcessingSwitch() {}
  // Integration builds a dark or a flat.
  virtual bool BuildingDarkOrFlat() const { return false; }
  // Sets the result page, the render image and the page's panel to this size
  // and refreshes the sequencer's size estimate.
  virtual void ResizeResultPage(int width, int height) {}

  // Tracking and guiding.
  virtual bool TrackingOn() const { return false; }
  virtual bool CorrelationSelected() const { return false; }
  // The zone centre was put on a click: the drift origin is reset, and with
  // tracking on a correlation reference is taken (when "Correlation" is
  // selected) and a tracking pass runs at the click on the camera's frame.
  virtual void ZoneCentreClicked(int camera, int x, int y) {}
  virtual void NewCorrelationReference() {}
  // The tracking window's copy of the detection-zone size.
  virtual void DetectionSizeChanged(int size) {}
  // A mount interface other than "Aucune" is configured.
  virtual bool MountConfigured() const { return false; }
  // Moves the mount by an offset in frame pixels of the guide camera.
  virtual void MoveMountBy(int dx, int dy) {}

  // Measurements: the sampling in arc-seconds per pixel, the measurement
  // points.
  virtual double Sampling() const { return 0; }
  virtual void NewMeasurementPoint(int x, int y) {}

  // Other windows.
  virtual void RefreshResources() {}
  virtual void RedrawSkyChart() {}
  virtual bool MiniSourceVisible() const { return false; }
  // Checks or unchecks the menu item "Plein Ecran"; unchecked, the button
  // "Mode plein ecran" is raised too.
  virtual void SetFullScreenChecked(bool checked) {}

  // The focus aid: "Active" switched on or "Reset" (clears the measurement
  // ring, its sum and the current value, sets best and worst), the method
  // chosen, the large window, the "Activer" box of automatic selection.
  virtual void FocusAidReset(double best, double worst) {}
  virtual void FocusAidSetBestWorst(double best, double worst) {}
  virtual void FocusAidFwhmStarted() {}  // switches tracking on
  virtual void SetSelectionBoxEnabled(bool enabled) {}
  virtual void ShowLargeFocusWindow(bool show) {}

 private:
  ZoneState zones_;
  double miniScale_ = 4.0;
};

// A host with nothing behind it, for windows not yet connected.
DisplayHost& NoDisplayHost();

}  // namespace orniva
