// The simulated camera and mount together on the virtual loop: what the
// closed loops (guiding, GOTO, periodic-error recording) will rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/virtual_event_loop.h"
#include "sim/mount_model.h"
#include "sim/sim_camera.h"
#include "sim/sky_model.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"

namespace orniva {
namespace {

// Vega at 2000 mm on 640 × 480 frames (0.578"/px), exposed short enough
// to stay below saturation.
struct Observatory {
  explicit Observatory(SkyParameters sky = SkyParameters{}, MountParameters mountParameters = {})
      : vega(*FindStar("Alp Lyr")),
        skyModel(SharedCatalogues(), sky, SimOptics{}),
        mount(mountParameters, vega.RightAscension, vega.Declination, loop.NowMs(),
              loop.WallClockMs()),
        camera(skyModel, mount) {
    camera.SetExposure({0.04, 0.04});
    camera.StartStream(loop, 100, [this](const Image& f) { frames.push_back({loop.NowMs(), f}); });
  }
  // Centroid of the star in the frames of the next ms milliseconds.
  std::vector<std::pair<double, double>> Track(int64_t ms) {
    frames.clear();
    loop.RunFor(ms);
    std::vector<std::pair<double, double>> out;
    for (const auto& [t, f] : frames) {
      int bx = 0, by = 0;
      Brightest(f, bx, by);
      double cx = 0, cy = 0;
      EXPECT_TRUE(Centroid(f, bx, by, 12, Background(f), cx, cy));
      out.push_back({cx, cy});
    }
    return out;
  }
  static double Background(const Image& f) {
    double sum = 0;
    for (int x = 0; x < f.Width(); ++x) sum += Level(f, x, 0);
    return sum / f.Width() + 3;
  }
  static std::pair<double, double> Mean(const std::vector<std::pair<double, double>>& v) {
    double x = 0, y = 0;
    for (auto [a, b] : v) x += a, y += b;
    return {x / v.size(), y / v.size()};
  }

  VirtualEventLoop loop;
  StarRecord vega;
  SkyModel skyModel;
  MountModel mount;
  SimCamera camera;
  std::vector<std::pair<int64_t, Image>> frames;
};

// A loop held for 650 ms (a blocking call) lets six frame periods pass with
// one frame: the five it could not hand over are counted, a late tick alone
// loses nothing.
TEST(Observatory, FramesTheCameraCouldNotHandOverAreCountedAsDropped) {
  Observatory o;
  o.loop.RunFor(1000);
  EXPECT_EQ(o.camera.Delivered(), 10);
  EXPECT_EQ(o.camera.Dropped(), 0);
  o.loop.AdvanceClock(150);  // the next tick comes 50 ms late
  o.loop.RunFor(50);
  EXPECT_EQ(o.camera.Delivered(), 12);
  EXPECT_EQ(o.camera.Dropped(), 0);
  o.loop.AdvanceClock(650);  // the ticks of 1300 to 1800 ms pass, one comes at 1850
  o.loop.RunFor(1);
  EXPECT_EQ(o.camera.Delivered(), 13);
  EXPECT_EQ(o.camera.Dropped(), 5);
}

TEST(Observatory, GuidePulsesMoveTheStarByRateTimesDuration) {
  const double scale = SimSampling(SimOptics{}, 640);
  const double cosDec = std::cos(FindStar("Alp Lyr")->Declination * kRadianPerArcsec);
  struct Case {
    MountDirection direction;
    int64_t ms;
    double dx, dy;  // expected pixels; north up, east left
  } cases[] = {
      {MountDirection::North, 3000, 0, 1.5 * kSiderealRate / scale},
      {MountDirection::South, 1500, 0, -0.75 * kSiderealRate / scale},
      {MountDirection::East, 3000, 1.5 * kSiderealRate * cosDec / scale, 0},
      {MountDirection::West, 2000, -kSiderealRate * cosDec / scale, 0},
  };
  MountParameters steady;
  steady.periodicAmplitude = steady.harmonicAmplitude = 0;
  for (const Case& c : cases) {
    Observatory o(SkyParameters{}, steady);  // seeing 3" with 1" of jitter
    const auto before = Observatory::Mean(o.Track(1000));
    const double rate = o.mount.Parameters().rates[0];
    o.mount.Pulse(c.direction, c.ms, rate, o.loop.NowMs());
    o.loop.RunFor(c.ms);
    const auto after = Observatory::Mean(o.Track(1000));
    // The mount moving towards the north moves the stars down the frame.
    EXPECT_NEAR(after.first - before.first, c.dx, 1.0) << int(c.direction);
    EXPECT_NEAR(before.second - after.second, -c.dy, 1.0) << int(c.direction);
  }
}

TEST(Observatory, GotoMovesTheFieldToTheNextStar) {
  SkyParameters sky;
  sky.zeroMagnitudeFlux = 2.0e5;
  MountParameters steady;
  steady.periodicAmplitude = steady.harmonicAmplitude = 0;
  Observatory o(sky, steady);
  o.camera.SetExposure({0.04, 1.0});
  const StarRecord* deneb = FindStar("Alp Cyg");
  ASSERT_NE(deneb, nullptr);
  o.mount.Goto(deneb->RightAscension, deneb->Declination, o.loop.NowMs());
  EXPECT_TRUE(o.loop.RunUntil([&] { return !o.mount.Slewing(o.loop.NowMs()); }, 60000));
  EXPECT_GT(o.loop.NowMs(), 5000);  // 23° at 3°/s
  const auto at = Observatory::Mean(o.Track(500));
  EXPECT_NEAR(at.first, 319.5, 4);
  EXPECT_NEAR(at.second, 239.5, 4);
}

// Least-squares fit of a constant, a sinusoid of period and its harmonic;
// returns the residual sum of squares and the sinusoid's amplitude.
std::pair<double, double> FitPeriodic(const std::vector<double>& t, const std::vector<double>& v,
                                      double period) {
  constexpr int n = 5;
  double a[n][n + 1] = {};
  auto basis = [&](double x, double* f) {
    const double w = 2 * std::numbers::pi * x / period;
    f[0] = 1, f[1] = std::sin(w), f[2] = std::cos(w), f[3] = std::sin(2 * w),
    f[4] = std::cos(2 * w);
  };
  for (size_t k = 0; k < t.size(); ++k) {
    double f[n];
    basis(t[k], f);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) a[i][j] += f[i] * f[j];
      a[i][n] += f[i] * v[k];
    }
  }
  for (int i = 0; i < n; ++i)  // Gauss-Jordan, the matrix is well conditioned
    for (int r = 0; r < n; ++r) {
      if (r == i) continue;
      const double m = a[r][i] / a[i][i];
      for (int j = 0; j <= n; ++j) a[r][j] -= m * a[i][j];
    }
  double c[n];
  for (int i = 0; i < n; ++i) c[i] = a[i][n] / a[i][i];
  double rss = 0;
  for (size_t k = 0; k < t.size(); ++k) {
    double f[n], fit = 0;
    basis(t[k], f);
    for (int i = 0; i < n; ++i) fit += c[i] * f[i];
    rss += (v[k] - fit) * (v[k] - fit);
  }
  return {rss, std::hypot(c[1], c[2])};
}

TEST(Observatory, PeriodicErrorIsRecoveredFromTheTrackedStar) {
  SkyParameters sky = QuietSky();
  sky.zeroMagnitudeFlux = 2.0e5;
  sky.skyBackground = 20;
  sky.readNoise = 2;
  MountParameters mount;
  mount.periodicPeriod = 480;
  mount.periodicAmplitude = 10;
  mount.harmonicAmplitude = 3;
  Observatory o(sky, mount);
  o.camera.StopStream();
  std::vector<double> times, ra;
  const double scale = SimSampling(SimOptics{}, 640);
  const double cosDec = std::cos(o.vega.Declination * kRadianPerArcsec);
  o.camera.StartStream(o.loop, 4000, [&](const Image& f) {
    int bx = 0, by = 0;
    Brightest(f, bx, by);
    double cx = 0, cy = 0;
    ASSERT_TRUE(Centroid(f, bx, by, 8, Observatory::Background(f), cx, cy));
    times.push_back(o.loop.NowMs() / 1000.0);
    // The star goes right (west) as the mount runs ahead to the east.
    ra.push_back(cx * scale / cosDec);
  });
  o.loop.RunFor(480000);
  ASSERT_EQ(times.size(), 120u);
  double bestPeriod = 0, bestRss = 1e300, amplitude = 0;
  for (double period = 380; period <= 580; period += 0.5) {
    const auto [rss, a] = FitPeriodic(times, ra, period);
    if (rss < bestRss) bestRss = rss, bestPeriod = period, amplitude = a;
  }
  EXPECT_NEAR(bestPeriod, 480, 0.05 * 480);
  EXPECT_NEAR(amplitude, 10, 0.05 * 10);
}

TEST(Observatory, LongExposureIntegratesWhileTheLinesSaySo) {
  SkyParameters sky = QuietSky();
  sky.zeroMagnitudeFlux = 2.0e4;
  sky.darkCurrent = 10;
  Observatory o(sky);
  o.camera.SetExposure({0.04, 0.01});
  std::vector<int> peaks;
  o.camera.StopStream();
  o.camera.StartStream(o.loop, 200, [&](const Image& f) {
    int bx = 0, by = 0;
    Brightest(f, bx, by);
    peaks.push_back(Level(f, bx, by));
  });
  o.loop.RunFor(1000);  // short exposures: Vega faint
  ASSERT_EQ(peaks.size(), 5u);
  EXPECT_LT(peaks.back(), 10);
  o.camera.SetIntegrating(true, o.loop.NowMs());
  o.loop.RunFor(4000);  // integrating: no light comes out
  for (size_t i = 5; i < peaks.size(); ++i) EXPECT_LE(peaks[i], 1) << i;
  o.camera.SetIntegrating(false, o.loop.NowMs());
  o.loop.RunFor(400);  // read-out: four seconds of light in one frame
  ASSERT_EQ(peaks.size(), 27u);
  EXPECT_GE(peaks[25], 40);
  EXPECT_LT(peaks[26], 10);  // then short exposures again
}

}  // namespace
}  // namespace orniva
