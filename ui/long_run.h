// Long computations of the window: a rank-test table counted on a worker
// thread, a large sample drawn in batches.  While one runs, the window is
// locked but for Cancel, and the progress bar shows when it takes long.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

#include "distrib/kruskal_friedman.h"

class QProgressBar;
class QPushButton;
class QWidget;

namespace vokt::ui {

// Progress of a long run on the user-interface thread, which lets pending
// events through between its batches.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // Position of the progress indicator, 0 to 100.
  virtual void SetPosition(int percent) = 0;
  // Lets pending user-interface events through (a click on Cancel).
  virtual void ProcessEvents() = 0;
  // Shows the busy cursor (true) or restores the previous one (false).
  virtual void SetBusy(bool busy) = 0;
};

// Shows the busy cursor for its lifetime.
class BusyScope {
 public:
  explicit BusyScope(ProgressSink* sink) : sink_(sink) {
    if (sink_) sink_->SetBusy(true);
  }
  ~BusyScope() {
    if (sink_) sink_->SetBusy(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  ProgressSink* sink_;
};

class LongRun : public QObject, public ProgressSink {
  Q_OBJECT
 public:
  // locked: the controls disabled while a run goes on.
  LongRun(QObject* parent, QProgressBar* bar, QPushButton* cancel, std::vector<QWidget*> locked);

  // Runs build with the window locked; with showProgress the progress bar
  // and Cancel show, and build gets this object as its sink (else null).
  void Run(bool showProgress, const std::function<void(ProgressSink*)>& build);
  // Runs work on a worker thread while the window stays responsive and
  // locked (only Cancel works).  False when it was cancelled; errors are
  // raised.
  bool RunOnWorker(bool showProgress, const std::function<void(const RankControl&)>& work);
  // A rank-test computation on the worker: its result (a table, counts), or
  // nothing when cancelled.
  template <class Compute>
  auto RunRankBuild(bool showProgress, Compute&& compute)
      -> std::optional<std::invoke_result_t<Compute, const RankControl&>> {
    std::optional<std::invoke_result_t<Compute, const RankControl&>> result;
    if (!RunOnWorker(showProgress, [&](const RankControl& c) { result = compute(c); }))
      result.reset();
    return result;
  }

  // Cancel: stops the running computation.
  void Cancel();
  // Set by Cancel; cleared when a sample draw starts.
  bool Cancelled = false;
  bool Running() const { return running_; }

  // ProgressSink
  void SetPosition(int percent) override;
  void ProcessEvents() override;
  void SetBusy(bool busy) override;

 private:
  QProgressBar* bar_;
  QPushButton* cancel_;
  std::vector<QWidget*> locked_;
  std::function<void()> cancelRun_;
  bool running_ = false;
};

}  // namespace vokt::ui
