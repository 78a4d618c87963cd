// The main window's keyword search: the request, the watching of the transfer, and the words.

#include "mainwindow/mainwindow.h"

#include "dialogs/messagebox.h"
#include "dialogs/waitwindow.h"
#include "io/iofunc.h"
#include "io/replacementfile.h"
#include "search/httpclient.h"
#include "search/searchrequest.h"
#include "search/wordpipeline.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString MainWindow::replyFilePath() const
{
    return appDir + QDir::separator() + QStringLiteral("tmp.txt");
}

void MainWindow::search()
{
    const QString keyword = lineEditSearchTerm->text();
    if (keyword.isEmpty()) {
        MessageBox::information(this, tr("Information"), tr("Please enter a keyword first..."));
        return;
    }
    QString problem;
    const QUrl service = SearchRequest::serviceUrl(&problem);
    if (!service.isValid()) {
        MessageBox::critical(this, tr("Error"), problem);
        return;
    }
    // A transfer the user walked away from may still be running; its reply must not mix with
    // this one, nor its failure raise a box about this search.
    if (replyFile)
        endEarlierTransfer();
    progressHalted = false;

    replyFile = new ReplacementFile(replyFilePath());
    // Unbuffered, so that a write that fails (a full disk) fails the transfer at once instead
    // of being lost in a final flush.
    if (!replyFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qDebug("couldnt create file");
        ioFunc->reportCannotWrite(*replyFile);
        delete replyFile;
        replyFile = nullptr;
        return;
    }

    http->setHost(service.host(), quint16(service.port(80)));
    requestId =
        http->request(SearchRequest::header(service), SearchRequest::body(keyword), replyFile);

    waitWindow->ui.labelKeyword->setText(keyword);
    waitWindow->exec();
    // After Cancel the transfer goes on and its words are still shown when it ends, unless it
    // grows past the size of a page (see updateDataReadProgress).
    progressHalted = true;
}

// Ends a transfer quietly: nothing more is written, no error box follows, and the partial
// reply is not kept.
void MainWindow::endEarlierTransfer()
{
    http->discardAll();
    closeReplyFile(true);
}

bool MainWindow::closeReplyFile(bool removeFromDisk)
{
    if (!replyFile)
        return false;
    bool kept = false;
    if (removeFromDisk) {
        replyFile->discard();
        // The last reply goes too, but only the program's own file: a link in its place may
        // lead to a file of the user.
        const QFileInfo last(replyFile->targetName());
        if (last.isFile() && !last.isSymLink())
            QFile::remove(last.filePath());
    } else {
        kept = replyFile->commit();
        if (!kept)
            ioFunc->reportCannotWrite(*replyFile);
    }
    delete replyFile;
    replyFile = nullptr;
    return kept;
}

void MainWindow::httpRequestFinished(int finishedId, bool err)
{
    if (finishedId != requestId)
        return;
    if (http->state() == HttpClient::Unconnected && !err) {
        qDebug("Some Error in State:");
        qDebug("%s", qUtf8Printable(http->errorString()));
    }
    if (http->state() == HttpClient::Unconnected && err) {
        qDebug("Some Error in State/Connection:");
        qDebug("%s", qUtf8Printable(http->errorString()));
    }
    if (http->state() != HttpClient::Unconnected && !err)
        http->close();
}

void MainWindow::readResponseHeader(const HttpResponseHeader &responseHeader)
{
    qDebug("Server Response:%i", responseHeader.statusCode());
    if (responseHeader.statusCode() != 200) {
        progressHalted = true;
        http->abort();
    }
}

void MainWindow::updateDataReadProgress(int bytesRead, int totalBytes)
{
    if (progressHalted) {
        // A page of 200 words is some 40 KB. Past a megabyte after Cancel the reply is no page
        // the user still waits for, and nothing may keep filling the disk in the background.
        if (replyFile && bytesRead > LateReplyLimit)
            endEarlierTransfer();
        return;
    }
    waitWindow->ui.progressBar->setMaximum(totalBytes);
    waitWindow->ui.progressBar->setValue(bytesRead);
}

void MainWindow::requestStarted(int id)
{
    Q_UNUSED(id);
}

void MainWindow::requestFinished(int id, bool err)
{
    Q_UNUSED(id);
    if (err)
        qDebug("%s", qUtf8Printable(http->errorString()));
}

void MainWindow::done(bool err)
{
    if (err) {
        qDebug("%s", qUtf8Printable(http->errorString()));
        closeReplyFile(true);
        waitWindow->done(0);
        MessageBox::critical(
            this, tr("Error"),
            tr("An error occured..\nPlease check your internet connection and try again..."));
        return;
    }
    const bool kept = closeReplyFile(false);
    waitWindow->done(0);
    if (!kept)
        return;

    const QStringList found =
        WordPipeline::extractShownWords(ioFunc->readFile(replyFilePath(), QIODevice::ReadOnly));
    if (found.isEmpty()) {
        MessageBox::information(this, QStringLiteral("Information"),
                                QStringLiteral("No Keywords found..."));
        return;
    }

    WordPipeline::Settings settings;
    settings.filterSearchTerm = checkBoxFilterSearchTerm->isChecked();
    settings.filterDouble = checkBoxFilterDouble->isChecked();
    settings.includeCommonList = checkBoxBlacklist->isChecked();
    settings.keyword = lineEditSearchTerm->text();
    settings.quantity = spinBoxQuantity->value();
    settings.userBlacklist = textEditBlacklist->toPlainText();
    // Each pass asks for the list; a list of many megabytes is read once. One that gives
    // nothing is asked for again, so that a warning still comes once per pass.
    QString commonList;
    settings.readCommonList = [this, &commonList] {
        if (commonList.isEmpty())
            commonList = ioFunc->readFile(blacklistPath, QIODevice::ReadOnly);
        return commonList;
    };
    const WordPipeline::Result result =
        WordPipeline::process(found, textEditResults->toPlainText(), settings);
    lcdNumber->display(result.count);
    showWords(result.words);
}

// One batch, as plain text whatever a word looks like: a reply word is text, never markup.
void MainWindow::showWords(const QStringList &words)
{
    textEditResults->clear();
    const QString text = WordPipeline::resultText(words);
    if (!text.isEmpty())
        textEditResults->setPlainText(text);
}
