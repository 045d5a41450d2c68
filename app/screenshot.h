// The screenshot tool: "vokt --screenshot FILE" renders the window as it
// opens into FILE (PNG) and exits, which also works on the offscreen
// platform.  "--hint ROW" adds the hint of that parameter row (0-based) as it
// shows when the mouse rests on the row, "--page N" shows page N (1 cdf, 2
// formulas), "--type NAME --params P1;P2" applies a distribution first,
// "--x VALUE" then computes at x, "--sample N" draws a sample of N values (4
// decimals) onto the sample page, "--size WxH" gives the window that size
// (900x560 without it),
// "--view two|between" chooses the tail view of the pdf page, "--b VALUE"
// places its second marker, "--alpha A" enters a significance level and
// "--refuse P" types a probability the window refuses into the left box (the
// status line then says why; the beep is expected).  A
// type that is not there or an error while applying ends the run with status
// 1 and no picture.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace vokt::ui {
class MainWindow;
}

namespace vokt::app {

struct ScreenshotOptions {
  QString file;  // empty: no screenshot, the window runs as ever
  int hintRow = -1;
  int page = 0;
  QString type;
  QStringList params;
  QString xValue;
  QString sample;
  QSize size;
  QString view, bValue, alpha;
  QString refuse;
};

// Reads the options above from the command line; "--help" and "--version"
// print and set exitCode (else it stays -1).
ScreenshotOptions ParseArguments(int argc, char** argv, int& exitCode);

// Sets the window up as the options say and schedules the picture, which
// ends the application's event loop.  False (with the reason printed) when
// the set-up failed: no picture is taken.
bool PrepareScreenshot(ui::MainWindow& form, const ScreenshotOptions& o);

}  // namespace vokt::app
