#include "GenericPrint.h"
#include "Application.h"
#include "DateFunctions.h"
#include "Exceptions.h"
#include "Dialogs.h"
#include "Formats.h"
#include "GenFns.h"
#include "Locale.h"
#include "Progress.h"
#include "ReplacementFile.h"
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <cmath>
#include <memory>

// ------------------------------------------------------------------ printer

namespace {
QPrinter*& thePrinter()
{
    static QPrinter* printer = nullptr;
    return printer;
}

void freePrinter()
{
    delete thePrinter();
    thePrinter() = nullptr;
}

PrintDialogHook& dialogHook()
{
    static PrintDialogHook hook;
    return hook;
}

ReportTextHook& textHook()
{
    static ReportTextHook hook;
    return hook;
}

// The state of the report being printed; reset at the start of each one.
struct ReportJob {
    QPagedPaintDevice* device = nullptr;  // what the report is drawn on
    QPrinter* printer = nullptr;          // the printer, when it is drawn on it
    QPainter* painter = nullptr;
    int Y = 0;
    int PageNumber = 0;
    int DpiX = 0;
    int Gap = 0;
    int LineH = 0;
    bool aborted = false;
};
ReportJob g_job;

bool drawing()
{
    return g_job.painter && !g_job.aborted;
}

int pixels(int tenths)
{
    return int(RoundHalfEven(double(g_job.DpiX) * std::abs(tenths) * 0.1, 0));
}

void tell(const QRect& rect, const QString& text)
{
    if (textHook())
        textHook()({g_job.PageNumber, rect, text, g_job.painter->font()});
}
}  // namespace

QPrinter* Printer()
{
    if (!thePrinter()) {
        thePrinter() = new QPrinter(QPrinter::HighResolution);
        // A laser printer's resolution: the report's 20-pixel column gap
        // stays visible.
        thePrinter()->setResolution(600);
        qAddPostRoutine(freePrinter);
    }
    return thePrinter();
}

bool PrinterAvailable()
{
    const QPrinter* p = Printer();
    if (p->outputFormat() == QPrinter::PdfFormat)
        return !p->outputFileName().isEmpty();
    return p->isValid() && !p->printerName().isEmpty();
}

bool ExecutePrintDialog(TPrintDialogPurpose Purpose, QWidget* Parent)
{
    QPrintDialog dialog(Printer(), Parent);
    // The report is printed whole, one copy per job.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (Purpose == TPrintDialogPurpose::Setup) {
        dialog.setObjectName(QStringLiteral("MainPrinterSetupDialog"));
        dialog.setWindowTitle(QStringLiteral("Printer Setup"));
        if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
                ok->setText(QStringLiteral("OK"));
    }
    const int result = dialogHook() ? dialogHook()(dialog) : dialog.exec();
    return result == QDialog::Accepted;
}

PrintDialogHook SetPrintDialogHook(PrintDialogHook Hook)
{
    PrintDialogHook old = std::move(dialogHook());
    dialogHook() = std::move(Hook);
    return old;
}

void AbortPrintJob()
{
    if (!g_job.painter || g_job.aborted)
        return;
    g_job.aborted = true;
    if (g_job.printer)
        g_job.printer->abort();  // not every device can; the job still draws nothing more
}

bool PrintJobAborted()
{
    return g_job.aborted;
}

ReportTextHook SetReportTextHook(ReportTextHook hook)
{
    ReportTextHook old = std::move(textHook());
    textHook() = std::move(hook);
    return old;
}

// ------------------------------------------------------------------- rules

namespace {
bool g_printing = false;

bool isTextType(TFieldType t)
{
    return t == ftString || t == ftFixedChar || t == ftWideString;
}
bool isIntegerType(TFieldType t)
{
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftLargeint;
}

}  // namespace

QString FormatReportMoney(double Value)
{
    // A leading zero before the point: totals read 0.20, not .20.
    return FormatFloat(QStringLiteral("#,###,##0.00"), Value);
}

int ReportColumnWidth(const TField& Field)
{
    const TFieldType t = Field.DataType();
    if (isTextType(t)) {
        const int w = Field.DisplayWidth();
        return w > 10 ? kReportWide : w < 6 ? kReportNarrow : kReportMedium;
    }
    if (t == ftDate || t == ftDateTime)
        return kReportMedium;
    if (t == ftCurrency || t == ftFloat || isIntegerType(t))
        return kReportNumber;
    if (t == ftBoolean)
        return kReportNarrow;
    return 0;
}

bool ReportColumnTotals(const TField& Field)
{
    return Field.DataType() == ftCurrency || Field.DataType() == ftFloat;
}

QString ReportCellText(const TField& Field)
{
    const TFieldType t = Field.DataType();
    if (isTextType(t))
        return Field.DisplayText();
    if (t == ftDate || t == ftDateTime)
        return Field.IsNull() ? QString() : DateToDMY(Field.AsDateTime());
    if (t == ftCurrency || t == ftFloat)
        return FormatReportMoney(Field.AsFloat());
    if (isIntegerType(t)) {
        const QVariant v = Field.Value();
        return QString::number(v.isNull() ? 0 : v.toLongLong());
    }
    if (t == ftBoolean)
        return Field.AsBoolean() ? QStringLiteral("Yes") : QStringLiteral("No");
    return QString();
}

// ------------------------------------------------------------------ pieces

void PrintRow(const TReportRow& Cells)
{
    if (!drawing())
        return;
    QPainter& p = *g_job.painter;
    const QFontMetrics fm = p.fontMetrics();
    int x = 0;
    for (const TReportCell& cell : Cells) {
        const int right = x + pixels(cell.Width);
        if (cell.Width < 0) {
            const int textWidth = fm.horizontalAdvance(cell.Text);
            if (textWidth < right - x)
                x += right - x - textWidth;
        }
        if (right > x && !cell.Text.isEmpty()) {
            const QRect box(x, g_job.Y, right - x, g_job.LineH);
            p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, cell.Text);
            tell(box, cell.Text);
        }
        x = right + 20;
    }
    g_job.Y += 2 * g_job.Gap;
}

void PrintPageHeader(const QString& Title)
{
    if (!drawing())
        return;
    QPainter& p = *g_job.painter;
    const QFont saved = p.font();
    QFont big = saved;
    big.setPointSizeF(saved.pointSizeF() + 2);
    big.setBold(true);
    p.setFont(big);
    const QFontMetrics fm = p.fontMetrics();
    const int pageWidth = g_job.device->width();
    const int l = pixels(kReportLeftMargin) + 2;
    const int r = pixels(kReportRightMargin) + 2;
    g_job.Y += kReportTopMargin * g_job.Gap;
    auto textOut = [&](int x, const QString& text) {
        if (!drawing())
            return;
        p.drawText(QPoint(x, g_job.Y + fm.ascent()), text);
        tell(QRect(x, g_job.Y, fm.horizontalAdvance(text), fm.height()), text);
    };
    textOut(l, QStringLiteral("Page ") + QString::number(g_job.PageNumber));
    textOut(l + (pageWidth - l - r) / 2 - fm.horizontalAdvance(Title) / 2, Title);
    const QString date = QStringLiteral("Date: ") + DateToDMY(Date());
    textOut(pageWidth - r - fm.horizontalAdvance(date), date);
    g_job.Y += g_job.LineH + g_job.Gap;
    p.setFont(saved);
}

namespace {
// Bold and underlined for the duration of one line.
class EmphasisedLine {
public:
    EmphasisedLine()
    {
        QFont f = g_job.painter->font();
        f.setBold(true);
        f.setUnderline(true);
        g_job.painter->setFont(f);
    }
    ~EmphasisedLine()
    {
        QFont f = g_job.painter->font();
        f.setBold(false);
        f.setUnderline(false);
        g_job.painter->setFont(f);
    }
    EmphasisedLine(const EmphasisedLine&) = delete;
    EmphasisedLine& operator=(const EmphasisedLine&) = delete;
};
}  // namespace

void PrintHeadingsRow(const QVector<int>& Widths, const QStringList& Headings)
{
    if (!drawing())
        return;
    EmphasisedLine bold;
    TReportRow row{{QString(), kReportLeftMargin}};
    for (int i = 0; i < Widths.size(); ++i)
        row.push_back({Headings.value(i), Widths[i]});
    PrintRow(row);
}

void PrintTotalsRow(const QVector<double>& Totals, const QVector<int>& Widths)
{
    if (!drawing())
        return;
    EmphasisedLine bold;
    TReportRow row{{QString(), kReportLeftMargin}};
    for (int i = 0; i < Widths.size(); ++i) {
        const double total = Totals.value(i);
        row.push_back({total == 0.0 ? QStringLiteral(" ") : FormatReportMoney(total), Widths[i]});
    }
    PrintRow(row);
}

// ----------------------------------------------------------------- reports

namespace {
// Ends the job however the report leaves: a job that did not finish (aborted
// or failed) counts as aborted, and a printer discards its output where it
// can. The printer gets its orientation back.
class JobGuard {
public:
    JobGuard(QPrinter* printer, QPagedPaintDevice* device, QPainter* painter)
        : m_printer(printer), m_orientation(printer->pageLayout().orientation())
    {
        g_job = ReportJob();
        g_job.device = device;
        g_job.printer = device == printer ? printer : nullptr;
        g_job.painter = painter;
    }
    void Finished() { m_finished = true; }
    ~JobGuard()
    {
        if (!m_finished)
            AbortPrintJob();
        if (g_job.painter->isActive())
            g_job.painter->end();
        m_printer->setPageOrientation(m_orientation);
        g_job.painter = nullptr;
        g_job.printer = nullptr;
        g_job.device = nullptr;
    }
    JobGuard(const JobGuard&) = delete;
    JobGuard& operator=(const JobGuard&) = delete;

private:
    QPrinter* m_printer;
    QPageLayout::Orientation m_orientation;
    bool m_finished = false;
};

// Makes sure the printer can take a job: selects the current (or the
// system's default) printer again; without one, asks in the print dialog
// (`asked`). False when the operator cancelled it.
bool requirePrinter(bool& asked)
{
    asked = false;
    if (PrinterAvailable())
        return true;
    QPrinter* p = Printer();
    const QString name = p->printerName().isEmpty() ? QPrinterInfo::defaultPrinterName() : p->printerName();
    if (!name.isEmpty())
        p->setPrinterName(name);
    if (PrinterAvailable())
        return true;
    asked = true;
    if (!ExecutePrintDialog(TPrintDialogPurpose::Print, QApplication::activeWindow()))
        return false;
    if (!PrinterAvailable())
        throw EPrinter(QStringLiteral("Could Not Initialize Printer TDeviceMode Structure."));
    return true;
}

bool printsToFile(const QPrinter* printer)
{
    return printer->outputFormat() == QPrinter::PdfFormat;
}

// The file of this report, named in the save dialog: the page's name in the
// folder of the last report, or of the file the print dialog named (the
// home folder when that folder is gone). A file that is there already is
// replaced only when the operator says so; otherwise the dialog asks again.
// False when the operator cancelled it.
bool chooseReportFile(QPrinter* printer, const QString& name)
{
    const QFileInfo last(printer->outputFileName());
    TSaveDialogRequest request;
    request.Title = QStringLiteral("Print the report to a file");
    request.FileName = (name.isEmpty() ? QStringLiteral("report") : name) + QStringLiteral(".pdf");
    request.Filter = QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*");
    request.DefaultExt = QStringLiteral("pdf");
    request.InitialDir = !last.fileName().isEmpty() && last.absoluteDir().exists() ? last.absolutePath()
                                                                                    : QDir::homePath();
    for (;;) {
        const QString path = ExecuteSaveDialog(request);
        if (path.isEmpty())
            return false;
        const QFileInfo chosen(path);
        if (!chosen.exists() ||
            MessageDlg(QStringLiteral("%1 already exists. Replace it?").arg(QDir::toNativeSeparators(path)),
                       mtConfirmation, mbYesNo) == mrYes) {
            printer->setOutputFileName(path);
            return true;
        }
        request.FileName = chosen.fileName();
        request.InitialDir = chosen.absolutePath();
    }
}

// The report itself, on the printer as it is set up, or on the writer of its
// file (given the printer's page); the job has ended (and the writer has
// written the whole file) when this returns.
void printReport(TDataSet* DataSet, const QString& Title, QPrinter* printer, QPdfWriter* writer)
{
    g_printing = true;
    struct PrintingFlag {
        ~PrintingFlag() { g_printing = false; }
    } printingFlag;

    QVector<int> widths;
    QStringList headings;
    QVector<double> totals;
    for (int i = 0; i < DataSet->FieldCount(); ++i) {
        const TField& f = *DataSet->Fields(i);
        widths << ReportColumnWidth(f);
        headings << f.DisplayLabel();
        totals << 0.0;
    }

    auto progress = std::make_unique<TProgressForm>();
    progress->Msg->setText(QStringLiteral("Printing data ..."));
    progress->show();
    const int count = DataSet->RecordCount();
    const double step = count > 0 ? 100.0 / count : 100.0;

    QPainter painter;
    QPagedPaintDevice* device = writer ? static_cast<QPagedPaintDevice*>(writer) : printer;
    JobGuard job(printer, device, &painter);
    printer->setPageOrientation(QPageLayout::Landscape);
    if (writer) {
        writer->setPageLayout(printer->pageLayout());
        writer->setResolution(printer->resolution());
    }
    if (!painter.begin(device)) {
        progress->hide();
        throw EPrinter(QStringLiteral("Cannot start printing on %1.")
                           .arg(printer->outputFormat() == QPrinter::PdfFormat ? printer->outputFileName()
                                                                               : printer->printerName()));
    }
    QFont font = QApplication::font();
    font.setPointSize(8);  // the printer canvas's default size
    painter.setFont(font);
    g_job.DpiX = device->logicalDpiX();
    g_job.Gap = device->logicalDpiY() / 10;
    g_job.LineH = painter.fontMetrics().height() + g_job.Gap;
    g_job.PageNumber = 1;
    PrintPageHeader(Title);
    PrintHeadingsRow(widths, headings);

    // A closed data set holds no rows (a page after a database switch shows
    // none and the export finds none): its report is headings and totals.
    if (DataSet->Active()) {
        // The rows come from a reader of their own: the operator may go on
        // using the page (even sort it) while the report prints.
        TRowReader rows(DataSet);
        int done = 0;
        while (!rows->Eof() && !g_job.aborted) {
            TReportRow row{{QString(), kReportLeftMargin}};
            for (int i = 0; i < rows->FieldCount(); ++i) {
                const TField& f = *rows->Fields(i);
                row.push_back({ReportCellText(f), widths[i]});
                if (ReportColumnTotals(f))
                    totals[i] = AddCurrRounded(totals[i], f.AsFloat());
            }
            PrintRow(row);
            if (drawing() && device->height() < g_job.Y + g_job.LineH) {
                g_job.Y = 0;
                device->newPage();
                ++g_job.PageNumber;
                PrintPageHeader(Title);
                PrintHeadingsRow(widths, headings);
            }
            progress->SetPosition(qRound(++done * step));
            ProcessMessages();  // where the Abort button gets pressed
            rows->Next();
        }
    }

    PrintTotalsRow(totals, widths);
    job.Finished();
    progress->hide();
}
}  // namespace

void PrintDataSet(TDataSet* DataSet, const QString& Title, const QString& FileName)
{
    if (!DataSet)
        return;
    // One report at a time: the window stays usable while one prints.
    if (g_printing) {
        MessageDlg(QStringLiteral("A report is being printed. Wait until it has finished."), mtInformation, mbOK);
        return;
    }
    bool asked = false;
    if (!requirePrinter(asked))
        return;
    QPrinter* printer = Printer();
    // A print dialog shown just now named the file (and asked before
    // replacing one); otherwise the file is named for this report.
    const bool toFile = printsToFile(printer);
    if (toFile && !asked && !chooseReportFile(printer, FileName))
        return;
    if (!toFile) {
        printReport(DataSet, Title, printer, nullptr);
        return;
    }
    // The report is written beside its file and takes its place only when it
    // is complete: a report that failed or was aborted leaves a file that is
    // there as it was. A file whose folder takes no new file is written in
    // place when it may be.
    TReplacementFile file(printer->outputFileName());
    if (!file.open())
        throw EPrinter(FileErrorText(TFileStep::Create, file));
    QPdfWriter writer(&file);
    writer.setTitle(printer->docName());
    writer.setCreator(printer->creator());
    writer.setPdfVersion(printer->pdfVersion());
    printReport(DataSet, Title, printer, &writer);
    if (PrintJobAborted())
        return;
    if (!file.Commit(PdfFileFault))
        throw EPrinter(FileErrorText(TFileStep::Write, file));
    const QString where = QDir::toNativeSeparators(file.FileName());
    MessageDlg(QStringLiteral("The report was written to %1.").arg(where), mtInformation, mbOK);
}

QString PdfFileFault(const QString& Path)
{
    QFile f(Path);
    if (!f.open(QIODevice::ReadOnly))
        return f.errorString();
    const QByteArray head = f.read(5);
    const qint64 tailSize = 64;
    if (!f.seek(qMax<qint64>(0, f.size() - tailSize)))
        return f.errorString();
    const QByteArray tail = f.read(tailSize).trimmed();
    if (head != "%PDF-" || !tail.endsWith("%%EOF"))
        return QStringLiteral("The file is not a complete PDF document.");
    return QString();
}

void PrintQuery(TQuery* Query, const QString& Title, const QString& FileName)
{
    PrintDataSet(Query, Title, FileName);
}
