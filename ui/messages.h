// The window's two ways of reporting a problem: the error box (caption
// "VOKT", critical icon, OK) and the default beep.  Both go through
// replaceable function objects so tests can record them instead of blocking
// on a modal box.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace vokt::ui {

// The text shown for an error message: a "." is appended when the text ends
// in a character whose code is above that of "." (a letter, a digit, ...).
std::string ErrorDisplayText(const std::string& message);

using ErrorHook = std::function<void(const std::string& text)>;
using BeepHook = std::function<void()>;

// Installs a replacement (an empty function restores the default) and returns
// the previous one.
ErrorHook SetErrorHook(ErrorHook hook);
BeepHook SetBeepHook(BeepHook hook);

// Confirmation boxes (caption "VOKT"): Yes/No, or Yes/No/Cancel.
enum class Answer { Yes, No, Cancel };
using AskHook = std::function<Answer(const std::string& text, bool withCancel)>;
AskHook SetAskHook(AskHook hook);
Answer Ask(const std::string& text, bool withCancel);

// The save dialog: returns the chosen file name, or "" when cancelled.
// filter is the dialog's file-type list (Qt's "Name (*.ext);;..." form),
// empty for all files; the hook sees only the preset.
using SaveNameHook = std::function<std::string(const std::string& preset)>;
SaveNameHook SetSaveNameHook(SaveNameHook hook);
std::string AskSaveFileName(const std::string& preset, const std::string& filter = {});

// Shows message (after ErrorDisplayText) through the error hook.
void ShowErrorMessage(const std::string& message);
// Shows the message of any exception; unknown exceptions get a generic text.
void ShowException(const std::exception_ptr& e);
void Beep();

// Runs f and shows any exception it raises: the standard error display of
// every event handler.
template <class F>
void Guarded(F&& f) {
  try {
    f();
  } catch (...) {
    ShowException(std::current_exception());
  }
}

}  // namespace vokt::ui
