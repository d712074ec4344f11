#include "Cp1252.h"
#include "IniFiles.h"
#include "ReplacementFile.h"
#include "TestSupport.h"
#include <QFile>
#include <QScopeGuard>
#include <optional>
#include <algorithm>
#include <sys/stat.h>  // mkfifo
#include <sys/wait.h>
#include <unistd.h>

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
        QTest::newRow("two objects in one program") << false << false;
        QTest::newRow("two programs") << true << false;
        QTest::newRow("two programs, written in place") << true << true;
    }
    void twoWritersKeepEachOthersKeys()
    {
        QFETCH(bool, programs);
        QFETCH(bool, inPlace);
        QTemporaryDir folder;
        const QString f = folder.filePath("two.ini");
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
};

KV_TEST_MAIN_FULL_DISK(TestIniFile)
#include "tst_inifile.moc"
