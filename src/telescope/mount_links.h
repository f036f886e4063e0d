#pragma once

#include <cstdint>
#include <memory>

namespace orniva {

class Mount;

// The mount interfaces of the preferences.
enum class MountInterface { None, Lx200, Ascom, Ruvena, Marvane, Telkor };

// One mount interface on its wire. The mount layer (Mount) keeps what every
// interface shares: the inversions, durations and backlash, the moving
// flags, the axis timers, relative moves, dead reckoning and the state of a
// GOTO. It hands each request to the link of the interface chosen in the
// preferences, which speaks that interface's protocol: LX200 text commands,
// pulse bytes, the telescope driver, relay bits, or the shift register on a
// serial port's control lines. Calls that write to a serial port may throw
// ExCom; the mount layer reports it and drops the link.
class MountLink {
 public:
  explicit MountLink(Mount& mount) : mount_(mount) {}
  virtual ~MountLink() = default;
  MountLink(const MountLink&) = delete;
  MountLink& operator=(const MountLink&) = delete;

  // Opens the link; true when the mount is connected.
  virtual bool Connect() = 0;
  // Before the link closes: what would keep the mount moving is released.
  virtual void Disconnect() {}
  // Starts a direction (inversions applied) for durationMs, or without end;
  // true when it started (the mount layer then marks it moving).
  virtual bool Start(int direction, int64_t durationMs, bool continuous) = 0;
  // Stops a direction, clearing the moving flag of what it stops.
  virtual void Stop(int direction) = 0;
  // An axis timer ended: by default both directions of the axis stop. True
  // when the motion goes on (the timer was armed again).
  virtual bool AxisTimerEnded(bool raAxis);
  // A GOTO by the mount itself; false when this interface reaches a target
  // by relative moves instead (driven by the object actions).
  virtual bool Goto(double ra, double dec);
  // Stops a GOTO; by default the motions of a relative move.
  virtual void AbortGoto();
  virtual bool CanSync() const { return false; }
  virtual void Sync(double ra, double dec);
  virtual bool HasRates() const { return false; }
  virtual void SetRate(int rate);
  // The position timer's tick: by default the position is dead-reckoned.
  virtual void Poll();
  // The relay interfaces use the port lines.
  virtual bool UsesPortLines() const { return false; }
  // During a dead-reckoned GOTO the remaining times count down (not for the
  // pulse-coded box, whose pulses count themselves).
  virtual bool CountsDownDuringGoto() const { return true; }
  // True while requests to the mount are on their way or awaited.
  virtual bool Busy() const { return false; }

 protected:
  Mount& mount_;
};

// The link of an interface; none for "Aucune".
std::unique_ptr<MountLink> MakeMountLink(MountInterface chosen, Mount& mount);

}  // namespace orniva
