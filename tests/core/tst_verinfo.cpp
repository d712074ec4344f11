#include "About.h"
#include "TestSupport.h"
#include "VerInfo.h"
#include "VerInfoBlock.h"
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

namespace {

using Entries = QList<QPair<QByteArray, QByteArray>>;

const QByteArray Fixed = "4277077181 65536 131075 262149 131075 262149 63 0 0 1 0 0 0";

// A block as the build writes one, with a chosen fixed part and strings.
QByteArray Block(const QByteArray& fixed = Fixed, const Entries& strings = {
                     {"\\StringFileInfo\\080904B0\\CompanyName", "Acme Telecom"},
                     {"\\StringFileInfo\\080904B0\\FileVersion", "2.3.4.5"},
                     {"\\StringFileInfo\\080904B0\\Comments", "Reference data"}})
{
    Entries entries{{"\\", fixed}, {"\\VarFileInfo\\Translation", "0809 04B0"}};
    entries += strings;
    return MakeVersionBlock(entries);
}

// The project's version as the top-level build script declares it.
QString ProjectVersion()
{
    QFile file(kvtest::SourcePath(QStringLiteral("CMakeLists.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const auto match = QRegularExpression(QStringLiteral("project\\(\\s*kvsys\\s+VERSION\\s+([0-9.]+)"))
                           .match(QString::fromUtf8(file.readAll()));
    return match.captured(1);
}

}  // namespace

class TestVerInfo : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void ownExecutableCarriesTheProjectVersion()
    {
        const QString version = ProjectVersion();
        QVERIFY(!version.isEmpty());
        const TVerInfoRes info(QCoreApplication::applicationFilePath());
        QCOMPARE(info.GetVersionString(TVerInfoRes::viFileVersion), version);
        QCOMPARE(info.GetVersionString(TVerInfoRes::viProductVersion), version);
        QCOMPARE(info.GetVersionString(TVerInfoRes::viCompanyName), QStringLiteral(KV_VERINFO_COMPANY_NAME));
        QCOMPARE(info.GetVersionString(TVerInfoRes::viOriginalFilename), QStringLiteral("kvsys"));

        const QStringList parts = version.split('.');
        QCOMPARE(info.FixedFileInfo().dwFileVersionMS, parts.value(0).toUInt() << 16 | parts.value(1).toUInt());
        QCOMPARE(info.Translation(), 0x04B00809u);

        // Only a debug build says so.
#ifdef NDEBUG
        QVERIFY(!info.Flags().Lines().contains(QStringLiteral("Debug")));
#else
        QVERIFY(info.Flags().Lines().contains(QStringLiteral("Debug")));
#endif
    }

    // The first block among other bytes counts.
    void strings()
    {
        const QByteArray before(5000, 'x');
        const TVerInfoRes info(write(QStringLiteral("strings.bin"), before + Block() + QByteArray(300, '\0') +
                                                                         Block(Fixed, {})));
        QCOMPARE(info.Handle(), quint32(before.size()));
        QCOMPARE(info.Size(), qint32(Block().size()));
        QCOMPARE(info.GetVersionString(TVerInfoRes::viCompanyName), QStringLiteral("Acme Telecom"));
        QCOMPARE(info.GetVersionString(TVerInfoRes::viFileVersion), QStringLiteral("2.3.4.5"));
        QCOMPARE(info.GetVersionString(TVerInfoRes::viLegalTrademarks), QString());  // absent key
        QCOMPARE(info.GetVersionString(10), QString());
        QCOMPARE(info.FixedFileInfo().dwFileVersionMS, 131075u);

        // Strings of another translation than the first are not read; the
        // table's name is matched without regard to case.
        const TVerInfoRes other(write(QStringLiteral("other.bin"),
                                      Block(Fixed, {{"\\StringFileInfo\\040904E4\\CompanyName", "US"},
                                                    {"\\stringfileinfo\\080904b0\\comments", "lower"}})));
        QCOMPARE(other.GetVersionString(TVerInfoRes::viCompanyName), QString());
        QCOMPARE(other.GetVersionString(TVerInfoRes::viComments), QStringLiteral("lower"));
    }

    void errors_data()
    {
        QTest::addColumn<QByteArray>("content");  // "<none>": no file at all
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("message");
        const QByteArray block = Block();
        const QString none = QStringLiteral("No Version Info Available.");
        QTest::newRow("missing file") << QByteArray("<none>") << "ENoVerInfoError" << none;
        QTest::newRow("plain text") << QByteArray("#!/bin/sh\necho hello\n") << "ENoVerInfoError" << none;
        QTest::newRow("start without end") << block.left(block.size() - 14) + QByteArray(100, 'z')
                                           << "ENoVerInfoError" << none;
        QTest::newRow("entries not closed")
            << MakeVersionBlock({{"\\", Fixed}}).replace(QByteArray(Fixed + '\0' + '\0'), Fixed + '\0')
            << "EVerInfoError" << "Cannot obtain version info.";
        QTest::newRow("no translation") << MakeVersionBlock({{"\\", Fixed}}) << "EVerInfoError"
                                        << "No language info.";
        QTest::newRow("no fixed part") << MakeVersionBlock({{"\\VarFileInfo\\Translation", "0809 04B0"}})
                                       << "eNoFixeVerInfo" << "No fixed file info";
        QTest::newRow("fixed part of 48 bytes")
            << Block("4277077181 65536 131075 262149 131075 262149 63 0 0 1 0 0") << "eNoFixeVerInfo"
            << "No fixed file info";
    }
    void errors()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        QFETCH(QString, message);
        const QString path = content == "<none>" ? m_dir.filePath(QStringLiteral("absent.exe"))
                                                 : write(QStringLiteral("error.bin"), content);
        QString raised;
        try {
            TVerInfoRes info(path);
        } catch (const ENoVerInfoError& e) {
            raised = "ENoVerInfoError: " + e.Message();
        } catch (const EVerInfoError& e) {
            raised = "EVerInfoError: " + e.Message();
        } catch (const eNoFixeVerInfo& e) {
            raised = "eNoFixeVerInfo: " + e.Message();
        }
        QCOMPARE(raised, error + ": " + message);
    }

    void flags_data()
    {
        QTest::addColumn<QByteArray>("mask");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("all four in order") << QByteArray("63") << QByteArray("43")
                                           << QStringList{"Pre-release", "Private build", "Special build", "Debug"};
        QTest::newRow("patched and inferred are not named") << QByteArray("63") << QByteArray("20")
                                                            << QStringList();
        QTest::newRow("debug outside the mask") << QByteArray("2") << QByteArray("3")
                                                << QStringList{"Pre-release"};
    }
    void flags()
    {
        QFETCH(QByteArray, mask);
        QFETCH(QByteArray, flags);
        QFETCH(QStringList, list);
        const QByteArray fixed = "4277077181 65536 1 0 1 0 " + mask + ' ' + flags + " 0 1 0 0 0";
        const TVerInfoRes info(write(QStringLiteral("flags.bin"), Block(fixed)));
        QCOMPARE(info.Flags().Lines(), list);
    }

    void aboutBoxShowsTheProgramsVersion()
    {
        TAboutBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QCOMPARE(box.lblVersion->text(), QString());  // filled when shown
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(QStringList({box.lblProduct->text(), box.lblVersion->text(), box.lblCompany->text(),
                              box.lblComments->text()}),
                 QStringList({"Invoice Brellinghast", ProjectVersion(), KV_VERINFO_COMPANY_NAME, KV_VERINFO_COMMENTS}));
        QCOMPARE(QStringList({box.ProductName->text(), box.Version->text(), box.Copyright->text(), box.Comments->text()}),
                 QStringList({"Product Name", "Version", "Copyright", "Comments"}));

        QTest::mouseClick(box.OKButton, Qt::LeftButton);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
        QVERIFY(!box.VerInfo());  // the reader goes with the closing
    }

    // Every caption and value is whole, whatever the block holds: the box
    // sizes itself to its text.
    void aboutBoxShowsAllItsText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("the program's own block") << QString();
        QTest::newRow("long comments") << write(QStringLiteral("long.bin"), Block(Fixed, {
            {"\\StringFileInfo\\080904B0\\Comments", QByteArray("Reference tables of the invoice database: ").repeated(5)},
            {"\\StringFileInfo\\080904B0\\FileVersion", "1.2.3.4"}}));
    }
    void aboutBoxShowsAllItsText()
    {
        QFETCH(QString, file);
        TAboutBox box(nullptr, file);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QRect inside = box.Panel1->contentsRect();
        for (QLabel* l : box.Panel1->findChildren<QLabel*>()) {
            QVERIFY2(inside.contains(l->geometry()), qPrintable(l->objectName()));
            if (l->wordWrap())
                QVERIFY2(l->height() >= l->heightForWidth(l->width()), qPrintable(l->objectName()));
            else
                QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text()), qPrintable(l->objectName()));
        }
        QVERIFY(box.rect().contains(box.Panel1->geometry()));
        QVERIFY(box.rect().contains(box.OKButton->geometry()));
        QVERIFY(box.OKButton->y() >= box.Panel1->geometry().bottom());
        QVERIFY(box.height() < 400);  // the long comments wrap instead of widening the box endlessly
    }

    void aboutBoxIsNotMadeWithoutAVersionBlock()
    {
        kvtest::MessageRecorder recorder;
        const QString path = write(QStringLiteral("plain.bin"), "no block here");
        QPointer<TAboutBox> made;
        try {
            made = new TAboutBox(nullptr, path);
        } catch (const Exception& e) {
            HandleException(e);  // what the application's last guard does
        }
        QVERIFY(!made);
        QCOMPARE(recorder.Texts(), QStringList{"No Version Info Available."});
    }
};

KV_TEST_MAIN(TestVerInfo)
#include "tst_verinfo.moc"
