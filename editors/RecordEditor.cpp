#include "RecordEditor.h"
#include "Application.h"
#include "CurrEdit.h"
#include "DataMod.h"
#include "DateUtil.h"
#include "DateFunctions.h"
#include "Formats.h"
#include "GenFns.h"
#include "Locale.h"
#include "LookupCombo.h"
#include "OperatorIdentity.h"
#include "SqlText.h"
#include "ToolEdit.h"
#include <QApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <limits>

void Refuse(const QString& message)
{
    throw ESaveRefused(message);
}

void Refuse(QWidget* input, const QString& message)
{
    throw EInputRefused(input, message);
}

QString InputCaption(const QWidget* input)
{
    const QWidget* window = input->window();
    // An edit inside a list or other control is named by that control.
    for (const QWidget* named = input; named && named != window; named = named->parentWidget())
        for (const QLabel* label : window->findChildren<QLabel*>())
            if (label->buddy() == named ||
                (!named->objectName().isEmpty() &&
                 label->objectName() == QStringLiteral("lbl") + named->objectName().mid(3))) {
                QString caption = label->text().remove(QChar('&')).simplified();
                if (caption.endsWith(QChar(':')))
                    caption.chop(1);
                return caption.trimmed();
            }
    return QString();
}

// ------------------------------------------------------------ statement text

QString Quote(const QString& value)
{
    return QChar('\'') + SqlStr(value) + QChar('\'');
}

QString QuoteOrNull(const QString& value)
{
    return value.isEmpty() ? QStringLiteral("NULL") : Quote(value);
}

QString BareOrNull(const QString& value)
{
    return value.isEmpty() ? QStringLiteral("NULL") : value;
}

QString TextItem(const QString& value)
{
    return QuoteOrNull(value) + QChar(',');
}

QString IdText(int id)
{
    return id > 0 ? QString::number(id) : QString();
}

QString BitText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

namespace {
// The line without its final comma (blanks after it go too); unchanged when
// it has none.
QString withoutFinalComma(const QString& line)
{
    QString s = line;
    while (s.endsWith(QChar(' ')))
        s.chop(1);
    if (s.endsWith(QChar(',')))
        s.chop(1);
    else
        return line;
    return s;
}
}  // namespace

void DropFinalComma(QStringList& lines)
{
    if (!lines.isEmpty())
        lines.last() = withoutFinalComma(lines.last());
}

QStringList InsertStatement(const QString& table, QStringList columnLines, QStringList valueLines)
{
    for (QStringList* part : {&columnLines, &valueLines})
        if (!part->isEmpty())
            part->last() = withoutFinalComma(part->last()) + QChar(')');
    return QStringList{QStringLiteral("INSERT INTO ") + table} + columnLines + valueLines;
}

QString CurrText(double value)
{
    return SqlFloat(RoundHalfEven(value, 4));
}

QString DateEditYMD(TCustomDateEdit* edit)
{
    if (edit->TextIsBlank())
        return QString();
    edit->CheckValidDate();
    return DateToYMD(edit->Date());
}

double AmountValue(const TCustomNumEdit* edit, const QString& name)
{
    double value = 0;
    if (!TryStrToFloat(TCustomNumEdit::NormalizeNumberText(edit->text()), value))
        Refuse(QStringLiteral("%1: '%2' is not a valid floating point value.").arg(name, edit->text().trimmed()));
    return edit->Value();
}

bool DecimalPointText(const QString& typed, QString& point, int* valid)
{
    const bool negative = typed.startsWith(QChar('-'));
    QString digits = typed.mid(negative ? 1 : 0);
    const QChar separator = FormatSettings().DecimalSeparator;
    if (separator != QChar('.'))
        digits.replace(separator, QChar('.'));
    bool ok = false;
    CheckDecimalText(digits, ok);
    if (valid)
        *valid = int(negative) + int(digits.size());
    point.clear();
    if (!ok)
        return false;
    if (typed.isEmpty())
        return true;
    // Digits and points can still be no number ("1.2.3", "."), or group
    // thousands.
    bool grouped = false;
    return AmountPointText(typed, point, &grouped) && !grouped;
}

void RefuseIdBeyondEditors(qint64 id)
{
    if (id > std::numeric_limits<int>::max())
        Refuse(QStringLiteral("The new row would get the id %1, which is too large for this program; nothing was "
                              "saved.")
                   .arg(id));
}

bool ParseIdText(QString& text, int& id)
{
    bool cut = false;
    CutAtFirstNonDigit(text, cut);
    id = 0;
    if (cut)
        return false;
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value > std::numeric_limits<int>::max())
        return false;
    id = int(value);
    return true;
}

void SetUpperCase(QLineEdit* edit)
{
    TypeCapitals(edit);
}

void ShowReadOnly(QLineEdit* edit)
{
    if (auto* kitEdit = qobject_cast<TCustomComboEdit*>(edit))
        kitEdit->SetReadOnly(true);  // stays so whatever else the kit's edit changes
    else
        edit->setReadOnly(true);
    QPalette palette = edit->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Window));
    edit->setPalette(palette);
}

// ------------------------------------------------------------ the font

namespace {

// The place a control was given, kept for ScaleToFont.
constexpr char kGivenPlace[] = "kvGivenPlace";

// Both edges are scaled, so controls that touch or line up still do.
QRect scaledRect(const QRect& r, const QSizeF& factor)
{
    const int left = ScaledPixels(r.x(), factor.width());
    const int top = ScaledPixels(r.y(), factor.height());
    return QRect(left, top, ScaledPixels(r.x() + r.width(), factor.width()) - left,
                 ScaledPixels(r.y() + r.height(), factor.height()) - top);
}

// A frame that only holds controls; anything else is a control whose parts
// are its own business.
bool isPlainFrame(const QWidget* w)
{
    const QMetaObject* kind = w->metaObject();
    return kind == &QFrame::staticMetaObject || kind == &QWidget::staticMetaObject;
}

void scaleControls(QWidget* parent, const QSizeF& factor)
{
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow())
            continue;
        auto* label = qobject_cast<QLabel*>(w);
        const bool captionSized = label && label->size() == label->sizeHint();
        const QVariant given = w->property(kGivenPlace);
        w->setGeometry(scaledRect(given.isValid() ? given.toRect() : w->geometry(), factor));
        if (captionSized) {
            label->adjustSize();
        } else if (label) {
            // A label whose caption comes later is at least one line high.
            const int line = label->fontMetrics().boundingRect(QRect(), 0, QStringLiteral("X")).height();
            label->resize(label->width(), qMax(label->height(), qMax(line, label->sizeHint().height())));
        }
        if (isPlainFrame(w))
            scaleControls(w, factor);
    }
}

// What a desktop adds around a window (title bar and borders) at the
// standard font; the title grows with the font as the window does.
constexpr int kFrameAcross = 8;
constexpr int kFrameDown = 32;
// The margin above and below the buttons kept in view under scrolled inputs.
constexpr int kButtonRowMargin = 8;

// The buttons that stay in view when a window's inputs scroll: OK and the
// buttons beside it on its row (Cancel, Save). Empty without an OK.
QList<QWidget*> buttonRow(QWidget* window)
{
    QList<QWidget*> row;
    const auto* ok = window->findChild<QPushButton*>(QStringLiteral("btnOk"), Qt::FindDirectChildrenOnly);
    if (!ok)
        return row;
    for (QPushButton* button : window->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
        if (button->y() <= ok->geometry().bottom() && ok->y() <= button->geometry().bottom())
            row << button;
    return row;
}

// The smallest rectangle holding every control in the list.
QRect boundsOf(const QList<QWidget*>& controls)
{
    QRect bounds;
    for (const QWidget* w : controls)
        bounds |= w->geometry();
    return bounds;
}

// A window of `size` (its controls already scaled) that, with its frame,
// would not fit the part of its screen left to windows: its controls move
// onto a sheet that scrolls, and the button row stays in view at the bottom.
// Controls keep their places on the sheet, their tab order and whether they
// show; the control that takes the focus is scrolled into view. Gives the
// window's size; a window that fits keeps `size` and its layout.
QSize fitToScreen(QWidget* window, QSize size, const QSizeF& factor)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return size;
    const QRect area = screen->availableGeometry();
    const QSize room(area.width() - ScaledPixels(kFrameAcross, factor.width()),
                     area.height() - ScaledPixels(kFrameDown, factor.height()));
    if (size.width() <= room.width() && size.height() <= room.height())
        return size;

    const QList<QWidget*> row = buttonRow(window);
    QList<QWidget*> controls;
    for (QObject* child : window->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow() && !row.contains(w))
            controls << w;
    auto* scroll = new QScrollArea(window);
    scroll->setObjectName(QStringLiteral("kvScrolledInputs"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    // The sheet is a child of the window while the controls move onto it, so
    // they stay in the window's tab order.
    auto* sheet = new QWidget(window);
    sheet->setObjectName(QStringLiteral("kvInputSheet"));
    const int margin = ScaledPixels(kButtonRowMargin, factor.height());
    sheet->resize(size.width(), qMin(size.height(), boundsOf(controls).bottom() + 1 + margin));
    for (QWidget* w : controls) {
        const bool explicitlyHidden = w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide);
        const QRect place = w->geometry();
        w->setParent(sheet);
        w->setGeometry(place);
        w->setVisible(!explicitlyHidden);
    }
    scroll->setWidget(sheet);

    const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    const QRect buttons = boundsOf(row);
    const int rowHeight = row.isEmpty() ? 0 : buttons.height() + 2 * margin;
    const QSize fitted(qMin(sheet->width() + bar, room.width()),
                       qMin(sheet->height() + (sheet->width() + bar > room.width() ? bar : 0) + rowHeight,
                            room.height()));
    scroll->setGeometry(0, 0, fitted.width(), fitted.height() - rowHeight);
    // The row keeps its place across, moved left as far as the window's
    // narrowing needs.
    const int shift = qMax(0, buttons.right() + 1 + margin - fitted.width());
    for (QWidget* w : row)
        w->move(w->x() - shift, fitted.height() - rowHeight + margin + w->y() - buttons.y());
    // The whole control, not only a text input's cursor, comes into view.
    QObject::connect(qApp, &QApplication::focusChanged, scroll, [scroll, sheet, margin](QWidget*, QWidget* now) {
        if (!now || !sheet->isAncestorOf(now))
            return;
        const QRect place(now->mapTo(sheet, QPoint(0, 0)), now->size());
        scroll->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + margin,
                              place.height() / 2 + margin);
    });
    return fitted;
}

}  // namespace

void PlaceControl(QWidget* control, int left, int top, int width, int height)
{
    control->setProperty(kGivenPlace, QRect(left, top, width, height));
    control->setGeometry(left, top, width, height);
}

void ScaleToFont(QWidget* window)
{
    const QSizeF factor = FontScale(window->font());
    scaleControls(window, factor);
    QSize size(ScaledPixels(window->width(), factor.width()), ScaledPixels(window->height(), factor.height()));
    if (window->isWindow())
        size = fitToScreen(window, size, factor);
    if (window->minimumSize() == window->maximumSize()) {
        window->setFixedSize(size);
        return;
    }
    // A bar of a fixed height inside a window stays fixed at its new height.
    if (window->minimumHeight() == window->maximumHeight())
        window->setFixedHeight(size.height());
    window->resize(size);
}

// ------------------------------------------------------------ kept values

void TKeptValues::KeepAll(const QHash<QString, QString>& written)
{
    for (auto it = written.begin(); it != written.end(); ++it)
        m_values.insert(it.key(), it.value());
}

QString TKeptValues::WithoutQuotesIfChanged(const QString& name, const QString& now) const
{
    return Changed(name, now) ? StripQuotes(now) : now;
}

void TKeptValues::Audit(TAuditTrail* audit, const QString& name, const QString& now) const
{
    if (audit)
        audit->AddField(name.toUpper(), Kept(name), now);
}

// ------------------------------------------------------------ row statements

void TInsertLines::Add(const QString& column, const QString& value, const QString& sqlValue)
{
    Put(column, sqlValue);
    m_audit.AddField(column.toUpper(), QString(), value);
}

void TInsertLines::Put(const QString& column, const QString& sqlValue)
{
    m_columns += column + QChar(',');
    m_values += sqlValue + QChar(',');
}

void TInsertLines::AddEndDate(const QString& endDate)
{
    const bool ended = !endDate.isEmpty();
    if (ended)
        Add(QStringLiteral("EndDate"), endDate, Quote(endDate));
    Add(QStringLiteral("Active"), ended ? QStringLiteral("0") : QStringLiteral("1"));
}

QStringList TInsertLines::Statement(const QString& table) const
{
    return InsertStatement(table, {m_columns}, {m_values});
}

TUpdateLines::TUpdateLines(const QString& table, const TKeptValues& kept, TAuditTrail& audit)
    : m_lines{QStringLiteral("UPDATE ") + table}, m_kept(kept), m_audit(audit)
{
}

void TUpdateLines::Always(const QString& name, const QString& now, const QString& line)
{
    m_lines << line;
    m_kept.Audit(&m_audit, name, now);
}

bool TUpdateLines::Set(const QString& name, const QString& now, const QString& line,
                       const std::optional<QString>& audited)
{
    if (!m_kept.Changed(name, now))
        return false;
    m_lines << line;
    m_kept.Audit(&m_audit, name, audited.value_or(now));
    return true;
}

void TUpdateLines::SetStartDate(const QString& startDate)
{
    Set(QStringLiteral("StartDate"), startDate,
        startDate.isEmpty() ? QStringLiteral("StartDate = NULL,") : " StartDate = " + Quote(startDate) + ",");
}

void TUpdateLines::SetEndDate(const QString& endDate)
{
    const bool hadEnd = !m_kept.Kept(QStringLiteral("EndDate")).isEmpty();
    if (!Set(QStringLiteral("EndDate"), endDate,
             endDate.isEmpty() ? QStringLiteral("EndDate = NULL, Active = 1,")
                               : "EndDate = " + Quote(endDate) + ", Active = 0,"))
        return;
    if (endDate.isEmpty())
        m_audit.AddField(QStringLiteral("ACTIVE"), QStringLiteral("0"), QStringLiteral("1"));
    else if (!hadEnd)
        m_audit.AddField(QStringLiteral("ACTIVE"), QStringLiteral("1"), QStringLiteral("0"));
}

QStringList TUpdateLines::Statement(const QString& whereLine) const
{
    QStringList lines = m_lines;
    DropFinalComma(lines);
    return lines << whereLine;
}

// ------------------------------------------------------------ one attempt

TSaveAttempt::TSaveAttempt()
    : m_query(nullptr, QLatin1String(kDatabaseName)), m_transaction(m_query.Database())
{
}

void TSaveAttempt::open(const QStringList& lines)
{
    m_reads.append(lines);
    m_query.SQL().Assign(lines);
    m_query.Open();
}

bool TSaveAttempt::Exists(const QStringList& lines)
{
    open(lines);
    const bool found = !m_query.IsEmpty();
    m_query.Close();
    return found;
}

QVariant TSaveAttempt::Value(const QStringList& lines, const QString& field)
{
    open(lines);
    const QVariant value = m_query.IsEmpty() ? QVariant() : m_query.FieldByName(field)->Value();
    m_query.Close();
    return value;
}

int TSaveAttempt::Read(const QStringList& lines, const std::function<void(const TDataSet&)>& row)
{
    open(lines);
    int rows = 0;
    for (m_query.First(); !m_query.Eof(); m_query.Next(), ++rows)
        row(m_query);
    m_query.Close();
    return rows;
}

namespace {
// Runs a write; one that meets a unique key holding its value refuses the
// attempt with `taken`, when given.
template <typename Run>
auto refusingTaken(const QString& taken, Run run)
{
    try {
        return run();
    } catch (const EDatabaseError& error) {
        if (!taken.isEmpty() && IsDuplicateKeyError(error))
            Refuse(taken);
        throw;
    }
}
}  // namespace

void TSaveAttempt::Exec(const QStringList& lines, const QString& taken)
{
    m_statements.append(lines);
    m_query.SQL().Assign(lines);
    refusingTaken(taken, [this] { m_query.ExecSQL(); });
    // Every UPDATE an editor runs names one row by its id: one that changes
    // no row means the row is gone, and the attempt must not pass for a save.
    if (!lines.isEmpty() && lines.first().startsWith(QLatin1String("UPDATE "), Qt::CaseInsensitive) &&
        m_query.RowsAffected() == 0)
        Refuse(QStringLiteral("The row to change is no longer in the table; nothing was saved."));
}

qint64 TSaveAttempt::ExecInsert(const QStringList& lines, const QString& taken)
{
    m_statements.append(lines);
    m_query.SQL().Assign(lines);
    return refusingTaken(taken, [this] { return m_query.ExecInsert(); });
}

void TSaveAttempt::Write(const TAuditTrail& audit)
{
    const QVector<QStringList> rows = audit.Statements();
    m_statements += rows;
    audit.Write();
}

void TSaveAttempt::Commit()
{
    m_transaction.Commit();
}

// ------------------------------------------------------------ the row as stored

TStoredRow& TStoredRow::Value(const QString& name, const QString& column, const TStoredReader& read)
{
    m_columns.append({name, column.isEmpty() ? name : column, read});
    return *this;
}

TStoredRow& TStoredRow::Text(const QString& name, const QString& column)
{
    return Value(name, column, [](const TField& f) { return f.AsString(); });
}

TStoredRow& TStoredRow::Number(const QString& name, const QString& column)
{
    return Value(name, column, [](const TField& f) { return QString::number(f.AsInteger()); });
}

TStoredRow& TStoredRow::Id(const QString& name, const QString& column)
{
    return Value(name, column, [](const TField& f) { return IdText(f.AsInteger()); });
}

TStoredRow& TStoredRow::Flag(const QString& name, const QString& column)
{
    return Value(name, column, [](const TField& f) { return BitText(f.AsBoolean()); });
}

TStoredRow& TStoredRow::Amount(const QString& name, const QString& column)
{
    return Value(name, column, [](const TField& f) { return SqlFloat(f.AsFloat()); });
}

TStoredRow& TStoredRow::Date(const QString& name, const QString& column)
{
    return Value(name, column, [](const TField& f) { return f.IsNull() ? QString() : DateToYMD(f.AsDateTime()); });
}

QStringList TStoredRow::Select() const
{
    QStringList columns;
    for (const TColumn& c : m_columns)
        if (!columns.contains(c.Column, Qt::CaseInsensitive))
            columns << c.Column;
    return {QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")), LockedFrom(m_table), m_where};
}

QString ChangedByAnother(const QString& what)
{
    return QStringLiteral("Another operator changed this row after you opened it: ") + what +
           QStringLiteral(". Nothing was saved; close the editor and open the row again.");
}

// ------------------------------------------------------------ the window

namespace {
TRecordEditor::ShowModalHook& showModalHook()
{
    static TRecordEditor::ShowModalHook hook;
    return hook;
}
}  // namespace

TRecordEditor::TRecordEditor(QWidget* owner) : QDialog(owner)
{
    FUser = Operator().OPERATORNAME.trimmed();
}

TRecordEditor::ShowModalHook TRecordEditor::SetShowModalHook(ShowModalHook hook)
{
    ShowModalHook previous = std::move(showModalHook());
    showModalHook() = std::move(hook);
    return previous;
}

int TRecordEditor::ShowModal()
{
    if (showModalHook())
        return showModalHook()(*this);
    return exec();
}

bool TRecordEditor::RunSave(const std::function<bool(TSaveAttempt&)>& attempt)
{
    bool close = false;
    QString refusal;
    QPointer<QWidget> refusedInput;
    bool ok = RunGuarded(
        [&] {
            m_lastStatements.clear();
            m_lastReads.clear();
            TSaveAttempt save;
            const auto keep = [&] {
                m_lastStatements = save.Statements();
                m_lastReads = save.Reads();
            };
            try {
                close = attempt(save);
                keep();
                save.Commit();
            } catch (const ESaveRefused& refused) {
                // A check said no: the attempt rolls back as it goes.
                keep();
                refusal = refused.Message();
                if (const auto* at = dynamic_cast<const EInputRefused*>(&refused))
                    refusedInput = at->Input();
                return;
            } catch (const EUncarriedText& uncarried) {
                keep();
                if (NameUncarried(uncarried, refusal, refusedInput))
                    return;
                throw;
            } catch (...) {
                keep();
                throw;
            }
            if (save.Wrote())
                m_wrote = true;
        },
        mtWarning);
    if (!refusal.isNull()) {
        MessageDlg(refusal, mtWarning, mbOK);
        ok = false;
        if (refusedInput)
            ShowRefusedInput(refusedInput);
    }
    if (ok && close)
        SetModalResult(mrOk);
    return ok;
}

QVector<TRecordEditor::TInputText> TRecordEditor::InputTexts() const
{
    QVector<TInputText> texts;
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        const auto shown = m_shownTexts.constFind(edit);
        const bool kept = shown != m_shownTexts.constEnd();
        if (edit->window() != this || (!kept && (!edit->isEnabled() || edit->isReadOnly())))
            continue;
        QString name = InputCaption(edit);
        if (name.isEmpty())
            name = kept ? shown->Name : edit->objectName();
        texts.append({name, edit, kept ? TextOf(edit) : edit->text().trimmed(),
                      kept ? FKept.Kept(shown->Name) : QString(),
                      kept && !FAppendMode && edit->text() == shown->Shown});
    }
    return texts;
}

void TRecordEditor::ShowRefusedInput(QWidget* input)
{
    if (input->window() == this && input->isEnabled())
        input->setFocus();
}

bool TRecordEditor::NameUncarried(const EUncarriedText& refused, QString& message, QPointer<QWidget>& input) const
{
    const QVector<TInputText> texts = InputTexts();
    // The input whose text (or, for an audited old value, stored text) the
    // statement holds, else one that holds the character; an input the
    // operator changed before one left alone.
    const auto name = [&](bool untouched, bool whole) {
        for (const TInputText& t : texts) {
            const QString& text = refused.AuditOld() ? t.Stored : t.Text;
            if (t.Untouched == untouched &&
                (whole ? text == refused.Text() : text.contains(refused.Character()))) {
                message = refused.Refusal(t.Name, untouched);
                input = t.Input;
                return true;
            }
        }
        return false;
    };
    return name(false, true) || name(true, true) || name(false, false) || name(true, false);
}

QLabel* TRecordEditor::AddLabel(const QString& name, const QString& caption, int left, int top)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* TRecordEditor::AddEdit(const QString& name, int left, int top, int width, int height)
{
    return AddControl<QLineEdit>(name, left, top, width, height);
}

QCheckBox* TRecordEditor::AddCheck(const QString& name, const QString& caption, int left, int top, int width,
                                   int height)
{
    auto* check = AddControl<QCheckBox>(name, left, top, width, height);
    check->setText(caption);
    return check;
}

QPushButton* TRecordEditor::AddButton(const QString& name, const QString& caption, int left, int top, int width,
                                      int height)
{
    auto* button = AddControl<QPushButton>(name, left, top, width, height);
    button->setText(caption);
    button->setAutoDefault(false);
    return button;
}

void TRecordEditor::SetTabOrder(const QList<QWidget*>& order)
{
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TRecordEditor::ShowOnly(QLineEdit* edit)
{
    edit->setEnabled(false);
    edit->setFocusPolicy(Qt::NoFocus);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(0xC0, 0xC0, 0xC0));  // silver
    // The text stays readable on the silver (the style's own grey for
    // disabled text nearly matches it).
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x40, 0x40, 0x40));
    edit->setPalette(palette);
}

void TRecordEditor::AddOkCancel(QPushButton*& ok, QPushButton*& cancel, const QString& okCaption, int left,
                                int top, const std::function<void()>& onOk)
{
    ok = AddButton(QStringLiteral("btnOk"), okCaption, left, top);
    ok->setDefault(true);
    cancel = AddButton(QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), left + 88, top);
    connect(ok, &QPushButton::clicked, this, onOk);
    connect(cancel, &QPushButton::clicked, this, [this] { SetModalResult(mrCancel); });
}

void TRecordEditor::SetModeCaption(const QString& caption, QLineEdit* edtID)
{
    setWindowTitle(caption);
    m_modeCaption = caption;
    m_idCleared = edtID;
}

void TRecordEditor::SetAppendMode(bool value)
{
    FAppendMode = value;
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        SetTypingRoom(edit);
    if (m_modeCaption.isEmpty())
        return;
    setWindowTitle(ModeCaption(m_modeCaption, value));
    if (value && m_idCleared)
        m_idCleared->clear();
}

void TRecordEditor::ShowRowID(QLineEdit* edtID, const QString& value) const
{
    if (!FAppendMode)
        edtID->setText(value);
}

namespace {

// The input's width as LimitTyping gave it; 0 for none.
constexpr char kTypingWidth[] = "kvTypingWidth";

int typingWidth(const QLineEdit* edit)
{
    return edit->property(kTypingWidth).toInt();
}

// The first `width` characters of a text, less a character that would be
// cut in half.
QString leftWhole(const QString& text, int width)
{
    if (text.size() <= width)
        return text;
    return text.left(width > 0 && text.at(width - 1).isHighSurrogate() ? width - 1 : width);
}

}  // namespace

void TRecordEditor::LimitTyping(QLineEdit* edit, int width)
{
    edit->setProperty(kTypingWidth, width);
    KeepCharactersWhole(edit);
    edit->setMaxLength(width);
}

void TRecordEditor::SetTypingRoom(QLineEdit* edit)
{
    const int width = typingWidth(edit);
    const auto shown = m_shownTexts.constFind(edit);
    if (width <= 0) {
        // Without a width the edit holds a text a setter showed whole,
        // however long, and beyond the line's own room as long as it is open.
        if (shown != m_shownTexts.constEnd() && shown->Shown.size() > edit->maxLength())
            edit->setMaxLength(int(shown->Shown.size()));
        return;
    }
    const int room = FAppendMode || shown == m_shownTexts.constEnd() ? width : qMax(width, int(shown->Shown.size()));
    if (edit->text().size() > room)
        edit->setText(leftWhole(edit->text(), room));
    edit->setMaxLength(room);
}

void TRecordEditor::KeepText(QLineEdit* edit, const QString& name, const QString& value, bool showTrimmed)
{
    const QString shown = showTrimmed ? value.trimmed() : value;
    FKept.Keep(name, value);
    WatchText(edit, name, showTrimmed);
    m_shownTexts.insert(edit, {name, shown});
    SetTypingRoom(edit);
    edit->setText(leftWhole(shown, edit->maxLength()));
    m_shownTexts[edit].Shown = edit->text();
    // A text wider than its input shows from its start.
    edit->setCursorPosition(0);
}

QString TRecordEditor::TextOf(const QLineEdit* edit) const
{
    const auto shown = m_shownTexts.constFind(edit);
    if (!FAppendMode && shown != m_shownTexts.constEnd() && edit->text() == shown->Shown)
        return FKept.Kept(shown->Name);
    return edit->text().trimmed();
}

void TRecordEditor::TextsShownAsKept()
{
    for (auto it = m_shownTexts.begin(); it != m_shownTexts.end(); ++it)
        it->Shown = it.key()->text();
}

void TRecordEditor::KeepCheck(QCheckBox* box, const QString& name, bool value)
{
    FKept.Keep(name, value);
    WatchCheck(box, name);
    box->setChecked(value);
}

void TRecordEditor::KeepDate(TCustomDateEdit* edit, const QString& name, TDateTime value)
{
    FKept.Keep(name, DateToYMD(value));
    WatchDate(edit, name);
    edit->SetDate(value);
}

void TRecordEditor::KeepAmount(TCustomNumEdit* edit, const QString& name, double value)
{
    FKept.Keep(name, SqlFloat(value));
    WatchAmount(edit, name);
    edit->SetValue(value);
    m_amountTexts.insert(name, edit->text().trimmed());
}

bool TRecordEditor::AmountTouched(const TCustomNumEdit* edit, const QString& name) const
{
    return edit->text().trimmed() != m_amountTexts.value(name);
}

void TRecordEditor::KeepListID(TLookupCombo* list, const QString& name, int value,
                               const std::function<QString()>& shownWhenMissing)
{
    WatchListID(list, name);
    if (value <= 0)
        return;
    if (shownWhenMissing && list->IndexOfID(value) < 0)
        list->SetID(value, shownWhenMissing());
    else
        list->SetID(value);
    FKept.Keep(name, QString::number(value));
}

void TRecordEditor::SwitchItem(QString& line, const QString& column, bool on, TAuditTrail* audit) const
{
    line += QChar(' ') + column + QStringLiteral(" = ") + BitText(on) + QChar(',');
    if (audit && FKept.KeptBool(column) != on)
        audit->AddField(column.toUpper(), BitText(!on), BitText(on));
}

int TRecordEditor::RowToChange(const QLineEdit* edtID, const QString& what)
{
    QString text = edtID->text().trimmed();
    int id = 0;
    if (!ParseIdText(text, id) || id < 1)
        Refuse(QStringLiteral("This ") + what + QStringLiteral(" has no ID, so it cannot be changed."));
    return id;
}

QString TRecordEditor::ModeCaption(const QString& caption, bool add)
{
    return caption + (add ? QStringLiteral(" (ADD)") : QStringLiteral(" (EDIT)"));
}

// ------------------------------------------------------------ kept values met with the stored row

namespace {
// A date kept as yyyymmdd; empty for none (never set, or kept as no date).
QString keptDate(const QString& kept)
{
    return kept.size() == 8 && kept != DateToYMD(NullDate) ? kept : QString();
}

TDateTime ymdDate(const QString& ymd)
{
    return EncodeDate(ymd.left(4).toInt(), ymd.mid(4, 2).toInt(), ymd.mid(6, 2).toInt());
}
}  // namespace

void TRecordEditor::WatchText(QLineEdit* edit, const QString& name, bool showTrimmed)
{
    KeepInput(name, {edit, [this, edit, name] { return TextOf(edit) != FKept.Kept(name); },
                     [showTrimmed](const QString& v) { return showTrimmed ? v.trimmed() : v; },
                     [this, edit, name, showTrimmed](const QString& v) { KeepText(edit, name, v, showTrimmed); }});
}

void TRecordEditor::WatchCheck(QCheckBox* box, const QString& name)
{
    KeepInput(name, {box, [this, box, name] { return box->isChecked() != FKept.KeptBool(name); },
                     [](const QString& v) { return v == QLatin1String("1") ? QStringLiteral("ticked")
                                                                           : QStringLiteral("not ticked"); },
                     [this, box, name](const QString& v) { KeepCheck(box, name, v == QLatin1String("1")); }});
}

void TRecordEditor::WatchDate(TCustomDateEdit* edit, const QString& name)
{
    const auto changed = [this, edit, name] {
        try {
            return DateEditYMD(edit) != keptDate(FKept.Kept(name));
        } catch (const Exception&) {
            return true;  // a text that is no date is the operator's
        }
    };
    KeepInput(name, {edit, changed,
                     [](const QString& v) { return keptDate(v).isEmpty() ? QString() : DateToStr(ymdDate(v)); },
                     [this, edit, name](const QString& v) {
                         if (keptDate(v).isEmpty()) {
                             FKept.Keep(name, v);
                             edit->SetDate(NullDate);
                         } else {
                             KeepDate(edit, name, ymdDate(v));
                         }
                     }});
}

void TRecordEditor::WatchAmount(TCustomNumEdit* edit, const QString& name)
{
    KeepInput(name, {edit, [this, edit, name] { return AmountTouched(edit, name); },
                     [edit](const QString& v) { return edit->DisplayTextOf(QLocale::c().toDouble(v)); },
                     [this, edit, name](const QString& v) { KeepAmount(edit, name, QLocale::c().toDouble(v)); }});
}

void TRecordEditor::WatchListID(TLookupCombo* list, const QString& name)
{
    KeepInput(name, {list, [this, list, name] { return IdText(list->ID()) != FKept.Kept(name); },
                     [list](const QString& v) {
                         const int index = list->IndexOfID(v.toInt());
                         return index >= 0 ? list->itemText(index) : v;
                     },
                     [this, list, name](const QString& v) {
                         if (v.toInt() > 0) {
                             KeepListID(list, name, v.toInt());
                         } else {
                             FKept.Keep(name, QString());
                             list->SetID(0);
                         }
                     }});
}

void TRecordEditor::KeepUpWithStored(TSaveAttempt& save, const TStoredRow& row)
{
    QVector<QPair<QString, QString>> stored;
    const int rows = save.Read(row.Select(), [&](const TDataSet& found) {
        for (const TStoredRow::TColumn& c : row.Columns())
            stored.append({c.Name, c.Read(*found.FieldByName(c.Column))});
    });
    if (rows == 0)
        RefuseRowGone();
    KeepUpWith(stored);
}

void TRecordEditor::KeepUpWith(const QVector<QPair<QString, QString>>& stored)
{
    QVector<QPair<QString, QString>> adopted;
    for (const auto& [name, value] : stored) {
        if (FKept.Kept(name) == value)
            continue;
        const auto input = m_keptInputs.constFind(name);
        if (input != m_keptInputs.constEnd() && input->Changed()) {
            QString caption = RefusedInputName(input->Input);
            if (caption.isEmpty())
                if (const auto* button = qobject_cast<const QAbstractButton*>(input->Input)) {
                    caption = button->text().remove(QChar('&')).trimmed();
                    if (caption.endsWith(QChar(':')))  // "Surcharge:" names Surcharge
                        caption.chop(1);
                }
            Refuse(input->Input, ChangedByAnother((caption.isEmpty() ? name : caption) + QStringLiteral(" is now '") +
                                                  input->Shown(value) + QChar('\'')));
        }
        adopted.append({name, value});
    }
    for (const auto& [name, value] : adopted) {
        // A copy: taking the value registers the input again, replacing the
        // entry whose functions run.
        const TKeptInput input = m_keptInputs.value(name);
        if (input.Adopt)
            input.Adopt(value);
        else
            FKept.Keep(name, value);
    }
}

void TRecordEditor::RefuseRowGone()
{
    Refuse(ChangedByAnother(QStringLiteral("it is no longer in the table")));
}

void TRecordEditor::ReadAuditIds()
{
    AuditIds = ReadAuditEventIds();
}

TAuditTrail TRecordEditor::NewAudit(const QString& action, const QString& table) const
{
    return TAuditTrail(FUser, action, table);
}
