#include "sim/mount_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sky/sky_angles.h"

namespace orniva {

namespace {

constexpr int64_t kForever = std::numeric_limits<int64_t>::max();
// 2000-01-01 12:00 UTC in milliseconds since 1970.
constexpr int64_t kJ2000Ms = 946728000000LL;

double WrapTurn(double arcsec) {
  double a = std::fmod(arcsec, kArcsecFullTurn);
  return a < 0 ? a + kArcsecFullTurn : a;
}

}  // namespace

double MountModel::Axis::At(int64_t t) const {
  const int64_t until = std::min(t, end);
  return base + velocity * static_cast<double>(until - start) / 1000.0;
}

void MountModel::Axis::Settle(int64_t t) {
  base = At(t);
  start = t;
  if (t >= end) {
    velocity = 0;
    end = kForever;
  }
}

void MountModel::Axis::Move(double v, int64_t t, int64_t until) {
  base = At(t);
  start = t;
  velocity = v;
  end = until;
}

MountModel::MountModel(const MountParameters& parameters, double ra, double dec, int64_t nowMs,
                       int64_t wallClockMs)
    : parameters_(parameters), originMs_(nowMs), wallAtOrigin_(wallClockMs) {
  ra_.base = ra;
  ra_.start = raSky_.start = dec_.start = nowMs;
  // The declination gears start engaged northwards: the first move north
  // takes the tube at once, the first move south winds up the slack first.
  dec_.base = dec + parameters_.decBacklash;
  decOut_ = dec;
  driftFrom_ = nowMs;
}

void MountModel::SetParameters(const MountParameters& parameters, int64_t nowMs) {
  std::lock_guard lock(mutex_);
  Settle(nowMs);
  const double slackBefore = parameters_.decBacklash;
  parameters_ = parameters;
  // Keep the tube where it is and the gears engaged on the same side.
  if (dec_.At(nowMs) - decOut_ >= slackBefore) dec_.base = decOut_ + parameters.decBacklash;
}

MountParameters MountModel::Parameters() const {
  std::lock_guard lock(mutex_);
  return parameters_;
}

void MountModel::SetRate(int index) {
  std::lock_guard lock(mutex_);
  rate_ = std::clamp(index, 0, 3);
}

int MountModel::Rate() const {
  std::lock_guard lock(mutex_);
  return rate_;
}

bool MountModel::Tracking() const {
  std::lock_guard lock(mutex_);
  return tracking_;
}

bool MountModel::Slewing(int64_t nowMs) const {
  std::lock_guard lock(mutex_);
  return nowMs < gotoEndMs_;
}

double MountModel::DecOutput(int64_t t) const {
  const double gear = dec_.At(t);
  return std::clamp(decOut_, gear - parameters_.decBacklash, gear);
}

double MountModel::HourAngle(double ra, int64_t nowMs) const {
  std::lock_guard lock(mutex_);
  const double days =
      static_cast<double>(wallAtOrigin_ + (nowMs - originMs_) - kJ2000Ms) / 86400000.0;
  const double gmstDegrees = 280.46061837 + 360.98564736629 * days;
  return WrapTurn(gmstDegrees * 3600 + parameters_.longitude - ra);
}

double MountModel::PolarDrift(int64_t t) const {
  if (!tracking_) return driftBase_;
  // Declination drift of a star tracked about a misplaced axis, integrated
  // over the hour angle: rate = sidereal × (az cos(lat) cos H − alt sin H).
  const double ra = ra_.At(t);
  const double cosLat = std::cos(parameters_.latitude * kRadianPerArcsec);
  auto integral = [&](int64_t when) {
    const double h = HourAngle(ra, when) * kRadianPerArcsec;
    return parameters_.polarAzimuthError * cosLat * std::sin(h) +
           parameters_.polarAltitudeError * std::cos(h);
  };
  // The hour angle turns at the sidereal rate, so the derivative of this
  // integral is the drift rate in arcseconds per second.
  return driftBase_ + integral(t) - integral(driftFrom_);
}

void MountModel::Settle(int64_t t) {
  driftBase_ = PolarDrift(t);
  driftFrom_ = t;
  decOut_ = DecOutput(t);
  ra_.Settle(t);
  raSky_.Settle(t);
  dec_.Settle(t);
}

void MountModel::MoveAxis(MountDirection direction, double rate, int64_t t, int64_t until) {
  Settle(t);
  const double speed = rate * kSiderealRate;
  switch (direction) {
    case MountDirection::North:
      dec_.Move(speed, t, until);
      break;
    case MountDirection::South:
      dec_.Move(-speed, t, until);
      break;
    case MountDirection::East:
      ra_.Move(speed, t, until);
      break;
    case MountDirection::West:
      ra_.Move(-speed, t, until);
      break;
  }
  if (direction == MountDirection::North || direction == MountDirection::South)
    decMoving_ = direction;
  else
    raMoving_ = direction;
}

void MountModel::StartMove(MountDirection direction, int64_t nowMs) {
  std::lock_guard lock(mutex_);
  gotoEndMs_ = std::numeric_limits<int64_t>::min();
  MoveAxis(direction, parameters_.rates[rate_], nowMs, kForever);
}

void MountModel::StartMove(MountDirection direction, double rate, int64_t nowMs) {
  std::lock_guard lock(mutex_);
  gotoEndMs_ = std::numeric_limits<int64_t>::min();
  MoveAxis(direction, rate, nowMs, kForever);
}

void MountModel::Pulse(MountDirection direction, int64_t durationMs, double rate, int64_t nowMs) {
  std::lock_guard lock(mutex_);
  MoveAxis(direction, rate, nowMs, nowMs + std::max<int64_t>(0, durationMs));
}

void MountModel::StopMove(MountDirection direction, int64_t nowMs) {
  std::lock_guard lock(mutex_);
  Settle(nowMs);
  const bool dec = direction == MountDirection::North || direction == MountDirection::South;
  if (dec && decMoving_ == direction) dec_.Move(0, nowMs);
  if (!dec && raMoving_ == direction) ra_.Move(0, nowMs);
}

void MountModel::StopAll(int64_t nowMs) {
  std::lock_guard lock(mutex_);
  Settle(nowMs);
  ra_.Move(0, nowMs);
  dec_.Move(0, nowMs);
  gotoEndMs_ = std::numeric_limits<int64_t>::min();
}

void MountModel::SetTracking(bool on, int64_t nowMs) {
  std::lock_guard lock(mutex_);
  Settle(nowMs);
  tracking_ = on;
  raSky_.Move(on ? 0 : kSiderealRate, nowMs);
}

void MountModel::Goto(double ra, double dec, int64_t nowMs) {
  std::lock_guard lock(mutex_);
  Settle(nowMs);
  const double speed = parameters_.rates[3] * kSiderealRate;
  // Right ascension the short way round; declination to the gear position
  // that leaves the tube at the target after the slack.
  double dRa = std::remainder(ra - ReportedRa(nowMs), kArcsecFullTurn);
  double dDec = dec - ReportedDec(nowMs);
  const int64_t raMs = static_cast<int64_t>(std::ceil(std::abs(dRa) / speed * 1000));
  const int64_t decMs = static_cast<int64_t>(std::ceil(std::abs(dDec) / speed * 1000));
  ra_.Move(raMs ? dRa / (raMs / 1000.0) : 0, nowMs, nowMs + raMs);
  dec_.Move(decMs ? dDec / (decMs / 1000.0) : 0, nowMs, nowMs + decMs);
  if (dDec != 0) decMoving_ = dDec > 0 ? MountDirection::North : MountDirection::South;
  gotoEndMs_ = nowMs + std::max(raMs, decMs);
}

void MountModel::Sync(double ra, double dec, int64_t nowMs) {
  std::lock_guard lock(mutex_);
  Settle(nowMs);
  syncRa_ = std::remainder(ra - ra_.At(nowMs), kArcsecFullTurn);
  syncDec_ = dec - dec_.At(nowMs);
}

double MountModel::ReportedRa(int64_t nowMs) const {
  std::lock_guard lock(mutex_);
  return WrapTurn(ra_.At(nowMs) + syncRa_);
}

double MountModel::ReportedDec(int64_t nowMs) const {
  std::lock_guard lock(mutex_);
  return dec_.At(nowMs) + syncDec_;
}

double MountModel::PeriodicError(int64_t nowMs) const {
  std::lock_guard lock(mutex_);
  const double phase = 2 * std::numbers::pi * static_cast<double>(nowMs - originMs_) / 1000.0 /
                       parameters_.periodicPeriod;
  return parameters_.periodicAmplitude * std::sin(phase) +
         parameters_.harmonicAmplitude * std::sin(2 * phase + parameters_.harmonicPhase);
}

SimPointing MountModel::Pointing(int64_t nowMs) const {
  std::lock_guard lock(mutex_);
  SimPointing p;
  p.ra = WrapTurn(ra_.At(nowMs) + raSky_.At(nowMs) + (tracking_ ? PeriodicError(nowMs) : 0));
  p.dec = DecOutput(nowMs) + PolarDrift(nowMs);
  return p;
}

}  // namespace orniva
