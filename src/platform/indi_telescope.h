#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "telescope/telescope_driver.h"

namespace orniva {

class EventLoop;

// The telescope driver of the "ASCOM" choice on Linux: an INDI client
// (libindi) talking to an indiserver, local or on another machine. The
// device is "name" or "name@host:port" (localhost:7624 by default). A worker
// thread takes the requests one at a time and makes every call on the
// client; the client's own reader thread keeps a copy of the position,
// slewing and connection state that answers are taken from. When the server
// goes away, the loop is told through OnLost (posted, never called from
// another thread).
class IndiTelescope : public TelescopeDriver {
 public:
  explicit IndiTelescope(EventLoop& loop);
  ~IndiTelescope() override;

  void SetDevice(const std::string& device) override;
  bool Send(Request request, const Args& args, int waitMs) override;
  bool SendAsync(Request request, const Args& args,
                 std::function<void(const State&)> done) override;
  State Answer() const override;

  // "name@host:port" split; port 7624 and host "localhost" when missing.
  static void SplitDevice(const std::string& text, std::string& name, std::string& host, int& port);

  class Client;  // the libindi client (defined in the .cpp)

 private:
  void Worker();
  void Handle(Request request, const Args& args);
  void Lost(const std::string& why);

  EventLoop& loop_;
  std::unique_ptr<Client> client_;
  mutable std::mutex mutex_;
  std::condition_variable wake_, done_;
  bool pending_ = false, inFlight_ = false, quit_ = false;
  uint64_t served_ = 0;
  Request request_ = Request::Connected;
  Args args_;
  std::function<void(const State&)> doneCallback_;
  State state_;
  std::string device_ = "Telescope Simulator", host_ = "localhost";
  int port_ = 7624;
  std::shared_ptr<bool> alive_;
  std::thread thread_;
};

std::unique_ptr<TelescopeDriver> MakeIndiTelescope(EventLoop& loop);

}  // namespace orniva
