#include "ui/sample_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QIODevice>
#include <QKeyEvent>
#include <QKeySequence>
#include <algorithm>
#include <cmath>

namespace vokt::ui {

namespace {
// The sample page never holds more lines than a draw may make plus the
// assignments; the model's row count is an int.
constexpr int64_t kMaxLines = 2147483647;
}  // namespace

SampleModel::SampleModel(QObject* parent) : QAbstractListModel(parent) {}

int SampleModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::min(count_, kMaxLines));
}

QVariant SampleModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count_) return {};
  if (role == Qt::SizeHintRole) return QSize(maxChars_ * charWidth_ + 8, lineHeight_);
  if (role != Qt::DisplayRole) return {};
  return QString::fromLatin1(LineText(index.row()));
}

void SampleModel::SetMetrics(int charWidth, int lineHeight) {
  charWidth_ = std::max(1, charWidth);
  lineHeight_ = std::max(1, lineHeight);
}

const SampleModel::Run& SampleModel::RunOf(int64_t i) const {
  // The last run whose first line is at or before i.
  auto it = std::upper_bound(runs_.begin(), runs_.end(), i,
                             [](int64_t v, const Run& r) { return v < r.first; });
  return *(it - 1);
}

std::string SampleModel::LineText(int64_t i) const {
  if (i < 0 || i >= count_) return {};
  const Run& r = RunOf(i);
  const auto k = static_cast<size_t>(i - r.first);
  return r.text ? r.lines[k] : FormatSampleValue(r.values[k], r.format);
}

void SampleModel::AppendLine(int64_t i, std::string& out, bool crlf) const {
  out += LineText(i);
  if (crlf) out += '\r';
  out += '\n';
}

void SampleModel::AppendValues(std::vector<Real> values, const SampleFormat& format) {
  if (values.empty()) return;
  const auto n = static_cast<int64_t>(values.size());
  if (count_ + n > kMaxLines) throw RangeError();
  // The widest line of these values: the largest magnitude written out,
  // with room for a sign.
  Real largest = 0;
  for (Real v : values) largest = std::max(largest, std::fabs(v));
  maxChars_ = std::max(maxChars_, static_cast<int>(FormatSampleValue(largest, format).size()) + 1);
  beginInsertRows(QModelIndex(), static_cast<int>(count_), static_cast<int>(count_ + n - 1));
  Run r;
  r.first = count_;
  r.format = format;
  r.values = std::move(values);
  runs_.push_back(std::move(r));
  count_ += n;
  endInsertRows();
}

void SampleModel::AppendLines(std::vector<std::string> lines) {
  if (lines.empty()) return;
  const auto n = static_cast<int64_t>(lines.size());
  if (count_ + n > kMaxLines) throw RangeError();
  for (const std::string& l : lines)
    maxChars_ = std::max(maxChars_, static_cast<int>(std::min<size_t>(l.size(), 4096)));
  beginInsertRows(QModelIndex(), static_cast<int>(count_), static_cast<int>(count_ + n - 1));
  Run r;
  r.first = count_;
  r.text = true;
  r.lines = std::move(lines);
  runs_.push_back(std::move(r));
  count_ += n;
  endInsertRows();
}

void SampleModel::Clear() {
  beginResetModel();
  runs_.clear();
  runs_.shrink_to_fit();
  count_ = 0;
  maxChars_ = 1;
  endResetModel();
}

// ---------------------------------------------------------------------------

SampleView::SampleView(QWidget* parent) : QListView(parent), model_(new SampleModel(this)) {
  setModel(model_);
  // One height for every line: the view lays out a million lines without
  // asking for each one's size, and formats only those it paints.
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setTextElideMode(Qt::ElideNone);
  setWordWrap(false);
  UpdateMetrics();
}

void SampleView::UpdateMetrics() {
  // The widest of the characters a line can hold, so a proportional
  // fallback font still fits.
  const QFontMetrics fm(font());
  int w = 1;
  for (QChar c : QStringLiteral("0123456789-+.,E ")) w = std::max(w, fm.horizontalAdvance(c));
  model_->SetMetrics(w, fm.lineSpacing());
  doItemsLayout();
}

void SampleView::changeEvent(QEvent* e) {
  QListView::changeEvent(e);
  if (e->type() == QEvent::FontChange) UpdateMetrics();
}

void SampleView::AppendValues(std::vector<Real> values, const SampleFormat& format) {
  const int before = model_->MaxChars();
  model_->AppendValues(std::move(values), format);
  // A wider line than before: the uniform line size is measured again.
  if (model_->MaxChars() != before) doItemsLayout();
}

void SampleView::AppendLines(std::vector<std::string> lines) {
  const int before = model_->MaxChars();
  model_->AppendLines(std::move(lines));
  if (model_->MaxChars() != before) doItemsLayout();
}

void SampleView::Clear() {
  model_->Clear();
  modified_ = false;
}

QString SampleView::LineText(int64_t i) const { return QString::fromLatin1(model_->LineText(i)); }

QString SampleView::Text() const {
  std::string s;
  for (int64_t i = 0; i < model_->LineCount(); ++i) model_->AppendLine(i, s, false);
  if (!s.empty()) s.pop_back();
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QString SampleView::SelectedText() const {
  // The selection as sorted, merged row intervals: selecting all of a
  // million lines is one range, never a million indexes.
  std::vector<std::pair<int64_t, int64_t>> ranges;
  for (const QItemSelectionRange& r : selectionModel()->selection())
    ranges.emplace_back(r.top(), r.bottom());
  std::sort(ranges.begin(), ranges.end());
  std::string s;
  int64_t next = 0;  // first row not yet written
  for (const auto& [top, bottom] : ranges) {
    for (int64_t i = std::max(top, next); i <= bottom; ++i) model_->AppendLine(i, s, false);
    next = std::max(next, bottom + 1);
  }
  if (!s.empty()) s.pop_back();
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

void SampleView::CopySelection() const {
  const QString text = SelectedText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

bool SampleView::WriteTo(QIODevice& out) const {
  std::string buffer;
  buffer.reserve((1 << 16) + 64);
  const int64_t n = model_->LineCount();
  for (int64_t i = 0; i < n; ++i) {
    model_->AppendLine(i, buffer, true);
    if (buffer.size() >= (1 << 16) || i + 1 == n) {
      if (out.write(buffer.data(), static_cast<qint64>(buffer.size())) !=
          static_cast<qint64>(buffer.size()))
        return false;
      buffer.clear();
    }
  }
  return true;
}

void SampleView::keyPressEvent(QKeyEvent* e) {
  if (e == QKeySequence::Copy) {
    CopySelection();
    e->accept();
    return;
  }
  QListView::keyPressEvent(e);
}

}  // namespace vokt::ui
