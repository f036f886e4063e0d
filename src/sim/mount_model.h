#pragma once

#include <cstdint>
#include <limits>
#include <mutex>

#include "sim/sky_model.h"

namespace orniva {

// The mechanics of the simulated mount. Angles in arcseconds, rates in
// multiples of the sidereal rate (15.041"/s), times in milliseconds of the
// event loop.
struct MountParameters {
  // Guide, centring, find and slew rates (the LX200 rates 0 to 3).
  double rates[4] = {0.5, 8, 64, 720};
  // Periodic error of the right-ascension drive: a sinusoid of the worm
  // period and a harmonic at twice its frequency, in arcseconds of right
  // ascension.
  double periodicPeriod = 480;  // seconds
  double periodicAmplitude = 10;
  double harmonicAmplitude = 3;
  double harmonicPhase = 0.7;  // radians
  // Polar axis error: a positive altitude error puts the mount's pole above
  // the true pole, a positive azimuth error east of it.
  double polarAltitudeError = 0;
  double polarAzimuthError = 0;
  double latitude = 45 * 3600.0;
  double longitude = 2 * 3600.0;  // east positive
  // Slack of the declination gears, taken up at each reversal.
  double decBacklash = 0;
};

enum class MountDirection { North, South, East, West };

// Where the simulated mount points as a function of time. Tracking keeps a
// star still apart from the periodic error and the drift of a misaligned
// polar axis; motions add to that at the chosen rate until stopped or for a
// pulse's duration; a GOTO slews both axes at the slew rate. Each command is
// given the time it happens; the position can be read at any later time.
// Safe to share between threads (the camera on the loop's thread, the LX200
// link on its own).
class MountModel {
 public:
  // Starts tracking at (ra, dec) at nowMs; wallClockMs is the UTC time then
  // (for the hour angle).
  MountModel(const MountParameters& parameters, double ra, double dec, int64_t nowMs,
             int64_t wallClockMs);

  MountParameters Parameters() const;
  void SetParameters(const MountParameters& parameters, int64_t nowMs);

  // The rate of the following moves: 0 guide, 1 centring, 2 find, 3 slew.
  void SetRate(int index);
  int Rate() const;
  // Moves towards a direction at the chosen rate until stopped.
  void StartMove(MountDirection direction, int64_t nowMs);
  // The same at a given rate (a multiple of sidereal), leaving the chosen
  // rate alone: a relay box wired to the hand pad's guide buttons.
  void StartMove(MountDirection direction, double rate, int64_t nowMs);
  // Stops a move in that direction (not one in the other direction).
  void StopMove(MountDirection direction, int64_t nowMs);
  void StopAll(int64_t nowMs);
  // Moves for durationMs at a rate (a multiple of sidereal), then stops by
  // itself: a guide pulse.
  void Pulse(MountDirection direction, int64_t durationMs, double rate, int64_t nowMs);

  void SetTracking(bool on, int64_t nowMs);
  bool Tracking() const;

  // Slews to the position given in the mount's own coordinates; ends when
  // both axes arrive.
  void Goto(double ra, double dec, int64_t nowMs);
  bool Slewing(int64_t nowMs) const;
  // The mount's coordinates become (ra, dec) where it points now.
  void Sync(double ra, double dec, int64_t nowMs);

  // Where the optical axis points on the sky.
  SimPointing Pointing(int64_t nowMs) const;
  // What the mount's encoders say: its coordinates without periodic error,
  // drift or slack.
  double ReportedRa(int64_t nowMs) const;
  double ReportedDec(int64_t nowMs) const;

  // The periodic error at a time, arcseconds of right ascension.
  double PeriodicError(int64_t nowMs) const;
  // The UTC time at a time of the loop (the mount's own clock).
  int64_t WallClockMs(int64_t nowMs) const { return wallAtOrigin_ + (nowMs - originMs_); }
  // Local hour angle of a right ascension, arcseconds.
  double HourAngle(double ra, int64_t nowMs) const;

 private:
  struct Axis {
    double base = 0;
    double velocity = 0;  // arcseconds per second
    int64_t start = 0;
    int64_t end = std::numeric_limits<int64_t>::max();
    double At(int64_t t) const;
    void Settle(int64_t t);
    void Move(double v, int64_t t, int64_t until = std::numeric_limits<int64_t>::max());
  };
  double DecOutput(int64_t t) const;
  double PolarDrift(int64_t t) const;
  void Settle(int64_t t);
  void MoveAxis(MountDirection direction, double rate, int64_t t, int64_t until);

  mutable std::recursive_mutex mutex_;
  MountParameters parameters_;
  int rate_ = 0;
  bool tracking_ = true;
  Axis ra_;
  Axis raSky_;         // the sky turning under a mount that does not track
  Axis dec_;           // the gear side of the declination axis
  double decOut_ = 0;  // the tube side at the last settle
  double driftBase_ = 0;
  int64_t driftFrom_ = 0;
  int64_t originMs_ = 0;
  int64_t wallAtOrigin_ = 0;
  double syncRa_ = 0, syncDec_ = 0;
  int64_t gotoEndMs_ = std::numeric_limits<int64_t>::min();
  MountDirection raMoving_ = MountDirection::East, decMoving_ = MountDirection::North;
};

}  // namespace orniva
