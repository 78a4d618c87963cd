#pragma once

#include <QString>

#include <functional>

class QWidget;

// The program's message boxes: one OK button, no default button. Tests replace the box with a
// scripted answer, so that no nested event loop waits for a click that never comes.
class MessageBox
{
public:
    enum Kind
    {
        Information,
        Warning,
        Critical
    };

    using Hook =
        std::function<void(Kind kind, QWidget *parent, const QString &title, const QString &text)>;

    static void information(QWidget *parent, const QString &title, const QString &text);
    static void warning(QWidget *parent, const QString &title, const QString &text);
    static void critical(QWidget *parent, const QString &title, const QString &text);

    // With a hook set, boxes are handed to it instead of being shown. An empty hook restores
    // the real boxes.
    static void setHook(Hook hook);

private:
    static void show(Kind kind, QWidget *parent, const QString &title, const QString &text);
};
