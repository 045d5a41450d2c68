// NumberEdit: the one-line edit used for every typed number.  An edit left
// empty shows the placeholder "...?", which is removed again when the edit
// receives the focus.  Parsing is the owner's business.
#pragma once

#include <QLineEdit>

namespace vokt::ui {

inline constexpr const char* kNumEditPlaceholder = "...?";

class NumberEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit NumberEdit(QWidget* parent = nullptr, int tag = 0);

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

 signals:
  // Emitted on focus-in before the placeholder is removed, and on focus-out
  // before the placeholder is written: the owner sees the text as it was.
  void Entered(vokt::ui::NumberEdit* sender);
  void Exited(vokt::ui::NumberEdit* sender);

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  int tag_;
};

}  // namespace vokt::ui
