// lexigrove-drawicons: paints the program's compiled-in icons and writes them as PNG files.
//
//   lexigrove-drawicons [output-folder]
//
// Without an argument the icons go to the img/ folder of the source tree.
#include "flagicons.h"
#include "icons.h"
#include "pngwriter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <functional>

namespace {

enum class Format
{
    Rgba,
    Rgb,
    Indexed2Bit
};

struct IconFile
{
    const char *name;
    std::function<QImage()> draw;
    Format format;
};

const IconFile iconFiles[] = {
    {"editcut.png", Icons::editCut, Format::Rgba},
    {"editcopy.png", Icons::editCopy, Format::Rgba},
    {"editpaste.png", Icons::editPaste, Format::Rgba},
    {"filenew.png", Icons::fileNew, Format::Rgba},
    {"exit.png", Icons::exit, Format::Rgba},
    {"help.png", Icons::help, Format::Rgba},
    {"search.png", Icons::search, Format::Rgba},
    {"filesaveas.png", Icons::fileSaveAs, Format::Rgba},
    {"filesave.png", Icons::fileSave, Format::Rgba},
    {"plugin.png", Icons::plugin, Format::Rgba},
    {"de.png", Icons::flagGermany, Format::Rgb},
    {"us.png", Icons::flagUnitedStates, Format::Indexed2Bit},
};

bool write(const IconFile &icon, const QString &path)
{
    const QImage image = icon.draw();
    switch (icon.format) {
    case Format::Rgba:
        return PngWriter::writeRgba(image, path);
    case Format::Rgb:
        return PngWriter::writeRgb(image, path);
    case Format::Indexed2Bit:
        return PngWriter::writeIndexed(image, FlagIcons::usPalette, 2, path);
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Painting needs no screen; keep the tool usable on a build machine without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws Lexigrove's icons as PNG files."));
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("Output folder (default: the source tree's img/)."));
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    const QDir folder(arguments.isEmpty() ? QStringLiteral(LEXIGROVE_IMG_DIR) : arguments.first());
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    int failures = 0;
    for (const IconFile &icon : iconFiles) {
        const QString path = folder.filePath(QString::fromLatin1(icon.name));
        if (write(icon, path)) {
            std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
