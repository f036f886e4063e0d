#pragma once

#include <functional>
#include <map>
#include <string>

namespace orniva {

class Window;
class Control;

enum class ControlKind {
  Button,
  CheckBox,
  RadioButton,
  SpeedButton,
  Label,
  Edit,
  NumEdit,
  SpinEdit,
  ComboBox,
  Memo,
  ScrollBar,
  TrackBar,
  Panel,
  GroupBox,
  PageControl,
  TabSheet,
  StringGrid,
  MenuItem,
  Timer,
  Picture
};
const char* ControlKindName(ControlKind kind);

// Where a control is created: directly on a window, or inside a container
// control (group box, panel, tab sheet) of that window.
struct Parent {
  Parent(Window& w) : window(&w) {}  // NOLINT: implicit by design
  Parent(Control& c);                // NOLINT
  Window* window;
  Control* control = nullptr;
};

// One control of a window: its name (the settings and language key stem),
// caption, hint, enabled and visible state, and a change notification that
// views subscribe to. Controls are members of their window class and are
// neither copied nor moved; the window finds them by name.
class Control {
 public:
  Control(Parent parent, ControlKind kind, std::string name, std::string caption = {});
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  ControlKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  Window& Owner() const { return *owner_; }
  Control* ParentControl() const { return parent_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Views subscribe to hear of any change of state; the token unsubscribes.
  int Subscribe(std::function<void()> listener);
  void Unsubscribe(int token);
  // Tells the subscribers that something changed (repaint, new value).
  void NotifyChanged();

 private:
  ControlKind kind_;
  std::string name_;
  Window* owner_;
  Control* parent_;
  std::string caption_;
  std::string hint_;
  bool enabled_ = true;
  bool visible_ = true;
  int nextToken_ = 1;
  std::map<int, std::function<void()>> listeners_;
};

}  // namespace orniva
