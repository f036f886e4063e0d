#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "telescope/lx200_link.h"
#include "telescope/mount_kernels.h"
#include "telescope/mount_links.h"
#include "telescope/port_lines.h"
#include "telescope/serial_port_slots.h"
#include "telescope/telescope_driver.h"
#include "telescope/tfrm_com_trafic.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_prg_suivi.h"

namespace orniva {

// What the mount layer tells the rest of the program; the program object
// wires these to the message window, the sound player, the script runner,
// the object actions and the sky chart as they exist.
struct MountHooks {
  std::function<void(const std::string&)> StatusLine;  // message window
  std::function<void(const std::string&)> PlaySound;   // a sound file, async
  std::function<void(const std::string&)> RunScript;   // a script file
  std::function<void()> GotoEnded;                     // object actions re-enabled, script released
  std::function<void()> PositionChanged;               // sky chart refresh
  // The hand pad's current-position fields (RA reply, Dec reply).
  std::function<void(const std::string&, const std::string&)> PositionText;
  // The hand pad's rate (0 guide .. 3 slew), sent at connection; -1 none.
  std::function<int()> HandPadRate;
  // An interface (true) or "Aucune" (false) was chosen: "Autoguidage", the
  // telescope menu and "Self-Guidage" follow.
  std::function<void(bool)> InterfaceChosen;
  // Makes the telescope driver of the "ASCOM" choice (the INDI client).
  std::function<std::unique_ptr<TelescopeDriver>()> MakeDriver;
};

// The mount command layer: starts and stops motions in the four directions,
// GOTO, sync, position polling and the focuser, reading its settings from
// the preferences and timing motions with the timers of TFRM_Prg_Suivi.
// What every interface shares is here; the protocol of each is in its
// MountLink, made from the interface chosen in the preferences.
class Mount {
 public:
  using Interface = MountInterface;
  static constexpr int kMountSlot = 1;
  static constexpr int kFocusSlot = 2;
  // An LX200 GOTO whose end the mount never reports is stopped when no
  // reply at all came for kSilenceLimitMs, or after kGotoLimitMs.
  static constexpr int64_t kSilenceLimitMs = 5000;
  static constexpr int64_t kGotoLimitMs = 300000;
  // A guide pulse the driver refuses while it is busy is tried again every
  // kPulseRetryMs, and given up (with a status line) after kPulseWaitLimitMs.
  static constexpr int kPulseRetryMs = 10;
  static constexpr int64_t kPulseWaitLimitMs = 1000;
  static constexpr uint8_t kControlAtStart = 0x0B;

  Mount(TFRM_Pref& pref, TFRM_Prg_Suivi& suivi, TFRM_ComTrafic& trafic, SerialPortSlots& ports,
        PortIo& port);
  ~Mount();

  MountHooks Hooks;

  Interface Chosen() const;
  bool Connected() const { return connected_; }

  void StartMotion(int direction, bool durationGiven, bool applyGuideSettings, double amount);
  void StopMotion(int direction);
  void StopAllMotion();
  void MoveRelative(double deltaRa, double deltaDec);
  void GotoCoordinates(double ra, double dec);
  void AbortGoto();
  void SyncCoordinates(double ra, double dec);
  // LX200 library object: ":L" + object + "#", then ":CM#"; done hears the
  // reply.
  void SyncLibraryObject(const std::string& object,
                         std::function<void(const std::string&)> done = {});
  void SetMountRate(int rate);
  bool ConnectMount();
  void DisconnectMount();
  // The parallel ports' control registers at start-up: with a relay-box
  // mount or focuser they are written with 00001011, which leaves both
  // focuser relays released.
  void StartPortLines();
  void FocusStart(int focusDir);
  void FocusStop(int focusDir);
  void TMR_ScopePositionTimer();
  void TMR_Suivi_ADTimer() { AxisTimer(true); }
  void TMR_Suivi_DecTimer() { AxisTimer(false); }

  // The serial and port helpers of the mount link.
  void SendMountString(int slot, std::string text);
  void SendMountByte(int slot, uint8_t byte);
  void WritePortByte(uint16_t address, uint8_t value);
  uint8_t ReadPortByte(uint16_t address);

  // Guide mode: guiding corrections (true) use the guide inversions.
  bool guideMode = false;
  // The mount position in arcseconds (RA as an angle, 0 .. 1296000).
  double ra = 0, dec = 0;

  bool Moving(int direction) const { return moving_[direction & 3]; }
  bool GotoInProgress() const { return gotoInProgress_; }
  int64_t RemainingMs(bool raAxis) const { return remaining_[raAxis ? 0 : 1]; }
  uint8_t DataShadow() const { return dataShadow_; }
  uint8_t ControlShadow() const { return controlShadow_; }
  TelescopeDriver* Driver() const { return driver_.get(); }
  const std::string& LastDecReply() const { return lastDec_; }
  const std::string& LastRaReply() const { return lastRa_; }
  // True while commands or replies are under way on the mount link (LX200
  // or the telescope driver).
  bool LinkBusy() const { return wire_ && wire_->Busy(); }

 private:
  friend class MountLink;
  friend class Lx200MountLink;
  friend class PulseMountLink;
  friend class RuvenaMountLink;
  friend class DriverMountLink;
  friend class MarvaneMountLink;
  friend class TelkorMountLink;
  // The link of the chosen interface (made again when the choice changed);
  // null for "Aucune".
  MountLink* Link();
  void InterfaceClick();
  void MakeDriver();
  void ConnectClick();
  void TestButton(int direction, bool down);
  bool EnsureConnected();
  void OpenLink(int slot, const ComboBox& port, const ComboBox& baud, const ComboBox& parity,
                const ComboBox& bits, const ComboBox& stop);
  void StartReal(int direction, bool durationGiven, bool applyGuideSettings, double amount);
  void StopReal(int direction);
  void ArmAxis(int direction, int64_t intervalMs);
  void AxisTimer(bool raAxis);
  void EndRelativeAxis(bool raAxis);
  void EndGoto();
  void StartPolling();
  void LinkFailed(const std::string& what);
  void DeadReckon();
  uint16_t LptAddress() const;
  void ReadDataLines();
  void SendFocusCommand(const std::string& command);
  void SetFocusLine(int focusDir, bool engaged);
  void SetButtons();

  TFRM_Pref& pref_;
  TFRM_Prg_Suivi& suivi_;
  TFRM_ComTrafic& trafic_;
  SerialPortSlots& ports_;
  PortIo& port_;
  std::unique_ptr<TelescopeDriver> driver_;
  Lx200Link lx200_;  // the LX200 conversation on the mount slot
  std::unique_ptr<MountLink> wire_;
  Interface wireKind_ = Interface::None;

  bool connected_ = false;
  bool focusConnected_ = false;
  bool moving_[4] = {false, false, false, false};  // indexed by direction & 3
  int lastDir_[2] = {0, 0};                        // RA, Dec
  int axisDir_[2] = {0, 0};                        // the running direction
  int64_t remaining_[2] = {0, 0};
  int64_t axisStart_[2] = {0, 0};
  bool sameAsBefore_[2] = {false, false};
  uint8_t dataShadow_ = 0;
  uint8_t controlShadow_ = kControlAtStart;
  bool gotoInProgress_ = false;
  bool relPending_[2] = {false, false};
  double pendingDec_ = 0;
  int64_t lastTick_ = -1;
  std::string lastRa_, lastDec_;
};

}  // namespace orniva
