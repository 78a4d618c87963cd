#pragma once

#include "dialogs/messagebox.h"

#include <QList>
#include <QString>

namespace TestSupport {

// Answers every message box at once with OK and keeps what it would have shown.
class MessageRecorder
{
public:
    struct Message
    {
        MessageBox::Kind kind;
        QString title;
        QString text;
    };

    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    const QList<Message> &messages() const { return m_messages; }
    int count() const { return int(m_messages.size()); }
    Message last() const { return m_messages.value(m_messages.size() - 1); }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
};

} // namespace TestSupport
