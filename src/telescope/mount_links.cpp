#include "telescope/mount_links.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <string>
#include <thread>

#include "core/rounding.h"
#include "telescope/mount.h"
#include "ui/application.h"
#include "ui/dialogs.h"

namespace orniva {

namespace {
constexpr int kRa = 0, kDec = 1;
int Axis(int direction) {
  return IsRaAxis(direction) ? kRa : kDec;
}
}  // namespace

// ---- what the interfaces share ----

bool MountLink::AxisTimerEnded(bool raAxis) {
  // The last stretch of a dead-reckoned move counts up to the stop.
  if (mount_.suivi_.TMR_ScopePosition.Running()) mount_.DeadReckon();
  mount_.StopReal(raAxis ? kEast : kNorth);
  mount_.StopReal(raAxis ? kWest : kSouth);
  return false;
}

bool MountLink::Goto(double, double) {
  return false;
}

void MountLink::AbortGoto() {
  mount_.StopAllMotion();
  mount_.suivi_.TMR_Suivi_AD.Stop();
  mount_.suivi_.TMR_Suivi_Dec.Stop();
  mount_.relPending_[kRa] = mount_.relPending_[kDec] = false;
  mount_.pendingDec_ = 0;
}

void MountLink::Sync(double, double) {}

void MountLink::SetRate(int) {}

void MountLink::Poll() {
  mount_.DeadReckon();
}

// ---- LX200: text commands on the serial port ----

class Lx200MountLink : public MountLink {
 public:
  using MountLink::MountLink;

  bool Connect() override {
    Mount& m = mount_;
    m.OpenLink(Mount::kMountSlot, m.pref_.CBX_AG_PortSerie, m.pref_.CBX_AG_Vitesse,
               m.pref_.CBX_AG_Parite, m.pref_.CBX_AG_Databits, m.pref_.CBX_AG_StopBits);
    m.connected_ = true;
    if (m.Hooks.HandPadRate) {
      const int rate = m.Hooks.HandPadRate();
      if (rate >= 0) m.SetMountRate(rate);
    }
    return m.connected_;  // the rate's write may have failed
  }

  // A direction already moving is left as it is; the opposite one of the
  // axis stops first.
  bool Start(int direction, int64_t durationMs, bool continuous) override {
    static const char* const kStart[] = {"#:Ms#", "#:Me#", "#:Mw#", "#:Mn#"};  // by direction & 3
    Mount& m = mount_;
    if (m.moving_[direction & 3]) return false;
    m.StopReal(OppositeDirection(direction));
    if (!continuous) m.ArmAxis(direction, durationMs);
    m.lx200_.Send(kStart[direction & 3]);
    return m.connected_;  // false: the write failed and was reported
  }

  void Stop(int direction) override {
    static const char* const kStop[] = {"#:Qs#", "#:Qe#", "#:Qw#", "#:Qn#"};
    Mount& m = mount_;
    bool& moving = m.moving_[direction & 3];
    if (moving && m.connected_) m.lx200_.Send(kStop[direction & 3]);
    moving = false;
  }

  bool Goto(double ra, double dec) override {
    Mount& m = mount_;
    m.gotoInProgress_ = true;
    gotoStartMs_ = lastAnswerMs_ = m.suivi_.Loop().NowMs();
    m.lx200_.Send("#:Q#");
    m.lx200_.Pause(100);
    m.lx200_.Send(Lx200TargetRa(ra));
    m.lx200_.Send(Lx200TargetDec(dec));
    // The reply of ":MS#" is read and set aside; polling starts after it.
    m.lx200_.Send("#:MS#", Lx200Link::Reply::Fixed, [&m](const std::string&, bool) {
      if (m.gotoInProgress_ && m.connected_) m.StartPolling();
    });
    return true;
  }

  void AbortGoto() override {
    if (!mount_.connected_) return MountLink::AbortGoto();
    // Whatever was still to be sent or read gives way to the stop.
    mount_.lx200_.Clear();
    mount_.lx200_.Send("#:Q#");
  }

  bool Busy() const override { return mount_.lx200_.Busy(); }
  bool HasRates() const override { return true; }
  void SetRate(int rate) override {
    static const char* const kRates[] = {"#:RG#", "#:RC#", "#:RM#", "#:RS#"};
    mount_.lx200_.Send(kRates[rate]);
  }

  // One poll at a time: a tick that comes while the previous poll still
  // waits for its replies is skipped.
  void Poll() override {
    Mount& m = mount_;
    if (!m.connected_ || m.lx200_.Busy()) return;
    auto answered = [this, &m](bool yes) {
      if (yes) lastAnswerMs_ = m.suivi_.Loop().NowMs();
    };
    m.lx200_.Send("#:D#", Lx200Link::Reply::Hash, [this, answered](const std::string& r, bool yes) {
      answered(yes);
      bars_ = r.substr(0, 6);
    });
    if (!m.connected_) return;
    m.lx200_.Send("#:GR#", Lx200Link::Reply::Hash, [&m, answered](const std::string& r, bool yes) {
      answered(yes);
      m.lastRa_ = r.substr(0, 7);
      if (auto v = ParseLx200Ra(m.lastRa_)) m.ra = *v;
    });
    m.lx200_.Send("#:GD#", Lx200Link::Reply::Hash,
                  [this, &m, answered](const std::string& r, bool yes) {
                    answered(yes);
                    m.lastDec_ = r.substr(0, 8);
                    if (auto v = ParseLx200Dec(m.lastDec_)) m.dec = *v;
                    if (m.Hooks.PositionText) m.Hooks.PositionText(m.lastRa_, m.lastDec_);
                    if (m.Hooks.PositionChanged) m.Hooks.PositionChanged();
                    if (m.gotoInProgress_) GotoPolled();
                  });
  }

 private:
  // After a poll during a GOTO: six blanks end it; a mount that stays
  // silent, or never reports the end, has it stopped.
  void GotoPolled() {
    const int64_t now = mount_.suivi_.Loop().NowMs();
    if (bars_ == "      ")
      mount_.EndGoto();
    else if (now - lastAnswerMs_ >= Mount::kSilenceLimitMs)
      StopUnendedGoto("pas de reponse depuis " + std::to_string((now - lastAnswerMs_) / 1000) +
                      " s");
    else if (now - gotoStartMs_ >= Mount::kGotoLimitMs)
      StopUnendedGoto("fin du GOTO non signalee apres " +
                      std::to_string(Mount::kGotoLimitMs / 1000) + " s");
  }

  // The GOTO is stopped, said on the status line with the port, and
  // whoever waits for it is released.
  void StopUnendedGoto(const std::string& why) {
    Mount& m = mount_;
    const std::string device = SerialItemDevice(m.pref_.CBX_AG_PortSerie.Text());
    m.lx200_.Clear();
    m.lx200_.Send("#:Q#");
    m.suivi_.TMR_ScopePosition.Stop();
    m.gotoInProgress_ = false;
    if (m.Hooks.StatusLine)
      m.Hooks.StatusLine("Telescope : GOTO arrete, " + why + " (" + device + " : " +
                         m.ports_.DevicePath(device) + ").");
    if (m.Hooks.GotoEnded) m.Hooks.GotoEnded();
  }

  int64_t gotoStartMs_ = 0;
  int64_t lastAnswerMs_ = 0;  // the last exchange that got a reply
  std::string bars_;          // the ":D#" reply of the running poll
};

// ---- guide pulses: the pulse-coded box and the telescope driver ----

// A timed motion is a train of pulses of at most the longest pulse, each
// started by the axis timer when the previous one ends; a motion without end
// repeats pulses of the pulse length every 90 % of it, so that they follow
// each other without a gap. A stop sends nothing: the running pulse ends by
// itself.
class PulseMountLink : public MountLink {
 public:
  using MountLink::MountLink;

  bool Start(int direction, int64_t durationMs, bool continuous) override {
    Mount& m = mount_;
    const int axis = Axis(direction);
    int64_t pulse;
    if (!continuous) {
      m.remaining_[axis] = durationMs;
      pulse = std::min<int64_t>(m.pref_.SPED_Impulsions_Maxi.Value(), durationMs);
      m.ArmAxis(direction, pulse);
    } else {
      const int64_t length = m.pref_.SPED_Duree_impulsions.Value();
      pulse = length;
      m.remaining_[axis] = static_cast<int64_t>(kContinuous);
      m.ArmAxis(direction, Trunc(static_cast<double>(length) * 0.9));
    }
    SendPulse(direction, pulse);
    return true;
  }

  void Stop(int direction) override {
    mount_.moving_[direction & 3] = false;
    mount_.remaining_[Axis(direction)] = 0;
  }

  bool AxisTimerEnded(bool raAxis) override {
    Mount& m = mount_;
    const int axis = raAxis ? kRa : kDec;
    const int dir = m.axisDir_[axis];
    // Pulses follow each other until the time is used up, or until the
    // direction is released for a motion without end.
    if (m.remaining_[axis] != static_cast<int64_t>(kContinuous))
      m.remaining_[axis] -= m.pref_.SPED_Impulsions_Maxi.Value();
    (raAxis ? m.suivi_.EDT_DurRA : m.suivi_.EDT_DurDec).SetText(std::to_string(m.remaining_[axis]));
    if (m.remaining_[axis] > 0 && dir != 0 && m.moving_[dir & 3]) {
      m.StartReal(dir, true, false, static_cast<double>(m.remaining_[axis]));
      return true;  // the next pulse armed the timer again
    }
    m.StopReal(raAxis ? kEast : kNorth);
    m.StopReal(raAxis ? kWest : kSouth);
    return false;
  }

 protected:
  virtual void SendPulse(int direction, int64_t ms) = 0;
};

// The pulse-coded guide box: one byte per pulse on the serial port.
class RuvenaMountLink : public PulseMountLink {
 public:
  using PulseMountLink::PulseMountLink;

  bool Connect() override {
    Mount& m = mount_;
    m.OpenLink(Mount::kMountSlot, m.pref_.CBX_AG_PortSerie, m.pref_.CBX_AG_Vitesse,
               m.pref_.CBX_AG_Parite, m.pref_.CBX_AG_Databits, m.pref_.CBX_AG_StopBits);
    return true;
  }
  bool CountsDownDuringGoto() const override { return false; }

 protected:
  void SendPulse(int direction, int64_t ms) override {
    mount_.SendMountByte(Mount::kMountSlot, RuvenaByte(direction, ms));
  }
};

// The telescope driver (INDI on this system): guide pulses, GOTO, sync and
// the position all go through its worker, one request at a time. Requests
// wait their turn in a queue and their answers come back through the loop,
// which never waits for the driver; a request that cannot be handed over
// within kPulseWaitLimitMs is given up, and said so unless it was a poll.
class DriverMountLink : public PulseMountLink {
 public:
  using PulseMountLink::PulseMountLink;
  ~DriverMountLink() override {
    if (retry_ != 0) mount_.suivi_.Loop().RemoveTimer(retry_);
  }

  // Connecting and disconnecting wait for the driver (bounded): the
  // preferences' buttons show the outcome at once.
  bool Connect() override {
    Mount& m = mount_;
    m.MakeDriver();
    if (!m.driver_) return false;
    m.driver_->SetDevice(m.pref_.EDT_ASCOM_Telescope.Text());
    const bool answered = m.driver_->Send(TelescopeDriver::Request::Connect, {}, 15000);
    const bool connected = answered && m.driver_->Answer().connected;
    if (!connected) {
      const std::string why =
          answered ? m.driver_->Answer().error : "pas de reponse du serveur INDI";
      m.pref_.PNL_ASCOM_Etat.SetColor({0, 0, 255});
      m.pref_.App().Dlg().MessageBox("Impossible de se connecter au télescope, erreur 206\n" +
                                         m.pref_.EDT_ASCOM_Telescope.Text() +
                                         (why.empty() ? "" : " : " + why),
                                     "Telescope", MessageKind::Error, MessageButtons::Ok);
    } else {
      m.pref_.PNL_ASCOM_Etat.SetColor({0, 255, 0});
    }
    return connected;
  }

  void Disconnect() override {
    queue_.clear();
    pollPending_ = false;
    TelescopeDriver* driver = mount_.driver_.get();
    if (!driver) return;
    // The request in flight is served within moments.
    for (int tries = 0;
         tries < 100 && !driver->Send(TelescopeDriver::Request::Disconnect, {}, 5000); ++tries)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  bool Busy() const override { return inFlight_ || !queue_.empty(); }

  bool Goto(double ra, double dec) override {
    Mount& m = mount_;
    m.gotoInProgress_ = true;
    slewServed_ = false;
    Ask(TelescopeDriver::Request::SlewToCoordinatesAsync, Target(ra, dec), "GOTO abandonne",
        [this, &m](const TelescopeDriver::State&) {
          slewServed_ = true;
          if (m.gotoInProgress_ && m.connected_) m.StartPolling();
        });
    return true;
  }

  void AbortGoto() override {
    if (!mount_.connected_) return MountLink::AbortGoto();
    // The abort goes before anything still waiting.
    Ask(TelescopeDriver::Request::AbortSlew, {}, "arret du GOTO abandonne", {}, true);
  }

  bool CanSync() const override { return true; }
  void Sync(double ra, double dec) override {
    Ask(TelescopeDriver::Request::SyncToCoordinates, Target(ra, dec), "synchronisation abandonnee",
        {});
  }

  // Right ascension, declination, then whether it still slews; a tick that
  // comes while the previous poll is still out is skipped.
  void Poll() override {
    Mount& m = mount_;
    if (!m.connected_ || !m.driver_ || pollPending_) return;
    pollPending_ = true;
    Ask(TelescopeDriver::Request::RightAscension, {}, "",
        [&m](const TelescopeDriver::State& s) { m.ra = s.raHours * 54000.0; });
    Ask(TelescopeDriver::Request::Declination, {}, "", [&m](const TelescopeDriver::State& s) {
      m.dec = s.decDegrees * 3600.0;
      if (m.Hooks.PositionChanged) m.Hooks.PositionChanged();
    });
    Ask(TelescopeDriver::Request::Slewing, {}, "", [this, &m](const TelescopeDriver::State& s) {
      pollPending_ = false;
      // Requests are served in turn: a poll asked before the GOTO does not
      // end it.
      if (m.gotoInProgress_ && slewServed_ && !s.slewing) m.EndGoto();
      if (!s.connected && m.connected_) {
        const std::string why = s.error;
        if (m.Hooks.StatusLine)
          m.Hooks.StatusLine("Telescope : " + (why.empty() ? "liaison INDI perdue" : why) +
                             ", liaison coupee.");
        m.DisconnectMount();
      }
    });
  }

 protected:
  void SendPulse(int direction, int64_t ms) override {
    static const int kGuide[] = {TelescopeDriver::kGuideSouth, TelescopeDriver::kGuideEast,
                                 TelescopeDriver::kGuideWest, TelescopeDriver::kGuideNorth};
    static const char* const kWords[] = {"Nord", "Sud", "Est", "Ouest"};  // by guide direction
    TelescopeDriver::Args a;
    a.guideDirection = kGuide[direction & 3];
    a.pulseMs = static_cast<int>(ms);
    Ask(TelescopeDriver::Request::PulseGuide, a,
        "impulsion " + std::string(kWords[a.guideDirection & 3]) + " de " +
            std::to_string(a.pulseMs) + " ms abandonnee",
        {});
  }

 private:
  using Done = std::function<void(const TelescopeDriver::State&)>;
  struct Queued {
    TelescopeDriver::Request request;
    TelescopeDriver::Args args;
    std::string givenUp;  // what the status line says when it is given up; "" for a poll
    Done done;
    int64_t since;
  };

  static TelescopeDriver::Args Target(double ra, double dec) {
    TelescopeDriver::Args a;
    a.raHours = ra / 54000.0;
    a.decDegrees = dec / 3600.0;
    return a;
  }

  void Ask(TelescopeDriver::Request request, const TelescopeDriver::Args& args, std::string givenUp,
           Done done, bool first = false) {
    if (!mount_.driver_) return;
    Queued q{request, args, std::move(givenUp), std::move(done), mount_.suivi_.Loop().NowMs()};
    if (first)
      queue_.push_front(std::move(q));
    else
      queue_.push_back(std::move(q));
    Pump();
  }

  // Hands the first request over when the driver is free; looked at again
  // every kPulseRetryMs while requests wait, so that one waiting too long
  // (behind a refusal or an answer that does not come) is given up.
  void Pump() {
    Mount& m = mount_;
    while (!queue_.empty()) {
      Queued& q = queue_.front();
      if (!m.driver_ || !m.connected_) {
        queue_.clear();
        pollPending_ = false;
        break;
      }
      if (m.suivi_.Loop().NowMs() - q.since > Mount::kPulseWaitLimitMs) {
        GiveUp(q);
        queue_.pop_front();
        continue;
      }
      if (inFlight_) break;
      std::weak_ptr<bool> alive = alive_;
      const bool report = !q.givenUp.empty();
      if (!m.driver_->SendAsync(
              q.request, q.args,
              [this, alive, report, done = q.done](const TelescopeDriver::State& s) {
                if (alive.expired()) return;  // the link is gone
                Answered(s, report, done);
              }))
        break;
      inFlight_ = true;
      queue_.pop_front();
    }
    const bool waiting = !queue_.empty();
    if (waiting && retry_ == 0)
      retry_ = m.suivi_.Loop().AddTimer(Mount::kPulseRetryMs, true, [this] { Pump(); });
    if (!waiting && retry_ != 0) {
      m.suivi_.Loop().RemoveTimer(retry_);
      retry_ = 0;
    }
  }

  void Answered(const TelescopeDriver::State& s, bool report, const Done& done) {
    Mount& m = mount_;
    inFlight_ = false;
    if (m.connected_) {
      if (report && !s.error.empty() && m.Hooks.StatusLine)
        m.Hooks.StatusLine("Telescope : " + s.error);
      if (done) done(s);
    }
    Pump();
  }

  void GiveUp(const Queued& q) {
    Mount& m = mount_;
    if (q.givenUp.empty()) {
      pollPending_ = false;
      return;
    }
    if (m.Hooks.StatusLine)
      m.Hooks.StatusLine("Telescope : " + q.givenUp + ", le pilote est reste occupe.");
    if (q.request == TelescopeDriver::Request::SlewToCoordinatesAsync && m.gotoInProgress_) {
      m.gotoInProgress_ = false;
      if (m.Hooks.GotoEnded) m.Hooks.GotoEnded();
    }
  }

  std::deque<Queued> queue_;
  bool inFlight_ = false;     // one of ours awaits its answer
  bool pollPending_ = false;  // a poll's requests are queued or out
  bool slewServed_ = false;   // the running GOTO's request was served
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  EventLoop::TimerId retry_ = 0;
};

// ---- relay boxes on the port lines ----

// One data bit of the parallel port per direction (pin − 2), set to the
// active value to close the relay. The data lines are shared with the
// long-exposure lines of a modified camera: a relay changes its own bit of
// what the register holds now.
class MarvaneMountLink : public MountLink {
 public:
  using MountLink::MountLink;

  bool Connect() override { return true; }
  // A relay left closed would keep the mount moving with nobody to stop it.
  void Disconnect() override {
    for (int d = kEast; d <= kSouth; ++d)
      if (mount_.moving_[d & 3]) mount_.StopReal(d);
  }
  bool UsesPortLines() const override { return true; }

  bool Start(int direction, int64_t durationMs, bool continuous) override {
    Mount& m = mount_;
    const int axis = Axis(direction);
    m.StopReal(OppositeDirection(direction));
    if (!continuous) {
      m.remaining_[axis] = durationMs;
      m.ArmAxis(direction, durationMs);
    } else {
      m.remaining_[axis] = 1;
    }
    const int active = m.pref_.ActiveValue(direction);
    m.ReadDataLines();
    m.dataShadow_ = static_cast<uint8_t>(m.dataShadow_ | (active << (m.pref_.Pin(direction) - 2)));
    m.WritePortByte(m.LptAddress(), m.dataShadow_);
    return true;
  }

  void Stop(int direction) override {
    Mount& m = mount_;
    bool& moving = m.moving_[direction & 3];
    if (moving) {
      const int active = m.pref_.ActiveValue(direction) & 1;
      m.ReadDataLines();
      m.dataShadow_ =
          static_cast<uint8_t>(m.dataShadow_ & ~(active << (m.pref_.Pin(direction) - 2)));
      m.WritePortByte(m.LptAddress(), m.dataShadow_);
      std::string bits;
      for (int b = 7; b >= 0; --b) bits += ((m.dataShadow_ >> b) & 1) ? '1' : '0';
      m.pref_.EDT_TestValue.SetText(bits);
    }
    moving = false;
    m.remaining_[Axis(direction)] = 0;
  }
};

// A shift register clocked through a serial port's DTR and RTS lines and
// latched with its break line: one direction at a time.
class TelkorMountLink : public MountLink {
 public:
  using MountLink::MountLink;

  bool Connect() override {
    uart_ = SerialItemAddress(mount_.pref_.CBX_AG_PortSerie.Text());
    if (uart_ == 0) return false;
    mount_.WritePortByte(uart_ + 1, 0);
    mount_.WritePortByte(uart_ + 4, 8);
    mount_.WritePortByte(uart_ + 3, 0);
    Release();
    return true;
  }
  void Disconnect() override {
    for (int d = kEast; d <= kSouth; ++d)
      if (mount_.moving_[d & 3]) mount_.StopReal(d);
  }
  bool UsesPortLines() const override { return true; }

  bool Start(int direction, int64_t durationMs, bool continuous) override {
    Mount& m = mount_;
    const int axis = Axis(direction);
    m.StopReal(direction);  // releases whichever direction moves
    if (!continuous) {
      m.remaining_[axis] = durationMs;
      m.ArmAxis(direction, durationMs);
    } else {
      m.remaining_[axis] = 1;
    }
    Shift(direction);
    return true;
  }

  void Stop(int direction) override {
    if (mount_.connected_) Release();
    for (bool& moving : mount_.moving_) moving = false;
    mount_.remaining_[Axis(direction)] = 0;
  }

 private:
  // A read-modify-write of a UART register, written three times.
  void Bit(int offset, uint8_t bit, bool on) {
    const auto address = static_cast<uint16_t>(uart_ + offset);
    uint8_t v = mount_.ReadPortByte(address);
    v = on ? static_cast<uint8_t>(v | bit) : static_cast<uint8_t>(v & ~bit);
    for (int i = 0; i < 3; ++i) mount_.WritePortByte(address, v);
  }
  // Break off, eight clearing clocks (DTR 0, RTS 0, RTS 1), RTS 0.
  void Clear() {
    Bit(3, 0x40, false);
    for (int i = 0; i < 8; ++i) {
      Bit(4, 1, false);
      Bit(4, 2, false);
      Bit(4, 2, true);
    }
    Bit(4, 2, false);
  }
  // Everything released, then latched with the break line.
  void Release() {
    for (bool& moving : mount_.moving_) moving = false;
    Clear();
    Bit(3, 0x40, true);
  }
  // One clock with DTR 1, then k with DTR 0 (West 0, East 1, North 2,
  // South 3), latched.
  void Shift(int direction) {
    Clear();
    const int k = direction == kWest ? 0 : direction == kEast ? 1 : direction == kNorth ? 2 : 3;
    for (int i = 0; i <= k; ++i) {
      Bit(4, 1, i == 0);
      Bit(4, 2, true);
      Bit(4, 2, false);
    }
    Bit(3, 0x40, true);
  }

  uint16_t uart_ = 0;
};

std::unique_ptr<MountLink> MakeMountLink(MountInterface chosen, Mount& mount) {
  switch (chosen) {
    case MountInterface::Lx200:
      return std::make_unique<Lx200MountLink>(mount);
    case MountInterface::Ascom:
      return std::make_unique<DriverMountLink>(mount);
    case MountInterface::Ruvena:
      return std::make_unique<RuvenaMountLink>(mount);
    case MountInterface::Marvane:
      return std::make_unique<MarvaneMountLink>(mount);
    case MountInterface::Telkor:
      return std::make_unique<TelkorMountLink>(mount);
    case MountInterface::None:
      break;
  }
  return nullptr;
}

}  // namespace orniva
