// SampleView: the sample page.  The sample is kept as numbers with the
// format they were drawn in (and random assignments as their lines); only the
// lines that are on the screen are turned into text.  A list view with
// uniform line heights shows them, lines can be selected and copied (Ctrl+C),
// and the page is written to a file without ever holding it as one text.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <cstdint>
#include <string>
#include <vector>

#include "numeric/checks.h"
#include "ui/sample.h"

class QIODevice;

namespace vokt::ui {

// The lines of the sample page: runs of drawn values, each with its format,
// and runs of ready-made text lines (assignments).
class SampleModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit SampleModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void AppendValues(std::vector<Real> values, const SampleFormat& format);
  void AppendLines(std::vector<std::string> lines);
  void Clear();

  // Every line has the same size (the view's uniform item size): as wide as
  // the widest line can be, from the character width the view sets.
  void SetMetrics(int charWidth, int lineHeight);
  int MaxChars() const { return maxChars_; }

  int64_t LineCount() const { return count_; }
  // Line i (0-based) as 8-bit text, the sample file's encoding.
  std::string LineText(int64_t i) const;
  // Appends line i and a line break (CR LF or LF) to out.
  void AppendLine(int64_t i, std::string& out, bool crlf) const;

 private:
  struct Run {
    int64_t first = 0;  // index of the run's first line
    bool text = false;  // lines rather than values
    SampleFormat format;
    std::vector<Real> values;
    std::vector<std::string> lines;
    int64_t size() const {
      return text ? static_cast<int64_t>(lines.size()) : static_cast<int64_t>(values.size());
    }
  };
  const Run& RunOf(int64_t i) const;

  std::vector<Run> runs_;
  int64_t count_ = 0;
  int maxChars_ = 1;
  int charWidth_ = 8, lineHeight_ = 16;
};

class SampleView : public QListView {
  Q_OBJECT
 public:
  explicit SampleView(QWidget* parent = nullptr);

  // Appends drawn values, written in the given format.
  void AppendValues(std::vector<Real> values, const SampleFormat& format);
  // Appends ready-made lines (random assignment).
  void AppendLines(std::vector<std::string> lines);
  void Clear();

  int64_t LineCount() const { return model_->LineCount(); }
  QString LineText(int64_t i) const;
  // Every line, joined by line feeds (no line feed after the last).
  QString Text() const;
  // The selected lines in order, joined by line feeds.
  QString SelectedText() const;
  // Puts the selected lines on the clipboard.
  void CopySelection() const;

  // Unsaved: set by the window when something is appended, cleared by a save.
  bool IsModified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  // Writes every line followed by CR LF.  False when the device refused a
  // write; the caller decides what happens to the partial file.
  bool WriteTo(QIODevice& out) const;

  SampleModel* Model() const { return model_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void UpdateMetrics();
  SampleModel* model_;
  bool modified_ = false;
};

}  // namespace vokt::ui
