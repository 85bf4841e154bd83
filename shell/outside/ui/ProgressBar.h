#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace orv {

// Progress of a long run. On a terminal it redraws one status line, at most ten times a second;
// elsewhere it stays quiet until the final summary.
class ProgressBar {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  ProgressBar(std::ostream& status, std::ostream& summary, bool live,
              Clock clock = &std::chrono::steady_clock::now);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Start(std::string caption, bool flag);
  void Show(std::string_view text);
  void End();
  void Summary(std::string_view text);

 private:
  void Draw();

  std::ostream& status_;
  std::ostream& summary_;
  bool live_;
  Clock clock_;
  std::string caption_;
  std::string text_;
  bool started_ = false;
  bool drawn_ = false;
  bool pending_ = false;
  std::chrono::steady_clock::time_point last_draw_{};
};

}  // namespace orv
