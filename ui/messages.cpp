#include "ui/messages.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
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

std::string AskSaveFileName(const std::string& preset) {
  if (SaveNameHookRef()) return SaveNameHookRef()(preset);
  // The overwrite question is the program's own (with the file name).
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), QString::fromStdString(preset),
                                      QString(), nullptr, QFileDialog::DontConfirmOverwrite)
      .toStdString();
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

void ShowException(std::exception_ptr e) {
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
