// Opening the common list in the blacklist editor, as the user waits for it: from the click to
// the editor laid out and painted, for lists of 100 KB, 1 MB and 2 MB (the largest it opens).
// A list is one long comma-separated paragraph, the layout's worst case.

#include "dialogs/formblacklist.h"
#include "mainwindow/mainwindow.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/tempenvironment.h"

#include <QApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {
QByteArray commaList(qsizetype bytes)
{
    QRandomGenerator random(1);
    QByteArray list;
    while (list.size() < bytes) {
        for (int letters = 4 + int(random.bounded(8)); letters > 0; --letters)
            list += char('a' + random.bounded(26));
        list += ',';
    }
    return list.left(bytes);
}
} // namespace

static void openEditor(benchmark::State &state)
{
    TestSupport::TempEnvironment env;
    TestSupport::MessageRecorder messages;
    TestSupport::writeBytes(env.dataDir() + QStringLiteral("/default_blacklist.txt"),
                            commaList(state.range(0) * 1024));
    MainWindow window;
    window.show();
    bool opened = true;
    for (auto _ : state) {
        TestSupport::whenModalOpens([](QWidget *editor) {
            editor->repaint();
            qobject_cast<FormBlacklist *>(editor)->reject();
        });
        QMetaObject::invokeMethod(&window, "buttonEdit");
        opened = opened && TestSupport::modalSeen();
    }
    if (!opened || messages.count() != 0)
        state.SkipWithError("the editor did not open");
}
BENCHMARK(openEditor)->Arg(100)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
