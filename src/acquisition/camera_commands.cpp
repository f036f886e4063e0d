#include "acquisition/camera_commands.h"

#include <cmath>
#include <cstdio>

#include "acquisition/capture_format.h"
#include "acquisition/tfrm_pilote.h"
#include "core/paths.h"

namespace orniva {

namespace {

std::string N(int camera) {
  return std::to_string(camera);
}

// Mode speed buttons of a camera form one group, start and stop another.
int StartGroup(int camera) {
  return 10 * camera + 1;
}
int ModeGroup(int camera) {
  return 10 * camera + 2;
}

// After this many failed grabs in a row the camera is taken for lost.
constexpr int kGrabFailuresBeforeStop = 5;

}  // namespace

CameraControls::CameraControls(Window& w, int c)
    : camera(c),
      MNU_Cam(w, "MNU_Cam" + N(c), "Camera " + N(c)),
      MNU_Demarrer(MNU_Cam, "MNU_Cam" + N(c) + "_Demarrer", "Demarrer"),
      MNU_Arreter(MNU_Cam, "MNU_Cam" + N(c) + "_Arreter", "Arreter"),
      MNU_Format(MNU_Cam, "MNU_Cam" + N(c) + "_Format", "F&ormat"),
      MNU_Source(MNU_Cam, "MNU_Cam" + N(c) + "_Source", "&Source"),
      MNU_Pilote(MNU_Cam, "MNU_Cam" + N(c) + "_Pilote", "&Pilote"),
      MNU_Mode(MNU_Cam, "MNU_Cam" + N(c) + "_Mode", "Mode"),
      MNU_Image(MNU_Mode, "MNU_Cam" + N(c) + "_Image", "Image"),
      MNU_Stream(MNU_Mode, "MNU_Cam" + N(c) + "_Stream", "Stream"),
      MNU_PoseLongue(MNU_Mode, "MNU_Cam" + N(c) + "_PoseLongue", "Poses longues"),
      MNU_Binning(MNU_Cam, "MNU_Cam" + N(c) + "_Binning", "Binning"),
      MNU_Binning_1x1(MNU_Binning, "MNU_Cam" + N(c) + "_Binning_1x1", "1x1"),
      MNU_Binning_2x2(MNU_Binning, "MNU_Cam" + N(c) + "_Binning_2x2", "2x2"),
      PNL_Outils(w, "PNL_Outils_Cam" + N(c)),
      SPDB_Start(PNL_Outils, "SPDB_Cam_Start_" + N(c), "", StartGroup(c), true),
      SPDB_Stop(PNL_Outils, "SPDB_Cam_Stop_" + N(c), "", StartGroup(c), true),
      SPDB_Format(PNL_Outils, "SPDB_Cam_Format_" + N(c)),
      SPDB_Source(PNL_Outils, "SPDB_Cam_Source_" + N(c)),
      SPDB_Image(PNL_Outils, "SPDB_Cam" + N(c) + "_Image", "", ModeGroup(c), false),
      SPDB_Flux(PNL_Outils, "SPDB_Cam" + N(c) + "_Flux", "", ModeGroup(c), false),
      SPDB_PoseLongue(PNL_Outils, "SPDB_Cam" + N(c) + "_PoseLongue", "", ModeGroup(c), false) {
  const std::string cam = "Camera " + N(c) + " : ";
  SPDB_Start.SetHint(cam + "Demarrer");
  SPDB_Stop.SetHint(cam + "Arrêter");
  SPDB_Format.SetHint(cam + "Format");
  SPDB_Source.SetHint(cam + "Source");
  SPDB_Image.SetHint(cam + "Mode image");
  SPDB_Flux.SetHint(cam + "Mode stream");
  SPDB_PoseLongue.SetHint(cam + "Mode longue pose");
  MNU_Pilote.SetVisible(false);
  for (MenuItem* m : {&MNU_Image, &MNU_Stream, &MNU_PoseLongue}) m->SetRadioItem(true, 1);
  for (MenuItem* m : {&MNU_Binning_1x1, &MNU_Binning_2x2}) m->SetRadioItem(true, 2);
  MNU_Image.SetChecked(true);
  MNU_Binning_1x1.SetChecked(true);
  // Offline: only starting (and the driver choice) makes sense.
  MNU_Arreter.SetEnabled(false);
  SPDB_Stop.SetEnabled(false);
  for (SpeedButton* b : {&SPDB_Image, &SPDB_Flux, &SPDB_PoseLongue}) b->SetEnabled(false);
}

CameraCommands::CameraCommands(TFRM_Alv& alv, FrameSource& camera1, FrameSource& camera2)
    : Cam1(alv, 1),
      Cam2(alv, 2),
      TMR_Insiste(alv, "TMR_Insiste", 200),
      alv_(alv),
      source1_(camera1),
      source2_(camera2) {
  Wire(Cam1);
  Wire(Cam2);
  TMR_Insiste.OnTimer = [this] {
    TMR_Insiste.Stop();
    Controls(insisteCamera_).SPDB_Image.SetDown(true);
  };
  alv_.Hooks.GrabFrame = [this](int camera) { GrabFrame(0, camera); };
  alv_.Inputs.Binning = [this](int camera) { return Binning(camera); };
  alv_.Lifecycle.StopStream = [this](int camera) {
    if (alv_.Camera(camera).streaming) BTN_TurboClick(camera);
  };
}

CameraCommands::~CameraCommands() {
  // The hooks point at this object.
  alv_.Hooks.GrabFrame = nullptr;
  alv_.Inputs.Binning = nullptr;
  alv_.Lifecycle.StopStream = nullptr;
  source1_.Disconnect();
  source2_.Disconnect();
}

void CameraCommands::Wire(CameraControls& c) {
  const int n = c.camera;
  c.MNU_Demarrer.OnClick = [this, n] { Start(n); };
  c.SPDB_Start.OnClick = [this, n] { Start(n); };
  c.MNU_Arreter.OnClick = [this, n] { Stop(n); };
  c.SPDB_Stop.OnClick = [this, n] {
    if (!alv_.Camera(n).streaming) Stop(n);
  };
  c.MNU_Format.OnClick = [this, n] { FormatDialog(n); };
  c.SPDB_Format.OnClick = [this, n] {
    Controls(n).SPDB_Format.SetDown(false);
    FormatDialog(n);
  };
  c.MNU_Source.OnClick = [this, n] { SourceDialog(n); };
  c.SPDB_Source.OnClick = [this, n] {
    Controls(n).SPDB_Source.SetDown(false);
    SourceDialog(n);
  };
  c.MNU_Pilote.OnClick = [this, n] { GetDriver(n); };
  c.MNU_Image.OnClick = [this, n] { SetImageMode(n); };
  c.SPDB_Image.OnClick = [this, n] { SetImageMode(n); };
  c.MNU_Stream.OnClick = [this, n] { SetStreamMode(n); };
  c.SPDB_Flux.OnClick = [this, n] { SetStreamMode(n); };
  c.MNU_PoseLongue.OnClick = [this, n] { SetLongExposureMode(n); };
  c.SPDB_PoseLongue.OnClick = [this, n] { SetLongExposureMode(n); };
  c.MNU_Binning_1x1.OnClick = [this, n] { SetBinning(n, 1); };
  c.MNU_Binning_2x2.OnClick = [this, n] { SetBinning(n, 2); };
}

void CameraCommands::Message(const std::string& text) {
  if (alv_.ShowMessageLine) alv_.ShowMessageLine(false, text);
}

void CameraCommands::ReleaseStart(int camera) {
  Controls(camera).SPDB_Start.SetDown(false);
}

int CameraCommands::RefreshInterval(int camera) {
  const double ms = Hooks.RefreshMs ? Hooks.RefreshMs(camera) : 200.0;
  return std::max(1, static_cast<int>(std::trunc(ms)));
}

std::optional<int> CameraCommands::GetDriver(int camera) {
  std::vector<std::string> texts;
  for (const DriverDescription& d : Source(camera).ListDrivers()) texts.push_back(d.Text());
  TFRM_Pilote dialog(alv_.App());
  return dialog.Execute(texts);
}

void CameraCommands::WriteDebugLog(const std::string& text) {
  const std::string path = JoinPath(alv_.ProgramDirectory(), "Debug.log");
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  } else {
    Message("Impossible d'ecrire " + path);
  }
}

void CameraCommands::Start(int camera) {
  CameraControls& c = Controls(camera);
  FrameSource& source = Source(camera);
  alv_.SetOnline(camera, false);
  // A camera start ends a file source and a running player.
  if (Hooks.StopPlayer) Hooks.StopPlayer();
  if (camera == 1 && Hooks.CloseAvi) Hooks.CloseAvi();
  if (alv_.State.fileMode) {
    RefreshTimer(alv_.ImageCamera()).Stop();
    alv_.State.fileMode = false;
  }
  const std::optional<int> driver = GetDriver(camera);
  if (!driver) {
    ReleaseStart(camera);
    return;
  }
  if (!source.Connect(*driver)) {
    Message(MSG_Cannot_Start_Cam1 + " " + N(camera) + MSG_Cannot_Start_Cam2);
    if (!source.LastError().empty()) Message(source.LastError());
    ReleaseStart(camera);
    return;
  }
  const FormatReading reading = ReadVideoFormat(source, grabbed_[camera - 1], camera);
  if (Hooks.Debug && Hooks.Debug()) WriteDebugLog(reading.debugText);
  const VideoFormat& f = reading.format;
  if (!alv_.AcceptVideoFormat(f.width, f.height)) {
    // No frame of a refused size may reach the working images.
    source.Disconnect();
    ReleaseStart(camera);
    return;
  }
  alv_.Camera(camera).streaming = 0;
  alv_.SetOnline(camera, true);
  alv_.SetCameraFormat(camera, f.width, f.height, f.bitCount, true);
  if (Hooks.ApplyZoneLimits) Hooks.ApplyZoneLimits(camera, ZoneLimitsFor(f.width));
  alv_.State.processing = true;
  grabFailures_[camera - 1] = 0;

  c.MNU_Demarrer.SetEnabled(false);
  c.MNU_Arreter.SetEnabled(true);
  c.SPDB_Stop.SetEnabled(true);
  c.SPDB_Start.SetDown(false);
  for (SpeedButton* b : {&c.SPDB_Image, &c.SPDB_Flux, &c.SPDB_PoseLongue}) b->SetEnabled(true);
  c.MNU_PoseLongue.SetEnabled(true);
  c.SPDB_Image.SetDown(true);
  c.MNU_Image.SetChecked(true);
  c.MNU_Format.SetEnabled(true);
  c.MNU_Pilote.SetEnabled(false);

  alv_.SourcePage(camera).Bitmap().Fill(kBlack);
  alv_.SourcePage(camera).Invalidate();
  alv_.Image3.Bitmap().Fill(kBlack);
  alv_.Image3.Invalidate();
  alv_.MNU_Operations.SetEnabled(true);
  alv_.ResizeResultPage();
  Timer& timer = RefreshTimer(camera);
  timer.SetInterval(RefreshInterval(camera));
  timer.Start();
  if (Hooks.CameraStarted) Hooks.CameraStarted(camera);
}

void CameraCommands::Stop(int camera) {
  CameraControls& c = Controls(camera);
  FrameSource& source = Source(camera);
  if (source.Connected()) {
    if (alv_.Camera(camera).streaming) BTN_TurboClick(camera);
    RefreshTimer(camera).Stop();
    source.Disconnect();
  }
  if (camera == alv_.GuideCamera()) alv_.MNU_Operations.SetEnabled(false);
  c.SPDB_Stop.SetEnabled(false);
  c.SPDB_Stop.SetDown(true);
  c.SPDB_Start.SetEnabled(true);
  c.SPDB_Start.SetDown(false);
  c.MNU_Demarrer.SetEnabled(true);
  c.MNU_Format.SetEnabled(true);
  c.MNU_Pilote.SetEnabled(true);
  c.MNU_Arreter.SetEnabled(false);
  if (camera == alv_.ImageCamera()) c.SPDB_PoseLongue.SetEnabled(true);
  if (camera == alv_.GuideCamera()) alv_.State.processing = false;
  alv_.SetOnline(camera, false);
  if (Hooks.CameraStopped) Hooks.CameraStopped(camera);
}

bool CameraCommands::GrabFrame(int slot, int camera) {
  grabTarget_ = slot;
  FrameSource& source = Source(camera);
  if (!source.Connected()) return false;
  Image& frame = grabbed_[camera - 1];
  if (!source.GrabFrame(frame)) {
    // A camera that keeps failing has been unplugged or has died: it is
    // stopped rather than asked again and again.
    if (++grabFailures_[camera - 1] == 1) Message(source.LastError());
    if (grabFailures_[camera - 1] >= kGrabFailuresBeforeStop) {
      Message("Camera " + N(camera) + " arretee : " + source.LastError());
      Stop(camera);
    }
    return false;
  }
  grabFailures_[camera - 1] = 0;
  alv_.MeasureFrameRate(camera, false);
  if (slot == 0) return alv_.StoreFrame(camera, frame);
  if (!alv_.AcceptVideoFormat(frame.Width(), frame.Height())) return false;
  alv_.Slot(camera, slot).Assign(frame);
  return true;
}

void CameraCommands::StartSequence(int camera) {
  StreamSink sink;
  sink.frame = [this, camera](const Image& frame) { alv_.FrameArrived(camera, frame); };
  sink.failed = [this, camera](const std::string& message) { StreamFailed(camera, message); };
  if (!Source(camera).StartStream(alv_.Loop(), RefreshInterval(camera), std::move(sink))) {
    Message(Source(camera).LastError());
    // Back to image mode, which needs no stream.
    EndStream(camera);
  }
}

void CameraCommands::StreamFailed(int camera, const std::string& message) {
  Message(message);
  Message("Camera " + N(camera) + " arretee.");
  Stop(camera);
}

void CameraCommands::EndStream(int camera) {
  CameraControls& c = Controls(camera);
  Source(camera).StopStream();
  c.SPDB_Stop.SetEnabled(true);
  c.MNU_PoseLongue.SetEnabled(true);
  c.SPDB_PoseLongue.SetEnabled(true);
  alv_.Camera(camera).streaming = 0;
  RefreshTimer(camera).Start();
}

void CameraCommands::LeaveLongExposure(int camera) {
  if (!alv_.State.longExposureMode || camera != alv_.ImageCamera()) return;
  if (Hooks.StopExposure) Hooks.StopExposure();
  alv_.State.longExposureMode = false;
  if (Hooks.ShowLongExposureWindow) Hooks.ShowLongExposureWindow(false);
}

void CameraCommands::LevelControlsRule() {
  auto ask = [](const std::function<bool()>& f) { return f && f(); };
  const bool needed = ask(alv_.Inputs.IntegrationActive) || Binning(1) == 2 || Binning(2) == 2 ||
                      alv_.State.longExposureMode || ask(alv_.Inputs.ForceLevels);
  if (!needed && Hooks.EnableLevelControls) Hooks.EnableLevelControls(false);
}

void CameraCommands::SetStreamMode(int camera) {
  CameraControls& c = Controls(camera);
  if (!Source(camera).Connected() || alv_.Camera(camera).streaming) return;
  LeaveLongExposure(camera);
  c.MNU_Stream.SetChecked(true);
  c.SPDB_Stop.SetEnabled(false);
  c.MNU_PoseLongue.SetEnabled(false);
  c.SPDB_PoseLongue.SetEnabled(false);
  alv_.Camera(camera).streaming = 1;
  RefreshTimer(camera).Stop();
  StartSequence(camera);
  LevelControlsRule();
  if (alv_.Camera(camera).streaming) c.SPDB_Flux.SetDown(true);
}

void CameraCommands::SetImageMode(int camera) {
  CameraControls& c = Controls(camera);
  if (Source(camera).Connected()) {
    if (alv_.Camera(camera).streaming) {
      EndStream(camera);
      alv_.App().ProcessMessages();
    }
    c.SPDB_Image.SetDown(true);
    LeaveLongExposure(camera);
  }
  c.MNU_Image.SetChecked(true);
  LevelControlsRule();
  insisteCamera_ = camera;
  TMR_Insiste.Start();
}

void CameraCommands::SetLongExposureMode(int camera) {
  CameraControls& c = Controls(camera);
  if (Source(camera).Connected() && alv_.Camera(camera).streaming) EndStream(camera);
  alv_.State.longExposureMode = true;
  c.MNU_PoseLongue.SetChecked(true);
  c.SPDB_PoseLongue.SetDown(true);
  if (Hooks.ShowLongExposureWindow) Hooks.ShowLongExposureWindow(true);
  if (Hooks.EnableLevelControls) Hooks.EnableLevelControls(true);
}

void CameraCommands::BTN_TurboClick(int camera) {
  if (alv_.Camera(camera).streaming) {
    EndStream(camera);
  } else {
    Controls(camera).SPDB_Stop.SetEnabled(false);
    alv_.Camera(camera).streaming = 1;
    RefreshTimer(camera).Stop();
    StartSequence(camera);
  }
}

void CameraCommands::SetBinning(int camera, int factor) {
  CameraControls& c = Controls(camera);
  c.MNU_Binning_1x1.SetChecked(factor == 1);
  c.MNU_Binning_2x2.SetChecked(factor == 2);
  alv_.ResizeResultPage();
  if (factor == 1) {
    LevelControlsRule();
  } else if (Hooks.EnableLevelControls) {
    Hooks.EnableLevelControls(true);
  }
  alv_.ProcessFrame(true, alv_.ImageCamera());
}

void CameraCommands::FormatDialog(int camera) {
  FrameSource& source = Source(camera);
  if (!source.Connected()) return;
  if (alv_.Camera(camera).streaming) {
    Message("Camera " + N(camera) + " : passer en mode image avant de changer de format");
    return;
  }
  const std::vector<VideoFormat> formats = source.Formats();
  if (formats.empty()) return;
  std::vector<std::string> texts;
  int current = 0;
  const VideoFormat now = source.GetVideoFormat();
  for (size_t i = 0; i < formats.size(); ++i) {
    texts.push_back(formats[i].Text());
    if (formats[i] == now) current = static_cast<int>(i);
  }
  const std::optional<int> chosen =
      alv_.App().Dlg().Choose("Format video - Camera " + N(camera), texts, current);
  if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(formats.size())) return;
  std::string refusal;
  if (!ApplyVideoFormat(source, formats[*chosen], refusal)) {
    // The previous format is back: frames keep the size the program holds.
    Message(refusal);
    return;
  }
  const FormatReading reading = ReadVideoFormat(source, grabbed_[camera - 1], camera);
  if (Hooks.Debug && Hooks.Debug()) WriteDebugLog(reading.debugText);
  const VideoFormat& f = reading.format;
  if (!alv_.AcceptVideoFormat(f.width, f.height)) return;
  alv_.SetCameraFormat(camera, f.width, f.height, f.bitCount, false);
  if (Hooks.ApplyZoneLimits) Hooks.ApplyZoneLimits(camera, ZoneLimitsFor(f.width));
  alv_.SourcePage(camera).Bitmap().Fill(kBlack);
  alv_.SourcePage(camera).Invalidate();
  if (alv_.ImagesCreated()) {
    alv_.Slot(camera, 0).Fill(kBlack);
    alv_.Slot(camera, 2).Fill(kBlack);
  }
  if (camera == 1 && Hooks.CentreZones) Hooks.CentreZones();
  if (Hooks.ReferenceNotLoaded) Hooks.ReferenceNotLoaded();
}

void CameraCommands::SourceDialog(int camera) {
  FrameSource& source = Source(camera);
  if (!source.Connected()) return;
  // The device's controls one after the other: choose one, give its value.
  for (;;) {
    const std::vector<SourceControl> controls = source.Controls();
    if (controls.empty()) return;
    std::vector<std::string> texts;
    for (const SourceControl& s : controls) {
      std::string value = std::to_string(s.value);
      if (s.kind == SourceControl::Kind::Menu && s.value - s.minimum >= 0 &&
          s.value - s.minimum < static_cast<int>(s.menuItems.size())) {
        value = s.menuItems[s.value - s.minimum];
      }
      texts.push_back(s.name + " : " + value + " (" + std::to_string(s.minimum) + ".." +
                      std::to_string(s.maximum) + ")");
    }
    const std::string title = "Source - Camera " + N(camera);
    const std::optional<int> chosen = alv_.App().Dlg().Choose(title, texts, 0);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(controls.size())) return;
    const SourceControl& s = controls[*chosen];
    const std::optional<std::string> typed =
        alv_.App().Dlg().InputBox(title, s.name, std::to_string(s.value));
    if (!typed) return;
    char* end = nullptr;
    const long v = std::strtol(typed->c_str(), &end, 10);
    if (end == typed->c_str() || *end != 0 || v < s.minimum || v > s.maximum) {
      Message(s.name + " : valeur " + *typed + " hors limites (" + std::to_string(s.minimum) +
              ".." + std::to_string(s.maximum) + ")");
      continue;
    }
    if (!source.SetControl(s.id, static_cast<int>(v))) Message(source.LastError());
  }
}

}  // namespace orniva
