#include "processing/tfrm_tool_images.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "core/rounding.h"

namespace orniva {
namespace {

// The durations shown in the resources window come from a steady clock: the
// passes take about a millisecond, below what a millisecond clock resolves.
double SteadyMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

template <typename F>
void Call(const F& f, auto&&... args) {
  if (f) f(args...);
}

std::string Num(int v) {
  return std::to_string(v);
}

}  // namespace

TFRM_Tool_Images::TFRM_Tool_Images(Application& app)
    : Window(app, "TFRM_Tool_Images", "Images"),
      eqSliders_{&TRKB_EQ1, &TRKB_EQ2, &TRKB_EQ3, &TRKB_EQ4, &TRKB_EQ5,
                 &TRKB_EQ6, &TRKB_EQ7, &TRKB_EQ8, &TRKB_EQ9},
      eqBoxes_{&CKB_EQ1, &CKB_EQ2, &CKB_EQ3, &CKB_EQ4, &CKB_EQ5,
               &CKB_EQ6, &CKB_EQ7, &CKB_EQ8, &CKB_EQ9} {
  RDB_Unique.SetHint("Integration illimitée");
  RDB_Boucle.SetHint("Intégration en boucle (Planetaire)");
  RDB_Dark.SetHint("Integration d'un Dark");
  RDB_Flat.SetHint("Integration d'un Flat-Field");
  SPED_Nb_Bitmap.SetHint("Nombre d'images à compositer en temps réel");
  CKB_Seuils_Evol.SetHint("Evolution automatique des seuils avec le temps ");
  RDB_NB.SetHint("Affichage du resultat en niveaux de gris");
  CKB_Red.SetHint("Composante Rouge");
  CKB_Green.SetHint("Composante Verte");
  CKB_Blue.SetHint("Composante Bleue");
  SCB_Minimum.SetSteps(1, 100);
  SCB_Maximum.SetSteps(1, 100);
  EDT_Decompte.SetReadOnly(true);
  EDT_NBCaps.SetReadOnly(true);
  TNI_Min.SetReadOnly(true);
  TNI_Max.SetReadOnly(true);
  TNI_MaxDark.SetReadOnly(true);
  TNI_MaxFlat.SetReadOnly(true);
  CKB_Inverse.SetVisible(false);
  CKB_EQ1.SetVisible(false);
  CKB_EQ9.SetVisible(false);
  CKB_Active_Flat.SetEnabled(false);
  BTN_Arreter_Add.SetEnabled(false);
  for (Control* c : std::initializer_list<Control*>{&RDB_Unique, &RDB_Boucle, &RDB_Dark, &RDB_Flat,
                                                    &SPED_Nb_Bitmap, &BTN_Demarrer_Add,
                                                    &BTN_Reset_Add, &CKB_Visu_Permanente}) {
    c->SetEnabled(false);
  }
  EnableLevelControls();

  CKB_Integration.OnClick = [this] { CKB_IntegrationClick(); };
  RDB_Unique.OnClick = [this] { RDB_UniqueClick(); };
  RDB_Boucle.OnClick = [this] { RDB_BoucleClick(); };
  RDB_Dark.OnClick = [this] { RDB_DarkClick(); };
  RDB_Flat.OnClick = [this] { RDB_FlatClick(); };
  BTN_Demarrer_Add.OnClick = [this] { BTN_Demarrer_AddClick(); };
  BTN_Arreter_Add.OnClick = [this] { BTN_Arreter_AddClick(); };
  BTN_Reset_Add.OnClick = [this] { BTN_Reset_AddClick(); };
  SCB_Minimum.OnChange = [this] { SCB_MinimumChange(); };
  SCB_Maximum.OnChange = [this] { SCB_MaximumChange(); };
  TNI_Seuil_Min.OnChange = [this] { TNI_Seuil_MinExit(); };
  TNI_Seuil_Max.OnChange = [this] { TNI_Seuil_MaxExit(); };
  for (NumEdit* e : {&TNI_Seuil_MinMin, &TNI_Seuil_MinMax, &TNI_Seuil_MaxMin, &TNI_Seuil_MaxMax}) {
    e->OnChange = [this] { BoundsChange(); };
  }
  CKB_Seuils_Evol.OnClick = [this] { CKB_Seuils_EvolClick(); };
  for (RadioButton* r : {&RDB_NB, &RDB_Couleur}) r->OnClick = [this] { Rerender(); };
  for (CheckBox* c : {&CKB_Red, &CKB_Green, &CKB_Blue}) c->OnClick = [this] { Rerender(); };
  CKB_utiliser_seuils.OnClick = [this] { CKB_utiliser_seuilsClick(); };
  SCB_Seuil_dark.OnChange = [this] { DarkChange(); };
  RDB_Dark_Sub.OnClick = [this] { DarkChange(); };
  RDB_Dark_Smart.OnClick = [this] { DarkChange(); };
  SPED_RDark.OnChange = [this] { DarkChange(); };
  CKB_Active_Flat.OnClick = [this] { CKB_Active_FlatClick(); };
  SPDB_Ouvrir_Dark.OnClick = [this] { Call(Hooks.OpenCorrectionFile, std::string("Dark")); };
  SPDB_Ouvrir_Flat.OnClick = [this] { Call(Hooks.OpenCorrectionFile, std::string("Flat")); };
  CKB_Equal.OnClick = [this] { CKB_EqualClick(); };
  PNL_Points.SetHorizontal(true);
  for (int j = 0; j < 9; ++j) {
    eqSliders_[j]->SetVertical(true);
    eqSliders_[j]->OnChange = [this] { CurveChange(); };
    eqBoxes_[j]->OnClick = [this] { CurveChange(); };
  }
  Button* resets[9] = {&BTN_Reset_EQU1, &BTN_Reset_EQU2, &BTN_Reset_EQU3,
                       &BTN_Reset_EQU4, &BTN_Reset_EQU5, &BTN_Reset_EQU6,
                       &BTN_Reset_EQU7, &BTN_Reset_EQU8, &BTN_Reset_EQU9};
  for (int j = 0; j < 9; ++j) {
    resets[j]->OnClick = [this, j] { eqSliders_[j]->SetPosition(255); };
  }
  BTN_Reset_equal.OnClick = [this] { BTN_Reset_equalClick(); };
  BTN_Lire_Courbe.OnClick = [this] { BTN_Lire_CourbeClick(); };
  BTN_Ecrire_Courbe.OnClick = [this] { BTN_Ecrire_CourbeClick(); };
}

bool TFRM_Tool_Images::IntegrationRunning() const {
  return CKB_Integration.Checked() && !BTN_Demarrer_Add.Enabled();
}

int TFRM_Tool_Images::TargetBuffer() const {
  if (!CKB_Integration.Checked()) return 0;
  if (RDB_Dark.Checked()) return 1;
  if (RDB_Flat.Checked()) return 2;
  return 0;
}

bool TFRM_Tool_Images::LevelControlsUsable() const {
  return CKB_Integration.Checked() || CKB_utiliser_seuils.Checked() || cameraBins2x2_ ||
         cameraLongExposure_;
}

void TFRM_Tool_Images::SetCameraConditions(bool bins2x2, bool longExposure) {
  if (bins2x2 == cameraBins2x2_ && longExposure == cameraLongExposure_) return;
  cameraBins2x2_ = bins2x2;
  cameraLongExposure_ = longExposure;
  EnableLevelControls();
}

void TFRM_Tool_Images::EnableLevelControls() {
  const bool on = LevelControlsUsable();
  for (Control* c : std::initializer_list<Control*>{
           &SCB_Minimum, &SCB_Maximum, &TNI_Seuil_Min, &TNI_Seuil_Max, &TNI_Seuil_MinMin,
           &TNI_Seuil_MinMax, &TNI_Seuil_MaxMin, &TNI_Seuil_MaxMax, &CKB_Seuils_Evol, &RDB_NB,
           &RDB_Couleur, &CKB_Red, &CKB_Green, &CKB_Blue, &PNL_Courbes, &CKB_Equal}) {
    c->SetEnabled(on);
  }
}

ComposeSettings TFRM_Tool_Images::Settings() const {
  ComposeSettings s;
  s.binning = Images.binning == 2 ? 2 : 1;
  s.loopMode = RDB_Boucle.Checked();
  s.frameLimit = SPED_Nb_Bitmap.Value();
  s.darkPower = DarkPower();
  s.darkHotPixels = RDB_Dark_Smart.Checked();
  s.darkRadius = SPED_RDark.Value();
  s.flatActive = CKB_Active_Flat.Checked();
  s.low = SCB_Minimum.Position();
  s.high = SCB_Maximum.Position();
  s.autoLevels = CKB_Seuils_Evol.Checked();
  s.kLow = kLow_;
  s.kHigh = kHigh_;
  s.lowBoundMax = static_cast<int>(TNI_Seuil_MinMax.Value());
  s.highBoundMax = static_cast<int>(TNI_Seuil_MaxMax.Value());
  s.grey = RDB_NB.Checked();
  s.red = CKB_Red.Checked();
  s.green = CKB_Green.Checked();
  s.blue = CKB_Blue.Checked();
  s.curve = CKB_Equal.Checked() ? &curve_ : nullptr;
  return s;
}

void TFRM_Tool_Images::Compose(int target, bool addFrame, bool singleFrame, bool render) {
  if (Images.Sync) Images.Sync(Images);
  ComposeState& st = Images.state;
  const ComposeOutcome o = ComposeResult(st, Settings(), *Images.zoneImage, Images.zoneRect,
                                         {target, addFrame, singleFrame, render},
                                         *Images.renderImage, PassClock ? PassClock : &SteadyMs);
  ++updating_;
  if (addFrame) {
    EDT_NBCaps.SetText(Num(o.shownCount));
    EDT_Decompte.SetText(Num(o.shownCount));
  }
  const bool inverse = CKB_Inverse.Checked();
  TNI_Max.SetValue(inverse ? 65535 - st.cellMax[target] : st.cellMax[target]);
  TNI_Min.SetValue(inverse ? 65535 - st.cellMin[target] : st.cellMin[target]);
  if (o.levelsMoved) {
    TNI_Seuil_MaxMax.SetValue(o.highBoundMax);
    SCB_Maximum.SetRange(SCB_Maximum.Min(), o.highBoundMax);
    SCB_Maximum.SetPosition(o.high);
    TNI_Seuil_Max.SetValue(o.high);
    TNI_Seuil_MinMax.SetValue(o.lowBoundMax);
    SCB_Minimum.SetRange(SCB_Minimum.Min(), o.lowBoundMax);
    SCB_Minimum.SetPosition(o.low);
    TNI_Seuil_Min.SetValue(o.low);
  }
  --updating_;
  lastAddMs_ = o.addMs;
  lastDarkFlatMs_ = o.correctMs;
  Call(Hooks.Times, lastAddMs_, lastDarkFlatMs_);
  if (target == 2) CKB_Active_Flat.SetEnabled(true);
  if (render) Call(Hooks.ResultRendered);
  // The frame that reaches the limit has been added (and shown): now stop.
  if (o.limitReached && IntegrationRunning()) BTN_Arreter_AddClick();
}

bool TFRM_Tool_Images::ComposeAcceptedFrame(bool updateResult) {
  const bool permanent = CKB_Visu_Permanente.Checked();
  if (CKB_Integration.Checked()) {
    if (IntegrationRunning() && updateResult) Compose(TargetBuffer(), true, false, permanent);
    return true;
  }
  if (Images.binning == 2 || DarkPower() > 0 || CKB_Active_Flat.Checked() ||
      CKB_utiliser_seuils.Checked()) {
    if (updateResult) {
      Images.state.cells[TargetBuffer()].Clear();
      Compose(TargetBuffer(), true, true, permanent);
    }
    return true;
  }
  return false;
}

void TFRM_Tool_Images::Rerender() {
  if (updating_) return;
  const bool render = CKB_Visu_Permanente.Checked();
  Compose(TargetBuffer(), false, !CKB_Integration.Checked(), render);
  // The full-screen view shows the new levels too, even with no frame coming.
  if (render) Call(Hooks.FullScreenRefresh);
}

void TFRM_Tool_Images::ShowCounters(int target) {
  const ComposeState& st = Images.state;
  const int count = (target == 0 && RDB_Boucle.Checked()) ? st.ringFill : st.count[target];
  EDT_Decompte.SetText(Num(count));
  EDT_NBCaps.SetText(Num(count));
  TNI_Max.SetValue(st.cellMax[target]);
  TNI_Min.SetValue(st.cellMin[target]);
}

// Integration page.

void TFRM_Tool_Images::SetModeControlsEnabled(bool enabled) {
  for (Control* c :
       std::initializer_list<Control*>{&RDB_Unique, &RDB_Boucle, &RDB_Dark, &RDB_Flat,
                                       &SPED_Nb_Bitmap, &BTN_Demarrer_Add, &BTN_Reset_Add}) {
    c->SetEnabled(enabled);
  }
}

void TFRM_Tool_Images::CKB_IntegrationClick() {
  ComposeState& st = Images.state;
  if (CKB_Integration.Checked()) {
    SetModeControlsEnabled(true);
    CKB_Visu_Permanente.SetEnabled(true);
    BTN_Arreter_Add.SetEnabled(false);
    EnableLevelControls();
    Call(Hooks.PlayAdd, true);
    Call(Hooks.BinningMenus, false);
    if (RDB_Boucle.Checked()) RDB_BoucleClick();
    if (RDB_Dark.Checked() || RDB_Flat.Checked()) {
      Call(Hooks.WholeFrameZone, false, RDB_Flat.Checked());
      Call(Hooks.ZoneSizeControl, 0, false);
    }
  } else {
    if (RDB_Unique.Checked()) {
      RDB_UniqueClick();
    } else {
      RDB_Unique.SetChecked(true);
    }
    SetModeControlsEnabled(false);
    CKB_Visu_Permanente.SetEnabled(false);
    BTN_Arreter_Add.SetEnabled(false);
    Call(Hooks.PlayAdd, false);
    Call(Hooks.ZoneSizeControl, Images.frameWidth, true);
    Call(Hooks.BinningMenus, true);
    EnableLevelControls();
  }
  st.ringHead = st.ringTail = 0;
}

void TFRM_Tool_Images::FreeRing() {
  if (Images.state.ring.empty()) return;
  Images.state.ring.clear();
  Images.state.ring.shrink_to_fit();
  Call(Hooks.MemoryStatus);
}

void TFRM_Tool_Images::RDB_UniqueClick() {
  FreeRing();
  Call(Hooks.ZoneSizeControl, Images.frameWidth, true);
  Call(Hooks.ZonesChanged);
  ShowCounters(0);
  Compose(0, false, false, CKB_Visu_Permanente.Checked());
}

void TFRM_Tool_Images::RDB_BoucleClick() {
  Call(Hooks.ZoneSizeControl, 640, true);
  Call(Hooks.ZonesChanged);
  ShowCounters(0);
  Compose(0, false, false, CKB_Visu_Permanente.Checked());
}

void TFRM_Tool_Images::RDB_DarkClick() {
  FreeRing();
  Call(Hooks.ZoneSizeControl, Images.frameWidth, false);
  Call(Hooks.WholeFrameZone, true, false);
  Images.zoneRect = {0, 0, Images.frameWidth, Images.frameHeight};
  Call(Hooks.ZonesChanged);
  ShowCounters(1);
  Compose(1, false, false, CKB_Visu_Permanente.Checked());
}

void TFRM_Tool_Images::RDB_FlatClick() {
  FreeRing();
  Call(Hooks.ZoneSizeControl, Images.frameWidth, false);
  Call(Hooks.WholeFrameZone, true, true);
  Images.zoneRect = {0, 0, Images.frameWidth, Images.frameHeight};
  Call(Hooks.ZonesChanged);
  ShowCounters(2);
  Compose(2, false, false, CKB_Visu_Permanente.Checked());
}

void TFRM_Tool_Images::BTN_Demarrer_AddClick() {
  // The ring is sized from the display zone as it is now.
  if (Images.Sync) Images.Sync(Images);
  ComposeState& st = Images.state;
  if (RDB_Boucle.Checked() && SPED_Nb_Bitmap.Value() == 0) SPED_Nb_Bitmap.SetValue(1);
  st.ringSize = SPED_Nb_Bitmap.Value() + 1;
  if (RDB_Boucle.Checked()) {
    const int s = Images.displayZoneSize;
    FreeRing();
    const int height = static_cast<int>(Round(s / 1.3333333333333333)) + 1;
    // One bitmap at a time, as memory allows; N follows what was created.
    for (int k = 0; k < st.ringSize; ++k) {
      try {
        st.ring.emplace_back(s, height);
      } catch (const std::bad_alloc&) {
        break;
      }
      Call(Hooks.MemoryStatus);
    }
    SPED_Nb_Bitmap.SetValue(std::max(1, static_cast<int>(st.ring.size())) - 1);
    BTN_Reset_AddClick();
    st.ringFill = 0;
  }
  if (RDB_Dark.Checked() || RDB_Flat.Checked()) {
    Call(Hooks.WholeFrameZone, true, RDB_Flat.Checked());
    Call(Hooks.TrackingBox, false);
  }
  SetModeControlsEnabled(false);
  CKB_Integration.SetEnabled(false);
  Call(Hooks.ZoneSizeControl, 0, false);
  BTN_Arreter_Add.SetEnabled(true);
}

void TFRM_Tool_Images::BTN_Arreter_AddClick() {
  ComposeState& st = Images.state;
  if (RDB_Boucle.Checked()) FreeRing();
  if (RDB_Dark.Checked()) {
    Call(Hooks.TrackingBox, true);
    TNI_MaxDark.SetValue(0);
    SCB_Seuil_dark.SetPosition(100);
  }
  if (RDB_Flat.Checked()) {
    Call(Hooks.TrackingBox, true);
    TNI_MaxFlat.SetValue(st.count[2]);
    CKB_Active_Flat.SetEnabled(true);
    st.flatMean = FlatMeans(st.cells[2], Images.frameWidth, Images.frameHeight);
  }
  SetModeControlsEnabled(true);
  CKB_Integration.SetEnabled(true);
  const bool fixedZone = RDB_Dark.Checked() || RDB_Flat.Checked();
  Call(Hooks.ZoneSizeControl, RDB_Boucle.Checked() ? 640 : Images.frameWidth, !fixedZone);
  BTN_Arreter_Add.SetEnabled(false);
  if (!CKB_Visu_Permanente.Checked()) Compose(TargetBuffer(), false, false, true);
  Call(Hooks.IntegrationEnded);
}

void TFRM_Tool_Images::BTN_Reset_AddClick() {
  ComposeState& st = Images.state;
  Call(Hooks.ResultBlack);
  int target = 0;
  if (RDB_Dark.Checked()) {
    target = 1;
    st.cells[1].Clear();
    SCB_Seuil_dark.SetPosition(100);
  } else if (RDB_Flat.Checked()) {
    target = 2;
    st.cells[2].Clear();
    TNI_MaxFlat.SetValue(0);
    // An emptied flat must not stay applied; unchecking it here does not
    // paint the page that was just made black again.
    ++updating_;
    CKB_Active_Flat.SetChecked(false);
    --updating_;
    CKB_Active_Flat.SetEnabled(false);
  } else {
    st.cells[0].Clear();
  }
  st.count[target] = st.cellMax[target] = st.cellMin[target] = 0;
  for (Edit* e : {&EDT_NBCaps, &EDT_Decompte}) e->SetText("0");
  TNI_Max.SetValue(0);
  TNI_Min.SetValue(0);
  st.ringHead = st.ringTail = 0;
  st.ringSize = SPED_Nb_Bitmap.Value() + 1;
  Call(Hooks.OperationsMenu);
}

// "Seuils" page.

void TFRM_Tool_Images::SCB_MinimumChange() {
  if (updating_) return;
  const int p = SCB_Minimum.Position();
  ++updating_;
  TNI_Seuil_Min.SetValue(p);
  --updating_;
  kLow_ = p / std::max(0.001, static_cast<double>(Trunc(TNI_Min.Value())));
  Rerender();
}

void TFRM_Tool_Images::SCB_MaximumChange() {
  if (updating_) return;
  const int p = SCB_Maximum.Position();
  ++updating_;
  TNI_Seuil_Max.SetValue(p);
  --updating_;
  kHigh_ = p / std::max(0.001, static_cast<double>(Trunc(TNI_Max.Value())));
  Rerender();
}

void TFRM_Tool_Images::TNI_Seuil_MinExit() {
  if (updating_) return;
  SCB_Minimum.SetPosition(static_cast<int>(Round(TNI_Seuil_Min.Value() - 0.5)));
}

void TFRM_Tool_Images::TNI_Seuil_MaxExit() {
  if (updating_) return;
  SCB_Maximum.SetPosition(static_cast<int>(Round(TNI_Seuil_Max.Value() - 0.5)));
}

void TFRM_Tool_Images::BoundsChange() {
  if (updating_) return;
  SCB_Minimum.SetRange(static_cast<int>(Trunc(TNI_Seuil_MinMin.Value())),
                       static_cast<int>(Trunc(TNI_Seuil_MinMax.Value())));
  SCB_Maximum.SetRange(static_cast<int>(Trunc(TNI_Seuil_MaxMin.Value())),
                       static_cast<int>(Trunc(TNI_Seuil_MaxMax.Value())));
}

void TFRM_Tool_Images::CKB_Seuils_EvolClick() {
  if (CKB_Seuils_Evol.Checked()) kLow_ = kHigh_ = 1.0;
  Rerender();
}

void TFRM_Tool_Images::CKB_utiliser_seuilsClick() {
  EnableLevelControls();
}

// "Dark" and "Flat" pages.

void TFRM_Tool_Images::DarkChange() {
  const int T = DarkPower();
  TNI_MaxDark.SetValue(T);
  const bool permanent = CKB_Visu_Permanente.Checked();
  if (!CKB_Integration.Checked()) {
    if (previousDarkPower_ == 0) {
      // Put the still picture through the integer path so the dark applies.
      Call(Hooks.ResultToZone);
      Images.state.cells[0].Clear();
      Compose(0, true, true, permanent);
    }
    Compose(0, false, true, permanent);
  } else {
    Compose(0, false, false, permanent);
  }
  previousDarkPower_ = T;
}

void TFRM_Tool_Images::CKB_Active_FlatClick() {
  if (updating_) return;
  Compose(0, false, !CKB_Integration.Checked(), CKB_Visu_Permanente.Checked());
}

void TFRM_Tool_Images::CorrectionFileLoaded(int target, const std::string& fileName) {
  ComposeState& st = Images.state;
  if (target == 1) {
    RDB_Dark.SetChecked(true);
  } else {
    RDB_Flat.SetChecked(true);
  }
  st.cells[target].Clear();
  st.count[target] = 0;
  Compose(target, true, false, CKB_Visu_Permanente.Checked());
  if (target == 2) {
    st.flatMean = FlatMeans(st.cells[2], Images.frameWidth, Images.frameHeight);
    TNI_MaxFlat.SetValue(st.count[2]);
    CKB_Active_Flat.SetEnabled(true);
    EDT_Fichier_Flat.SetText(fileName);
  } else {
    EDT_Fichier_Dark.SetText(fileName);
  }
}

// "Courbes" page.

CurvePoints TFRM_Tool_Images::CurveFromControls() const {
  CurvePoints p;
  for (int j = 0; j < 9; ++j) {
    p.positions[j] = eqSliders_[j]->Position();
    p.enabled[j] = eqBoxes_[j]->Checked();
  }
  return p;
}

void TFRM_Tool_Images::CurveToControls(const CurvePoints& points) {
  ++updating_;
  for (int j = 0; j < 9; ++j) {
    eqSliders_[j]->SetPosition(points.positions[j]);
    eqBoxes_[j]->SetChecked(points.enabled[j] || j == 0 || j == 8);
  }
  --updating_;
}

void TFRM_Tool_Images::CurveChange() {
  if (updating_) return;
  const CurveBuild built = BuildCurve(CurveFromControls());
  if (!built.ok) {
    App().Dlg().MessageBox("Incorrect number of points (nx3)+1", Caption(), MessageKind::Error,
                           MessageButtons::Ok);
    return;
  }
  curve_ = built.table;
  ++updating_;
  for (int j = 0; j < 9; ++j) eqSliders_[j]->SetPosition(built.positions[j]);
  --updating_;
  Rerender();
}

void TFRM_Tool_Images::CKB_EqualClick() {
  CurveChange();
}

void TFRM_Tool_Images::BTN_Reset_equalClick() {
  CurveToControls(CurvePoints{});
  CurveChange();
}

void TFRM_Tool_Images::BTN_Lire_CourbeClick() {
  const auto path = App().Dlg().OpenFile("Lire...", "Curves|*.crv", filtersDirectory);
  if (!path) return;
  CurvePoints points;
  if (!ReadCurveFile(*path, points)) {
    App().Dlg().MessageBox("Ce n'est pas un fichier de courbes", Caption(), MessageKind::Error,
                           MessageButtons::Ok);
    return;
  }
  CurveToControls(points);
  CurveChange();
}

void TFRM_Tool_Images::BTN_Ecrire_CourbeClick() {
  const auto path = App().Dlg().SaveFile("Ecrire...", "Curves|*.crv", filtersDirectory, "");
  if (!path) return;
  if (!WriteCurveFile(*path, CurveFromControls())) {
    App().Dlg().MessageBox("Impossible d'ecrire le fichier " + *path, Caption(), MessageKind::Error,
                           MessageButtons::Ok);
  }
}

void TFRM_Tool_Images::CameraStarted() {
  CKB_Integration.SetEnabled(true);
}

void TFRM_Tool_Images::ImageCameraStopped() {
  if (IntegrationRunning()) BTN_Arreter_AddClick();
  CKB_Integration.SetChecked(false);
  CKB_Integration.SetEnabled(false);
}

}  // namespace orniva
