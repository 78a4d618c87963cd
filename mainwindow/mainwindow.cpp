#include "mainwindow/mainwindow.h"

#include "app/publisher.h"
#include "dialogs/waitwindow.h"
#include "io/datadirectory.h"
#include "io/iofunc.h"
#include "io/replacementfile.h"
#include "search/httpclient.h"
#include "search/resultdocument.h"
#include "search/wordpipeline.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {
QSettings windowSettings()
{
    return QSettings(QString::fromLatin1(PublisherAddress), QStringLiteral("lexigrove"));
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setupUi(this);
    // Rich text pasted into the box must not load what it names.
    textEditResults->setDocument(new ResultDocument(textEditResults));
    // The form's own size is only a floor: large fonts must not cut widgets off.
    resize(size().expandedTo(minimumSizeHint()));
    http = new HttpClient(this);
    ioFunc = std::make_unique<IOFunc>();
    waitWindow = new WaitWindow(this);
    progressHalted = false;
    appDir = DataDirectory::resolve();

    connect(actionQuit, &QAction::triggered, this, &MainWindow::exit);
    connect(actionNew, &QAction::triggered, this, &MainWindow::actNew);
    connect(actionCopy, &QAction::triggered, this, &MainWindow::copy);
    connect(actionPaste, &QAction::triggered, this, &MainWindow::paste);
    connect(actionCut, &QAction::triggered, this, &MainWindow::cut);
    connect(buttonSearch, &QPushButton::clicked, this, &MainWindow::search);
    connect(buttonEdit2, &QPushButton::clicked, this, &MainWindow::buttonEdit);
    connect(actionAbout, &QAction::triggered, this, &MainWindow::about);
    connect(http, &HttpClient::requestFinished, this, &MainWindow::httpRequestFinished);
    connect(http, &HttpClient::dataReadProgress, this, &MainWindow::updateDataReadProgress);
    connect(http, &HttpClient::responseHeaderReceived, this, &MainWindow::readResponseHeader);
    connect(http, &HttpClient::requestStarted, this, &MainWindow::requestStarted);
    connect(http, &HttpClient::requestFinished, this, &MainWindow::requestFinished);
    connect(http, &HttpClient::done, this, &MainWindow::done);
    connect(textEditResults, &QTextEdit::textChanged, this, &MainWindow::textChanged);

    blacklistPath =
        QDir::cleanPath(appDir + QDir::separator() + DataDirectory::blacklistFileName());
    readSettings();
}

MainWindow::~MainWindow()
{
    // A transfer left running after Cancel must not write into a file object that is gone.
    http->discardAll();
    delete replyFile;
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    writeSettings();
    e->accept();
}

void MainWindow::exit()
{
    close();
}

void MainWindow::applyEdit(const std::function<void(QTextEdit *)> &onResults,
                           const std::function<void(QLineEdit *)> &onKeyword)
{
    if (textEditResults->hasFocus())
        onResults(textEditResults);
    else if (lineEditSearchTerm->hasFocus())
        onKeyword(lineEditSearchTerm);
}

void MainWindow::paste()
{
    applyEdit(&QTextEdit::paste, &QLineEdit::paste);
}

void MainWindow::copy()
{
    applyEdit(&QTextEdit::copy, &QLineEdit::copy);
}

void MainWindow::cut()
{
    applyEdit(&QTextEdit::cut, &QLineEdit::cut);
}

void MainWindow::actNew()
{
    textEditResults->clear();
    lineEditSearchTerm->clear();
}

void MainWindow::textChanged()
{
    lcdNumber->display(WordPipeline::lineCount(textEditResults->toPlainText()));
}

void MainWindow::readSettings()
{
    const QSettings settings = windowSettings();
    // Values of the wrong kind (a damaged or foreign store) count as missing.
    const QVariant pos = settings.value(QStringLiteral("pos"));
    const QVariant size = settings.value(QStringLiteral("size"));
    const QVariant state = settings.value(QStringLiteral("state"));

    QPoint where(200, 200);
    if (pos.typeId() == QMetaType::QPoint && QGuiApplication::screenAt(pos.toPoint()))
        where = pos.toPoint();
    QSize extent(400, 400);
    if (size.typeId() == QMetaType::QSize && size.toSize().isValid() && !size.toSize().isEmpty())
        extent = size.toSize();
    // A size stored on a larger screen must not push the window's controls off this one.
    if (const QScreen *screen = QGuiApplication::screenAt(where))
        extent = extent.boundedTo(screen->availableGeometry().size());
    move(where);
    resize(extent);
    if (state.typeId() == QMetaType::QByteArray)
        restoreState(state.toByteArray(), 0);
}

void MainWindow::writeSettings()
{
    QSettings settings = windowSettings();
    settings.setValue(QStringLiteral("pos"), pos());
    settings.setValue(QStringLiteral("size"), size());
    settings.setValue(QStringLiteral("state"), saveState(0));
}
