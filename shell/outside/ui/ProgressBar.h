#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace orv {

// Progress of a long run. On a terminal it redraws one status line, at most ten times a second;
// elsewhere it stays quiet until the final summary. A host with a status bar of its own derives
// from it and paints there, at the same pace.
class ProgressBar {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  ProgressBar(std::ostream& status, std::ostream& summary, bool live,
              Clock clock = &std::chrono::steady_clock::now);
  virtual ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Start(std::string caption, bool flag);
  void Show(std::string_view text);
  void End();
  void Summary(std::string_view text);

 protected:
  // A live bar that paints through the three members below; a derived destructor calls End().
  explicit ProgressBar(Clock clock);
  virtual void Paint(std::string_view caption, std::string_view text);
  // The run is over and the bar was painted at least once.
  virtual void Erase();
  virtual void Tell(std::string_view summary);

 private:
  void Draw();

  std::ostream* status_ = nullptr;
  std::ostream* summary_ = nullptr;
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
