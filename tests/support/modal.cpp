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

// Longer than any modal stays open in a passing test without an action armed for it.
constexpr int unexpectedModalMs = 10000;
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

} // namespace

void watchForUnexpectedModals()
{
    if (watchdog || !qobject_cast<QApplication *>(QCoreApplication::instance()))
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

void whenModalOpens(std::function<void(QWidget *)> action, int timeoutMs)
{
    watchForUnexpectedModals();
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
