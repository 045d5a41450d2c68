#include "ui/messages.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <new>
#include <stdexcept>

namespace vokt::ui {

namespace {
ErrorHook& ErrorHookRef() {
  static ErrorHook hook;
  return hook;
}
BeepHook& BeepHookRef() {
  static BeepHook hook;
  return hook;
}
AskHook& AskHookRef() {
  static AskHook hook;
  return hook;
}
SaveNameHook& SaveNameHookRef() {
  static SaveNameHook hook;
  return hook;
}
}  // namespace

AskHook SetAskHook(AskHook hook) {
  AskHook old = std::move(AskHookRef());
  AskHookRef() = std::move(hook);
  return old;
}

Answer Ask(const std::string& text, bool withCancel) {
  if (AskHookRef()) return AskHookRef()(text, withCancel);
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  const auto r = QMessageBox::question(QApplication::activeWindow(), QStringLiteral("VOKT"),
                                       QString::fromStdString(text), buttons);
  if (r == QMessageBox::Yes) return Answer::Yes;
  if (r == QMessageBox::No) return Answer::No;
  return withCancel ? Answer::Cancel : Answer::No;
}

SaveNameHook SetSaveNameHook(SaveNameHook hook) {
  SaveNameHook old = std::move(SaveNameHookRef());
  SaveNameHookRef() = std::move(hook);
  return old;
}

namespace {
// The extension of the first pattern of a name filter: "PNG image (*.png)"
// gives "png".
QString FilterSuffix(const QString& nameFilter) {
  const int dot = nameFilter.indexOf(QLatin1String("*."));
  if (dot < 0) return QString();
  QString suffix = nameFilter.mid(dot + 2);
  const int end = suffix.indexOf(QRegularExpression(QStringLiteral("[ )]")));
  return end < 0 ? suffix : suffix.left(end);
}
}  // namespace

std::string AskSaveFileName(const std::string& preset, const std::string& filter) {
  if (SaveNameHookRef()) return SaveNameHookRef()(preset);
  // The overwrite question is the program's own (with the file name).
  if (filter.empty())
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(),
                                        QString::fromStdString(preset), QString(), nullptr,
                                        QFileDialog::DontConfirmOverwrite)
        .toStdString();
  // With file types: a name typed without an extension gets the one of the
  // type chosen in the dialog.
  QFileDialog dialog(QApplication::activeWindow(), QString(), QString::fromStdString(preset));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilter(QString::fromStdString(filter));
  dialog.setDefaultSuffix(FilterSuffix(dialog.selectedNameFilter()));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& f) { dialog.setDefaultSuffix(FilterSuffix(f)); });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}

std::string ErrorDisplayText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

ErrorHook SetErrorHook(ErrorHook hook) {
  ErrorHook old = std::move(ErrorHookRef());
  ErrorHookRef() = std::move(hook);
  return old;
}

BeepHook SetBeepHook(BeepHook hook) {
  BeepHook old = std::move(BeepHookRef());
  BeepHookRef() = std::move(hook);
  return old;
}

void ShowErrorMessage(const std::string& message) {
  const std::string text = ErrorDisplayText(message);
  if (ErrorHookRef()) {
    ErrorHookRef()(text);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QStringLiteral("VOKT"), QString::fromStdString(text),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

void ShowException(const std::exception_ptr& e) {
  try {
    std::rethrow_exception(e);
  } catch (const std::bad_alloc&) {
    ShowErrorMessage("Not enough memory available.");
  } catch (const std::exception& ex) {
    ShowErrorMessage(ex.what());
  } catch (...) {
    ShowErrorMessage("Unexpected error");
  }
}

void Beep() {
  if (BeepHookRef())
    BeepHookRef()();
  else
    QApplication::beep();
}

}  // namespace vokt::ui
