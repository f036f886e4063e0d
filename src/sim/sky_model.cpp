#include "sim/sky_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "processing/measurements.h"
#include "sky/sky_angles.h"

namespace orniva {

namespace {

constexpr double kFwhmPerSigma = 2.354820045;

uint64_t Mix(uint64_t a, uint64_t b) {
  uint64_t z = a ^ (b + 0x9E3779B97F4A7C15ULL + (a << 6) + (a >> 2));
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// Share of a unit Gaussian of deviation sigma centred at c that falls on the
// pixels first .. first + count - 1 (pixel i spans i - 0.5 .. i + 0.5).
void PixelShares(double c, double sigma, int first, int count, std::vector<double>& out) {
  out.resize(count);
  const double k = 1.0 / (sigma * std::numbers::sqrt2);
  double low = std::erf((first - 0.5 - c) * k);
  for (int i = 0; i < count; ++i) {
    const double high = std::erf((first + i + 0.5 - c) * k);
    out[i] = 0.5 * (high - low);
    low = high;
  }
}

// Adds a point source of flux electrons at (x, y) spread as a Gaussian.
void AddSpot(std::vector<float>& light, int width, int height, double x, double y, double sigma,
             double flux) {
  const int radius = static_cast<int>(std::ceil(5 * sigma)) + 1;
  const int x0 = std::max(0, static_cast<int>(std::floor(x)) - radius);
  const int x1 = std::min(width - 1, static_cast<int>(std::floor(x)) + radius + 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(y)) - radius);
  const int y1 = std::min(height - 1, static_cast<int>(std::floor(y)) + radius + 1);
  if (x0 > x1 || y0 > y1) return;
  std::vector<double> fx, fy;
  PixelShares(x, sigma, x0, x1 - x0 + 1, fx);
  PixelShares(y, sigma, y0, y1 - y0 + 1, fy);
  for (int j = y0; j <= y1; ++j) {
    float* row = light.data() + static_cast<size_t>(j) * width;
    const double wy = flux * fy[j - y0];
    for (int i = x0; i <= x1; ++i) row[i] += static_cast<float>(wy * fx[i - x0]);
  }
}

}  // namespace

uint64_t SimRandom::Next() {
  state_ += 0x9E3779B97F4A7C15ULL;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

double SimRandom::Uniform() {
  return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double SimRandom::Normal() {
  if (hasSpare_) {
    hasSpare_ = false;
    return spare_;
  }
  const double u = 1.0 - Uniform();  // (0, 1]
  const double v = Uniform();
  const double r = std::sqrt(-2.0 * std::log(u));
  spare_ = r * std::sin(2 * std::numbers::pi * v);
  hasSpare_ = true;
  return r * std::cos(2 * std::numbers::pi * v);
}

double SimSampling(const SimOptics& optics, int frameWidth) {
  const double focal = EffectiveFocal(optics.focal, optics.barlowUsed, optics.barlow,
                                      optics.reducerUsed, optics.reducer);
  return SamplingArcsecPerPixel(optics.pixelWidth, optics.referenceWidth, frameWidth, focal);
}

SkyModel::SkyModel(const Catalogues& catalogues, SkyParameters parameters, SimOptics optics)
    : catalogues_(catalogues), parameters_(parameters), optics_(optics) {}

bool SkyModel::Project(const SimPointing& pointing, int width, int height, double ra, double dec,
                       double& x, double& y) const {
  const double a0 = pointing.ra * kRadianPerArcsec, d0 = pointing.dec * kRadianPerArcsec;
  const double a = ra * kRadianPerArcsec, d = dec * kRadianPerArcsec;
  const double cosC = std::sin(d0) * std::sin(d) + std::cos(d0) * std::cos(d) * std::cos(a - a0);
  if (cosC <= 1e-6) return false;
  // Standard coordinates: xi towards the east, eta towards the north.
  const double xi = std::cos(d) * std::sin(a - a0) / cosC * kArcsecPerRadian;
  const double eta = (std::cos(d0) * std::sin(d) - std::sin(d0) * std::cos(d) * std::cos(a - a0)) /
                     cosC * kArcsecPerRadian;
  const double t = pointing.rotation * kRadianPerArcsec;
  const double right = -xi * std::cos(t) + eta * std::sin(t);
  const double up = xi * std::sin(t) + eta * std::cos(t);
  const double scale = SimSampling(optics_, width);
  x = (width - 1) / 2.0 + right / scale;
  y = (height - 1) / 2.0 - up / scale;
  return true;
}

void SkyModel::AddStars(std::vector<float>& light, int width, int height,
                        const SimPointing& pointing, double scale, double sigma,
                        double weight) const {
  const double reach = (std::hypot(width, height) / 2 + 6 * sigma) * scale;
  for (const StarRecord& star : catalogues_.Stars()) {
    if (star.Magnitude > parameters_.limitingMagnitude) continue;
    if (std::abs(star.Declination - pointing.dec) > reach) continue;
    if (AngularDistance(pointing.ra, pointing.dec, star.RightAscension, star.Declination) > reach)
      continue;
    double x, y;
    if (!Project(pointing, width, height, star.RightAscension, star.Declination, x, y)) continue;
    const double flux = parameters_.zeroMagnitudeFlux * std::pow(10.0, -0.4 * star.Magnitude);
    AddSpot(light, width, height, x, y, sigma, flux * weight);
  }
}

void SkyModel::AddDeepSky(std::vector<float>& light, int width, int height,
                          const SimPointing& pointing, double scale, double sigma,
                          double weight) const {
  const double field = std::hypot(width, height) / 2 * scale;
  for (const DeepSkyRecord& object : catalogues_.DeepSkyObjects()) {
    if (object.Magnitude > parameters_.limitingMagnitude) continue;
    const double reachArcsec = field + object.SizeMajor * 60;
    if (std::abs(object.Declination - pointing.dec) > reachArcsec) continue;
    if (AngularDistance(pointing.ra, pointing.dec, object.RightAscension, object.Declination) >
        reachArcsec)
      continue;
    double cx, cy;
    if (!Project(pointing, width, height, object.RightAscension, object.Declination, cx, cy))
      continue;
    // The catalogue size is the visible extent: about four deviations across.
    const double major = std::max(object.SizeMajor, object.SizeMinor) * 60 / scale / 4;
    const double minor = std::min(object.SizeMajor, object.SizeMinor) * 60 / scale / 4;
    const double sa = std::hypot(major, sigma), sb = std::hypot(minor, sigma);
    // Position angle east of north, turned into the frame.
    const double pa =
        object.PositionAngle * kRadianPerDegree + pointing.rotation * kRadianPerArcsec;
    const double ux = -std::sin(pa), uy = -std::cos(pa);  // major axis in pixels
    const double flux = parameters_.zeroMagnitudeFlux * std::pow(10.0, -0.4 * object.Magnitude) *
                        weight / (2 * std::numbers::pi * sa * sb);
    const int r = static_cast<int>(std::ceil(4 * sa)) + 1;
    const int x0 = std::max(0, static_cast<int>(cx) - r),
              x1 = std::min(width - 1, static_cast<int>(cx) + r);
    const int y0 = std::max(0, static_cast<int>(cy) - r),
              y1 = std::min(height - 1, static_cast<int>(cy) + r);
    for (int j = y0; j <= y1; ++j) {
      float* row = light.data() + static_cast<size_t>(j) * width;
      for (int i = x0; i <= x1; ++i) {
        const double dx = i - cx, dy = j - cy;
        const double along = dx * ux + dy * uy, across = -dx * uy + dy * ux;
        const double q = along * along / (sa * sa) + across * across / (sb * sb);
        if (q < 32) row[i] += static_cast<float>(flux * std::exp(-0.5 * q));
      }
    }
  }
}

const std::vector<float>& SkyModel::Transmission(int width, int height, bool rawBayer) const {
  const SkyParameters& p = parameters_;
  const SkyParameters& q = transmissionFor_;
  if (width == transmissionWidth_ && height == transmissionHeight_ &&
      rawBayer == transmissionRaw_ && p.seed == q.seed && p.vignetting == q.vignetting &&
      p.dustShadows == q.dustShadows && p.dustDepth == q.dustDepth)
    return transmission_;
  transmissionFor_ = p;
  transmissionWidth_ = width;
  transmissionHeight_ = height;
  transmissionRaw_ = rawBayer;
  transmission_.assign(static_cast<size_t>(width) * height, 1.0f);
  // Dust shadows, placed by the seed alone, at the same place of the sensor
  // whatever the format.
  SimRandom dustRandom(Mix(p.seed, 0xD0571ULL));
  struct Dust {
    double x, y, radius;
  };
  std::vector<Dust> dust;
  for (int i = 0; i < p.dustShadows; ++i) {
    const double x = dustRandom.Uniform() * width, y = dustRandom.Uniform() * height;
    dust.push_back({x, y, (0.03 + 0.04 * dustRandom.Uniform()) * width});
  }
  const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
  const double corner2 = cx * cx + cy * cy + 1e-9;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double t = 1 - p.vignetting * ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / corner2;
      for (const Dust& d : dust) {
        const double r = std::hypot(x - d.x, y - d.y) / d.radius;
        if (r < 1.2) t *= 1 - p.dustDepth * (r < 1 ? 1.0 : (1.2 - r) / 0.2);
      }
      if (rawBayer) {
        // Red green / green blue.
        const int colour = (y & 1) == 0 ? ((x & 1) == 0 ? 0 : 1) : ((x & 1) == 0 ? 1 : 2);
        t *= kMosaicResponse[colour];
      }
      transmission_[static_cast<size_t>(y) * width + x] = static_cast<float>(t);
    }
  return transmission_;
}

void SkyModel::Render(Image& frame, int width, int height, const std::vector<SimPointing>& trail,
                      const SimExposure& exposure, int64_t timeMs) const {
  width = std::clamp(width, 1, 1024);
  height = std::clamp(height, 1, 768);
  frame.Resize(width, height);
  const SkyParameters& p = parameters_;
  const double seconds = std::max(0.0, exposure.seconds);
  const double scale = SimSampling(optics_, width);
  const double seeingSigma = p.seeingFwhm / kFwhmPerSigma / scale;
  const double opticsSigma = p.diffractionFwhmPixels / kFwhmPerSigma;
  const double sigma = std::hypot(seeingSigma, opticsSigma);

  // Light from the sky objects, in electrons, shifted as a whole by the
  // seeing of this frame.
  std::vector<float> light(static_cast<size_t>(width) * height, 0.0f);
  SimRandom frameRandom(Mix(p.seed, static_cast<uint64_t>(timeMs)));
  const double jitterX = p.seeingFwhm > 0 ? p.seeingJitter / scale * frameRandom.Normal() : 0;
  const double jitterY = p.seeingFwhm > 0 ? p.seeingJitter / scale * frameRandom.Normal() : 0;
  if (!trail.empty()) {
    const double weight = seconds / static_cast<double>(trail.size());
    for (SimPointing at : trail) {
      // A shift of the field in pixels is a shift of the pointing the other way.
      const double shiftUp = jitterY * scale, shiftRight = -jitterX * scale;
      const double t = at.rotation * kRadianPerArcsec;
      const double xi = -shiftRight * std::cos(t) + shiftUp * std::sin(t);
      const double eta = shiftRight * std::sin(t) + shiftUp * std::cos(t);
      const double cosDec = std::max(1e-6, std::cos(at.dec * kRadianPerArcsec));
      at.ra += xi / cosDec;
      at.dec += eta;
      AddStars(light, width, height, at, scale, sigma, weight);
      if (p.deepSky) AddDeepSky(light, width, height, at, scale, sigma, weight);
    }
  }

  // Hot pixels, placed by the seed alone.
  SimRandom sensorRandom(Mix(p.seed, 0x407ULL));
  std::vector<size_t> hot;
  for (int i = 0; i < p.hotPixels; ++i) {
    const int x = static_cast<int>(sensorRandom.Uniform() * width);
    const int y = static_cast<int>(sensorRandom.Uniform() * height);
    hot.push_back(static_cast<size_t>(y) * width + x);
  }
  std::sort(hot.begin(), hot.end());
  const double dark = p.darkCurrent * seconds;
  size_t nextHot = 0;

  const std::vector<float>& transmission = Transmission(width, height, exposure.rawBayer);
  const double sky = p.skyBackground * seconds;
  const double readVariance = p.readNoise * p.readNoise;
  for (int y = 0; y < height; ++y) {
    uint8_t* out = frame.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const size_t k = static_cast<size_t>(y) * width + x;
      double darkHere = dark;
      for (; nextHot < hot.size() && hot[nextHot] == k; ++nextHot)
        darkHere = dark * p.hotPixelFactor;
      double electrons = (light[k] + sky) * transmission[k] + darkHere;
      const double variance = (p.photonNoise ? std::max(0.0, electrons) : 0.0) + readVariance;
      if (variance > 0) electrons += std::sqrt(variance) * frameRandom.Normal();
      const double level = std::clamp(electrons * exposure.gain + 0.5, 0.0, 255.0);
      uint8_t* px = out + 3 * x;
      px[0] = px[1] = px[2] = static_cast<uint8_t>(level);
    }
  }
}

}  // namespace orniva
