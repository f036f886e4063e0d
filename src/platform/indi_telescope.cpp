#include "platform/indi_telescope.h"

#include <libindi/baseclient.h>
#include <libindi/basedevice.h>

#include <chrono>
#include <cmath>

#include "core/event_loop.h"

namespace orniva {

using Clock = std::chrono::steady_clock;

// Keeps what the server reports about one device; called on libindi's
// reader thread, read by the worker under the lock.
class IndiTelescope::Client : public INDI::BaseClient {
 public:
  std::mutex m;
  std::condition_variable changed;
  std::string device;
  bool hasConnection = false, connected = false, serverUp = false;
  bool hasCoords = false, canSync = false, canPulse = false;
  double ra = 0, dec = 0;
  IPState coordState = IPS_IDLE;
  bool slewAsked = false, sawBusy = false;
  Clock::time_point slewAskedAt;
  std::function<void(const std::string&)> onServerLost;

  void Read(INDI::Property p) {
    if (!p.isValid() || device != p.getDeviceName()) return;
    std::lock_guard<std::mutex> lock(m);
    if (p.isNameMatch("CONNECTION")) {
      hasConnection = true;
      INDI::PropertySwitch s(p);
      auto* on = s.findWidgetByName("CONNECT");
      connected = on && on->getState() == ISS_ON && p.getState() != IPS_ALERT;
    } else if (p.isNameMatch("EQUATORIAL_EOD_COORD")) {
      hasCoords = true;
      INDI::PropertyNumber n(p);
      if (auto* w = n.findWidgetByName("RA")) ra = w->getValue();
      if (auto* w = n.findWidgetByName("DEC")) dec = w->getValue();
      coordState = p.getState();
      if (coordState == IPS_BUSY) sawBusy = true;
    } else if (p.isNameMatch("ON_COORD_SET")) {
      INDI::PropertySwitch s(p);
      canSync = s.findWidgetByName("SYNC") != nullptr;
    } else if (p.isNameMatch("TELESCOPE_TIMED_GUIDE_NS")) {
      canPulse = true;
    }
    changed.notify_all();
  }
  void Forget(INDI::Property p) {
    if (!p.isValid() || device != p.getDeviceName()) return;
    std::lock_guard<std::mutex> lock(m);
    if (p.isNameMatch("EQUATORIAL_EOD_COORD")) hasCoords = false;
    if (p.isNameMatch("TELESCOPE_TIMED_GUIDE_NS")) canPulse = false;
    changed.notify_all();
  }
  // True while slewing: the server says busy, or a slew was just asked for
  // and the server has not yet had time to say so.
  bool Slewing() {
    if (coordState == IPS_BUSY) return true;
    return slewAsked && !sawBusy && Clock::now() - slewAskedAt < std::chrono::seconds(3);
  }
  template <typename Pred>
  bool WaitFor(Pred pred, int ms) {
    std::unique_lock<std::mutex> lock(m);
    return changed.wait_for(lock, std::chrono::milliseconds(ms), pred);
  }

 protected:
  void newProperty(INDI::Property p) override { Read(p); }
  void updateProperty(INDI::Property p) override { Read(p); }
  void removeProperty(INDI::Property p) override { Forget(p); }
  void serverConnected() override {
    std::lock_guard<std::mutex> lock(m);
    serverUp = true;
  }
  void serverDisconnected(int exitCode) override {
    {
      std::lock_guard<std::mutex> lock(m);
      bool was = serverUp;
      serverUp = connected = hasConnection = hasCoords = false;
      changed.notify_all();
      if (!was || exitCode == 0) return;  // our own disconnection
    }
    if (onServerLost)
      onServerLost("serveur INDI " + std::string(getHost()) + ":" + std::to_string(getPort()) +
                   " perdu");
  }
};

void IndiTelescope::SplitDevice(const std::string& text, std::string& name, std::string& host,
                                int& port) {
  name = text;
  host = "localhost";
  port = 7624;
  auto at = text.rfind('@');
  if (at == std::string::npos) return;
  name = text.substr(0, at);
  std::string server = text.substr(at + 1);
  auto colon = server.rfind(':');
  if (colon != std::string::npos) {
    int p = std::atoi(server.c_str() + colon + 1);
    if (p > 0 && p < 65536) port = p;
    server.erase(colon);
  }
  if (!server.empty()) host = server;
}

IndiTelescope::IndiTelescope(EventLoop& loop)
    : loop_(loop), client_(std::make_unique<Client>()), alive_(std::make_shared<bool>(true)) {
  std::weak_ptr<bool> alive = alive_;
  client_->onServerLost = [this, alive](const std::string& why) {
    // From libindi's thread: hand it to the loop.
    loop_.Post([this, alive, why] {
      if (alive.lock()) Lost(why);
    });
  };
  thread_ = std::thread([this] { Worker(); });
}

IndiTelescope::~IndiTelescope() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
  *alive_ = false;
  alive_.reset();
  if (client_->isServerConnected()) client_->disconnectServer();
}

void IndiTelescope::Lost(const std::string& why) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_.connected = false;
    state_.slewing = false;
    state_.error = why;
  }
  if (OnLost) OnLost(why);
}

void IndiTelescope::SetDevice(const std::string& device) {
  std::lock_guard<std::mutex> lock(mutex_);
  SplitDevice(device, device_, host_, port_);
}

bool IndiTelescope::Send(Request request, const Args& args, int waitMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (pending_ || inFlight_) return false;  // one request at a time
  request_ = request;
  args_ = args;
  pending_ = true;
  uint64_t ticket = served_ + 1;
  wake_.notify_all();
  if (waitMs < 0) return true;
  return done_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return served_ >= ticket; });
}

bool IndiTelescope::SendAsync(Request request, const Args& args,
                              std::function<void(const State&)> done) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pending_ || inFlight_) return false;
  request_ = request;
  args_ = args;
  doneCallback_ = std::move(done);
  pending_ = true;
  wake_.notify_all();
  return true;
}

TelescopeDriver::State IndiTelescope::Answer() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

void IndiTelescope::Worker() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || pending_; });
    if (quit_) return;
    pending_ = false;
    inFlight_ = true;
    Request r = request_;
    Args a = args_;
    std::function<void(const State&)> callback = std::move(doneCallback_);
    doneCallback_ = nullptr;
    lock.unlock();
    Handle(r, a);
    lock.lock();
    inFlight_ = false;
    ++served_;
    done_.notify_all();
    if (callback) {
      // The answer goes to the loop's thread, unless the driver is gone by
      // then.
      std::weak_ptr<bool> alive = alive_;
      loop_.Post([alive, callback = std::move(callback), state = state_] {
        if (alive.lock()) callback(state);
      });
    }
  }
}

void IndiTelescope::Handle(Request request, const Args& args) {
  std::string device, host;
  int port;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    device = device_;
    host = host_;
    port = port_;
  }
  Client& c = *client_;
  std::string error;
  auto number = [&](const char* prop, std::initializer_list<std::pair<const char*, double>> vals) {
    INDI::BaseDevice dev = c.getDevice(device.c_str());
    if (!dev.isValid()) return false;
    INDI::PropertyNumber n = dev.getNumber(prop);
    if (!n.isValid()) return false;
    for (auto& w : n) w.setValue(0);
    for (auto& [name, v] : vals)
      if (auto* w = n.findWidgetByName(name)) w->setValue(v);
    c.sendNewNumber(n);
    return true;
  };
  auto choose = [&](const char* prop, const char* element) {
    INDI::BaseDevice dev = c.getDevice(device.c_str());
    if (!dev.isValid()) return false;
    INDI::PropertySwitch s = dev.getSwitch(prop);
    if (!s.isValid() || !s.findWidgetByName(element)) return false;
    s.reset();
    s.findWidgetByName(element)->setState(ISS_ON);
    c.sendNewSwitch(s);
    return true;
  };
  switch (request) {
    case Request::Connect: {
      if (!c.isServerConnected() || c.getHost() != host || c.getPort() != port ||
          c.device != device) {
        if (c.isServerConnected()) c.disconnectServer();
        {
          std::lock_guard<std::mutex> lock(c.m);
          c.device = device;
          c.hasConnection = c.connected = c.hasCoords = false;
        }
        c.setServer(host.c_str(), port);
        c.setConnectionTimeout(3, 0);
        c.watchDevice(device.c_str());
        if (!c.connectServer()) {
          error = "serveur INDI " + host + ":" + std::to_string(port) + " injoignable";
          break;
        }
      }
      if (!c.WaitFor([&] { return c.hasConnection; }, 5000)) {
        error = "peripherique INDI \"" + device + "\" absent du serveur " + host + ":" +
                std::to_string(port);
        break;
      }
      c.connectDevice(device.c_str());
      if (!c.WaitFor([&] { return c.connected && c.hasCoords; }, 10000))
        error = "le peripherique INDI \"" + device + "\" ne se connecte pas";
      else  // the other properties follow the coordinates; not every mount has them
        c.WaitFor([&] { return c.canPulse && c.canSync; }, 1000);
      break;
    }
    case Request::Disconnect:
      if (c.isServerConnected()) {
        c.disconnectDevice(device.c_str());
        c.WaitFor([&] { return !c.connected; }, 2000);
        c.disconnectServer();
      }
      break;
    case Request::AbortSlew:
      if (!choose("TELESCOPE_ABORT_MOTION", "ABORT")) error = "arret impossible";
      {
        std::lock_guard<std::mutex> lock(c.m);
        c.slewAsked = false;
      }
      break;
    case Request::PulseGuide: {
      bool ns = args.guideDirection == kGuideNorth || args.guideDirection == kGuideSouth;
      const char* element = args.guideDirection == kGuideNorth   ? "TIMED_GUIDE_N"
                            : args.guideDirection == kGuideSouth ? "TIMED_GUIDE_S"
                            : args.guideDirection == kGuideEast  ? "TIMED_GUIDE_E"
                                                                 : "TIMED_GUIDE_W";
      if (!number(ns ? "TELESCOPE_TIMED_GUIDE_NS" : "TELESCOPE_TIMED_GUIDE_WE",
                  {{element, static_cast<double>(args.pulseMs)}}))
        error = "impulsion de guidage impossible";
      break;
    }
    case Request::SlewToCoordinatesAsync:
    case Request::SyncToCoordinates: {
      bool sync = request == Request::SyncToCoordinates;
      if (!choose("ON_COORD_SET", sync ? "SYNC" : "TRACK") ||
          !number("EQUATORIAL_EOD_COORD", {{"RA", args.raHours}, {"DEC", args.decDegrees}})) {
        error = sync ? "synchronisation impossible" : "GOTO impossible";
        break;
      }
      if (!sync) {
        std::lock_guard<std::mutex> lock(c.m);
        c.slewAsked = true;
        c.sawBusy = false;
        c.slewAskedAt = Clock::now();
      }
      break;
    }
    default:
      break;  // the answers below are read from the kept state
  }
  std::lock_guard<std::mutex> clientLock(c.m);
  std::lock_guard<std::mutex> lock(mutex_);
  state_.connected = c.serverUp && c.connected;
  state_.raHours = c.ra;
  state_.decDegrees = c.dec;
  state_.slewing = c.Slewing();
  state_.canSlew = state_.canSlewAsync = c.hasCoords;
  state_.canSync = c.canSync;
  state_.canPulseGuide = c.canPulse;
  if (!c.serverUp && request != Request::Disconnect && error.empty())
    error = "serveur INDI " + host + ":" + std::to_string(port) + " non connecte";
  state_.error = error;
}

std::unique_ptr<TelescopeDriver> MakeIndiTelescope(EventLoop& loop) {
  return std::make_unique<IndiTelescope>(loop);
}

}  // namespace orniva
