// Progress and cancellation of the long rank-test computations.  Both are
// parameters of a computation, not process-wide state: the caller passes a
// RankControl holding a stop token (cancelling) and a progress callback.
// The computations may run on a worker thread; the callback is then called
// on that thread and must hand the position on (the window queues it to the
// user-interface thread).
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>
#include <stop_token>

namespace vokt {

struct RankControl {
  std::stop_token Stop;                       // a requested stop ends the computation
  std::function<void(int percent)> Progress;  // 0..100; may be empty
};

// Thrown by a computation that saw its stop requested; nothing was changed.
class CancelledError : public std::runtime_error {
 public:
  CancelledError() : std::runtime_error("cancelled") {}
};

// The estimated cost of a rank-test build, known before it starts: work in
// elementary steps, memory in bytes, and the estimated time on a 2-core
// machine.  A build whose estimate is beyond the bounds is refused with
// "Numbers too large." before anything is allocated.
struct RankCost {
  double Steps = 0;
  double Bytes = 0;
  double Seconds() const { return Steps / kStepsPerSecond; }
  // Elementary steps per second of the dynamic programmes (measured,
  // conservatively rounded down).
  static constexpr double kStepsPerSecond = 2.5e8;
};

// Bounds for every rank-test build.
inline constexpr double kMaxRankBytes = 1.0e9;  // 1 GB
inline constexpr double kMaxRankSeconds = 60;   // estimated seconds
// Builds estimated to take longer than this show progress.
inline constexpr double kProgressSeconds = 0.2;

// Reports progress at most every few milliseconds and checks the stop token;
// Tick is cheap enough to call in inner loops every few thousand steps.
class RankTicker {
 public:
  explicit RankTicker(const RankControl* control) : control_(control) {}
  // Whether a stop was requested (safe from any thread; Tick is not).
  bool StopRequested() const { return control_ && control_->Stop.stop_requested(); }
  // done/total: the fraction reached; throws CancelledError on a requested stop.
  void Tick(double done, double total) {
    if (!control_) return;
    if (control_->Stop.stop_requested()) throw CancelledError();
    if (control_->Progress) {
      int p = total > 0 ? static_cast<int>(100.0 * done / total) : 0;
      if (p < 0) p = 0;
      if (p > 100) p = 100;
      if (p != last_) {
        last_ = p;
        control_->Progress(p);
      }
    }
  }

 private:
  const RankControl* control_;
  int last_ = -1;
};

}  // namespace vokt
