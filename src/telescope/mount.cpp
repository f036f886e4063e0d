#include "telescope/mount.h"

#include <algorithm>
#include <cmath>

#include "core/event_loop.h"
#include "core/rounding.h"
#include "ui/application.h"
#include "ui/dialogs.h"

namespace orniva {

namespace {
constexpr int kRa = 0, kDec = 1;
int Axis(int direction) {
  return IsRaAxis(direction) ? kRa : kDec;
}
}  // namespace

Mount::Mount(TFRM_Pref& pref, TFRM_Prg_Suivi& suivi, TFRM_ComTrafic& trafic, SerialPortSlots& ports,
             PortIo& port)
    : pref_(pref),
      suivi_(suivi),
      trafic_(trafic),
      ports_(ports),
      port_(port),
      lx200_(suivi.Loop(), ports, kMountSlot) {
  lx200_.Write = [this](const std::string& command) { SendMountString(kMountSlot, command); };
  lx200_.OnFailed = [this](const std::string& what) { LinkFailed(what); };
  for (RadioButton* r : {&pref_.RDB_Aucun, &pref_.RDB_LX200, &pref_.RDB_ASCOM, &pref_.RDB_Ruvena,
                         &pref_.RDB_Marvane, &pref_.RDB_Telkor})
    r->OnClick = [this] { InterfaceClick(); };
  pref_.BTN_Connecter.OnClick = [this] { ConnectClick(); };
  pref_.BTN_Deconnecter.OnClick = [this] { DisconnectMount(); };
  pref_.BTN_Stop.OnClick = [this] {
    StopAllMotion();
    suivi_.TMR_Suivi_AD.Stop();
    suivi_.TMR_Suivi_Dec.Stop();
  };
  pref_.OnTestButton = [this](int d, bool down) { TestButton(d, down); };
  pref_.OnFocusButton = [this](int f, bool down) { down ? FocusStart(f) : FocusStop(f); };
  suivi_.OnArrow = [this](int d, bool down) {
    if (connected_) TestButton(d, down);
  };
  suivi_.TMR_Suivi_AD.OnTimer = [this] { TMR_Suivi_ADTimer(); };
  suivi_.TMR_Suivi_Dec.OnTimer = [this] { TMR_Suivi_DecTimer(); };
  suivi_.TMR_ScopePosition.OnTimer = [this] { TMR_ScopePositionTimer(); };
  pref_.CKB_Historique_Comm.OnClick = [this] {
    if (pref_.CKB_Historique_Comm.Checked())
      trafic_.ShowOnScreen();
    else
      trafic_.Hide();
  };
  trafic_.OnClosed = [this] { pref_.CKB_Historique_Comm.SetChecked(false); };
  SetButtons();
}

Mount::~Mount() {
  wire_.reset();
  suivi_.TMR_Suivi_AD.Stop();
  suivi_.TMR_Suivi_Dec.Stop();
  suivi_.TMR_ScopePosition.Stop();
}

Mount::Interface Mount::Chosen() const {
  if (pref_.RDB_LX200.Checked()) return Interface::Lx200;
  if (pref_.RDB_ASCOM.Checked()) return Interface::Ascom;
  if (pref_.RDB_Ruvena.Checked()) return Interface::Ruvena;
  if (pref_.RDB_Marvane.Checked()) return Interface::Marvane;
  if (pref_.RDB_Telkor.Checked()) return Interface::Telkor;
  return Interface::None;
}

MountLink* Mount::Link() {
  const Interface chosen = Chosen();
  if (chosen != wireKind_) {
    wire_ = MakeMountLink(chosen, *this);
    wireKind_ = chosen;
  }
  return wire_.get();
}

void Mount::SetButtons() {
  bool none = Chosen() == Interface::None;
  for (RadioButton* r : {&pref_.RDB_Aucun, &pref_.RDB_LX200, &pref_.RDB_ASCOM, &pref_.RDB_Ruvena,
                         &pref_.RDB_Marvane, &pref_.RDB_Telkor})
    r->SetEnabled(!connected_);
  pref_.BTN_Connecter.SetEnabled(!connected_ && !none);
  for (Button* c : {&pref_.BTN_Deconnecter, &pref_.BTN_N, &pref_.BTN_S, &pref_.BTN_E, &pref_.BTN_O,
                    &pref_.BTN_Stop})
    c->SetEnabled(connected_);
}

void Mount::MakeDriver() {
  if (driver_ || !Hooks.MakeDriver) return;
  driver_ = Hooks.MakeDriver();
  if (!driver_) return;
  driver_->OnLost = [this](const std::string& why) {
    if (!connected_ || Chosen() != Interface::Ascom) return;
    if (Hooks.StatusLine) Hooks.StatusLine("Telescope : " + why + ", liaison coupee.");
    pref_.PNL_ASCOM_Etat.SetColor({0, 0, 255});
    DisconnectMount();
  };
}

void Mount::InterfaceClick() {
  Interface chosen = Chosen();
  if (chosen == Interface::Ascom) MakeDriver();
  SetButtons();
  if (Hooks.InterfaceChosen) Hooks.InterfaceChosen(chosen != Interface::None);
}

void Mount::ConnectClick() {
  ConnectMount();
}

void Mount::TestButton(int direction, bool down) {
  if (down) {
    guideMode = false;
    StartMotion(direction, false, true, kContinuous);
  } else {
    StopMotion(direction);
  }
}

bool Mount::EnsureConnected() {
  if (Chosen() == Interface::None) return false;
  if (connected_) return true;
  return ConnectMount();
}

// ---- serial and port helpers ----

void Mount::SendMountString(int slot, std::string text) {
  if (pref_.CKB_CR.Checked()) text += '\r';
  if (pref_.CKB_LF.Checked()) text += '\n';
  const ComboBox& item = slot == kFocusSlot ? pref_.CBX_AG_Focus_PortSerie : pref_.CBX_AG_PortSerie;
  if (pref_.CKB_Historique_Comm.Checked()) trafic_.AddTrafficLine(false, true, item.Text(), text);
  ports_.PutString(slot, text);
}

void Mount::SendMountByte(int slot, uint8_t byte) {
  ports_.PutByte(slot, byte);
  const ComboBox& item = slot == kFocusSlot ? pref_.CBX_AG_Focus_PortSerie : pref_.CBX_AG_PortSerie;
  trafic_.AddTrafficLine(false, true, item.Text(), std::string(1, static_cast<char>(byte)));
}

void Mount::WritePortByte(uint16_t address, uint8_t value) {
  if (!port_.Ready()) return;
  port_.Out(address, value);
  std::string line = PortTrafficLine(address, value);
  trafic_.AddTrafficLine(true, false, line.substr(0, 4), line.substr(7));
}

uint8_t Mount::ReadPortByte(uint16_t address) {
  return port_.In(address);
}

// The data lines are shared with the long-exposure lines of a modified
// camera: a relay changes its own bit of what the register holds now.
void Mount::ReadDataLines() {
  if (port_.Ready()) dataShadow_ = ReadPortByte(LptAddress());
}

uint16_t Mount::LptAddress() const {
  return ParallelItemAddress(pref_.CBX_AG_PortParallele.Text());
}

void Mount::OpenLink(int slot, const ComboBox& port, const ComboBox& baud, const ComboBox& parity,
                     const ComboBox& bits, const ComboBox& stop) {
  ports_.SetDeviceLines(pref_.MEMO_Ports_Serie.Lines());
  ports_.OpenCom(slot, SerialItemDevice(port.Text()));
  ports_.SetCom(slot, std::atoi(baud.Text().c_str()), ParityCode(parity.Text()),
                std::atoi(bits.Text().c_str()), StopBitsCode(stop.Text()));
  ports_.SetTimeout(slot, 1000, 100);
  ports_.SetBuf(slot, 4096, 4096);
}

// A link that failed while in use (mount unplugged, device gone): say so,
// drop the link and leave everything ready to connect again.
void Mount::LinkFailed(const std::string& what) {
  if (!connected_) return;  // already reported when the link went down
  std::string device = SerialItemDevice(pref_.CBX_AG_PortSerie.Text());
  if (Hooks.StatusLine)
    Hooks.StatusLine("Telescope : " + what + " (" + device + " : " + ports_.DevicePath(device) +
                     "). Liaison coupee, reconnectez le telescope.");
  DisconnectMount();
}

// ---- connection ----

bool Mount::ConnectMount() {
  MountLink* link = Link();
  if (!link) return false;
  if (connected_) return true;
  if (link->UsesPortLines() && !port_.Ready() && Hooks.StatusLine)
    Hooks.StatusLine(
        "Telescope : acces aux ports E/S indisponible, les commandes ne seront pas "
        "envoyees (voir les messages du demarrage).");
  try {
    connected_ = link->Connect();
  } catch (const ExCom& e) {
    ports_.CloseCom(kMountSlot);
    connected_ = false;
    std::string device = SerialItemDevice(pref_.CBX_AG_PortSerie.Text());
    pref_.App().Dlg().MessageBox(
        std::string(e.what()) + "\n" + device + " : " + ports_.DevicePath(device), "Telescope",
        MessageKind::Error, MessageButtons::Ok);
  }
  SetButtons();
  return connected_;
}

void Mount::DisconnectMount() {
  if (connected_) {
    if (MountLink* link = Link()) link->Disconnect();
  }
  lx200_.Clear();
  ports_.CloseCom(kMountSlot);
  connected_ = false;
  for (bool& m : moving_) m = false;
  remaining_[0] = remaining_[1] = 0;
  suivi_.TMR_Suivi_AD.Stop();
  suivi_.TMR_Suivi_Dec.Stop();
  if (gotoInProgress_) {
    gotoInProgress_ = false;
    suivi_.TMR_ScopePosition.Stop();
    if (Hooks.GotoEnded) Hooks.GotoEnded();
  }
  SetButtons();
}

// ---- motions ----

void Mount::StartMotion(int direction, bool durationGiven, bool applyGuideSettings, double amount) {
  if (direction < 1 || direction > 4 || Chosen() == Interface::None) return;
  if (!EnsureConnected()) return;
  int real = guideMode ? InvertDirection(direction, pref_.CKB_GUIDE_InverseAD.Checked(),
                                         pref_.CKB_GUIDE_InverseDEC.Checked())
                       : InvertDirection(direction, pref_.CKB_GOTO_InverseAD.Checked(),
                                         pref_.CKB_GOTO_InverseDEC.Checked());
  StartReal(real, durationGiven, applyGuideSettings, amount);
}

void Mount::ArmAxis(int direction, int64_t intervalMs) {
  Timer& t = IsRaAxis(direction) ? suivi_.TMR_Suivi_AD : suivi_.TMR_Suivi_Dec;
  t.SetInterval(static_cast<int>(std::min<int64_t>(intervalMs, INT32_MAX)));
  t.Start();
}

void Mount::StartReal(int direction, bool durationGiven, bool applyGuideSettings, double amount) {
  const int axis = Axis(direction);
  const bool continuous = amount == kContinuous;
  int64_t d = MotionDurationMs(direction, durationGiven, applyGuideSettings, amount,
                               pref_.AxisSettings(direction), lastDir_[axis]);
  if (continuous && !durationGiven)
    (axis == kRa ? suivi_.TMR_Suivi_AD : suivi_.TMR_Suivi_Dec).Stop();
  if (!continuous) {
    (axis == kRa ? suivi_.EDT_Dir_AD : suivi_.EDT_Dir_Dec).SetText(DirectionWord(direction));
    (axis == kRa ? suivi_.EDT_Duree_AD : suivi_.EDT_Duree_Dec).SetText(std::to_string(d));
    // A timed motion reduced to nothing moves nothing (a zero-length timer
    // would never end it).
    if (d <= 0) return;
  }
  sameAsBefore_[axis] = lastDir_[axis] == direction || axisDir_[axis] == direction;
  MountLink* link = Link();
  if (!link) return;
  try {
    if (!link->Start(direction, d, continuous)) return;
  } catch (const ExCom& e) {
    LinkFailed(e.what());
    return;
  }
  moving_[direction & 3] = true;
  axisDir_[axis] = direction;
  axisStart_[axis] = suivi_.Loop().NowMs();
}

void Mount::StopMotion(int direction) {
  if (direction < 1 || direction > 4 || Chosen() == Interface::None) return;
  int real = guideMode ? InvertDirection(direction, pref_.CKB_GUIDE_InverseAD.Checked(),
                                         pref_.CKB_GUIDE_InverseDEC.Checked())
                       : InvertDirection(direction, pref_.CKB_GOTO_InverseAD.Checked(),
                                         pref_.CKB_GOTO_InverseDEC.Checked());
  try {
    StopReal(real);
  } catch (const ExCom& e) {
    LinkFailed(e.what());
  }
}

void Mount::StopAllMotion() {
  for (int d = 1; d <= 4; ++d) StopMotion(d);
}

// The last direction of an axis is that of its last stopped motion: a stop
// of a direction that was not moving (the axis timer stops both directions
// of its axis) leaves it as it was, or backlash would be added to a motion
// that continues the previous one.
void Mount::StopReal(int direction) {
  MountLink* link = Link();
  if (!link) return;
  bool was[4];
  std::copy(std::begin(moving_), std::end(moving_), was);
  link->Stop(direction);
  for (int d = kEast; d <= kSouth; ++d)
    if (was[d & 3] && !moving_[d & 3]) lastDir_[Axis(d)] = d;
}

void Mount::AxisTimer(bool raAxis) {
  const int axis = raAxis ? kRa : kDec;
  Timer& t = raAxis ? suivi_.TMR_Suivi_AD : suivi_.TMR_Suivi_Dec;
  try {
    MountLink* link = Link();
    if (link && link->AxisTimerEnded(raAxis)) return;
  } catch (const ExCom& e) {
    LinkFailed(e.what());
  }
  t.Stop();
  if (relPending_[axis]) EndRelativeAxis(raAxis);
}

// ---- relative moves and GOTO ----

// Right ascension grows eastwards, as it does on the sky and on the mount's
// own coordinates: a positive RA change moves East, a negative one West.
void Mount::MoveRelative(double deltaRa, double deltaDec) {
  if (Chosen() == Interface::None || !EnsureConnected()) return;
  guideMode = false;
  gotoInProgress_ = true;
  relPending_[kRa] = relPending_[kDec] = false;
  pendingDec_ = 0;
  if (deltaRa != 0) {
    relPending_[kRa] = true;
    StartMotion(deltaRa > 0 ? kEast : kWest, false, true, std::fabs(deltaRa));
  }
  if (deltaDec != 0) {
    relPending_[kDec] = true;
    if (pref_.CKB_Axes_Separes.Checked() && relPending_[kRa])
      pendingDec_ = deltaDec;
    else
      StartMotion(deltaDec < 0 ? kSouth : kNorth, false, true, std::fabs(deltaDec));
  }
  if (!relPending_[kRa] && !relPending_[kDec]) {
    gotoInProgress_ = false;
    return;
  }
  // A motion reduced to nothing ends at once.
  for (int axis : {kRa, kDec}) {
    Timer& t = axis == kRa ? suivi_.TMR_Suivi_AD : suivi_.TMR_Suivi_Dec;
    if (relPending_[axis] && !t.Running() && !(axis == kDec && pendingDec_ != 0))
      EndRelativeAxis(axis == kRa);
  }
  if (gotoInProgress_) {
    lastTick_ = suivi_.Loop().NowMs();
    suivi_.TMR_ScopePosition.SetInterval(500);
    suivi_.TMR_ScopePosition.Start();
  }
}

void Mount::EndRelativeAxis(bool raAxis) {
  relPending_[raAxis ? kRa : kDec] = false;
  if (raAxis && pendingDec_ != 0) {
    double dDec = pendingDec_;
    pendingDec_ = 0;
    StartMotion(dDec < 0 ? kSouth : kNorth, false, true, std::fabs(dDec));
    if (suivi_.TMR_Suivi_Dec.Running()) return;
    relPending_[kDec] = false;
  }
  if (relPending_[kRa] || relPending_[kDec] || !gotoInProgress_) return;
  DeadReckon();
  EndGoto();
}

void Mount::EndGoto() {
  gotoInProgress_ = false;
  suivi_.TMR_ScopePosition.Stop();
  if (Hooks.PositionChanged) Hooks.PositionChanged();
  if (Hooks.GotoEnded) Hooks.GotoEnded();
  if (pref_.CKB_Fin_GOTO_Afficher_Message.Checked() && Hooks.StatusLine)
    Hooks.StatusLine("GOTO termine");
  if (pref_.CKB_Fin_Goto_Jouer_un_son.Checked() && Hooks.PlaySound)
    Hooks.PlaySound(pref_.EDT_Fin_GOTO_Son_a_jouer.Text());
  if (pref_.CKB_Fin_GOTO_ExecuteScript.Checked() && Hooks.RunScript)
    Hooks.RunScript(pref_.EDT_Fin_GOTO_Script.Text());
}

void Mount::StartPolling() {
  suivi_.TMR_ScopePosition.SetInterval(500);
  suivi_.TMR_ScopePosition.Start();
}

// The interfaces without a GOTO of their own are driven by the object
// actions with relative moves.
void Mount::GotoCoordinates(double targetRa, double targetDec) {
  if (!EnsureConnected()) return;
  Link()->Goto(targetRa, targetDec);
}

void Mount::AbortGoto() {
  try {
    if (MountLink* link = Link()) link->AbortGoto();
  } catch (const ExCom& e) {
    LinkFailed(e.what());
  }
  suivi_.TMR_ScopePosition.Stop();
  bool was = gotoInProgress_;
  gotoInProgress_ = false;
  if (was && Hooks.GotoEnded) Hooks.GotoEnded();
}

void Mount::SyncCoordinates(double syncRa, double syncDec) {
  MountLink* link = Link();
  if (!link || !link->CanSync() || !EnsureConnected()) return;
  link->Sync(syncRa, syncDec);
}

// The mount's own library of objects is an LX200 affair.
void Mount::SyncLibraryObject(const std::string& object,
                              std::function<void(const std::string&)> done) {
  if (Chosen() != Interface::Lx200 || !EnsureConnected()) return;
  lx200_.Send("#:Q#");
  lx200_.Pause(100);
  lx200_.Send(":L" + object + "#");
  lx200_.Send(":CM#", Lx200Link::Reply::Hash,
              [done = std::move(done)](const std::string& reply, bool) {
                if (done) done(reply);
              });
}

void Mount::SetMountRate(int rate) {
  MountLink* link = Link();
  if (rate < 0 || rate > 3 || !link || !link->HasRates() || !EnsureConnected()) return;
  link->SetRate(rate);
}

// ---- position ----

void Mount::TMR_ScopePositionTimer() {
  if (MountLink* link = Link())
    link->Poll();
  else
    DeadReckon();
}

void Mount::DeadReckon() {
  const int64_t now = suivi_.Loop().NowMs();
  const int64_t elapsedMs = lastTick_ < 0 ? 0 : now - lastTick_;
  lastTick_ = now;
  const double elapsed = static_cast<double>(elapsedMs) / 1000.0;
  for (int axis : {kRa, kDec}) {
    int dir = axisDir_[axis];
    if (dir == 0 || !moving_[dir & 3]) continue;
    if (gotoInProgress_ && wire_ && wire_->CountsDownDuringGoto() && remaining_[axis] > 0 &&
        remaining_[axis] != static_cast<int64_t>(kContinuous))
      remaining_[axis] = std::max<int64_t>(0, remaining_[axis] - elapsedMs);
    MotionSettings s = pref_.AxisSettings(dir);
    double dead = s.backlash - (s.inertiaPercent ? 0 : s.inertiaMs);
    bool running = static_cast<double>(now - axisStart_[axis]) > dead || sameAsBefore_[axis];
    if (!running) continue;
    // East raises RA, North raises Dec (the sign MoveRelative moves by).
    double sign = (dir == kWest || dir == kSouth) ? -1 : 1;
    if (axis == kRa && pref_.CKB_InverseAD_Carte.Checked()) sign = -sign;
    if (axis == kDec && pref_.CKB_InverseDEC_Carte.Checked()) sign = -sign;
    double step = static_cast<double>(Round(sign * pref_.EffectiveSpeed(dir) * elapsed));
    if (axis == kRa) {
      ra = std::fmod(ra + step, 1296000.0);
      if (ra < 0) ra += 1296000.0;
    } else {
      dec += step;
    }
  }
  if (Hooks.PositionChanged) Hooks.PositionChanged();
}

// ---- focuser ----

// Sends a focuser command on the focuser's serial link, opening it first; a
// failure closes the link and is reported on the status line.
void Mount::SendFocusCommand(const std::string& command) {
  try {
    if (!ports_.IsOpen(kFocusSlot))
      OpenLink(kFocusSlot, pref_.CBX_AG_Focus_PortSerie, pref_.CBX_AG_Focus_Vitesse,
               pref_.CBX_AG_Focus_Parite, pref_.CBX_AG_Focus_Databits, pref_.CBX_AG_Focus_StopBits);
    SendMountString(kFocusSlot, command);
  } catch (const ExCom& e) {
    ports_.CloseCom(kFocusSlot);
    if (Hooks.StatusLine) Hooks.StatusLine("Focuser : " + std::string(e.what()));
  }
}

// The relay-box focuser: control bit 0 drives inwards, bit 1 outwards; a
// line with active value 1 is engaged by clearing its bit.
void Mount::SetFocusLine(int focusDir, bool engaged) {
  uint16_t lpt = ParallelItemAddress(pref_.CBX_AG_Focus_PortParallele.Text());
  int active = static_cast<int>(
      (focusDir == 0 ? pref_.TNI_Focus_In_Activevalue : pref_.TNI_Focus_Out_Activevalue).Value());
  uint8_t bit = focusDir == 0 ? 1 : 2;
  if (active == 1) {
    controlShadow_ = static_cast<uint8_t>(engaged ? controlShadow_ & ~bit : controlShadow_ | bit);
  }
  WritePortByte(lpt + 2, controlShadow_);
}

void Mount::StartPortLines() {
  controlShadow_ = kControlAtStart;
  if (!pref_.RDB_Marvane.Checked() && !pref_.RDB_Focus_Marvane.Checked()) return;
  const uint16_t focus = ParallelItemAddress(pref_.CBX_AG_Focus_PortParallele.Text());
  const uint16_t mount = LptAddress();
  WritePortByte(focus + 2, controlShadow_);
  if (pref_.RDB_Marvane.Checked() && mount != focus) WritePortByte(mount + 2, controlShadow_);
}

void Mount::FocusStart(int focusDir) {
  if (pref_.RDB_Focus_LX200.Checked()) {
    SendFocusCommand(focusDir == 0 ? "#:F-#" : "#:F+#");
  } else if (pref_.RDB_Focus_Marvane.Checked()) {
    SetFocusLine(focusDir, true);
  }
}

void Mount::FocusStop(int focusDir) {
  if (pref_.RDB_Focus_LX200.Checked()) {
    SendFocusCommand("#:FQ#");
  } else if (pref_.RDB_Focus_Marvane.Checked()) {
    SetFocusLine(focusDir, false);
  }
}

}  // namespace orniva
