#pragma once

#include <QWidget>

#include <functional>

namespace TestSupport {

// Calls action with the next modal widget (dialog or message box) as soon as it is open.
// Arm it, then start whatever opens the modal; the action runs inside the modal's own event
// loop. After timeoutMs without a modal the action is dropped and modalSeen() stays false.
void whenModalOpens(std::function<void(QWidget *)> action, int timeoutMs = 10000);

// From now on, a modal that stays open with no action armed for it (an editor that reopens, a
// wait window whose reply never comes) is closed after a while with a warning, so that its test
// fails on what it checks instead of hanging. Safe to call more than once; needs a QApplication.
void watchForUnexpectedModals();

// Whether the last armed action has run.
bool modalSeen();

} // namespace TestSupport
