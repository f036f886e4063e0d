#include "ui/window.h"

#include "ui/application.h"

namespace orniva {

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

Window::Window(Application& app, std::string name, std::string caption)
    : app_(&app), name_(std::move(name)), caption_(std::move(caption)) {
  app.Register(*this);
}

Window::~Window() {
  app_->Unregister(*this);
}

EventLoop& Window::Loop() const {
  return app_->Loop();
}

void Window::Register(Control& control) {
  controls_.push_back(&control);
  byName_[LowerAscii(control.Name())] = &control;
}

Control* Window::Find(std::string_view name) const {
  auto it = byName_.find(LowerAscii(name));
  return it == byName_.end() ? nullptr : it->second;
}

std::vector<Control*> Window::Children(const Control* parent) const {
  std::vector<Control*> out;
  for (Control* c : controls_) {
    if (c->ParentControl() == parent) out.push_back(c);
  }
  return out;
}

void Window::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify();
}

void Window::SetBounds(Bounds b) {
  if (b == bounds_) return;
  bounds_ = b;
  Notify();
}

void Window::Show() {
  if (visible_) return;
  visible_ = true;
  Notify();
  if (OnShow) OnShow();
}

void Window::Hide() {
  if (!visible_) return;
  visible_ = false;
  Notify();
  if (OnHide) OnHide();
}

void Window::ShowOnScreen() {
  if (state_ == WindowState::Minimized) state_ = WindowState::Normal;
  SetBounds(BoundsOnScreen(bounds_, app_->ScreenWidth(), app_->ScreenHeight()));
  Show();
  Notify();
}

void Window::SetState(WindowState state) {
  if (state == state_) return;
  state_ = state;
  Notify();
}

bool Window::Close() {
  if (OnCloseQuery && !OnCloseQuery()) return false;
  if (OnClose) OnClose();
  Hide();
  return true;
}

int Window::Subscribe(std::function<void()> listener) {
  int token = nextToken_++;
  listeners_[token] = std::move(listener);
  return token;
}

void Window::Unsubscribe(int token) {
  listeners_.erase(token);
}

void Window::Notify() {
  auto copy = listeners_;
  for (auto& [token, fn] : copy) fn();
}

}  // namespace orniva
