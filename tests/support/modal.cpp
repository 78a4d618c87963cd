#include "support/modal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace TestSupport {

namespace {
bool seen = false;
}

void whenModalOpens(std::function<void(QWidget *)> action, int timeoutMs)
{
    seen = false;
    auto *poll = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, action, timeoutMs] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            seen = true;
            action(modal);
        } else if (clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

bool modalSeen()
{
    return seen;
}

} // namespace TestSupport
