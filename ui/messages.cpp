#include "ui/messages.h"

#include <QApplication>
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
}  // namespace

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
