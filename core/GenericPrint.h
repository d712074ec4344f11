#pragma once
// The printed report: the rows of a data set as a paged landscape report on
// the program's current printer, with a page header, column headings, one
// line per row and a totals line for the money columns.
//
// Lengths of the layout are in tenths of an inch; a negative column width
// means the same width, right-aligned.
#include "DB.h"
#include <QFont>
#include <QRect>
#include <QString>
#include <QVector>
#include <functional>

class QPrintDialog;
class QPrinter;
class QWidget;

// The program's current printer: one for the whole run, chosen and set up
// in the print dialog (which also offers printing to a PDF file).
QPrinter* Printer();
// True when the printer can take a job: a printer device, or a file chosen
// for the output.
bool PrinterAvailable();
// The print dialog on the program's printer; what the operator chooses
// there holds for the rest of the run. Setup: the printer setup of the menu
// and the speed bar, confirmed with "OK". Print: asked when a report is to
// print and no printer is set up yet, confirmed with "Print". True when the
// operator confirmed.
enum class TPrintDialogPurpose { Setup, Print };
bool ExecutePrintDialog(TPrintDialogPurpose Purpose, QWidget* Parent = nullptr);
// Tests answer the dialog: the hook gets it instead of its being shown and
// returns the result (QDialog::Accepted or Rejected).
using PrintDialogHook = std::function<int(QPrintDialog&)>;
PrintDialogHook SetPrintDialogHook(PrintDialogHook Hook);

// Stops the running print job (the progress window's Abort button): nothing
// more is drawn, no page begun, and the output is discarded where the device
// allows it. Does nothing when no job runs.
void AbortPrintJob();
bool PrintJobAborted();

// Print the rows of the data set under the title; the progress window shows
// while it runs. With no printer set up, the print dialog asks for one first
// (cancelling it prints nothing); raises EPrinter when there is still none.
// Printed to a file, the report goes to a file the operator names for it:
// the print dialog just shown named it, or else the save dialog proposes
// FileName (".pdf" added; "report" when empty) in the folder of the last
// report; an existing file is replaced only when the operator says so, and
// where the report was written is told at the end. The report is written
// beside that file and takes its place only when it is complete: one that
// cannot be written raises EPrinter with the system's reason (an existing
// file keeps its bytes), and an aborted one leaves the file as it was.
void PrintDataSet(TDataSet* DataSet, const QString& Title, const QString& FileName = QString());
void PrintQuery(TQuery* Query, const QString& Title, const QString& FileName = QString());

// Why the file at Path is not a complete PDF document (it must begin with
// "%PDF-" and end with "%%EOF"); empty when it is one. A report printed to a
// file takes the place of the file it names only when this finds nothing.
QString PdfFileFault(const QString& Path);

// One cell of a report line: its text and its width in tenths of an inch
// (negative: right-aligned).
struct TReportCell {
    QString Text;
    int Width = 0;
};
using TReportRow = QVector<TReportCell>;

// The pieces of a report. They draw on the job that PrintDataSet runs and
// do nothing outside one (or after it was aborted).
void PrintRow(const TReportRow& Cells);
void PrintPageHeader(const QString& Title);
void PrintHeadingsRow(const QVector<int>& Widths, const QStringList& Headings);
void PrintTotalsRow(const QVector<double>& Totals, const QVector<int>& Widths);

// Layout rules, per field.
enum : int {
    kReportLeftMargin = 2,
    kReportRightMargin = 2,
    kReportTopMargin = 6,
    kReportBottomMargin = 6,
    kReportNarrow = 3,
    kReportMedium = 7,
    kReportWide = 15,
    kReportNumber = -7
};
int ReportColumnWidth(const TField& Field);   // tenths of an inch; 0: no width
QString ReportCellText(const TField& Field);  // of the current record
bool ReportColumnTotals(const TField& Field);  // money and floats are totalled
// Money as the report shows it: two decimals, thousands grouped, in the
// regional separators, with a 0 before the point below 1 (0.20).
QString FormatReportMoney(double Value);

// Tests: every text the report draws, with its page, box and font.
struct TReportText {
    int Page = 0;
    QRect Rect;
    QString Text;
    QFont Font;
};
using ReportTextHook = std::function<void(const TReportText&)>;
ReportTextHook SetReportTextHook(ReportTextHook hook);
