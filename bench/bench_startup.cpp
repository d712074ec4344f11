// Start-up to the first full paint of the main window on the demo database,
// next to a program that only shows an empty Qt main window of the same
// size: each started as a process of its own, timed from the start until it
// says that its window has painted, in turn, round after round.
//   xvfb-run -a bench_startup [ROUNDS]   (default 9; needs an X server)
// The program's side goes the way its main() goes: the application object,
// the data module connecting through the settings file, the main window of
// the demo administrator, shown.
#include "Application.h"
#include "BenchSupport.h"
#include "DataMod.h"
#include "KVSysMain.h"
#include "Program.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sqlite3.h>

namespace {

// Says "painted" once the window has painted the first time: the paint of
// the window and its children is one pass, and a zero timer runs after it.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                std::printf("painted\n");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, e);
    }

private:
    bool m_seen = false;
};

// An empty main window; with `label`, one line of text in it, so the
// fonts are looked up as for any window that shows text.
int runEmpty(int argc, char** argv, bool label)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1000, 680);
    if (label)
        window.setCentralWidget(new QLabel(QStringLiteral("Brellinghast System Tables"), &window));
    PaintWatch watch(&window);
    window.show();
    return app.exec();
}

int runProgram(int argc, char** argv)
{
    TApplication app(argc, argv);
    InitApplicationObject();
    DM = new TDM(&app);
    DM->DMCreate();
    auto form = std::make_unique<TMainForm>(QStringList{QStringLiteral("1")});
    PaintWatch watch(form.get());
    form->show();
    const int rc = app.exec();
    form.reset();
    return rc;
}

bool makeDemoDatabase(const QString& file)
{
    QByteArray sql;
    for (const char* name : {"schema.sql", "demo.sql"}) {
        QFile f(QStringLiteral(KV_SOURCE_DIR "/db/") + QLatin1String(name));
        if (!f.open(QIODevice::ReadOnly))
            return false;
        sql += f.readAll() + "\n";
    }
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &db);
    const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Milliseconds from starting the process to its "painted".
double timeChild(const QString& mode)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {mode});
    while (p.state() != QProcess::NotRunning || p.bytesAvailable() > 0) {
        p.waitForReadyRead(50);
        if (p.readAll().contains("painted")) {
            const double ms = t.nsecsElapsed() / 1e6;
            p.waitForFinished(5000);
            return ms;
        }
        if (p.state() == QProcess::NotRunning && p.bytesAvailable() == 0)
            break;
    }
    std::printf("%s did not paint: %s\n", qPrintable(mode), p.readAllStandardError().constData());
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--empty")
        return runEmpty(argc, argv, false);
    if (argc > 1 && QByteArray(argv[1]) == "--label")
        return runEmpty(argc, argv, true);
    if (argc > 1 && QByteArray(argv[1]) == "--program")
        return runProgram(argc, argv);

    QCoreApplication app(argc, argv);
    const int rounds = qMax(1, argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 9);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("needs an X server: run it as  xvfb-run -a bench_startup\n");
        return 1;
    }
    // The demo database and settings that connect to it without asking, in
    // a private settings folder for the children.
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("demo.db"));
    if (!makeDemoDatabase(db)) {
        std::printf("cannot make the demo database\n");
        return 1;
    }
    UseBenchSettings(dir.path(), db);  // the children's, named after this program
    std::vector<double> ours, theirs, text;
    for (int round = 0; round < rounds; ++round) {
        theirs.push_back(timeChild(QStringLiteral("--empty")));
        ours.push_back(timeChild(QStringLiteral("--program")));
        text.push_back(timeChild(QStringLiteral("--label")));
    }
    const double a = BenchMedian(ours), b = BenchMedian(theirs);
    std::printf("start-up to the first full paint, medians of %d rounds\n", rounds);
    std::printf("  kvsys main window (demo database):  %.1f ms\n", a);
    std::printf("  empty Qt main window:               %.1f ms\n", b);
    std::printf("  ratio:                              %.2f\n", a / b);
    std::printf("  (an empty main window with one line of text: %.1f ms)\n", BenchMedian(text));
    return 0;
}
