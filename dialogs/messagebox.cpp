#include "dialogs/messagebox.h"

#include <QMessageBox>

namespace {
MessageBox::Hook &hook()
{
    static MessageBox::Hook instance;
    return instance;
}
} // namespace

void MessageBox::information(QWidget *parent, const QString &title, const QString &text)
{
    show(Information, parent, title, text);
}

void MessageBox::warning(QWidget *parent, const QString &title, const QString &text)
{
    show(Warning, parent, title, text);
}

void MessageBox::critical(QWidget *parent, const QString &title, const QString &text)
{
    show(Critical, parent, title, text);
}

void MessageBox::setHook(Hook newHook)
{
    hook() = std::move(newHook);
}

void MessageBox::show(Kind kind, QWidget *parent, const QString &title, const QString &text)
{
    if (hook()) {
        hook()(kind, parent, title, text);
        return;
    }
    switch (kind) {
    case Information:
        QMessageBox::information(parent, title, text, QMessageBox::Ok, QMessageBox::NoButton);
        break;
    case Warning:
        QMessageBox::warning(parent, title, text, QMessageBox::Ok, QMessageBox::NoButton);
        break;
    case Critical:
        QMessageBox::critical(parent, title, text, QMessageBox::Ok, QMessageBox::NoButton);
        break;
    }
}
