#pragma once
// Save dialogs that answer at once. The desktop's file chooser shows its
// button pressed for a quarter of a second before it acts on the keyboard,
// and its save dialog "presses" its button twice: once on Return, once more
// after it has checked the typed name. A confirmed name came back half a
// second late. AnswerAtOnce lets the chooser act on Return, and on its own
// confirmation, without those pauses; its checks (a typed folder opens, an
// existing file asks before it is replaced) stay as they are.
//
// Call it on a save dialog after construction and before ShowModal, and
// destroy the dialog when ShowModal returns (a pressed button still pending
// is then dropped with it). Main thread only.
class wxFileDialog;

namespace platform::ui {

void AnswerAtOnce(wxFileDialog& dialog);

}  // namespace platform::ui
