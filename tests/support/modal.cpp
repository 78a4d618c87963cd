#include "support/modal.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace TestSupport {

namespace {
bool seen = false;
// One armed action at a time: a modal that never came must not take the next test's modal.
QPointer<QTimer> armed;

// A modal that no action waits for would run its event loop for ever and hang the test (an
// editor that reopens after a failed save, a message box nobody expected). The watchdog closes
// such a modal after a while, so that the test goes on and fails on what it checks.
constexpr int unexpectedModalMs = 3000;
QPointer<QTimer> watchdog;

void disarm(QTimer *poll)
{
    if (armed == poll)
        armed = nullptr;
    poll->stop();
    poll->deleteLater();
}

void closeUnexpected(QWidget *modal)
{
    qWarning("A modal %s opened that the test did not expect; closed after %d ms",
             modal->metaObject()->className(), unexpectedModalMs);
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}

void startWatchdog()
{
    if (watchdog)
        return;
    watchdog = new QTimer(qApp);
    watchdog->setInterval(50);
    auto since = std::make_shared<QElapsedTimer>();
    auto last = std::make_shared<QPointer<QWidget>>();
    QObject::connect(watchdog, &QTimer::timeout, watchdog, [since, last] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || armed) {
            *last = nullptr;
        } else if (modal != *last) {
            *last = modal;
            since->start();
        } else if (since->elapsed() > unexpectedModalMs) {
            *last = nullptr;
            closeUnexpected(modal);
        }
    });
    watchdog->start();
}
} // namespace

void whenModalOpens(std::function<void(QWidget *)> action, int timeoutMs)
{
    startWatchdog();
    if (armed)
        disarm(armed);
    seen = false;
    auto *poll = new QTimer(qApp);
    armed = poll;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, action, timeoutMs] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            disarm(poll);
            seen = true;
            action(modal);
        } else if (clock->elapsed() > timeoutMs) {
            disarm(poll);
        }
    });
    poll->start();
}

bool modalSeen()
{
    return seen;
}

} // namespace TestSupport
