#include "TestSupport.h"
#include <QSqlDatabase>
#include "Clock.h"
#include "Locale.h"
#include "Platform.h"
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <sqlite3.h>

namespace kvtest {

namespace {
// The private settings folder: it lives for the run and goes when the
// program ends, by returning from main or through exit(), but not when a
// process forked from it ends.
struct ConfigDir {
    std::unique_ptr<QTemporaryDir> dir;
    pid_t owner = 0;
    ~ConfigDir()
    {
        if (::getpid() != owner)
            (void)dir.release();  // the folder stays for the program that made it
    }
};
ConfigDir& config()
{
    static ConfigDir config;
    return config;
}
std::unique_ptr<QTemporaryDir>& configDir()
{
    return config().dir;
}
}  // namespace

void InitEnvironment()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    config().owner = ::getpid();
    configDir() = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", configDir()->path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", configDir()->path().toLocal8Bit());
}

void LaptopScreen()
{
    const QString file = configDir()->filePath(QStringLiteral("laptop-screen.json"));
    WriteFileBytes(file, QByteArrayLiteral("{\"screens\": [{\"name\": \"laptop\", \"x\": 0, \"y\": 0, "
                                           "\"width\": 1366, \"height\": 768, \"logicalDpi\": 96, "
                                           "\"logicalBaseDpi\": 96}]}"));
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file));
}

namespace {
// The headless platform says so whenever a window asks it for something it
// cannot do (raise, size hints); nothing to do with what is tested.
QtMessageHandler g_previousHandler = nullptr;
void dropHeadlessNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message == QLatin1String("This plugin does not support raise()") ||
        message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    g_previousHandler(type, context, message);
}
}  // namespace

void QuietHeadlessNotices()
{
    g_previousHandler = qInstallMessageHandler(dropHeadlessNotices);
}

void InitApplication()
{
    SetFormatSettings(TFormatSettings::DayFirstEnglish());
    Clock::SetFixed(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
    SetApplicationTitle(QStringLiteral("kvsys"));
}

QString SourcePath(const QString& relative)
{
    return QDir(QStringLiteral(KV_SOURCE_DIR)).filePath(relative);
}

QString ConfigFolder()
{
    return configDir() ? configDir()->path() : QString();
}

MessageRecorder::MessageRecorder()
{
    m_previous = SetMessageHandler([this](const TMessageBox& b) { return answer(b); });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageHandler(m_previous);
}

QStringList MessageRecorder::Texts() const
{
    QStringList out;
    for (const auto& b : m_boxes)
        out << b.Text;
    return out;
}

int MessageRecorder::answer(const TMessageBox& box)
{
    m_boxes.append(box);
    if (!m_answers.empty()) {
        const int a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    if (box.Buttons & mbOK)
        return mrOk;
    if (box.Buttons & mbYes)
        return mrYes;
    return mrCancel;
}

bool DefineSqliteOdbcDsn(const QString& folder, const QString& dsn, const QString& file)
{
    QString driver;
    for (const QString& arch : QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*-linux-gnu")}, QDir::Dirs))
        if (QFile::exists(QStringLiteral("/usr/lib/") + arch + QStringLiteral("/odbc/libsqlite3odbc.so")))
            driver = QStringLiteral("/usr/lib/") + arch + QStringLiteral("/odbc/libsqlite3odbc.so");
    if (driver.isEmpty() || !QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        return false;
    QFile inst(folder + QStringLiteral("/odbcinst.ini"));
    QFile ini(folder + QStringLiteral("/odbc.ini"));
    if (!inst.open(QIODevice::WriteOnly) || !ini.open(QIODevice::WriteOnly))
        return false;
    inst.write(QStringLiteral("[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=%1\n").arg(driver).toUtf8());
    // The source names the driver by its file: unixODBC takes ODBCSYSINI once
    // per process and keeps what it read from odbcinst.ini for some seconds
    // only, so a driver named through the folder of a source already gone is
    // "not found" once that time is over.
    ini.write(QStringLiteral("[%1]\nDriver=%2\nDatabase=%3\n").arg(dsn, driver, file).toUtf8());
    qputenv("ODBCSYSINI", folder.toLocal8Bit());
    qputenv("ODBCINI", ini.fileName().toLocal8Bit());
    return true;
}

void ExecSqliteScript(const QString& file, const QString& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK)
        QFAIL("cannot open the test database");
    // Throw-away files: waiting for the disk after every statement would only
    // make the suite slow (the schema alone is some ninety statements).
    sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const QString msg = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        qFatal("SQL script failed: %s", qPrintable(msg));
}

QStringList SqliteRows(const QString& file, const QString& sql)
{
    QStringList rows;
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK)
        return rows;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        qFatal("SQL query failed: %s", qPrintable(msg));
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList cols;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            if (sqlite3_column_type(st, i) == SQLITE_NULL)
                cols << QStringLiteral("NULL");
            else
                cols << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        }
        rows << cols.join(QChar('|'));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

TestDatabase::TestDatabase(bool withSchema, const QString& databaseName)
{
    m_file = m_dir.filePath(QStringLiteral("kv.db"));
    QFile schema(SourcePath(QStringLiteral("db/schema.sql")));
    QString sql;
    if (withSchema) {
        if (!schema.open(QIODevice::ReadOnly))
            qFatal("db/schema.sql is missing");
        sql = QString::fromUtf8(schema.readAll());
    }
    ExecSqliteScript(m_file, sql.isEmpty() ? QStringLiteral("PRAGMA user_version = 0;") : sql);
    m_db = std::make_unique<TDatabase>();
    m_db->DatabaseName = databaseName;
    m_db->AliasName = m_file;
    m_db->LoginPrompt = false;
    m_db->SetConnected(true);
}

TestDatabase::~TestDatabase()
{
    m_db.reset();
}

QString TestDatabase::Value(const QString& sql) const
{
    const QStringList rows = Rows(sql);
    return rows.isEmpty() ? QString() : rows.first();
}

QStringList TestDatabase::AuditRows() const
{
    return Rows(QStringLiteral("SELECT UserID || '|' || Action || '|' || TableName || '|' || ifnull(TableID, '') || "
                               "'|' || FieldName || '|' || quote(OldValue) || '|' || quote(NewValue) "
                               "FROM tAuditTrail ORDER BY AuditID"));
}

namespace {
void setModes(const QString& folder, QFile::Permissions files, QFile::Permissions dir)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext())
        QFile::setPermissions(it.next(), files);
    QFile::setPermissions(folder, dir);
}
}  // namespace

bool ReadOnlyFolder::RunningAsRoot()
{
    return geteuid() == 0;
}

ReadOnlyFolder::ReadOnlyFolder(const QString& folder) : m_folder(QDir(folder).absolutePath())
{
    const auto r = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    setModes(m_folder, r, r | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    if (RunningAsRoot()) {
        const QString inside = m_folder + QChar('/');
        SetWritableProbe([inside](const QString& path) {
            const QString p = QDir::cleanPath(QDir(path).absolutePath());
            return p + QChar('/') != inside && !p.startsWith(inside) && QFileInfo(p).isWritable();
        });
        m_probed = true;
    }
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    const auto rw = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    setModes(m_folder, rw, rw | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    if (m_probed)
        SetWritableProbe(nullptr);
}

OdbcDataSource::OdbcDataSource(const QString& dsn, const QString& file) : m_dsn(dsn)
{
    m_available = DefineSqliteOdbcDsn(m_dir.path(), dsn, file);
}

std::unique_ptr<TDatabase> OdbcDataSource::Connect(const QString& databaseName) const
{
    auto db = std::make_unique<TDatabase>();
    db->DatabaseName = databaseName;
    db->AliasName = m_dsn;
    db->LoginPrompt = false;
    db->Params.SetValue(QStringLiteral("PASSWORD"), QStringLiteral("unused"));
    db->SetConnected(true);
    return db;
}

namespace {
// The small disk of the program: a folder with `files` (where the tests
// write) and, while a FullDisk lives, the filler beside it.
struct SmallDisk {
    QByteArray root;
    bool mounted = false;
    rlimit limit{};
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(root.constData(), MNT_DETACH);
        if (!root.isEmpty())
            QDir(QFile::decodeName(root)).removeRecursively();
    }
    QByteArray filler() const { return root + "/filler"; }
};
SmallDisk& smallDisk()
{
    static SmallDisk disk;
    return disk;
}

bool writeProcFile(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

// A mount namespace of the program's own, in a user namespace of its own
// when the program may not have one otherwise; the ids stay what they are,
// so files keep their owners. Nothing mounted in it reaches the machine.
bool privateMounts()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const QByteArray uid = QByteArray::number(::geteuid());
        const QByteArray gid = QByteArray::number(::getegid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        writeProcFile("/proc/self/setgroups", "deny");
        if (!writeProcFile("/proc/self/uid_map", uid + ' ' + uid + " 1") ||
            !writeProcFile("/proc/self/gid_map", gid + ' ' + gid + " 1"))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}
}  // namespace

void FullDisk::Prepare()
{
    SmallDisk& disk = smallDisk();
    QByteArray folder = QFile::encodeName(QDir::tempPath()) + "/kvdisk-XXXXXX";
    if (!::mkdtemp(folder.data()))
        qFatal("cannot make a folder for the small disk");
    disk.root = folder;
    disk.mounted = privateMounts() &&
                   ::mount("tmpfs", folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m,mode=0700") == 0;
    if (!QDir().mkpath(Folder()))
        qFatal("cannot make the small disk's folder");
}

QString FullDisk::Folder()
{
    return QFile::decodeName(smallDisk().root) + QStringLiteral("/files");
}

bool FullDisk::OwnFileSystem()
{
    return smallDisk().mounted;
}

QString FullDisk::Reason()
{
    return qt_error_string(OwnFileSystem() ? ENOSPC : EFBIG);
}

FullDisk::FullDisk()
{
    SmallDisk& disk = smallDisk();
    if (disk.root.isEmpty())
        qFatal("FullDisk needs KV_TEST_MAIN_FULL_DISK");
    if (!disk.mounted) {
        std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the program
        ::getrlimit(RLIMIT_FSIZE, &disk.limit);
        rlimit none = disk.limit;
        none.rlim_cur = 0;
        if (::setrlimit(RLIMIT_FSIZE, &none) != 0)
            qFatal("cannot lower the file size limit");
        return;
    }
    const int fd = ::open(disk.filler().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        qFatal("cannot make the filler of the small disk");
    const QByteArray chunk(1 << 16, '\0');
    ssize_t n = 0;
    while ((n = ::write(fd, chunk.constData(), size_t(chunk.size()))) > 0) {
    }
    const int error = errno;
    ::close(fd);
    if (n == 0 || error != ENOSPC)
        qFatal("the small disk did not fill up: %s", qPrintable(qt_error_string(error)));
}

FullDisk::~FullDisk()
{
    SmallDisk& disk = smallDisk();
    if (disk.mounted)
        ::unlink(disk.filler().constData());
    else
        ::setrlimit(RLIMIT_FSIZE, &disk.limit);
}

FuseMount::FuseMount(const QString& kind, const QString& source, const QStringList& options)
{
    if (!smallDisk().mounted || ::access("/dev/fuse", R_OK | W_OK) != 0 || !QDir().mkpath(Folder()))
        return;
    const QString image = m_dir.filePath(QStringLiteral("fat.img"));
    const QString format = QStandardPaths::findExecutable(QStringLiteral("mkfs.vfat"), {"/usr/sbin", "/sbin"});
    QProcess formatting;
    formatting.setStandardOutputFile(QProcess::nullDevice());
    if (kind == QLatin1String("fusefat")) {
        formatting.start(format, {"-C", image, "32768"});
        if (format.isEmpty() || !formatting.waitForFinished() || formatting.exitCode() != 0)
            return;
    }
    const QStringList shown = kind == QLatin1String("fusefat") ? QStringList{"-o", "rw+", image} : QStringList{source};
    // The file system ends with this program, however it ends.
    m_program.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_program.setStandardOutputFile(QProcess::nullDevice());
    m_program.setStandardErrorFile(QProcess::nullDevice());
    m_program.start(kind, QStringList{"-f"} + options + shown + QStringList{Folder()});
    struct stat above {}, point {};
    ::stat(QFile::encodeName(m_dir.path()).constData(), &above);
    // Mounted within a few seconds, or not at all.
    for (int waited = 0; waited < 10000 && !m_program.waitForFinished(10); waited += 10)
        if (::stat(QFile::encodeName(Folder()).constData(), &point) == 0 && point.st_dev != above.st_dev) {
            m_mounted = true;
            return;
        }
}

FuseMount::~FuseMount()
{
    // Unmounted, the file system's program ends by itself.
    const QByteArray point = QFile::encodeName(Folder());
    if (m_mounted && ::umount2(point.constData(), 0) != 0)
        ::umount2(point.constData(), MNT_DETACH);
    if (m_program.state() != QProcess::NotRunning && !m_program.waitForFinished(5000))
        m_program.kill();
    m_program.waitForFinished();
}

ChildProgram::ChildProgram(const std::function<int(ChildProgram&)>& body)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    m_pid = ::fork();
    m_end = ends[m_pid == 0 ? 1 : 0];
    ::close(ends[m_pid == 0 ? 0 : 1]);
    if (m_pid == 0)
        ::_exit(body(*this));
}

ChildProgram::~ChildProgram()
{
    if (m_pid > 0 && ::kill(m_pid, SIGKILL) == 0)
        ::waitpid(m_pid, nullptr, 0);
    if (m_end >= 0)
        ::close(m_end);
}

void ChildProgram::Go()
{
    (void)::send(m_end, "g", 1, MSG_NOSIGNAL);  // one that has ended hears nothing
}

void ChildProgram::Wait()
{
    char word = 0;
    (void)::read(m_end, &word, 1);
}

void ChildProgram::Tell(const QByteArray& line)
{
    const QByteArray text = line + '\n';
    (void)::send(m_end, text.constData(), size_t(text.size()), MSG_NOSIGNAL);
}

QByteArray ChildProgram::Heard()
{
    QByteArray line;
    char c = 0;
    while (::read(m_end, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

int ChildProgram::Finish()
{
    int status = -1;
    const bool ended = m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid;
    m_pid = -1;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {
// Sets or clears the immutable flag of a folder; false when it cannot.
bool setImmutable(const QString& folder, bool on)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}
}  // namespace

ClosedFolder::ClosedFolder(const QString& folder) : m_folder(QDir(folder).absolutePath())
{
    struct stat st {};
    if (::stat(QFile::encodeName(m_folder).constData(), &st) != 0)
        return;
    m_mode = st.st_mode & 07777;
    if (ReadOnlyFolder::RunningAsRoot())
        m_closed = setImmutable(m_folder, true);
    else
        m_closed = ::chmod(QFile::encodeName(m_folder).constData(), m_mode & ~0222) == 0;
}

QString ClosedFolder::Reason()
{
    // An immutable folder refuses with EPERM, one without write rights with EACCES.
    return qt_error_string(ReadOnlyFolder::RunningAsRoot() ? EPERM : EACCES);
}

ClosedFolder::~ClosedFolder()
{
    if (!m_closed)
        return;
    if (ReadOnlyFolder::RunningAsRoot())
        setImmutable(m_folder, false);
    else
        ::chmod(QFile::encodeName(m_folder).constData(), m_mode);
}

QString NodeAt(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1:%2 mode %3 device %4").arg(st.st_dev).arg(st.st_ino).arg(st.st_mode, 0, 8).arg(st.st_rdev);
}

void AddNameLengthRows()
{
    QTest::addColumn<int>("length");
    for (const int length : {248, 254, 255, 256})
        QTest::addRow("%d bytes", length) << length;
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

void RemoveFilesIn(const QString& folder)
{
    for (const QString& name : FilesIn(folder))
        QFile::remove(QDir(folder).filePath(name));
}

}  // namespace kvtest
