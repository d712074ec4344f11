#include "Cp1252.h"
#include "IniFiles.h"
#include "ReplacementFile.h"
#include "TestSupport.h"
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <optional>
#include <algorithm>
#include <cstring>
#include <sys/file.h>
#include <sys/stat.h>  // mkfifo
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Every read of the program's code comes here first: the next `nulReads`
// reads of the file `nulFile` show NUL bytes over the first half of its
// text.
namespace {
struct stat nulFile {};
int nulReads = 0;
}
extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset)
{
    const ssize_t n = ::syscall(SYS_pread64, fd, buffer, count, offset);
    struct stat st {};
    if (n > 0 && nulReads > 0 && ::fstat(fd, &st) == 0 && st.st_dev == nulFile.st_dev &&
        st.st_ino == nulFile.st_ino) {
        --nulReads;
        std::memset(buffer, 0, size_t(n / 2));
    }
    return n;
}

// How long another program may hold a settings file before a read or write
// goes on without it, and what a test allows beyond that.
constexpr qint64 kWaitMs = 5000, kLeewayMs = 1500;

class TestIniFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) { return dir.filePath(name); }
    static void writeBytes(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readBytes(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void readsCaseInsensitiveTrimmedNames()
    {
        const QString f = path("a.ini");
        writeBytes(f, "[DBconnection]\r\n  KVDSN =  demo.db  \r\n[General]\r\nGetLog=0\r\n");
        TIniFile ini(f);
        QCOMPARE(ini.ReadString("dbconnection", "kvdsn", "x"), QString("demo.db"));
        QCOMPARE(ini.ReadString(" DBCONNECTION ", "KVDSN", "x"), QString("demo.db"));
        QCOMPARE(ini.ReadString("General", "GetLog", "1"), QString("0"));
        QCOMPARE(ini.ReadString("General", "Missing", "1"), QString("1"));
        QCOMPARE(ini.ReadString("Nowhere", "GetLog", "d"), QString("d"));
        QCOMPARE(ini.ReadInteger("General", "GetLog", 7), 0);
        QCOMPARE(ini.ReadInteger("DBconnection", "KVDSN", 7), 7);
    }

    void quoteRule_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("plain") << "abc" << QByteArray("abc");
        QTest::newRow("inner quotes kept") << "a\"b'c" << QByteArray("a\"b'c");
        QTest::newRow("double-quoted value") << "\"x\"" << QByteArray("\"\"x\"\"");
        QTest::newRow("single-quoted value") << "'x'" << QByteArray("\"'x'\"");
        QTest::newRow("one quote only") << "'x" << QByteArray("'x");
        QTest::newRow("empty") << "" << QByteArray("");
        QTest::newRow("blank before the quotes") << "\f\"\"" << QByteArray("\"\f\"\"\"");
    }
    void quoteRule()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, stored);
        const QString f = path("q.ini");
        QFile::remove(f);
        TIniFile ini(f);
        ini.WriteString("S", "K", value);
        QCOMPARE(readBytes(f), QByteArray("[S]\r\nK=") + stored + "\r\n");
        QCOMPARE(ini.ReadString("S", "K", "def"), value);
    }

    void readingStripsOnePairOfQuotes()
    {
        const QString f = path("r.ini");
        writeBytes(f, "[S]\nA=\"quoted\"\nB='single'\nC=\"mixed'\nD=  \"  padded  \"  \n");
        TIniFile ini(f);
        QCOMPARE(ini.ReadString("S", "A", ""), QString("quoted"));
        QCOMPARE(ini.ReadString("S", "B", ""), QString("single"));
        QCOMPARE(ini.ReadString("S", "C", ""), QString("\"mixed'"));
        QCOMPARE(ini.ReadString("S", "D", ""), QString("  padded  "));
    }

    void writesKeepOtherLinesAndLineEnds()
    {
        const QString f = path("keep.ini");
        writeBytes(f, "; settings\n[DBconnection]\nKVDSN=old\n\n[MainCfg]\nid1=AA\n");
        TIniFile ini(f);
        ini.WriteString("dbconnection", "kvdsn", "new");
        ini.WriteString("DBconnection", "ur", "0B");
        ini.WriteString("TestCfg", "id1", "CC");
        QCOMPARE(readBytes(f), QByteArray("; settings\n[DBconnection]\nkvdsn=new\nur=0B\n\n[MainCfg]\nid1=AA\n\n"
                                          "[TestCfg]\nid1=CC\n"));
        ini.DeleteKey("DBconnection", "UR");
        ini.EraseSection("mainCFG");
        QCOMPARE(readBytes(f), QByteArray("; settings\n[DBconnection]\nkvdsn=new\n\n[TestCfg]\nid1=CC\n"));
        QCOMPARE(ini.ReadSections(), QStringList({"DBconnection", "TestCfg"}));
        QCOMPARE(ini.ReadSection("TestCfg"), QStringList({"id1"}));
    }

    void crlfFileStaysCrlf()
    {
        const QString f = path("crlf.ini");
        writeBytes(f, "[A]\r\nx=1\r\n");
        TIniFile(f).WriteString("A", "y", "2");
        QCOMPARE(readBytes(f), QByteArray("[A]\r\nx=1\r\ny=2\r\n"));
    }

    void windows1252Bytes()
    {
        const QString f = path("ansi.ini");
        writeBytes(f, "[A]\r\nname=Caf\xE9 \x80\x35\r\n");
        TIniFile ini(f);
        QCOMPARE(ini.ReadString("A", "name", ""), QString::fromUtf8("Café €5"));
        ini.WriteString("A", "other", QString::fromUtf8("©®"));
        QVERIFY(readBytes(f).contains("other=\xA9\xAE\r\n"));
        QCOMPARE(cp1252::fromUnicode(QString::fromUtf8("€")), QByteArray("\x80"));
    }

    // Two writers of one file, each writing keys of its own one at a time:
    // two objects in one program, or two programs at once, the file written
    // beside itself or in place. Every key of both is kept, and no line that
    // neither wrote.
    void twoWritersKeepEachOthersKeys_data()
    {
        QTest::addColumn<bool>("programs");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("there");
        QTest::newRow("two objects in one program") << false << false << true;
        QTest::newRow("two programs") << true << false << true;
        QTest::newRow("two programs, written in place") << true << true << true;
        QTest::newRow("two programs making the file") << true << false << false;
    }
    void twoWritersKeepEachOthersKeys()
    {
        QFETCH(bool, programs);
        QFETCH(bool, inPlace);
        QFETCH(bool, there);
        QTemporaryDir folder;
        const QString f = folder.filePath("two.ini");
        if (there)
            writeBytes(f, "[S]\r\n");
        std::optional<kvtest::ClosedFolder> closed;
        if (inPlace && !closed.emplace(folder.path()).Available())
            QSKIP("No folder can be closed to new files here.");
        const auto write = [&](char writer) {
            for (int i = 1; i <= 40; ++i)
                TIniFile(f).WriteString("S", QStringLiteral("%1%2").arg(writer).arg(i),
                                        QStringLiteral("value %1 %2").arg(writer).arg(i));
        };
        int go[2];  // both programs start once both are ready
        QVERIFY(::pipe(go) == 0);
        pid_t writers[2] = {-1, -1};
        for (const char writer : {'a', 'b'}) {
            if (!programs) {
                write(writer);
            } else if ((writers[writer - 'a'] = ::fork()) == 0) {
                TIniFile::SetWriteFailureReport([](const QString&, const QString&) { ::_exit(2); });
                char started;
                ::close(go[1]);
                (void)::read(go[0], &started, 1);
                write(writer);
                ::_exit(0);
            }
        }
        ::close(go[0]);
        ::close(go[1]);
        for (const pid_t pid : writers) {
            int status = -1;
            QVERIFY(!programs || (pid > 0 && ::waitpid(pid, &status, 0) == pid && status == 0));
        }
        QStringList expected{"[S]"};
        for (const char writer : {'a', 'b'})
            for (int i = 1; i <= 40; ++i)
                expected << QStringLiteral("%1%2=value %1 %2").arg(writer).arg(i);
        QStringList lines = QString::fromLatin1(readBytes(f)).split("\r\n", Qt::SkipEmptyParts);
        std::sort(lines.begin(), lines.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(lines, expected);
    }

    void lineBreaksAndStructureAreRefused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("value with a section of its own") << "DBconnection" << "KVDSN" << "kv.db\n[General]\nGetLog=0";
        QTest::newRow("value with CR LF") << "DBconnection" << "KVDSN" << "kv.db\r\nGetLog=0";
        QTest::newRow("value with a lone CR") << "DBconnection" << "KVDSN" << "kv.db\rGetLog=0";
        QTest::newRow("key with a line break") << "DBconnection" << "x\n[General]" << "v";
        QTest::newRow("section with a line break") << "A]\n[General" << "GetLog" << "0";
        QTest::newRow("key with an equals sign") << "General" << "GetLog=0;x" << "v";
        QTest::newRow("key opening a section") << "A" << "[General]" << "v";
        QTest::newRow("section closing early") << "A]x" << "k" << "v";
    }
    void lineBreaksAndStructureAreRefused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString f = path("hostile.ini");
        writeBytes(f, "[DBconnection]\r\nKVDSN=old.db\r\n");
        TIniFile ini(f);
        QVERIFY_THROWS_EXCEPTION(EIniFileException, ini.WriteString(section, key, value));
        QCOMPARE(readBytes(f), QByteArray("[DBconnection]\r\nKVDSN=old.db\r\n"));
        QCOMPARE(ini.ReadString("General", "GetLog", "1"), QString("1"));
    }

    void textsBeyondWindows1252_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("cyrillic path") << QString::fromUtf8("/home/оператор/данные/kv.db");
        QTest::newRow("CJK path") << QString::fromUtf8("/数据/库.db");
        QTest::newRow("emoji") << QString::fromUtf8("x😀y");
    }
    void textsBeyondWindows1252()
    {
        QFETCH(QString, value);
        const QString f = path("wide.ini");
        writeBytes(f, "[A]\r\nname=Caf\xE9\r\n");  // Windows-1252 so far
        TIniFile ini(f);
        ini.WriteString("DBconnection", "KVDSN", value);
        QCOMPARE(TIniFile(f).ReadString("DBconnection", "KVDSN", ""), value);
        QCOMPARE(TIniFile(f).ReadString("A", "name", ""), QString::fromUtf8("Café"));  // re-encoded, not garbled
        const QByteArray bytes = readBytes(f);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF[A]\r\n"));
        QVERIFY(bytes.contains(value.toUtf8()));
        QFile::remove(f);
    }

    void utf8FilesFromATextEditor_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("with the byte-order mark")
            << QByteArray("\xEF\xBB\xBF[General]\nGetLog=0\nname=Caf\xC3\xA9\n")
            << QByteArray("\xEF\xBB\xBF[General]\nGetLog=0\nname=Caf\xC3\xA9\nk=\xC3\xA9\n");
        QTest::newRow("without it") << QByteArray("[General]\nGetLog=0\nname=Caf\xC3\xA9\n")
                                    << QByteArray("[General]\nGetLog=0\nname=Caf\xC3\xA9\nk=\xC3\xA9\n");
    }
    void utf8FilesFromATextEditor()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, after);
        const QString f = path("editor.ini");
        writeBytes(f, bytes);
        TIniFile ini(f);
        QCOMPARE(ini.ReadString("General", "GetLog", "1"), QString("0"));  // the first section is found
        QCOMPARE(ini.ReadString("General", "name", ""), QString::fromUtf8("Café"));
        ini.WriteString("General", "k", QString::fromUtf8("é"));
        QCOMPARE(readBytes(f), after);  // it stays as the editor saved it
    }

    void unwritableFileIsKeptInMemoryAndReportedOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder that does not exist") << "missing folder" << qt_error_string(ENOENT);
        QTest::newRow("read-only folder") << "read-only folder" << qt_error_string(EACCES);
        QTest::newRow("named pipe, not read") << "pipe"
                                              << "It is a named pipe, not an ordinary file, and is left as it is.";
        QTest::newRow("named pipe, only read") << "pipe, only read"
                                               << "It is a named pipe, not an ordinary file, and is left as it is.";
    }
    void unwritableFileIsKeptInMemoryAndReportedOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const bool missingFolder = kind == "missing folder";
        QTemporaryDir folder;
        const QString f = missingFolder ? folder.filePath("no/such/x.ini") : folder.filePath("x.ini");
        if (kind == "read-only folder")
            writeBytes(f, "[S]\r\nold=1\r\n");
        const bool pipe = kind.startsWith("pipe");
        if (pipe)
            QVERIFY(::mkfifo(QFile::encodeName(f).constData(), 0600) == 0);
        const QString node = kvtest::NodeAt(f);
        const QByteArray before = pipe ? QByteArray() : readBytes(f);
        kvtest::MessageRecorder boxes;
        {
            std::unique_ptr<kvtest::ReadOnlyFolder> readOnly;
            if (kind == "read-only folder")
                readOnly = std::make_unique<kvtest::ReadOnlyFolder>(folder.path());
            TIniFile ini(f);
            if (kind.endsWith("only read")) {
                QCOMPARE(ini.ReadString("S", "K", "d"), QString("d"));
                QCOMPARE(TIniFile(f).ReadString("S", "L", "d"), QString("d"));
            } else {
                ini.WriteString("S", "K", "v");
                ini.WriteString("S", "L", "w");
                TIniFile(f).WriteString("S", "K", "v2");
                QCOMPARE(TIniFile(f).ReadString("S", "K", "d"), QString("v2"));
                QCOMPARE(ini.ReadString("S", "L", "d"), QString("w"));
            }
            if (kind == "read-only folder")
                QCOMPARE(ini.ReadString("S", "old", "d"), QString("1"));
            QCOMPARE(boxes.Count(), 1);
            QCOMPARE(boxes.Boxes().first().Type, mtWarning);
            QCOMPARE(boxes.Texts().first(), kvtest::UnableToWrite(f, reason.chopped(reason.endsWith('.'))));
        }
        QCOMPARE(kvtest::NodeAt(f), node);
        if (!pipe)
            QCOMPARE(readBytes(f), before);  // nothing reached the disk
        TIniFile::ForgetUnwritten();
    }

    // A value written as the file already holds it leaves the file alone: no
    // write (the start writes its connection settings every time), so
    // nothing to report on a read-only folder either.
    void unchangedValueIsNotWritten()
    {
        QTemporaryDir folder;
        const QString f = folder.filePath("x.ini");
        writeBytes(f, "[S]\r\nK=\"'v'\"\r\n");
        kvtest::MessageRecorder boxes;
        {
            kvtest::ReadOnlyFolder readOnly(folder.path());
            TIniFile(f).WriteString("S", "K", "'v'");
            QCOMPARE(boxes.Count(), 0);
            TIniFile(f).WriteString("S", "K", "w");
            QCOMPARE(boxes.Count(), 1);
        }
        TIniFile::ForgetUnwritten();
    }

    // A settings file on a full disk keeps its bytes, whether it is written
    // beside itself or in place (its folder holding no new file): the
    // failure is told once, the run goes on with the values in memory, and
    // the first write once there is room again puts them all on the disk.
    void fullDiskKeepsTheFile_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("reserving");
        QTest::newRow("written beside it") << false << true;
        QTest::newRow("written in place") << true << true;
        QTest::newRow("written in place, no room reserved ahead") << true << false;
    }
    void fullDiskKeepsTheFile()
    {
        QFETCH(bool, inPlace);
        QFETCH(bool, reserving);
        const bool reserved = TReplacementFile::SetRoomReservation(reserving);
        const auto restore = qScopeGuard([&] { TReplacementFile::SetRoomReservation(reserved); });
        const QString folder = kvtest::FullDisk::Folder();
        const QString f = folder + "/kvsys.ini";
        const QByteArray before = "[DBconnection]\r\nKVDSN=main.db\r\nur=DA1F\r\npd=C81FDA\r\n\r\n"
                                  "[MainCfg]\r\nid1=9A1B\r\n";
        QVERIFY(kvtest::WriteFileBytes(f, before));
        // Longer than a page of the disk: the file needs room it does not
        // have, however it is written.
        const QString dsn = "/srv/kv/" + QString(6000, 'd') + ".db";
        kvtest::MessageRecorder boxes;
        {
            std::optional<kvtest::ClosedFolder> closed;
            if (inPlace && !closed.emplace(folder).Available())
                QSKIP("No folder can be closed to new files here.");
            {
                kvtest::FullDisk full;
                TIniFile ini(f);
                ini.WriteString("DBconnection", "KVDSN", dsn);
                ini.WriteString("DBconnection", "ur", "0B");
                TIniFile(f).WriteString("TestCfg", "id1", "CC");
                QCOMPARE(kvtest::FileBytes(f), before);
                QCOMPARE(kvtest::FilesIn(folder), QStringList{"kvsys.ini"});
                QCOMPARE(boxes.Count(), 1);
                QCOMPARE(boxes.Boxes().first().Type, mtWarning);
                QCOMPARE(boxes.Texts().first(), kvtest::UnableToWrite(f, kvtest::FullDisk::Reason()));
                QCOMPARE(TIniFile(f).ReadString("DBconnection", "KVDSN", ""), dsn);
                QCOMPARE(ini.ReadString("MainCfg", "id1", ""), QString("9A1B"));
            }
            TIniFile(f).WriteString("General", "GetLog", "1");
        }
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(kvtest::FileBytes(f), "[DBconnection]\r\nKVDSN=" + dsn.toLatin1() +
                                           "\r\nur=0B\r\npd=C81FDA\r\n\r\n[MainCfg]\r\nid1=9A1B\r\n\r\n"
                                           "[TestCfg]\r\nid1=CC\r\n\r\n[General]\r\nGetLog=1\r\n");
        QCOMPARE(kvtest::FilesIn(folder), QStringList{"kvsys.ini"});
        QVERIFY(QFile::remove(f));
        TIniFile::ForgetUnwritten();
    }

    // Program A writes a key, then one the file cannot take (another
    // program holds it past the wait, or the disk is full): that write waits
    // at most once, is refused for what is in the way, and the file keeps its
    // bytes. Program B then writes five keys. A's next write makes the
    // refused change and its own on top of B's, and the file keeps its
    // encoding.
    void refusedWriteGoesOnTopOfOtherProgramsKeys_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("reason");
        const QByteArray plain = "[DBconnection]\r\nKVDSN=/srv/kv.db\r\n";
        const QString writing = "Another program is writing the file; try again when it has finished";
        const QString reading = "Another program is reading the file; try again when it has finished";
        QTest::newRow("held past the wait by a writer") << "writer" << false << plain << writing;
        QTest::newRow("held past the wait by a writer, written in place") << "writer" << true << plain << writing;
        QTest::newRow("held past the wait by a reader") << "reader" << false << plain << reading;
        QTest::newRow("a full disk") << "full disk" << false << plain << kvtest::FullDisk::Reason();
        QTest::newRow("a full disk, written in place") << "full disk" << true << plain << kvtest::FullDisk::Reason();
        QTest::newRow("a full disk, a UTF-8 file with the byte-order mark")
            << "full disk" << false << QByteArray("\xEF\xBB\xBF[DBconnection]\r\nKVDSN=/donn\xC3\xA9" "es/kv.db\r\n")
            << kvtest::FullDisk::Reason();
    }
    void refusedWriteGoesOnTopOfOtherProgramsKeys()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, inPlace);
        QFETCH(QByteArray, before);
        QFETCH(QString, reason);
        const QString folder = kvtest::FullDisk::Folder();
        const QString f = folder + "/kvsys.ini";
        QVERIFY(kvtest::WriteFileBytes(f, before));
        const auto remove = qScopeGuard([&] { QFile::remove(f); });
        std::optional<kvtest::ClosedFolder> closed;
        if (inPlace && !closed.emplace(folder).Available())
            QSKIP("No folder can be closed to new files here.");
        // The refused key is longer than a page of the disk: it needs room a
        // full disk does not have, however the file is written.
        const QString longValue(6000, 'v');
        const auto write = [&](const QString& key) {
            TIniFile(f).WriteString("DBconnection", key, key == "a2" ? longValue : "value " + key);
        };
        kvtest::ChildProgram a([&](kvtest::ChildProgram& self) {
            QString refusal;
            TIniFile::SetWriteFailureReport([&](const QString&, const QString& why) { refusal = why; });
            write("a1");
            self.Tell("written");
            self.Wait();
            QElapsedTimer waited;
            waited.start();
            {
                std::optional<kvtest::FullDisk> full;
                if (obstacle == "full disk")
                    full.emplace();
                write("a2");
            }
            self.Tell(QByteArray::number(waited.elapsed()) + ' ' + refusal.toUtf8());
            self.Wait();
            write("a3");
            return 0;
        });
        QCOMPARE(a.Heard(), QByteArray("written"));
        std::optional<kvtest::ChildProgram> third;  // holds the file until told to let go
        if (obstacle != "full disk") {
            third.emplace([&](kvtest::ChildProgram& self) {
                const int fd = ::open(QFile::encodeName(f).constData(), O_RDWR);
                if (fd < 0 || ::flock(fd, obstacle == "reader" ? LOCK_SH : LOCK_EX) != 0)
                    return 1;
                self.Tell("held");
                self.Wait();
                return 0;
            });
            QCOMPARE(third->Heard(), QByteArray("held"));
        }
        a.Go();
        const QByteArray refused = a.Heard();
        const qsizetype space = refused.indexOf(' ');
        QCOMPARE(QString::fromUtf8(refused.mid(space + 1)), reason);
        QVERIFY2(refused.left(space).toLongLong() < kWaitMs + kLeewayMs, refused.constData());
        QCOMPARE(kvtest::FileBytes(f), before + "a1=value a1\r\n");
        if (third) {
            third->Go();
            QCOMPARE(third->Finish(), 0);
        }
        kvtest::ChildProgram b([&](kvtest::ChildProgram&) {
            TIniFile::SetWriteFailureReport([](const QString&, const QString&) { ::_exit(2); });
            for (int i = 1; i <= 5; ++i)
                write(QStringLiteral("b%1").arg(i));
            return 0;
        });
        QCOMPARE(b.Finish(), 0);
        a.Go();
        QCOMPARE(a.Finish(), 0);
        QCOMPARE(kvtest::FileBytes(f), before + "a1=value a1\r\nb1=value b1\r\nb2=value b2\r\nb3=value b3\r\n"
                                                "b4=value b4\r\nb5=value b5\r\na2=" +
                                                longValue.toLatin1() + "\r\na3=value a3\r\n");
        QCOMPARE(kvtest::FilesIn(folder), QStringList{"kvsys.ini"});
    }

    // A read waits for another program writing the file and reads what it
    // wrote. One that holds it past the wait is waited for once: the reads
    // after it (as at the start) read the file as it stands at once.
    void readsWaitForAWriter_data()
    {
        QTest::addColumn<int>("holding");  // ms; -1: until the reads are done
        QTest::addColumn<QString>("read");
        QTest::newRow("held while it is written") << 300 << "/srv/new.db";
        QTest::newRow("held past the wait") << -1 << "/srv/old.db";
    }
    void readsWaitForAWriter()
    {
        QFETCH(int, holding);
        QFETCH(QString, read);
        const QString f = path("held.ini");
        writeBytes(f, "[DBconnection]\r\nKVDSN=/srv/old.db\r\n");
        kvtest::ChildProgram other([&](kvtest::ChildProgram& self) {
            const int fd = ::open(QFile::encodeName(f).constData(), O_RDWR);
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0)
                return 1;
            self.Tell("held");
            if (holding < 0) {
                self.Wait();
                return 0;
            }
            // Written in place, half of it at a time.
            const QByteArray now = "[DBconnection]\r\nKVDSN=/srv/new.db\r\n";
            const ssize_t half = now.size() / 2;
            if (::ftruncate(fd, 0) != 0 || ::write(fd, now.constData(), size_t(half)) != half)
                return 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(holding));
            return ::write(fd, now.constData() + half, size_t(now.size() - half)) == now.size() - half ? 0 : 1;
        });
        QCOMPARE(other.Heard(), QByteArray("held"));
        QElapsedTimer waited;
        waited.start();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(TIniFile(f).ReadString("DBconnection", "KVDSN", ""), read);
        QVERIFY2(waited.elapsed() < kWaitMs + kLeewayMs, qPrintable(QString::number(waited.elapsed())));
        other.Go();
        QCOMPARE(other.Finish(), 0);
    }

    // A file that reads with NUL bytes is read again: NULs shown once leave
    // the write as it would be; NULs that stay (every read, or a FAT file
    // system in user space after another program shortened the file) refuse
    // it with a message naming the file, and the file is left as it is.
    void nulBytesAreReadAgain_data()
    {
        QTest::addColumn<int>("reads");  // that show NUL bytes; -1: every one
        QTest::addColumn<QString>("fileSystem");
        QTest::newRow("shown once") << 1 << "";
        QTest::newRow("shown every time") << -1 << "";
        QTest::newRow("a shortened file on FAT in user space") << 0 << "fusefat";
    }
    void nulBytesAreReadAgain()
    {
        QFETCH(int, reads);
        QFETCH(QString, fileSystem);
        std::optional<kvtest::FuseMount> mounted;
        if (!fileSystem.isEmpty() && !mounted.emplace(fileSystem).Available())
            QSKIP("That file system cannot be mounted here.");
        const QString f = (mounted ? mounted->Folder() : dir.path()) + "/nul.ini";
        const QByteArray text = "[DBconnection]\r\nKVDSN=/srv/kv.db\r\n";
        // Shortened by a program that writes it in place: FAT in user space
        // then shows NUL bytes past the first cluster of the old length.
        if (mounted)
            writeBytes(f, QByteArray(5000, 'x'));
        writeBytes(f, text);
        const QByteArray before = readBytes(f);
        QVERIFY(::stat(QFile::encodeName(f).constData(), &nulFile) == 0);
        nulReads = reads < 0 ? INT_MAX : reads;
        const auto restore = qScopeGuard([&] {
            nulReads = 0;
            TIniFile::ForgetUnwritten();
            QFile::remove(f);
        });
        const bool stays = before.contains('\0') || reads < 0;
        kvtest::MessageRecorder boxes;
        TIniFile(f).WriteString("DBconnection", "ur", "0B");
        if (!stays) {
            QCOMPARE(readBytes(f), before + "ur=0B\r\n");
            QCOMPARE(boxes.Count(), 0);
            return;
        }
        QCOMPARE(readBytes(f), before);
        QCOMPARE(boxes.Texts(), QStringList{kvtest::UnableToWrite(
                                    f, "It reads with NUL bytes where its text should be, which no settings file "
                                       "holds, and is left as it is")});
    }
};

KV_TEST_MAIN_FULL_DISK(TestIniFile)
#include "tst_inifile.moc"
