#include "program/program.h"

#include "acquisition/test_pattern.h"
#include "acquisition/tfrm_fullscreen.h"
#include "acquisition/tfrm_play_control.h"
#include "acquisition/tfrm_ressources.h"
#include "acquisition/tfrm_small.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "automation/script_commands.h"
#include "automation/shell_windows.h"
#include "platform/indi_telescope.h"
#include "platform/v4l2_source.h"
#include "processing/shell_windows.h"
#include "processing/tfrm_detect_mvt.h"
#include "processing/tfrm_tool_mesures.h"
#include "program/camera_wiring.h"
#include "program/compositor_wiring.h"
#include "program/display_wiring.h"
#include "program/measure_wiring.h"
#include "program/menu_wiring.h"
#include "program/pipeline_wiring.h"
#include "program/player_wiring.h"
#include "program/profile_wiring.h"
#include "program/script_wiring.h"
#include "program/simulator_wiring.h"
#include "program/tracking_wiring.h"
#include "sim/sim_frame_source.h"
#include "sky/shell_windows.h"
#include "telescope/shell_windows.h"
#include "telescope/tfrm_longuepose.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

template <typename W>
std::unique_ptr<Window> Make(Application& app) {
  return std::make_unique<W>(app);
}

using WindowFactory = std::unique_ptr<Window> (*)(Application&);

// Every window of the program, created hidden at start-up in this order.
constexpr WindowFactory kWindows[] = {
    Make<TFRM_Alv>,          Make<TFRM_Small>,          Make<TFRM_Pref>,
    Make<TFRM_ObjectAction>, Make<TFRM_Raquette>,       Make<TFRM_MiseEnStation>,
    Make<TFRM_Tool_Mesures>, Make<TFRM_FullScreen>,     Make<TFRM_Tool_Suivi>,
    Make<TFRM_Tool_Images>,  Make<TFRM_Tool_Affichage>, Make<TFRM_ErrPeriod>,
    Make<TFRM_Ressources>,   Make<TFRM_FWHM>,           Make<TFRM_PlayControl>,
    Make<TFRM_Prg_Action>,   Make<TFRM_PRG_Action_LS>,  Make<TFRM_ImgRef>,
    Make<TFRM_Info>,         Make<TFRM_Prg_Suivi>,      Make<TFRM_Longuepose>,
    Make<TFRM_Sky>,          Make<TFRM_DDEServer>,      Make<TFRM_Network>,
    Make<TFRM_Recherche>,    Make<TFRM_Planificateur>,  Make<TFRM_ComTrafic>,
    Make<TFRM_Detect_Mvt>,   Make<TFRM_Script>,         Make<TFRM_ScrCmd>,
    Make<TFRM_Message>,      Make<TFRM_Input>,          Make<TFRM_Progress>,
    Make<TFRM_BTNPref>,
};

}  // namespace

Program::Program(EventLoop& loop, Dialogs& dialogs, std::function<void(const std::string&)> onStep)
    : OnStep(std::move(onStep)), app_(loop, dialogs) {
  // The splash picture comes with the image files; the step keeps its place.
  Step("splash");
  CreateWindows();
  Connect();
  main_->FormCreate();
  Step("register DDE service");
}

Program::~Program() {
  Shutdown();
  mount_.reset();  // before the windows it works on
  main_->FormDestroy();
  // The commands' controls live on the main window: they go first.
  files_.reset();
  cameras_.reset();
  while (!windows_.empty()) windows_.pop_back();
  Step("windows freed");
}

void Program::CreateWindows() {
  for (WindowFactory make : kWindows) {
    windows_.push_back(make(app_));
    Step("create " + windows_.back()->Name());
  }
  main_ = &Get<TFRM_Alv>();
  message_ = &Get<TFRM_Message>();
}

void Program::Connect() {
  TFRM_Alv& alv = *main_;
  TFRM_Pref& pref = Get<TFRM_Pref>();
  TFRM_Tool_Affichage& display = Get<TFRM_Tool_Affichage>();
  TFRM_Tool_Images& tools = Get<TFRM_Tool_Images>();
  TFRM_Tool_Suivi& suivi = Get<TFRM_Tool_Suivi>();
  TFRM_Tool_Mesures& mesures = Get<TFRM_Tool_Mesures>();
  TFRM_Longuepose& longExposure = Get<TFRM_Longuepose>();
  TFRM_Info& info = Get<TFRM_Info>();
  TFRM_Ressources& resources = Get<TFRM_Ressources>();
  ConnectCapture();
  ConnectPipelineControls(
      {alv, info, longExposure, pref, Get<TFRM_Small>(), display, tools, Get<TFRM_Detect_Mvt>()});
  ConnectTracking({alv, suivi, display, pref, longExposure, *cameras_});
  ConnectCameras({alv, *cameras_, pref, display, tools, suivi, mesures, longExposure});
  ConnectMeasures(mesures, pref);
  ConnectMenus({alv, tools, info, display, mesures, suivi, Script(), pref, resources});
  alv.Lifecycle.Trace = [this](std::string_view step) { Step(std::string(step)); };
  alv.ShowMessageLine = [this](bool clear, const std::string& text) {
    message_->ShowMessageLine(clear, text);
  };
  auto& refresh = display.Rafraichissement;
  refresh.OnInterval = [&alv](int camera, int ms) {
    (camera == 1 ? alv.Timer_Cam1 : alv.Timer_Cam2).SetInterval(ms);
  };
  alv.Hooks.ShowFrameRate = [this, &refresh](int camera, const std::string& rate, bool) {
    // A stream that drops frames says how many beside its rate.
    const int64_t dropped = cameras_ ? cameras_->Dropped(camera) : 0;
    refresh.ShowFrameRate(camera,
                          dropped > 0 ? rate + " (" + std::to_string(dropped) + " perdues)" : rate);
  };
  alv.Hooks.RefreshMemoryStatus = [&resources] { resources.RefreshMemoryStatus(); };
  auto& script = Script();
  script.SetProgressWindow(&Progress());
  script.SetSoundPlayer(recordingSound_);
  RegisterControlCommands(script, *message_);
  ConnectSystemVariables(script.Interpreter().SystemValues(), alv, pref);
  display_ = ConnectDisplay(
      {alv, display, Get<TFRM_Small>(), Get<TFRM_FullScreen>(), mesures, suivi, pref});
  ConnectTelescope();
  ConnectCompositor(
      {alv, tools, info, resources, display, suivi, Get<TFRM_PlayControl>(), *cameras_});
  ConnectCorrectionFiles(alv, *files_, tools);
  ConnectPlayer({alv, *files_, *cameras_, Get<TFRM_PlayControl>(), Script().Interpreter()});
  files_->Hooks.JpegQuality = [&tools] { return tools.SPED_Qualite_Jpeg.Value(); };
  // A file source ends a running integration; a cancelled open dialog ends
  // the script that asked for it.
  files_->Hooks.StopIntegration = [&tools] {
    if (tools.IntegrationRunning()) tools.BTN_Arreter_AddClick();
  };
  files_->Hooks.OnOpenCancelled = [this] {
    ScriptInterpreter& script = Script().Interpreter();
    if (script.ScriptRunning()) script.StopScript();
  };
  // Profiles are kept only by runs that keep a settings file.
  ConnectProfiles(pref, mesures, *message_, [this] {
    return main_->Lifecycle.LoadSettings ? main_->SettingsFile() : std::string();
  });
  alv.Lifecycle.ApplyLanguage = [this] { ApplyLanguage(); };
  pref.Langue.CBX_Langue.OnChange = [this, &pref] {
    languageSetting_ = pref.Langue.CBX_Langue.Text();
    ApplyLanguage();
  };
  main_->MNU_Quitter.OnClick = [this] { Shutdown(); };
  // Closing the main window ends the program.
  main_->OnClose = [this] { ShutdownSteps(); };
}

void Program::ConnectTelescope() {
  serial_ = std::make_unique<SerialPorts>(app_.Loop());
  portIo_ = std::make_unique<LinuxPortIo>(serial_->Devices());
  portIo_->OnProblem = [this](const std::string& text) { message_->ShowMessageLine(false, text); };
  portSwitch_ = std::make_unique<PortSwitch>(*portIo_);
  mount_ = std::make_unique<Mount>(Get<TFRM_Pref>(), Get<TFRM_Prg_Suivi>(), Get<TFRM_ComTrafic>(),
                                   *serial_, *portSwitch_);
  MountHooks& mountHooks = mount_->Hooks;
  mountHooks.StatusLine = [this](const std::string& text) {
    message_->ShowMessageLine(false, text);
  };
  mountHooks.PlaySound = [this](const std::string& path) { sound_->PlayFile(path); };
  mountHooks.RunScript = [this](const std::string& name) {
    TFRM_Script& script = Script();
    if (!script.RunScriptFile(name))
      message_->ShowMessageLine(false, name + " : " + script.MSG_Script_not_found);
  };
  EventLoop& loop = app_.Loop();
  mountHooks.MakeDriver = [&loop] { return MakeIndiTelescope(loop); };
  // The interface choice: "Autoguidage", the telescope menu (kept while a
  // focuser is chosen) and "Self-Guidage"; as chosen at start-up too.
  mountHooks.InterfaceChosen =
      [&autoguiding = Get<TFRM_Tool_Suivi>().RDB_Autoguidage, &telescopeMenu = main_->MNU_Telescope,
       &noFocuser = Get<TFRM_Pref>().RDB_Focus_Aucun,
       &selfGuiding = Get<TFRM_Longuepose>().CKB_Selfguide_Active](bool chosen) {
        autoguiding.SetEnabled(chosen);
        telescopeMenu.SetEnabled(chosen || !noFocuser.Checked());
        selfGuiding.SetEnabled(chosen);
      };
  mountHooks.InterfaceChosen(mount_->Chosen() != MountInterface::None);
  // Port access for the relay boxes and the long-exposure lines: the
  // devices of the chosen addresses are tried at the first activation; a
  // refusal is reported in the message window.
  main_->Lifecycle.OpenPortDriver = [this] {
    TFRM_Pref& pref = Get<TFRM_Pref>();
    serial_->Devices().SetLines(pref.MEMO_Ports_Serie.Lines());
    portIo_->Start({ParallelItemAddress(pref.CBX_AG_PortParallele.Text()),
                    ParallelItemAddress(pref.CBX_AG_Focus_PortParallele.Text()), 0x3F8, 0x2F8});
    mount_->StartPortLines();
  };
  main_->Lifecycle.ReleasePortDriver = [this] {
    mount_->DisconnectMount();
    portIo_->Release();
  };
}

void Program::ConnectCapture() {
  auto sources = [this] {
    std::vector<std::unique_ptr<FrameSource>> list;
    list.push_back(std::make_unique<V4l2FrameSource>());
    list.push_back(std::make_unique<TestPatternSource>(true));
    list.push_back(std::make_unique<SimFrameSource>(app_.Loop(), [this] { return &Simulator(); }));
    return std::make_unique<CombinedFrameSource>(std::move(list));
  };
  camera1_ = sources();
  camera2_ = sources();
  cameras_ = std::make_unique<CameraCommands>(*main_, *camera1_, *camera2_);
  files_ = std::make_unique<FileCommands>(*main_, *cameras_);
}

SimulatedObservatory& Program::Simulator(const std::string& catalogueDirectory,
                                         const std::optional<SimulatorSettings>& settings) {
  if (!simulator_) {
    const std::string& dir =
        catalogueDirectory.empty() ? main_->ProgramDirectory() : catalogueDirectory;
    simulator_ = std::make_unique<SimulatedObservatory>(app_.Loop(), dir,
                                                        settings.value_or(simulatorSettings_));
  }
  return *simulator_;
}

void Program::UseSimulatedPorts() {
  SimPort& port = Simulator().Port();
  TFRM_Pref& pref = Get<TFRM_Pref>();
  port.Wiring = [&pref] { return RelayWiringFromPreferences(pref); };
  portSwitch_->SetTarget(port);
}

void Program::ApplyLanguage() {
  ComboBox& list = Get<TFRM_Pref>().Langue.CBX_Langue;
  const std::string dir = main_->ProgramDirectory().empty() ? "." : main_->ProgramDirectory();
  list.SetItems(LanguageTexts::Available(dir));
  // The settings name the language, or (older files) give its place.
  int index = list.IndexOf(languageSetting_);
  if (index < 0) {
    if (const std::optional<int> n = ParseProfileInteger(languageSetting_)) index = *n;
  }
  if (index < 0 || index >= static_cast<int>(list.Items().size()))
    index = list.Items().empty() ? -1 : 0;
  list.SetItemIndex(index);
  IniFile file;
  std::string language;
  if (index >= 0) {
    language = list.Items()[index];
    file = IniFile(LanguageTexts::FilePath(dir, language));
    const std::string error = file.Load();
    if (!error.empty()) message_->ShowMessageLine(false, error);
  }
  language_.Apply(app_, file, language);
  cameras_->MSG_Cannot_Start_Cam1 =
      language_.Text("MSG_Cannot_Start_Cam1", "Impossible de demarrer la camera #");
  cameras_->MSG_Cannot_Start_Cam2 =
      language_.Text("MSG_Cannot_Start_Cam2", ", verifier le branchement et les pilotes.");
}

void Program::Step(const std::string& what) {
  if (OnStep) OnStep(what);
}

void Program::Activate() {
  if (activated_) return;
  activated_ = true;
  main_->FormActivate();
  main_->Show();
  if (main_->Lifecycle.LoadSettings) ReadPlacements();
  Step("main window shown: " + main_->Caption());
}

bool Program::Shutdown() {
  if (shutDown_) return true;
  return main_->Close();
}

void Program::ShutdownSteps() {
  if (shutDown_) return;
  shutDown_ = true;
  main_->FormClose();
  app_.Loop().Quit(0);
}

}  // namespace orniva
