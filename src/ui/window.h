#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/screen_geometry.h"
#include "ui/control.h"

namespace orniva {

class Application;

// Key codes of OnKeyDown (the original toolkit's virtual-key codes).
inline constexpr int kKeyEscape = 27;
class EventLoop;

enum class WindowState { Normal, Minimized, Maximized };

// A window of the program: a class TFRM_<Name> deriving from Window holds
// its controls as members and its event handlers as member functions. The
// window registers every control by name; scripts, the settings file and the
// language file find them with Find (names compare without regard to case).
// Windows are created once at start, hidden, and live until the end.
class Window {
 public:
  Window(Application& app, std::string name, std::string caption = {});
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  Application& App() const { return *app_; }
  EventLoop& Loop() const;
  const std::string& Name() const { return name_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const Bounds& GetBounds() const { return bounds_; }
  void SetBounds(Bounds b);
  bool Visible() const { return visible_; }
  void Show();
  void Hide();
  // Puts a window that lies off the screen back on it, restores it when
  // minimised, then shows it.
  void ShowOnScreen();
  WindowState State() const { return state_; }
  void SetState(WindowState state);
  bool StayOnTop() const { return stayOnTop_; }
  void SetStayOnTop(bool stayOnTop) { stayOnTop_ = stayOnTop; }
  // A window without frame or caption (the full-screen window).
  bool Borderless() const { return borderless_; }
  void SetBorderless(bool borderless) { borderless_ = borderless; }
  // Closes the window as the operator's close button does: OnCloseQuery may
  // refuse, OnClose runs, then the window hides.
  bool Close();

  Control* Find(std::string_view name) const;
  template <typename T>
  T* FindAs(std::string_view name) const {
    return dynamic_cast<T*>(Find(name));
  }
  // Every control in creation order.
  const std::vector<Control*>& Controls() const { return controls_; }
  // The controls placed directly in parent (nullptr: directly on the window).
  std::vector<Control*> Children(const Control* parent) const;

  // Views subscribe to hear of caption, bounds, visibility and state changes.
  int Subscribe(std::function<void()> listener);
  void Unsubscribe(int token);

  std::function<void()> OnShow;
  std::function<void()> OnHide;
  std::function<bool()> OnCloseQuery;
  std::function<void()> OnClose;
  // A key pressed while the window has the focus: the key's code (kKey…)
  // and the ShiftState flags held.
  std::function<void(int key, unsigned shift)> OnKeyDown;

 private:
  friend class Control;
  void Register(Control& control);
  void Notify();

  Application* app_;
  std::string name_;
  std::string caption_;
  Bounds bounds_{100, 100, 400, 300};
  bool visible_ = false;
  bool stayOnTop_ = false;
  bool borderless_ = false;
  WindowState state_ = WindowState::Normal;
  std::vector<Control*> controls_;
  std::map<std::string, Control*, std::less<>> byName_;  // lower-cased names
  int nextToken_ = 1;
  std::map<int, std::function<void()>> listeners_;
};

// Lower-cases ASCII letters (control names and script words are ASCII).
std::string LowerAscii(std::string_view text);

}  // namespace orniva
