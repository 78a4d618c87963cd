#include "support/modal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

namespace TestSupport {

namespace {
bool seen = false;
// One armed action at a time: a modal that never came must not take the next test's modal.
QPointer<QTimer> armed;

void disarm(QTimer *poll)
{
    poll->stop();
    poll->deleteLater();
}
} // namespace

void whenModalOpens(std::function<void(QWidget *)> action, int timeoutMs)
{
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
