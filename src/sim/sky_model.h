#pragma once

#include <cstdint>
#include <vector>

#include "core/image.h"
#include "sky/catalogues.h"

namespace orniva {

// The optics and camera of the simulated observatory, as the measurement
// window knows them: the image scale follows from the focal length, the
// Barlow and reducer in use and the pixel width at a reference frame width
// (a narrower frame has proportionally larger pixels, as with binning).
struct SimOptics {
  double focal = 2000;  // millimetres
  bool barlowUsed = false;
  double barlow = 2.0;
  bool reducerUsed = false;
  double reducer = 0.63;
  double pixelWidth = 5.6;  // micrometres at referenceWidth pixels across
  double referenceWidth = 640;
};

// Arcseconds per pixel of a frame frameWidth pixels wide.
double SimSampling(const SimOptics& optics, int frameWidth);

// Where the camera looks: the sky position at the centre of the frame and
// the angle of the frame's up direction east of north, all in arcseconds.
struct SimPointing {
  double ra = 0;
  double dec = 0;
  double rotation = 0;
};

// Everything that makes a simulated frame look like a real one. Signal levels
// are in electrons; the frame holds electrons × gain, clipped at 255.
struct SkyParameters {
  uint64_t seed = 1;
  // Full width at half maximum of the seeing blur, and the root-mean-square
  // random displacement of the whole field from one frame to the next; both
  // in arcseconds. With seeingFwhm 0 a star keeps the optics' own spot
  // (diffractionFwhmPixels).
  double seeingFwhm = 3.0;
  double seeingJitter = 1.0;
  double diffractionFwhmPixels = 1.5;
  // Electrons per second from a star of magnitude 0; stars fainter than
  // limitingMagnitude are left out.
  double zeroMagnitudeFlux = 2.0e6;
  double limitingMagnitude = 12.0;
  bool deepSky = true;        // bright deep-sky objects as blurred ellipses
  double skyBackground = 60;  // electrons per second per pixel
  double readNoise = 2.0;     // electrons
  bool photonNoise = true;
  double darkCurrent = 2.0;  // electrons per second per pixel
  int hotPixels = 40;        // pixels whose dark current is hotPixelFactor times higher
  double hotPixelFactor = 400;
  double vignetting = 0.3;  // light lost in the corners (0 none)
  int dustShadows = 3;      // ring shadows of dust, each taking dustDepth of the light
  double dustDepth = 0.12;
  bool rawBayer = false;  // a colour sensor's raw mosaic (red, green / green, blue)
};

// A camera setting for one frame: exposure in seconds, gain (frame units
// per electron), and whether the frame is a colour sensor's raw mosaic (red
// green / green blue, the level of each pixel's filter colour in all three
// bytes, with the filters' own responses).
struct SimExposure {
  double seconds = 0.04;
  double gain = 1.0;
  bool rawBayer = false;
};

// Response of the red, green and blue filters of the raw mosaic.
inline constexpr double kMosaicResponse[3] = {0.9, 1.0, 0.75};

// Renders the sky as a camera sees it. The same seed, pointing, exposure and
// time give the same frame; the time (milliseconds of the event loop) seeds
// the noise and the seeing of that frame, the seed alone places the hot
// pixels and dust.
//
// Geometry: north up and east left at rotation 0 (the sky as seen, not
// mirrored); pixel centres at integer coordinates, the pointing at
// ((width - 1) / 2, (height - 1) / 2); gnomonic projection.
class SkyModel {
 public:
  SkyModel(const Catalogues& catalogues, SkyParameters parameters, SimOptics optics);

  const SkyParameters& Parameters() const { return parameters_; }
  void SetParameters(const SkyParameters& parameters) { parameters_ = parameters; }
  const SimOptics& Optics() const { return optics_; }
  void SetOptics(const SimOptics& optics) { optics_ = optics; }

  // Pixel position of a sky position in a width × height frame. False when
  // the position is on the far side of the sky.
  bool Project(const SimPointing& pointing, int width, int height, double ra, double dec, double& x,
               double& y) const;

  // Renders into frame (resized to width × height, at most 1024 × 768). The
  // trail holds the pointings the exposure sweeps through, equally weighted;
  // one pointing for a still frame.
  void Render(Image& frame, int width, int height, const std::vector<SimPointing>& trail,
              const SimExposure& exposure, int64_t timeMs) const;
  void Render(Image& frame, int width, int height, const SimPointing& pointing,
              const SimExposure& exposure, int64_t timeMs) const {
    Render(frame, width, height, std::vector<SimPointing>{pointing}, exposure, timeMs);
  }

 private:
  void AddStars(std::vector<float>& light, int width, int height, const SimPointing& pointing,
                double scale, double sigma, double weight) const;
  void AddDeepSky(std::vector<float>& light, int width, int height, const SimPointing& pointing,
                  double scale, double sigma, double weight) const;

  // Light reaching each pixel of a width × height sensor (vignetting, dust
  // and the mosaic's filters), kept for the next frame of the same kind.
  const std::vector<float>& Transmission(int width, int height, bool rawBayer) const;

  const Catalogues& catalogues_;
  SkyParameters parameters_;
  SimOptics optics_;
  mutable std::vector<float> transmission_;
  mutable SkyParameters transmissionFor_;
  mutable int transmissionWidth_ = 0, transmissionHeight_ = 0;
  mutable bool transmissionRaw_ = false;
};

// A small deterministic random generator (the same numbers on every
// platform).
class SimRandom {
 public:
  explicit SimRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  double Uniform();  // [0, 1)
  double Normal();   // mean 0, deviation 1

 private:
  uint64_t state_;
  double spare_ = 0;
  bool hasSpare_ = false;
};

}  // namespace orniva
