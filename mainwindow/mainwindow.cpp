#include "mainwindow/mainwindow.h"

#include "app/publisher.h"
#include "dialogs/messagebox.h"
#include "dialogs/waitwindow.h"
#include "io/datadirectory.h"
#include "io/iofunc.h"
#include "io/regularfile.h"
#include "io/replacementfile.h"
#include "search/httpclient.h"
#include "search/resultdocument.h"
#include "search/wordpipeline.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {
// The settings hold three small values; a file far beyond that is not this program's.
constexpr qint64 MaxSettingsBytes = 1024 * 1024;

QSettings windowSettings()
{
    return QSettings(QString::fromLatin1(PublisherAddress), QStringLiteral("lexigrove"));
}

// The files a settings object of the user reads: the program's, its lock file (read when it is
// left over), then its publisher's. Opening one to ask would read them, so a settings object of
// a format of its own, whose files do not exist, names the folder: such formats are kept where
// the native one is.
QStringList settingsFiles()
{
    static const QSettings::Format probeFormat = QSettings::registerFormat(
        QStringLiteral("lexigrove-probe"),
        [](QIODevice &, QSettings::SettingsMap &) { return false; },
        [](QIODevice &, const QSettings::SettingsMap &) { return false; });
    const QSettings probe(probeFormat, QSettings::UserScope, QString::fromLatin1(PublisherAddress),
                          QStringLiteral("lexigrove"));
    // Cleaned, as the folder of the program's own file may not exist.
    const QString folder = QFileInfo(probe.fileName()).path();
    const QString own = QDir::cleanPath(folder + QStringLiteral("/lexigrove.conf"));
    return {own, own + QStringLiteral(".lock"),
            QDir::cleanPath(folder + QStringLiteral("/../%1.conf").arg(PublisherAddress))};
}

// Why the settings must be left alone (a pipe would block the start for good, a huge file
// fill the memory), naming the file, or an empty string.
QString settingsRefusal()
{
    for (const QString &file : settingsFiles()) {
        if (!QFileInfo(file).exists() && !QFileInfo(file).isSymLink())
            continue;
        const QString why = RegularFile::refusal(file, MaxSettingsBytes);
        if (!why.isEmpty())
            return file + QStringLiteral(" (") + why + QLatin1Char(')');
    }
    return QString();
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
    const QString refusal = settingsRefusal();
    settingsUsable = refusal.isEmpty();
    if (!settingsUsable) {
        MessageBox::warning(nullptr, tr("Warning"),
                            tr("The window settings file %1 cannot be used, so the window starts "
                               "in its default place and the file is left as it is.")
                                .arg(refusal));
        placeWindow(QVariant(), QVariant());
        return;
    }
    const QSettings settings = windowSettings();
    // Values of the wrong kind (a damaged or foreign store) count as missing.
    const QVariant pos = settings.value(QStringLiteral("pos"));
    const QVariant size = settings.value(QStringLiteral("size"));
    const QVariant state = settings.value(QStringLiteral("state"));
    placeWindow(pos, size);
    if (state.typeId() == QMetaType::QByteArray)
        restoreState(state.toByteArray(), 0);
}

namespace {
// The rectangle with its size bounded by the area, moved in where it reaches past an edge.
QRect fitInto(QRect rect, const QRect &area)
{
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveRight(qMin(rect.right(), area.right()));
    rect.moveBottom(qMin(rect.bottom(), area.bottom()));
    rect.moveLeft(qMax(rect.left(), area.left()));
    rect.moveTop(qMax(rect.top(), area.top()));
    return rect;
}
} // namespace

// Where the window was, if that is on a screen, with the size it had, as far as the screen
// takes it; a window from a larger screen is moved until all of it is on this one.
void MainWindow::placeWindow(const QVariant &pos, const QVariant &size)
{
    QPoint where(200, 200);
    if (pos.typeId() == QMetaType::QPoint && QGuiApplication::screenAt(pos.toPoint()))
        where = pos.toPoint();
    QSize extent(400, 400);
    if (size.typeId() == QMetaType::QSize && size.toSize().isValid() && !size.toSize().isEmpty())
        extent = size.toSize();
    // The form does not shrink below its minimum, so that is what must fit.
    QRect placed(where, extent.expandedTo(minimumSizeHint()));
    const QScreen *screen = QGuiApplication::screenAt(where);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        placed = fitInto(placed, screen->availableGeometry());
    move(placed.topLeft());
    resize(placed.size());
}

bool MainWindow::event(QEvent *e)
{
    // The window manager's frame is known only once the window is up; its first activation
    // comes after that.
    if (e->type() == QEvent::WindowActivate && !frameChecked) {
        frameChecked = true;
        keepFrameOnScreen();
    }
    return QMainWindow::event(e);
}

// The placement counted the window without its frame: a title bar could still push the lower
// edge, and the buttons there, off a screen the window fills.
void MainWindow::keepFrameOnScreen()
{
    const QScreen *shown = screen();
    const QRect outer = frameGeometry();
    if (!shown || shown->availableGeometry().contains(outer))
        return;
    const QSize decoration = outer.size() - size();
    const QRect fitted = fitInto(outer, shown->availableGeometry());
    resize(fitted.size() - decoration);
    move(fitted.topLeft());
}

void MainWindow::writeSettings()
{
    // A file refused at the start stays as the user left it, and so does one that has become
    // odd since: writing reads the file first.
    if (!settingsUsable || !settingsRefusal().isEmpty())
        return;
    QSettings settings = windowSettings();
    settings.setValue(QStringLiteral("pos"), pos());
    settings.setValue(QStringLiteral("size"), size());
    settings.setValue(QStringLiteral("state"), saveState(0));
}
