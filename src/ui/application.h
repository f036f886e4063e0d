#pragma once

#include <string_view>
#include <vector>

namespace orniva {

class Window;
class EventLoop;
class Dialogs;

// The program object: the event loop every timer and handler runs on, the
// dialogs, the screen, and the windows in the order they were created.
class Application {
 public:
  Application(EventLoop& loop, Dialogs& dialogs) : loop_(&loop), dialogs_(&dialogs) {}
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  EventLoop& Loop() const { return *loop_; }
  Dialogs& Dlg() const { return *dialogs_; }

  const std::vector<Window*>& Windows() const { return windows_; }
  Window* FindWindow(std::string_view name) const;

  int ScreenWidth() const { return screenWidth_; }
  int ScreenHeight() const { return screenHeight_; }
  void SetScreenSize(int width, int height) {
    screenWidth_ = width;
    screenHeight_ = height;
  }

  // Handles pending events now (what the toolkit calls processing messages).
  void ProcessMessages();

 private:
  friend class Window;
  void Register(Window& w) { windows_.push_back(&w); }
  void Unregister(Window& w);

  EventLoop* loop_;
  Dialogs* dialogs_;
  std::vector<Window*> windows_;
  int screenWidth_ = 1280;
  int screenHeight_ = 1024;
};

}  // namespace orniva
