#include "ui/long_run.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <stop_token>
#include <thread>

namespace vokt::ui {

LongRun::LongRun(QObject* parent, QProgressBar* bar, QPushButton* cancel,
                 std::vector<QWidget*> locked)
    : QObject(parent), bar_(bar), cancel_(cancel), locked_(std::move(locked)) {}

void LongRun::SetPosition(int percent) { bar_->setValue(std::clamp(percent, 0, 100)); }

void LongRun::ProcessEvents() { QApplication::processEvents(); }

void LongRun::SetBusy(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void LongRun::Cancel() {
  Cancelled = true;
  if (cancelRun_) cancelRun_();
}

void LongRun::Run(bool showProgress, const std::function<void(ProgressSink*)>& build) {
  // Pending events are let through while the run goes on: everything but
  // Cancel is locked, so no second press or type change can start.
  struct Lock {
    LongRun& r;
    Lock(LongRun& run, bool progress) : r(run) {
      r.running_ = true;
      for (QWidget* w : r.locked_) w->setEnabled(false);
      if (progress) {
        r.bar_->setValue(0);
        r.bar_->show();
        r.bar_->raise();
        r.cancel_->show();
        r.cancel_->raise();
      }
    }
    ~Lock() {
      r.bar_->hide();
      r.cancel_->hide();
      for (QWidget* w : r.locked_) w->setEnabled(true);
      r.running_ = false;
    }
  } lock(*this, showProgress);
  build(showProgress ? static_cast<ProgressSink*>(this) : nullptr);
}

bool LongRun::RunOnWorker(bool showProgress, const std::function<void(const RankControl&)>& work) {
  // A local event loop keeps the window painting and movable while the
  // worker counts.  The worker reports through queued calls and ends the
  // loop with one.
  bool finished = false;
  Run(showProgress, [&](ProgressSink* sink) {
    BusyScope busy(this);
    std::stop_source stop;
    RankControl control;
    control.Stop = stop.get_token();
    QPointer<LongRun> self(this);
    if (sink)
      control.Progress = [self](int percent) {
        QMetaObject::invokeMethod(
            self,
            [self, percent] {
              if (self) self->SetPosition(percent);
            },
            Qt::QueuedConnection);
      };
    cancelRun_ = [&stop] { stop.request_stop(); };
    QEventLoop loop;
    std::exception_ptr error;
    {
      std::jthread worker([&] {
        try {
          work(control);
          finished = true;
        } catch (const CancelledError&) {
          finished = false;
        } catch (...) {
          error = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
      });
      loop.exec();
    }  // joins the worker, which has finished
    cancelRun_ = nullptr;
    if (error) std::rethrow_exception(error);
  });
  return finished;
}

}  // namespace vokt::ui
