#include "support/messagerecorder.h"

namespace TestSupport {

MessageRecorder::MessageRecorder()
{
    MessageBox::setHook(
        [this](MessageBox::Kind kind, QWidget *, const QString &title, const QString &text) {
            m_messages.append({kind, title, text});
        });
}

MessageRecorder::~MessageRecorder()
{
    MessageBox::setHook({});
}

} // namespace TestSupport
