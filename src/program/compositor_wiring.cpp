#include "program/compositor_wiring.h"

#include <cstdio>
#include <memory>
#include <string>

namespace orniva {
namespace {

std::string Milliseconds(double ms) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", ms);
  return buf;
}

// What the image tool's modes change in other windows: the display-zone
// size control, the zone over the whole frame for a dark or a flat, the
// binning menus, tracking's box, the play control's "Ajouter" and the
// "&Operations" menu.
void ConnectZoneAndCameraControls(const CompositorWindows& w) {
  TFRM_Alv& alv = w.alv;
  ScrollBar& size = w.display.SCB_Taille_ZAffich;
  CheckBox& tracking = w.suivi.CKB_Suivi;
  Button& playAdd = w.play.BTN_Ajouter;
  CameraCommands& cameras = w.cameras;
  ToolImagesHooks& h = w.tools.Hooks;
  h.ZoneSizeControl = [&size](int limit, bool enabled) {
    if (limit > 0 && size.Position() > limit) size.SetPosition(limit);
    size.SetEnabled(enabled);
  };
  h.WholeFrameZone = [&alv, &size](bool centreOnFrame, bool flat) {
    const CameraState& c = alv.Camera(alv.ImageCamera());
    const int w = c.width, hgt = c.height;
    if (w <= 0 || hgt <= 0) return;
    size.SetPosition(w);
    if (centreOnFrame) {
      alv.Zones.SetCentre(flat ? Point{w / 2, hgt / 2} : Point{(w - 1) / 2, (hgt - 1) / 2});
      alv.Zones.SetOffset({0, 0});
    }
    alv.Zones.frameZone = alv.Zones.zone = Rect{0, 0, w, hgt};
    alv.State.zonesChangeRequested = true;
  };
  h.BinningMenus = [&cameras](bool enabled) {
    cameras.Cam1.MNU_Binning.SetEnabled(enabled);
    cameras.Cam2.MNU_Binning.SetEnabled(enabled);
  };
  h.TrackingBox = [&tracking](bool enabled) {
    if (!enabled) tracking.SetChecked(false);
    tracking.SetEnabled(enabled);
  };
  h.PlayAdd = [&playAdd](bool enabled) { playAdd.SetEnabled(enabled); };
  h.OperationsMenu = [&alv] { alv.MNU_Operations.SetEnabled(true); };
}

}  // namespace

void ConnectCompositor(const CompositorWindows& w) {
  TFRM_Alv& alv = w.alv;
  TFRM_Tool_Images& tools = w.tools;
  TFRM_Info& info = w.info;
  TFRM_Ressources& resources = w.resources;
  // Before each compositing step: the main window's images and the image
  // camera's zone, binning and frame size.
  tools.Images.Sync = [&alv, &tools](CompositorImages& images) {
    if (alv.ImagesCreated()) {
      images.zoneImage = &alv.ZoneImage();
      images.renderImage = &alv.RenderImage();
    }
    images.zoneRect = alv.Zones.zone;
    const int camera = alv.ImageCamera();
    images.binning = alv.Inputs.Binning ? alv.Inputs.Binning(camera) : 1;
    images.frameWidth = alv.Camera(camera).width;
    images.frameHeight = alv.Camera(camera).height;
    if (alv.Inputs.DisplayZoneSize) {
      images.displayZoneSize = static_cast<int>(alv.Inputs.DisplayZoneSize());
    }
    // A camera binning 2 x 2 or in long exposure needs the levels.
    tools.SetCameraConditions(images.binning == 2, alv.State.longExposureMode);
    alv.State.targetBuffer = tools.TargetBuffer();
    alv.State.permanentView = tools.CKB_Visu_Permanente.Checked();
  };

  PipelineInputs& in = alv.Inputs;
  in.IntegrationActive = [&tools] { return tools.CKB_Integration.Checked(); };
  in.IntegrationRunning = [&tools] { return tools.IntegrationRunning(); };
  in.IntegrationLoop = [&tools] { return tools.RDB_Boucle.Checked(); };
  in.DarkPower = [&tools] { return static_cast<double>(tools.DarkPower()); };
  in.FlatActive = [&tools] { return tools.CKB_Active_Flat.Checked(); };
  in.ForceLevels = [&tools] { return tools.CKB_utiliser_seuils.Checked(); };

  alv.Hooks.ClearCells = [&tools](int) { tools.Images.state.cells[tools.TargetBuffer()].Clear(); };
  alv.Hooks.ComposeResult = [&tools](int, bool add, bool single, bool permanentView) {
    tools.Compose(tools.TargetBuffer(), add, single, permanentView);
  };
  alv.Lifecycle.ResetCompositor = [&tools] {
    ComposeState& st = tools.Images.state;
    st.count = {0, 0, 0};
    st.cellMax = {0, 0, 0};
    st.cellMin = {65535, 65535, 65535};
    st.ringFill = st.ringHead = st.ringTail = 0;
  };
  alv.Lifecycle.FreeLoopRing = [&tools] { tools.Images.state.ring.clear(); };

  ToolImagesHooks& h = tools.Hooks;
  // Before the working images exist (the levels read from the settings at
  // start-up re-render) there is no result to copy.
  h.ResultRendered = [&alv] {
    if (!alv.ImagesCreated()) return;
    Image& page = alv.Image3.Bitmap();
    page.CopyRect(alv.RenderImage(), {0, 0, page.Width(), page.Height()}, 0, 0);
    // "Date/Heure": the frame's time stamp at the bottom-right corner.
    if (alv.Inputs.DateTime && alv.Inputs.DateTime() && alv.Hooks.DrawFrameTime) {
      alv.Hooks.DrawFrameTime(page, alv.State.frameTimeText);
    }
    alv.Image3.Invalidate();
  };
  h.ResultBlack = [&alv] {
    alv.Image3.Bitmap().Fill(kBlack);
    alv.Image3.Invalidate();
  };
  h.ResultToZone = [&alv] {
    if (!alv.ImagesCreated()) return;
    const Image& page = alv.Image3.Bitmap();
    alv.ZoneImage().CopyRect(page, {0, 0, page.Width(), page.Height()}, 0, 0);
  };
  h.FullScreenRefresh = [&alv] {
    if (alv.Hooks.FullScreenRefresh) alv.Hooks.FullScreenRefresh();
  };
  h.ZonesChanged = [&alv] { alv.State.zonesChangeRequested = true; };
  ConnectZoneAndCameraControls(w);
  h.MemoryStatus = [&resources] { resources.RefreshMemoryStatus(); };
  h.Times = [&resources](double addMs, double darkFlatMs) {
    resources.EDT_Temps_addition.SetText(Milliseconds(addMs));
    resources.EDT_Temps_Dark_Flat.SetText(Milliseconds(darkFlatMs));
  };

  // Information window: the histogram of the image camera's frame, and the
  // saturation view's threshold running the pipeline again.
  alv.Hooks.RefreshInfo = [&alv, &info] { info.UpdateHistogram(alv.Slot(alv.ImageCamera(), 0)); };
  info.OnSaturationChanged = [&alv] {
    if (alv.ImagesCreated()) alv.ProcessFrame(false, alv.ImageCamera());
  };
  auto pointer = [&info](const Image& source) {
    return [&info, &source](unsigned, int x, int y) { info.ShowPointer(x, y, source); };
  };
  if (!alv.Image3.OnMouseMove) alv.Image3.OnMouseMove = pointer(alv.Image3.Bitmap());
  for (int camera : {1, 2}) {
    Picture& page = alv.SourcePage(camera);
    if (page.OnMouseMove) continue;
    page.OnMouseMove = [&alv, &info](unsigned, int x, int y) {
      if (alv.ImagesCreated()) info.ShowPointer(x, y, alv.Slot(alv.ImageCamera(), 0));
    };
  }
}

void ConnectCorrectionFiles(TFRM_Alv& alv, FileCommands& files, TFRM_Tool_Images& tools) {
  // The name of the dark or flat file being opened, for its page's
  // "Fichier :" field once its first image is in the buffer.
  auto name = std::make_shared<std::string>();
  files.Hooks.ShowDarkFlatName = [name](int, const std::string& file) { *name = file; };
  files.Hooks.SetIntegrationMode = [&tools](int loadKind) {
    RadioButton& mode = loadKind == kLoadDark   ? tools.RDB_Dark
                        : loadKind == kLoadFlat ? tools.RDB_Flat
                                                : tools.RDB_Unique;
    if (!mode.Checked()) mode.SetChecked(true);
  };
  files.Hooks.ComposeDarkOrFlat = [&alv, &tools, name](int loadKind) {
    if (!alv.ImagesCreated()) return;
    alv.CopyDisplayZone(alv.ZoneImage());
    tools.CorrectionFileLoaded(loadKind == kLoadDark ? 1 : 2, *name);
    if (alv.Hooks.FishEye) alv.Hooks.FishEye(alv.Image3.Bitmap());
  };
  tools.Hooks.OpenCorrectionFile = [&files](const std::string& kind) {
    files.Open(kind == "Dark" ? kLoadDark : kLoadFlat);
  };
}

}  // namespace orniva
