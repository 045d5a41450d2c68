// Progress reporting and cancellation of long enumerations.  The enumerations
// run on the user-interface thread; every so many evaluations they report how
// far they are and let pending window events through, so that a Cancel button
// can set CancelRequested.  The window implements the sink; the core knows
// only this interface.
#pragma once

namespace vokt {

// Set by the Cancel button (through the events processed by the sink), read
// by the enumerations.  False at start-up.
inline bool CancelRequested = false;

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

// Shows the busy cursor for its lifetime, so that every path out of a
// builder, errors included, restores the cursor.
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

// Enumerations with more configurations than this show a progress bar and a
// Cancel button; smaller ones run without them.
inline constexpr double kProgressThreshold = 500000;

}  // namespace vokt
