#pragma once

#include <functional>
#include <string>

namespace orniva {

// The telescope driver of the "ASCOM" choice, run on a worker thread (on
// Linux the INDI client of src/platform): the program hands it one
// request at a time with its arguments and, for requests with an answer,
// waits a bounded time for the answer, or is called back with it. The worker owns every call on the
// driver; answers are read back from Answer() once Send returned true.
class TelescopeDriver {
 public:
  enum class Request {
    Connect,
    Disconnect,
    AbortSlew,
    PulseGuide,
    SlewToCoordinatesAsync,
    SyncToCoordinates,
    Connected,
    RightAscension,
    Declination,
    Slewing,
    CanSlew,
    CanSlewAsync,
    CanPulseGuide,
    CanSync,
  };
  // Guide directions of pulse requests.
  enum GuideDirection { kGuideNorth = 0, kGuideSouth = 1, kGuideEast = 2, kGuideWest = 3 };
  struct Args {
    int guideDirection = 0;
    int pulseMs = 0;
    double raHours = 0;
    double decDegrees = 0;
  };
  struct State {
    bool connected = false;
    bool slewing = false;
    bool canSlew = false, canSlewAsync = false, canPulseGuide = false, canSync = false;
    double raHours = 0, decDegrees = 0;
    std::string error;  // why the last request failed ("" when it did not)
  };

  virtual ~TelescopeDriver() = default;
  // Which device, and where its server is ("device" or "device@host:port").
  virtual void SetDevice(const std::string& device) = 0;
  // Hands a request over. waitMs < 0: no answer awaited (returns true once
  // handed over); otherwise waits that long for the answer and returns
  // whether it came. A request is refused (false) while another is in flight.
  virtual bool Send(Request request, const Args& args, int waitMs) = 0;
  // Hands a request over and returns at once: done is called later on the
  // loop's thread with the answer, once the worker has served the request
  // (never for a refused request, nor once the driver is gone). Refused
  // (false) while another request is in flight.
  virtual bool SendAsync(Request request, const Args& args,
                         std::function<void(const State&)> done) = 0;
  virtual State Answer() const = 0;
  // Called on the loop's thread when the driver's link goes away by itself
  // (server stopped, network lost), with the reason.
  std::function<void(const std::string&)> OnLost;
};

}  // namespace orniva
