#pragma once

#include <QWidget>

#include <functional>

namespace TestSupport {

// Calls action with the next modal widget (dialog or message box) as soon as it is open.
// Arm it, then start whatever opens the modal; the action runs inside the modal's own event
// loop. After timeoutMs without a modal the action is dropped and modalSeen() stays false.
void whenModalOpens(std::function<void(QWidget *)> action, int timeoutMs = 10000);

// Whether the last armed action has run.
bool modalSeen();

} // namespace TestSupport
