// The main window's slots that open the blacklist editor and the About window.

#include "mainwindow/mainwindow.h"

#include "dialogs/formblacklist.h"
#include "dialogs/messagebox.h"
#include "io/iofunc.h"
#include "ui_aboutwindow.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>

namespace {
// The editor lays a list out as one paragraph: about half a second for 1 MB. Beyond this a text
// editor serves the user better than a window that seems frozen.
constexpr qint64 MaxEditableListBytes = 2 * 1024 * 1024;
// Short lists keep the box's usual wrapping at word boundaries.
constexpr qsizetype LongListChars = 16 * 1024;

bool refusedAsTooLarge(const QFileInfo &list)
{
    if (!list.isFile() || list.size() <= MaxEditableListBytes)
        return false;
    const QLocale locale;
    MessageBox::warning(nullptr, QCoreApplication::translate("MainWindow", "Warning"),
                        QCoreApplication::translate("MainWindow",
                                                    "The common list %1 is too large to edit "
                                                    "here (%2; the editor opens lists of up to "
                                                    "%3).")
                            .arg(list.filePath(), locale.formattedDataSize(list.size()),
                                 locale.formattedDataSize(MaxEditableListBytes)));
    return true;
}

void prepareForLongList(QTextEdit *box, const QString &text)
{
    if (text.size() <= LongListChars)
        return;
    // A list is one paragraph with few places to break between words: looking for them takes
    // time that grows with the square of its length (two minutes for 1 MB).
    box->setWordWrapMode(QTextOption::WrapAnywhere);
    // It needs the scroll bar anyway; shown from the start, it saves laying the whole list out
    // a second time when the bar would appear.
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}
} // namespace

bool MainWindow::buttonEdit()
{
    const QFileInfo list(blacklistPath);
    if (refusedAsTooLarge(list))
        return false;
    const QString text = ioFunc->readFile(blacklistPath, QIODevice::ReadOnly);
    // Only a missing list may start empty: OK must never replace one that could not be read.
    const bool read = !text.isNull();
    if (!read && list.exists())
        return false;

    // No parent: the editor is a window of its own, and modal for the whole program.
    FormBlacklist editor;
    prepareForLongList(editor.ui.textEditBlacklist, text);
    editor.ui.textEditBlacklist->setText(text);
    // A failed save brings the editor back with the user's text, to try again or copy it out.
    while (editor.exec() == QDialog::Accepted) {
        const QString edited = editor.ui.textEditBlacklist->toPlainText();
        // An unchanged list keeps its bytes, whatever encoding it was written in.
        if (read && edited == text)
            return true;
        if (ioFunc->writeFile(blacklistPath, edited, QIODevice::WriteOnly))
            return true;
    }
    return false;
}

void MainWindow::about()
{
    QDialog dialog(this);
    Ui_AboutWindow form;
    form.setupUi(&dialog);
    dialog.resize(dialog.size().expandedTo(dialog.minimumSizeHint()));
    dialog.exec();
}
