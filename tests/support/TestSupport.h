#pragma once
// Shared test scaffolding: a private settings folder, a fixed locale and
// clock, the desktop font at a chosen size, a recorder that answers message
// boxes, and fresh SQLite databases made from db/schema.sql.
#include "Application.h"
#include "DB.h"
#include "Dialogs.h"
#include <QApplication>
#include <QFont>
#include <QList>
#include <QProcess>
#include <QString>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>

namespace kvtest {

// Before the application object: headless platform, a private
// XDG_CONFIG_HOME, no system ODBC files.
void InitEnvironment();
// Between InitEnvironment and the application object: the headless
// platform shows one screen of 1366 by 768 pixels, a laptop's (by itself it
// shows 800 by 800). Pixels of the screen, not of the windows: with
// QT_SCALE_FACTOR=1.25 the windows see it as a desktop scaled to 125 % does.
void LaptopScreen();
// After it: day-first English regional settings, the clock fixed at
// 5 March 2026 14:07:09, every message box answered by the recorder.
void InitApplication();

// Drops the headless platform's notices about what it cannot do (raise a
// window, size hints). Call from initTestCase: Qt Test installs its own
// message handler when the run starts, and this goes on top of it.
void QuietHeadlessNotices();

QString SourcePath(const QString& relative);  // inside the source tree
QString ConfigFolder();                        // the private XDG_CONFIG_HOME

// The program's font is DejaVu Sans of `points` for as long as the object
// lives (windows made meanwhile take it), as a desktop set to that size.
class ApplicationFont {
public:
    explicit ApplicationFont(int points) : m_saved(QApplication::font())
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ~ApplicationFont() { QApplication::setFont(m_saved); }
    ApplicationFont(const ApplicationFont&) = delete;
    ApplicationFont& operator=(const ApplicationFont&) = delete;

private:
    QFont m_saved;
};

// The desktop font sizes every window is read at: the default and larger.
inline const int kFontPoints[] = {9, 10, 11, 12};

// Answers message boxes and keeps them. Answers given with Answer() are used
// in order; without one, the box's OK, else Yes, else its first button.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    void Answer(int modalResult) { m_answers.push_back(modalResult); }
    const QList<TMessageBox>& Boxes() const { return m_boxes; }
    QStringList Texts() const;
    int Count() const { return int(m_boxes.size()); }
    void Clear() { m_boxes.clear(); }

private:
    int answer(const TMessageBox& box);
    QList<TMessageBox> m_boxes;
    std::deque<int> m_answers;
    MessageHandler m_previous;
};

// Runs SQL (several statements) on a SQLite file with the engine directly.
void ExecSqliteScript(const QString& file, const QString& sql);
// Runs one query on the file and returns the first column of every row as
// text ("NULL" for null), rows joined with "|" per column: test checks.
QStringList SqliteRows(const QString& file, const QString& sql);

// An ODBC data source name, in private odbc.ini and odbcinst.ini files in
// `folder`, that leads to the SQLite file through the SQLite ODBC driver.
// False when the driver or Qt's ODBC plugin is not installed.
bool DefineSqliteOdbcDsn(const QString& folder, const QString& dsn, const QString& file);

// A fresh database file with the program's schema, and the connection
// component "dbKVdata" (the program's kDatabaseName) on it.
class TestDatabase {
public:
    explicit TestDatabase(bool withSchema = true, const QString& databaseName = QStringLiteral("dbKVdata"));
    ~TestDatabase();
    const QString& File() const { return m_file; }
    TDatabase* Db() const { return m_db.get(); }
    void Exec(const QString& sql) const { ExecSqliteScript(m_file, sql); }
    QStringList Rows(const QString& sql) const { return SqliteRows(m_file, sql); }
    QString Value(const QString& sql) const;
    // The audit rows, oldest first, as "user|action|table|table id|field|
    // old|new" with old and new as SQL literals ('text' or NULL).
    QStringList AuditRows() const;

private:
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/kvdb-XXXXXX")};
    QString m_file;
    std::unique_ptr<TDatabase> m_db;
};

// Makes a folder and the files in it read-only for the rest of the scope.
// Run as root, the file system lets every write through whatever the mode
// bits say; the program's writability probe is then told instead, so it
// still takes its read-only paths (and the engine still opens read-only).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    static bool RunningAsRoot();

private:
    QString m_folder;
    bool m_probed = false;
};

// An ODBC data source name leading to a SQLite file through the SQLite ODBC
// driver, defined in a private odbc.ini for as long as the object lives.
// Available() is false where the driver or Qt's ODBC plugin is missing.
class OdbcDataSource {
public:
    OdbcDataSource(const QString& dsn, const QString& file);
    bool Available() const { return m_available; }
    // The connection component on it, connected, named `databaseName`.
    std::unique_ptr<TDatabase> Connect(const QString& databaseName) const;

private:
    QString m_dsn;
    QTemporaryDir m_dir;
    bool m_available = false;
};

// A disk with no room left, for writes that fail for want of it. The test
// program makes a small file system of its own when it starts (a tmpfs in a
// private mount namespace, inside a user namespace of its own when it may
// not mount otherwise): while a FullDisk lives, a filler file takes all its
// room and every write that needs more fails with "No space left on device".
// Where namespaces are not permitted the folder is an ordinary one and the
// file size limit is lowered to nothing instead, so every write that would
// grow a file fails with "File too large". Either way the failure comes from
// the system, through the real write and flush of the code under test.
class FullDisk {
public:
    // The program's very first step (KV_TEST_MAIN_FULL_DISK): a user
    // namespace can only be entered while the program runs one thread.
    static void Prepare();
    static QString Folder();     // where the files meeting the full disk go
    static QString Reason();     // the system's text for the failed writes
    static bool OwnFileSystem(); // the small file system, not the size limit
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
};

// A file system in user space (FUSE) of a kind that USB sticks and shares
// bring, mounted among the program's own mounts (KV_TEST_MAIN_FULL_DISK)
// for as long as the object lives: "fusefat" is a fresh FAT file system
// (no owners or rights that can be set, no unnamed files); "bindfs" shows
// the folder `source` again (no unnamed files, no room reserved ahead, no
// gaps found in a file), with the program's `options` (such as
// "--chown-deny"). Available() is false where the file system's program or
// FUSE is missing or the program has no mounts of its own.
class FuseMount {
public:
    explicit FuseMount(const QString& kind, const QString& source = QString(),
                       const QStringList& options = QStringList());
    ~FuseMount();
    FuseMount(const FuseMount&) = delete;
    FuseMount& operator=(const FuseMount&) = delete;
    bool Available() const { return m_mounted; }
    QString Folder() const { return m_dir.filePath(QStringLiteral("mount")); }

private:
    QTemporaryDir m_dir;  // the mount point, and a FAT file system's image
    QProcess m_program;   // the file system's program
    bool m_mounted = false;
};

// A second program: a child process that runs `body` and ends with its
// result, without the test's clean-up. It may wait for the test's word
// (Wait) and tell the test a line (Tell); the test lets it on (Go), hears
// its lines (Heard: empty when it ended without one) and waits for its end
// (Finish: its exit status, -1 when it did not end by itself). One still
// running when the object goes is ended by force.
class ChildProgram {
public:
    explicit ChildProgram(const std::function<int(ChildProgram&)>& body);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    void Go();
    QByteArray Heard();
    int Finish();
    void Wait();                        // in the child
    void Tell(const QByteArray& line);  // in the child

private:
    pid_t m_pid = -1;
    int m_end = -1;  // this side's end of the line between them
};

// A folder in which no new file can be made (so nothing can be written
// beside a file there), while the files already in it stay writable. Not
// run as root, the folder's mode bits say so; run as root, which they do not
// stop, the folder is made immutable. Available() is false where neither
// can be done.
class ClosedFolder {
public:
    explicit ClosedFolder(const QString& folder);
    ~ClosedFolder();
    ClosedFolder(const ClosedFolder&) = delete;
    ClosedFolder& operator=(const ClosedFolder&) = delete;
    bool Available() const { return m_closed; }
    // The system's reason when a file cannot be made in such a folder.
    static QString Reason();

private:
    QString m_folder;
    unsigned m_mode = 0;
    bool m_closed = false;
};

// The warning shown once when a settings or placement file cannot be
// written, for the system's reason given.
inline QString UnableToWrite(const QString& file, const QString& reason)
{
    return QStringLiteral("Unable to write to %1. %2. Settings changed now are kept until the program closes.")
        .arg(file, reason);
}

// What stands at a path (its node, kind and device number) as text, to
// tell that it is still the same thing; empty when nothing is there.
QString NodeAt(const QString& path);

// The rows of a test of file names by their length in bytes (column
// "length"): 248, 254 and 255, the longest a file system takes, and 256.
void AddNameLengthRows();

// The files in a folder, hidden ones too (a left-over temporary file shows).
QStringList FilesIn(const QString& folder);
QByteArray FileBytes(const QString& path);  // empty when it cannot be read
bool WriteFileBytes(const QString& path, const QByteArray& bytes);
void RemoveFilesIn(const QString& folder);

}  // namespace kvtest

#define KV_TEST_MAIN_BODY(TestObject)                    \
        kvtest::InitEnvironment();                       \
        KV_TEST_APPLICATION_BODY(TestObject)

#define KV_TEST_APPLICATION_BODY(TestObject)             \
        TApplication app(argc, argv);                    \
        app.setAttribute(Qt::AA_Use96Dpi, true);         \
        kvtest::InitApplication();                       \
        TestObject tc;                                   \
        QTEST_SET_MAIN_SOURCE_PATH                       \
        return QTest::qExec(&tc, argc, argv);

#define KV_TEST_MAIN(TestObject)                         \
    int main(int argc, char** argv)                      \
    {                                                    \
        KV_TEST_MAIN_BODY(TestObject)                    \
    }

// The same for a program whose windows are shown on a laptop's screen
// (kvtest::LaptopScreen).
#define KV_TEST_MAIN_LAPTOP_SCREEN(TestObject)           \
    int main(int argc, char** argv)                      \
    {                                                    \
        kvtest::InitEnvironment();                       \
        kvtest::LaptopScreen();                          \
        KV_TEST_APPLICATION_BODY(TestObject)             \
    }

// The same for a program whose tests meet a full disk (kvtest::FullDisk)
// or mount file systems (kvtest::FuseMount): its mounts are its own.
#define KV_TEST_MAIN_FULL_DISK(TestObject)               \
    int main(int argc, char** argv)                      \
    {                                                    \
        kvtest::FullDisk::Prepare();                     \
        KV_TEST_MAIN_BODY(TestObject)                    \
    }
