#include "program/compositor_wiring.h"

#include <cstdio>

namespace orniva {
namespace {

std::string Milliseconds(double ms) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", ms);
  return buf;
}

}  // namespace

void ConnectCompositor(TFRM_Alv& alv, TFRM_Tool_Images& tools, TFRM_Info& info,
                       TFRM_Ressources& resources) {
  // Before each compositing step: the main window's images and the image
  // camera's zone, binning and frame size.
  tools.Images.sync = [&alv, &tools](CompositorImages& images) {
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

  ToolImagesHooks& h = tools.hooks;
  // Before the working images exist (the levels read from the settings at
  // start-up re-render) there is no result to copy.
  h.resultRendered = [&alv] {
    if (!alv.ImagesCreated()) return;
    Image& page = alv.Image3.Bitmap();
    page.CopyRect(alv.RenderImage(), {0, 0, page.Width(), page.Height()}, 0, 0);
    // "Date/Heure": the frame's time stamp at the bottom-right corner.
    if (alv.Inputs.DateTime && alv.Inputs.DateTime() && alv.Hooks.DrawFrameTime) {
      alv.Hooks.DrawFrameTime(page, alv.State.frameTimeText);
    }
    alv.Image3.Invalidate();
  };
  h.resultBlack = [&alv] {
    alv.Image3.Bitmap().Fill(kBlack);
    alv.Image3.Invalidate();
  };
  h.resultToZone = [&alv] {
    if (!alv.ImagesCreated()) return;
    const Image& page = alv.Image3.Bitmap();
    alv.ZoneImage().CopyRect(page, {0, 0, page.Width(), page.Height()}, 0, 0);
  };
  h.zonesChanged = [&alv] { alv.State.zonesChanged = true; };
  h.memoryStatus = [&resources] { resources.RefreshMemoryStatus(); };
  h.times = [&resources](double addMs, double darkFlatMs) {
    if (auto* e = resources.FindAs<Edit>("EDT_Temps_addition")) e->SetText(Milliseconds(addMs));
    if (auto* e = resources.FindAs<Edit>("EDT_Temps_Dark_Flat")) {
      e->SetText(Milliseconds(darkFlatMs));
    }
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

}  // namespace orniva
