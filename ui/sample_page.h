// The sample page: a random sample or a random assignment of subjects to
// groups, drawn through its dialogs, shown as a list, saved to a file.
#pragma once

#include <QWidget>
#include <functional>
#include <random>
#include <string>

#include "numeric/uniform.h"

class QDialog;

namespace vokt::ui {

class AssignDialog;
class Calculator;
class DrawDialog;
class LongRun;
class SampleView;

class SamplePage : public QWidget {
  Q_OBJECT
 public:
  SamplePage(Calculator& calc, LongRun& run, QWidget* parent = nullptr);

  SampleView* List = nullptr;
  DrawDialog* DrawDialogWindow = nullptr;
  AssignDialog* AssignDialogWindow = nullptr;
  // Runs a dialog modally; tests replace this to fill in and accept it.
  std::function<bool(QDialog&)> RunDialog;

  // The menu's commands.
  void Draw();
  void Assign();
  void Save();
  void Clear();
  // An unsaved sample: asks whether to save it first.  False when the user
  // cancels (or the save fails): what asked must stop.
  bool ConfirmDiscard();

 signals:
  // New lines are on the page: the window shows it, with hint as its tip.
  void Shown(const QString& hint);
  // The sample was cleared: the window hides the page.
  void Cleared();
  // The sample was saved under fileName.
  void Saved(const QString& fileName);

 private:
  void ShowLines(const QString& hint);

  Calculator& calc_;
  LongRun& run_;
  std::mt19937 random_;
  // The stream of unseeded draws, seeded from the clock when the page is made.
  RandomEngine draws_;
};

}  // namespace vokt::ui
