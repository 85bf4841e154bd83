#include "shell/outside/ui/ProgressBar.h"

namespace orv {
namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}

ProgressBar::ProgressBar(std::ostream& status, std::ostream& summary, bool live, Clock clock)
    : status_(&status), summary_(&summary), live_(live), clock_(std::move(clock)) {}

ProgressBar::ProgressBar(Clock clock) : live_(true), clock_(std::move(clock)) {}

ProgressBar::~ProgressBar() { End(); }

void ProgressBar::Start(std::string caption, bool /*flag*/) {
  caption_ = std::move(caption);
  text_.clear();
  started_ = true;
  drawn_ = false;
  pending_ = false;
}

void ProgressBar::Show(std::string_view text) {
  if (!started_) return;
  text_ = text;
  pending_ = true;
  if (!live_) return;
  auto now = clock_();
  if (drawn_ && now - last_draw_ < kRedrawInterval) return;
  last_draw_ = now;
  Draw();
}

void ProgressBar::Draw() {
  Paint(caption_, text_);
  drawn_ = true;
  pending_ = false;
}

void ProgressBar::Paint(std::string_view caption, std::string_view text) {
  *status_ << '\r' << caption;
  if (!text.empty()) *status_ << ": " << text;
  *status_ << "\x1b[K" << std::flush;
}

void ProgressBar::Erase() { *status_ << '\n' << std::flush; }

void ProgressBar::Tell(std::string_view summary) { *summary_ << summary << '\n' << std::flush; }

void ProgressBar::End() {
  if (!started_) return;
  if (live_) {
    if (pending_) Draw();
    if (drawn_) Erase();
  }
  started_ = false;
}

void ProgressBar::Summary(std::string_view text) { Tell(text); }

}  // namespace orv
