#include "GenericPrint.h"
#include "DataMod.h"
#include "GenFns.h"
#include "Locale.h"
#include "Progress.h"
#include "TestSupport.h"
#include <QProcess>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <optional>
#include <sys/stat.h>  // mkfifo

// The printed report, printed to a PDF file: its layout rules, the page
// header, headings and totals, pagination with the progress window, the
// Abort button, and the printer that is not there.
class TestGenericPrint : public QObject {
    Q_OBJECT

    std::unique_ptr<kvtest::TestDatabase> db;
    QTemporaryDir out;
    QList<TReportText> drawn;
    std::function<void(const TReportText&)> onDraw;  // a test's own look at each text
    QList<TSaveDialogRequest> requests;  // the save dialogs of reports printed to a file
    QStringList answers;                 // their answers in turn; then the report file

    static TFieldDef def(const QString& name, TFieldType t, int width = 0, const QString& label = QString())
    {
        TFieldDef d;
        d.Name = name;
        d.DataType = t;
        d.DisplayWidth = width;
        d.DisplayLabel = label;
        return d;
    }
    std::unique_ptr<TQuery> open(const QStringList& sql, const QVector<TFieldDef>& defs)
    {
        auto q = std::make_unique<TQuery>(nullptr, QLatin1String(kDatabaseName));
        for (const QString& line : sql)
            q->SQL().Add(line);
        q->SetFieldDefs(defs);
        q->Open();
        return q;
    }
    std::unique_ptr<TQuery> pageOfRows(int rows)
    {
        db->Exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                         " INSERT INTO tPrint SELECT i, 'Service ' || i, '20260101', 1.25, i % 2 FROM n;")
                     .arg(rows));
        return open({"SELECT ID, Description, StartDate, Rate, Active", "FROM tPrint", "ORDER BY ID"},
                    {def("ID", ftInteger), def("Description", ftString, 30), def("StartDate", ftDateTime),
                     def("Rate", ftFloat), def("Active", ftBoolean)});
    }
    QString pdf() const { return out.filePath("report.pdf"); }
    QString written(const QString& file) const { return "The report was written to " + file + "."; }
    static int pdfPages(const QString& file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        return int(QString::fromLatin1(f.readAll()).count(QRegularExpression("/Type\\s*/Page(?![a-zA-Z])")));
    }
    QStringList texts(int page = 0) const
    {
        QStringList t;
        for (const auto& d : drawn)
            if (page == 0 || d.Page == page)
                t << d.Text;
        return t;
    }
    // The line of texts drawn at the same height as the first text equal to `text`.
    QStringList lineOf(const QString& text, int page = 1) const
    {
        int y = -1;
        for (const auto& d : drawn)
            if (d.Page == page && d.Text == text) {
                y = d.Rect.top();
                break;
            }
        QStringList line;
        for (const auto& d : drawn)
            if (d.Page == page && d.Rect.top() == y)
                line << d.Text;
        return line;
    }
    const TReportText* find(const QString& text) const
    {
        for (const auto& d : drawn)
            if (d.Text == text)
                return &d;
        return nullptr;
    }
    // The service numbers printed, in the order printed.
    QStringList printedIds() const
    {
        QStringList ids;
        for (const auto& d : drawn)
            if (d.Rect.left() > 0 && d.Text.startsWith("Service "))
                ids << d.Text.mid(8);
        return ids;
    }
    static TProgressForm* visibleProgress()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<TProgressForm*>(w); f && f->isVisible())
                return f;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("CREATE TABLE tPrint (ID INTEGER PRIMARY KEY, Description TEXT, StartDate TEXT, Rate REAL,"
                 " Active INTEGER);");
        SetReportTextHook([this](const TReportText& t) {
            drawn << t;
            if (onDraw)
                onDraw(t);
        });
        SetSaveDialogHook([this](const TSaveDialogRequest& r) {
            requests << r;
            return answers.isEmpty() ? pdf() : answers.takeFirst();
        });
    }
    void cleanupTestCase()
    {
        SetReportTextHook(nullptr);
        SetSaveDialogHook(nullptr);
        db.reset();
    }

    void init()
    {
        db->Exec("DELETE FROM tPrint;");
        drawn.clear();
        onDraw = nullptr;
        requests.clear();
        answers.clear();
        QFile::remove(pdf());
        kvtest::RemoveFilesIn(kvtest::FullDisk::Folder());
        Printer()->setOutputFileName(pdf());
        Printer()->setPageOrientation(QPageLayout::Portrait);
    }
    // Each field's width on paper (tenths of an inch, negative: right-aligned)
    // and its text.
    void fieldOnPaper_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("displayWidth");
        QTest::addColumn<QString>("value");  // SQL literal
        QTest::addColumn<int>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("fixed-length string") << int(ftFixedChar) << 40 << "'Leased line'" << 15 << "Leased line";
        QTest::newRow("wide string") << int(ftWideString) << 2 << "'ab'" << 3 << "ab";
        QTest::newRow("date") << int(ftDate) << 30 << "'20260305'" << 7 << "05/03/2026";
        QTest::newRow("date-time drops its time") << int(ftDateTime) << 0 << "'20261231 23:59:59'" << 7 << "31/12/2026";
        QTest::newRow("null date") << int(ftDateTime) << 0 << "NULL" << 7 << "";
        QTest::newRow("money grouped") << int(ftCurrency) << 0 << "1234567.891" << -7 << "1,234,567.89";
        QTest::newRow("money past the pattern") << int(ftCurrency) << 0 << "1234567890.5" << -7 << "1,234,567,890.50";
        QTest::newRow("money half rounds up") << int(ftCurrency) << 0 << "0.105" << -7 << "0.11";
        QTest::newRow("money tiny negative") << int(ftFloat) << 0 << "-0.001" << -7 << "0.00";
        QTest::newRow("float carries") << int(ftFloat) << 0 << "999.999" << -7 << "1,000.00";
        QTest::newRow("large integer") << int(ftLargeint) << 0 << "9876543210" << -7 << "9876543210";
        QTest::newRow("null integer") << int(ftSmallint) << 0 << "NULL" << -7 << "0";
        QTest::newRow("flag") << int(ftBoolean) << 0 << "1" << 3 << "Yes";
        QTest::newRow("time: no width") << int(ftTime) << 0 << "NULL" << 0 << "";
        QTest::newRow("blob: no width") << int(ftBlob) << 0 << "'abc'" << 0 << "";
    }
    void fieldOnPaper()
    {
        QFETCH(int, type);
        QFETCH(int, displayWidth);
        QFETCH(QString, value);
        QFETCH(int, tenths);
        QFETCH(QString, text);
        auto q = open({"SELECT " + value + " AS F"}, {def("F", TFieldType(type), displayWidth)});
        QCOMPARE(ReportColumnWidth(*q->Fields(0)), tenths);
        QCOMPARE(ReportCellText(*q->Fields(0)), text);
    }

    void moneyInOtherSeparators()
    {
        const TFormatSettings saved = FormatSettings();
        TFormatSettings fs = saved;
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
        SetFormatSettings(fs);
        const QString text = FormatReportMoney(1234567.5);
        SetFormatSettings(saved);
        QCOMPARE(text, QString("1.234.567,50"));
    }

    void pageLayout()
    {
        db->Exec("INSERT INTO tPrint VALUES (7, 'Leased line rental charge', '20260305', 0.105, 1);"
                 "INSERT INTO tPrint VALUES (12, 'ISDN', NULL, 0.105, 0);");
        auto q = open({"SELECT ID, Description, StartDate, Rate, Active, Description AS Code, Description AS Short",
                       "FROM tPrint", "ORDER BY ID"},
                      {def("ID", ftInteger, 0, "Id"), def("Description", ftString, 11, "Service"),
                       def("StartDate", ftDateTime, 0, "Start"), def("Rate", ftCurrency, 0, "Rate"),
                       def("Active", ftBoolean, 0, "Live"), def("Code", ftString, 10), def("Short", ftString, 5)});
        bool landscape = false;
        int pageWidth = 0;
        onDraw = [&](const TReportText&) {
            landscape = Printer()->pageLayout().orientation() == QPageLayout::Landscape;
            pageWidth = Printer()->width();
        };
        kvtest::MessageRecorder boxes;
        PrintQuery(q.get(), "tPrint - Unfiltered View");
        QCOMPARE(boxes.Texts(), QStringList{written(pdf())});
        QVERIFY(landscape);
        QCOMPARE(Printer()->pageLayout().orientation(), QPageLayout::Portrait);  // given back
        QCOMPARE(pdfPages(pdf()), 1);

        // Header: page number left, title centred, date right, bold and 2 points larger.
        const int dpi = Printer()->logicalDpiX();
        const int margin = qRound(dpi * 0.2) + 2;
        const TReportText* page = find("Page 1");
        const TReportText* title = find("tPrint - Unfiltered View");
        const TReportText* date = find("Date: 05/03/2026");
        QVERIFY(page && title && date);
        QCOMPARE(page->Rect.left(), margin);
        QVERIFY(qAbs(title->Rect.center().x() - (margin + (pageWidth - 2 * margin) / 2)) <= 1);
        QVERIFY(qAbs(date->Rect.right() + 1 - (pageWidth - margin)) <= 1);
        QVERIFY(page->Font.bold());
        QCOMPARE(page->Font.pointSizeF(), 10.0);
        QCOMPARE(title->Rect.top(), date->Rect.top());

        // Headings: the display labels, bold and underlined.
        QCOMPARE(lineOf("Id"), QStringList({"Id", "Service", "Start", "Rate", "Live", "Code", "Short"}));
        QVERIFY(find("Service")->Font.bold() && find("Service")->Font.underline());

        // Rows in order, in the plain font.
        QCOMPARE(lineOf("7"), QStringList({"7", "Leased line rental charge", "05/03/2026", "0.11", "Yes",
                                           "Leased line rental charge", "Leased line rental charge"}));
        QCOMPARE(lineOf("12"), QStringList({"12", "ISDN", "0.11", "No", "ISDN", "ISDN"}));
        QVERIFY(!find("7")->Font.bold());

        // Widths on paper: display width 11 is 1.5 inch, 10 is 0.7 inch, 5 is 0.3 inch.
        QList<int> widths;
        for (const auto& d : drawn)
            if (d.Text == "Leased line rental charge")
                widths << d.Rect.width();
        QCOMPARE(widths, QList<int>({int(dpi * 1.5), int(dpi * 0.7), int(dpi * 0.3)}));
        // Numbers are right-aligned in their 0.7 inch: both ids end where the column ends.
        QCOMPARE(find("7")->Rect.right(), find("12")->Rect.right());
        QCOMPARE(find("7")->Rect.left() + find("7")->Rect.width(), qRound(dpi * 0.2) + 20 + qRound(dpi * 0.7));

        // Totals: each value rounded to cents (halves to even) before adding; blanks elsewhere.
        const QStringList totals = lineOf("0.20");
        QCOMPARE(totals, QStringList({" ", " ", " ", "0.20", " ", " ", " "}));
        QVERIFY(find("0.20")->Font.underline());

        // And on the paper itself: the text a PDF reader finds in the file.
        QProcess text;
        text.start("pdftotext", {"-layout", pdf(), "-"});
        if (!text.waitForStarted(5000))
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(text.waitForFinished(20000));
        // Compatibility form: the PDF's "fi" ligature reads as two letters.
        const QString paper =
            QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
        for (const char* expected : {"Page 1", "tPrint - Unfiltered View", "Date: 05/03/2026", "Leased line rental charge",
                                     "ISDN", "0.20"})
            QVERIFY2(paper.contains(QLatin1String(expected)), expected);
    }

    void thePageStaysUsableWhileItPrints()
    {
        auto q = pageOfRows(300);
        q->MoveBy(7);
        kvtest::MessageRecorder boxes;
        bool once = false;
        onDraw = [&](const TReportText& t) {
            if (once || t.Text != "150")
                return;
            once = true;
            // Halfway through, the operator prints again and sorts the page.
            PrintQuery(q.get(), "again");
            q->Close();
            q->SQL().SetStrings(2, "ORDER BY ID DESC");
            q->Open();
        };
        PrintQuery(q.get(), "tPrint - Unfiltered View");
        QCOMPARE(boxes.Texts(), QStringList({"A report is being printed. Wait until it has finished.", written(pdf())}));
        const QStringList ids = printedIds();
        QCOMPARE(ids.size(), 300);
        QCOMPARE(ids.first(), QString("1"));
        QCOMPARE(ids.last(), QString("300"));  // the report kept its order
        QCOMPARE(q->FieldByName("ID")->AsInteger(), 300);  // the page shows its new sort
        QVERIFY(!texts().contains("again"));
    }

    void tenThousandRowsPaginate()
    {
        auto q = pageOfRows(10000);
        q->MoveBy(3);
        int scrolls = 0;
        connect(q.get(), &TDataSet::AfterScroll, this, [&] { ++scrolls; });
        QStringList progress;  // as last seen while drawing
        onDraw = [&](const TReportText&) {
            if (TProgressForm* f = visibleProgress())
                progress = QStringList{f->Msg->text(), f->btnCancel->isVisible() ? f->btnCancel->text() : "",
                                       QString::number(f->ProgressBar1->value())};
        };
        kvtest::MessageRecorder boxes;
        PrintQuery(q.get(), "tPrint - Unfiltered View");
        QCOMPARE(progress, QStringList({"Printing data ...", "Abort", "100"}));
        QVERIFY(!visibleProgress());
        QCOMPARE(boxes.Texts(), QStringList{written(pdf())});

        const int pages = drawn.last().Page;
        QVERIFY2(pages > 100, qPrintable(QString::number(pages)));
        QCOMPARE(pdfPages(pdf()), pages);
        for (int p = 1; p <= pages; ++p)
            QCOMPARE(texts(p).mid(0, 4), QStringList({QString("Page %1").arg(p), "tPrint - Unfiltered View",
                                                      "Date: 05/03/2026", "ID"}));
        const QStringList ids = printedIds();
        QCOMPARE(ids.size(), 10000);
        QCOMPARE(ids.first(), QString("1"));
        QCOMPARE(ids.last(), QString("10000"));
        const TReportText* total = find("12,500.00");  // 10,000 x 1.25
        QVERIFY(total && total->Page == pages && total->Font.underline());

        // The grid was not told about every row, and stays on its row.
        QVERIFY(scrolls <= 2);
        QCOMPARE(q->RecNo(), 4);
    }

    void abortStopsTheJob_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<bool>("existing");  // a report there, replaced after Yes
        QTest::newRow("Abort button clicked") << false << false;
        QTest::newRow("Escape pressed") << true << false;
        QTest::newRow("Abort button clicked, a report there") << false << true;
    }
    void abortStopsTheJob()
    {
        QFETCH(bool, escape);
        QFETCH(bool, existing);
        const QByteArray earlier = "%PDF-1.4\n% an earlier report\n%%EOF\n";
        if (existing)
            QVERIFY(kvtest::WriteFileBytes(pdf(), earlier));
        auto q = pageOfRows(10000);
        int drawnAtAbort = -1;
        onDraw = [&](const TReportText& t) {
            if (t.Page == 2 && drawnAtAbort < 0) {
                TProgressForm* f = visibleProgress();
                QVERIFY(f);
                drawnAtAbort = int(drawn.size());
                if (escape)
                    QTest::keyClick(f, Qt::Key_Escape);
                else
                    QTest::mouseClick(f->btnCancel, Qt::LeftButton);
            }
        };
        kvtest::MessageRecorder boxes;
        PrintQuery(q.get(), "tPrint");
        QVERIFY(drawnAtAbort > 0);
        QVERIFY(PrintJobAborted());
        // Nothing is drawn after the click, not even the rest of the header.
        QCOMPARE(int(drawn.size()), drawnAtAbort);
        QCOMPARE(drawn.last().Page, 2);
        QVERIFY(!find("1,250.00") && !find("12,500.00"));
        QCOMPARE(boxes.Texts(), existing ? QStringList{pdf() + " already exists. Replace it?"} : QStringList());
        QVERIFY(!visibleProgress());
        // Nothing comes out of a cancelled job: a report there keeps its
        // bytes, and nothing is left beside it.
        QCOMPARE(kvtest::FilesIn(out.path()), existing ? QStringList{"report.pdf"} : QStringList());
        QCOMPARE(kvtest::FileBytes(pdf()), existing ? earlier : QByteArray());

        // The next report prints in full again.
        onDraw = nullptr;
        auto small = open({"SELECT ID FROM tPrint WHERE ID <= 2"}, {def("ID", ftInteger)});
        PrintQuery(small.get(), "again");
        QCOMPARE(pdfPages(pdf()), 1);
    }

    // With no printer set up the print dialog is asked: cancelled, nothing
    // prints; confirmed without a printer, the error; a file chosen there is
    // printed on, and the choice holds for the next report.
    void noPrinterAsksTheDialog_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("chooseFile");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << false << false << QStringList();
        QTest::newRow("confirmed, still no printer")
            << true << false << QStringList{"Could Not Initialize Printer TDeviceMode Structure."};
        QTest::newRow("a PDF file chosen") << true << true << QStringList{written(pdf())};
    }
    void noPrinterAsksTheDialog()
    {
        QFETCH(bool, confirm);
        QFETCH(bool, chooseFile);
        QFETCH(QStringList, messages);
        if (!QPrinterInfo::defaultPrinterName().isEmpty())
            QSKIP("this machine has a default printer; the program prints on it without asking");
        Printer()->setOutputFileName(QString());
        Printer()->setOutputFormat(QPrinter::NativeFormat);
        Printer()->setPrinterName(QString());  // nothing chosen yet
        QVERIFY(!PrinterAvailable());
        int asked = 0;
        SetPrintDialogHook([&](QPrintDialog& dialog) {
            ++asked;
            if (chooseFile)
                dialog.printer()->setOutputFileName(pdf());
            return confirm ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        auto q = pageOfRows(3);
        kvtest::MessageRecorder boxes;
        try {
            PrintQuery(q.get(), "tPrint");
        } catch (const EPrinter& e) {
            HandleException(e);  // as the application's last guard shows it
        }
        QCOMPARE(asked, 1);
        QCOMPARE(boxes.Texts(), messages);
        QCOMPARE(QFile::exists(pdf()), chooseFile);
        QCOMPARE(drawn.isEmpty(), !chooseFile);
        QVERIFY(!visibleProgress());
        QVERIFY(requests.isEmpty());  // the print dialog named the file
        if (chooseFile) {
            // Printing to a file holds; the next report's file is named anew.
            QFile::remove(pdf());
            PrintQuery(q.get(), "again");
            QCOMPARE(asked, 1);
            QCOMPARE(requests.size(), 1);
            QVERIFY(QFile::exists(pdf()));
        }
        SetPrintDialogHook(nullptr);
    }

    // Printing to a file asks for each report's file, proposing the page's
    // name in the folder of the last one, and never replaces a report
    // without asking: No asks for another name, Yes replaces it.
    void printToFileNamesEachReport()
    {
        auto q = pageOfRows(3);
        const QString first = out.filePath("first/tPrint.pdf");
        QVERIFY(QDir().mkpath(out.filePath("first")));
        kvtest::MessageRecorder boxes;
        answers << first;
        PrintQuery(q.get(), "tPrint - Unfiltered View", "tPrint");
        QCOMPARE(requests.size(), 1);
        QCOMPARE(QStringList({requests[0].FileName, requests[0].InitialDir, requests[0].DefaultExt}),
                 QStringList({"tPrint.pdf", out.path(), "pdf"}));
        QCOMPARE(boxes.Texts(), QStringList{written(first)});
        const QByteArray report = [&] {
            QFile f(first);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(report.startsWith("%PDF"));

        // The same name again: No asks again, and cancelling there prints nothing.
        boxes.Clear();
        drawn.clear();
        answers << first << QString();
        boxes.Answer(mrNo);
        PrintQuery(q.get(), "second", "tPrint");
        QCOMPARE(requests.size(), 3);
        QCOMPARE(requests[1].InitialDir, out.filePath("first"));
        QCOMPARE(requests[2].FileName, QString("tPrint.pdf"));
        QCOMPARE(boxes.Texts(), QStringList{first + " already exists. Replace it?"});
        QCOMPARE(boxes.Boxes().first().Type, mtConfirmation);
        QVERIFY(drawn.isEmpty());
        QFile kept(first);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), report);
        kept.close();

        // Yes replaces it.
        boxes.Clear();
        answers << first;
        boxes.Answer(mrYes);
        PrintQuery(q.get(), "third", "tPrint");
        QCOMPARE(boxes.Texts(), QStringList({first + " already exists. Replace it?", written(first)}));
        QVERIFY(texts().contains("third"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY(kept.readAll() != report);
    }

    // On a full disk the report is not written, nor said to be: a report
    // there (replaced after Yes) keeps its bytes, a new one is not made,
    // nothing is left beside it, and the operator reads the system's reason
    // instead. With room again it is written.
    void fullDisk_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("closed");  // the folder takes no new file: written in place
        QTest::newRow("one page over a report there") << 3 << true << false;
        QTest::newRow("one page, new file") << 3 << false << false;
        QTest::newRow("many pages over a report there") << 600 << true << false;
        QTest::newRow("many pages, new file") << 600 << false << false;
        QTest::newRow("many pages over a report there, folder closed") << 600 << true << true;
    }
    void fullDisk()
    {
        QFETCH(int, rows);
        QFETCH(bool, existing);
        QFETCH(bool, closed);
        const QString folder = kvtest::FullDisk::Folder();
        const QString file = folder + "/tPrint.pdf";
        const QByteArray earlier = "%PDF-1.4\n% an earlier report\n%%EOF\n";
        if (existing)
            QVERIFY(kvtest::WriteFileBytes(file, earlier));
        const QStringList replace = existing ? QStringList{file + " already exists. Replace it?"} : QStringList();
        auto q = pageOfRows(rows);
        kvtest::MessageRecorder boxes;
        answers << file;
        std::optional<kvtest::ClosedFolder> closing;
        if (closed && !closing.emplace(folder).Available())
            QSKIP("No folder can be closed to new files here.");
        {
            kvtest::FullDisk full;
            RunGuarded([&] { PrintQuery(q.get(), "tPrint", "tPrint"); });
        }
        QCOMPARE(boxes.Texts(), replace + QStringList{"Cannot write file \"" + file + "\". " +
                                                      kvtest::FullDisk::Reason() + "."});
        QCOMPARE(boxes.Boxes().last().Type, mtError);
        QCOMPARE(kvtest::FilesIn(folder), existing ? QStringList{"tPrint.pdf"} : QStringList());
        if (existing)
            QCOMPARE(kvtest::FileBytes(file), earlier);
        QVERIFY(!visibleProgress());

        boxes.Clear();
        drawn.clear();
        answers << file;
        PrintQuery(q.get(), "tPrint", "tPrint");
        QCOMPARE(boxes.Texts(), replace + QStringList{written(file)});
        QCOMPARE(kvtest::FilesIn(folder), QStringList{"tPrint.pdf"});
        QCOMPARE(pdfPages(file), drawn.last().Page);
    }

    // In a folder that takes no new file, a report there that may be
    // written is written in place, whole, whether it was longer or shorter.
    void closedFolder_data()
    {
        QTest::addColumn<int>("oldSize");
        QTest::newRow("over a longer file") << 1000000;
        QTest::newRow("over a shorter file") << 10;
    }
    void closedFolder()
    {
        QFETCH(int, oldSize);
        const QString folder = out.filePath("closed");
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/tPrint.pdf";
        QVERIFY(kvtest::WriteFileBytes(file, QByteArray(oldSize, '%')));
        auto q = pageOfRows(3);
        kvtest::MessageRecorder boxes;
        answers << file;
        {
            kvtest::ClosedFolder closing(folder);
            if (!closing.Available())
                QSKIP("No folder can be closed to new files here.");
            RunGuarded([&] { PrintQuery(q.get(), "tPrint", "tPrint"); });
        }
        QCOMPARE(boxes.Texts(), QStringList({file + " already exists. Replace it?", written(file)}));
        QCOMPARE(kvtest::FilesIn(folder), QStringList{"tPrint.pdf"});
        QCOMPARE(PdfFileFault(file), QString());
        QCOMPARE(pdfPages(file), 1);
        QVERIFY(QDir(folder).removeRecursively());
    }

    // Any name the file system takes can be printed to; a longer one is
    // refused with the system's reason.
    void longFileNames_data() { kvtest::AddNameLengthRows(); }
    void longFileNames()
    {
        QFETCH(int, length);
        const QString file = out.filePath(QString(length - 4, QChar('p')) + ".pdf");
        answers << file;
        auto q = pageOfRows(3);
        kvtest::MessageRecorder boxes;
        RunGuarded([&] { PrintQuery(q.get(), "tPrint", "tPrint"); });
        if (length > 255) {
            QCOMPARE(boxes.Texts(),
                     QStringList{"Cannot create file \"" + file + "\". " + qt_error_string(ENAMETOOLONG) + "."});
            QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).filter("pppp"), QStringList());
            return;
        }
        QCOMPARE(boxes.Texts(), QStringList{written(file)});
        QCOMPARE(PdfFileFault(file), QString());
        QVERIFY(QFile::remove(file));
    }

    // A report file takes its place only when it is a whole PDF document:
    // what a disk that fills up leaves behind is refused.
    void pdfFileFault_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("whole");
        QTest::newRow("empty") << "empty" << false;
        QTest::newRow("a block of zeros") << "zeros" << false;
        QTest::newRow("the first block of a report") << "head" << false;
        QTest::newRow("a report less its last bytes") << "chopped" << false;
        QTest::newRow("a whole report") << "whole" << true;
    }
    void pdfFileFault()
    {
        QFETCH(QString, kind);
        QFETCH(bool, whole);
        auto q = pageOfRows(40);
        kvtest::MessageRecorder boxes;
        PrintQuery(q.get(), "tPrint");
        const QByteArray report = kvtest::FileBytes(pdf());
        QVERIFY(report.size() > 4096);
        const QByteArray bytes = kind == "empty"     ? QByteArray()
                                 : kind == "zeros"   ? QByteArray(4096, '\0')
                                 : kind == "head"    ? report.left(4096)
                                 : kind == "chopped" ? report.chopped(4)
                                                     : report;
        const QString file = out.filePath("fault.pdf");
        QVERIFY(kvtest::WriteFileBytes(file, bytes));
        QCOMPARE(PdfFileFault(file), whole ? QString() : QString("The file is not a complete PDF document."));
        QVERIFY(QFile::remove(file));
    }

    // No report is drawn where no file can be made: a folder that is not
    // there, a new file in a folder that takes none, or a named pipe or a
    // device (itself or through a link), which are left as they are.
    void fileThatCannotBeMade_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QString notAFile = "It is %1, not an ordinary file, and is left as it is.";
        QTest::newRow("no such folder") << "missing" << qt_error_string(ENOENT) + ".";
        QTest::newRow("a new file in a closed folder") << "closed" << kvtest::ClosedFolder::Reason() + ".";
        QTest::newRow("a named pipe") << "pipe" << notAFile.arg("a named pipe");
        QTest::newRow("the null device") << "device" << notAFile.arg("a device");
        QTest::newRow("a link to the null device") << "null" << notAFile.arg("a device");
    }
    void fileThatCannotBeMade()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString folder = out.filePath("blocked");
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(QDir().mkpath(folder));
        QString bad = kind == "missing" ? out.filePath("no such folder/report.pdf") : folder + "/report.pdf";
        if (kind == "pipe")
            QVERIFY(::mkfifo(QFile::encodeName(bad).constData(), 0600) == 0);
        if (kind == "null")
            QVERIFY(QFile::link("/dev/null", bad));
        if (kind == "device")
            bad = "/dev/null";
        const QString thing = kind == "null" ? "/dev/null" : bad;
        const QString before = kvtest::NodeAt(thing);
        const bool there = !before.isEmpty();
        answers << bad;
        auto q = pageOfRows(3);
        kvtest::MessageRecorder boxes;
        {
            std::optional<kvtest::ClosedFolder> closing;
            if (kind == "closed" && !closing.emplace(folder).Available())
                QSKIP("No folder can be closed to new files here.");
            RunGuarded([&] { PrintQuery(q.get(), "tPrint"); });
        }
        const QStringList asked = there ? QStringList{bad + " already exists. Replace it?"} : QStringList();
        QCOMPARE(boxes.Texts(), asked + QStringList{"Cannot create file \"" + bad + "\". " + reason});
        QVERIFY(drawn.isEmpty());
        QVERIFY(!visibleProgress());
        QCOMPARE(kvtest::NodeAt(thing), before);
        QCOMPARE(kvtest::FilesIn(folder), kind == "pipe" || kind == "null" ? QStringList{"report.pdf"} : QStringList());
        QVERIFY(QDir(folder).removeRecursively());
    }
};

KV_TEST_MAIN_FULL_DISK(TestGenericPrint)
#include "tst_genericprint.moc"
