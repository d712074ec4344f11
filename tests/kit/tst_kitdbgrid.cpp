#include "IniFiles.h"
#include "KitDBCtrl.h"
#include "Placemnt.h"
#include "TestSupport.h"
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>
#include <memory>

namespace {

// A grid whose data set takes deletions, for the Ctrl+Delete rules; with
// canModify off it answers as the plain grid does.
class TDeletingGrid : public TKitDBGrid {
public:
    using TKitDBGrid::TKitDBGrid;
    bool canModify = false;
    QVector<int> deleted;

protected:
    bool DataSetCanModify() const override { return canModify || TKitDBGrid::DataSetCanModify(); }
    void DeleteRecords(const QVector<int>& rows) override { deleted += rows; }
};

QVector<TFieldDef> ItemFields()
{
    auto def = [](const char* name, TFieldType type, int size = 0) {
        TFieldDef d;
        d.Name = QLatin1String(name);
        d.DataType = type;
        d.Size = size;
        return d;
    };
    return {def("ID", ftInteger), def("Name", ftString, 20), def("Active", ftBoolean)};
}

// A form with a grid over tItem (ID, Name "Item <ID>", Active: every third
// row inactive), set up as the main window sets up its page grids.
struct Form {
    kvtest::TestDatabase db{false};
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TQuery* query = nullptr;
    TDataSource* source = nullptr;
    TDeletingGrid* grid = nullptr;

    explicit Form(int rows = 50, bool open = true, const QString& select = QString())
    {
        db.Exec(QStringLiteral("CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT, Active INTEGER, Note BLOB);"));
        if (rows > 0)
            db.Exec(QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < %1) "
                                   "INSERT INTO tItem SELECT x, 'Item ' || x, CASE WHEN x % 3 = 0 THEN 0 ELSE 1 END, "
                                   "CASE WHEN x % 2 = 0 THEN x'0102' END FROM n;")
                        .arg(rows));
        window->resize(500, 400);
        query = new TQuery(window.get(), QStringLiteral("dbKVdata"));
        query->setObjectName(QStringLiteral("qItem"));
        if (select.isEmpty()) {
            query->SQL().Add(QStringLiteral("SELECT ID, Name, Active FROM tItem"));
            query->SQL().Add(QStringLiteral("ORDER BY ID"));
            query->SetFieldDefs(ItemFields());
        } else {
            query->SQL().Add(select);
        }
        source = new TDataSource(window.get(), query);
        grid = new TDeletingGrid(window.get());
        grid->setObjectName(QStringLiteral("KitDBGridItem"));
        auto* layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(grid);
        grid->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgAlwaysShowSelection
                         | dgConfirmDelete | dgCancelOnExit);
        grid->SetTitleButtons(true);
        grid->SetDataSource(source);
        if (open)
            query->Open();
        window->show();
        window->activateWindow();
        grid->setFocus();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the form did not become active");
        QTest::qWait(5);  // the view asks for its first rows
    }

    QHeaderView* titles() const { return grid->horizontalHeader(); }
    QPoint titleCentre(int col) const
    {
        return titles()->viewport()->mapFrom(grid, grid->TitleRect(col).center());
    }
    QPoint cellCentre(int col, int row) const
    {
        return grid->viewport()->mapFrom(grid, grid->CellRect(col, row).center());
    }
    void pressTitle(int col, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(titles()->viewport(), button, {}, titleCentre(col));
    }
    void moveOverTitle(int col) { QTest::mouseMove(titles()->viewport(), titleCentre(col)); }
    void releaseTitle(int col, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(titles()->viewport(), button, {}, titleCentre(col));
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(grid, Qt::Key(k), mods); }
    void wheel(int delta)
    {
        const QPoint pos = grid->viewport()->rect().center();
        QWheelEvent e(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &e);
    }
    QImage shot() const { return grid->grab().toImage(); }
};

// Title clicks as the grid reports them.
struct TitleLog {
    QStringList buttonClicks;  // "<col>:<field>"
    QStringList titleClicks;   // field names
    explicit TitleLog(TKitDBGrid* grid)
    {
        grid->OnTitleBtnClick = [this](QObject*, int col, TField* f) {
            buttonClicks << QStringLiteral("%1:%2").arg(col).arg(f ? f->FieldName() : QString());
        };
        grid->OnTitleClick = [this](TColumn* c) { titleClicks << (c ? c->FieldName() : QString()); };
    }
};

// Pixels of about that colour (text is drawn smoothed).
int countPixels(const QImage& image, const QRect& r, const QColor& colour, int tolerance = 0)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) <= tolerance && qAbs(c.green() - colour.green()) <= tolerance
                && qAbs(c.blue() - colour.blue()) <= tolerance)
                ++n;
        }
    return n;
}

}  // namespace

class TestKitDBGrid : public QObject {
    Q_OBJECT
private slots:
    // ------------------------------------------------------------ titles

    void titleClick_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("titleClicks");
        QTest::newRow("left: button and title click") << int(Qt::LeftButton) << QStringList{"Name"};
        QTest::newRow("right: the button only, a right button for the grid") << int(Qt::RightButton)
                                                                              << QStringList();
    }
    void titleClick()
    {
        QFETCH(int, button);
        QFETCH(QStringList, titleClicks);
        Form f;
        TitleLog log(f.grid);
        f.pressTitle(1, Qt::MouseButton(button));
        f.releaseTitle(1, Qt::MouseButton(button));
        QCOMPARE(log.buttonClicks, QStringList{QStringLiteral("1:Name")});
        QCOMPARE(log.titleClicks, titleClicks);
    }

    void pressedStateFollowsPointerAndReleaseElsewhere()
    {
        Form f;
        TitleLog log(f.grid);
        QMap<QString, bool> down;
        f.grid->OnGetBtnParams = [&](QObject*, TField* field, TFont&, TColor&, TSortMarker&, bool isDown) {
            down[field->FieldName()] = isDown;
        };
        auto paintTitles = [&] {
            down.clear();
            f.titles()->grab();
        };
        f.pressTitle(0);
        paintTitles();
        QCOMPARE(down.value(QStringLiteral("ID")), true);
        QCOMPARE(down.value(QStringLiteral("Name")), false);
        f.moveOverTitle(2);
        paintTitles();
        QCOMPARE(down.value(QStringLiteral("ID")), false);
        f.releaseTitle(2);
        paintTitles();
        QCOMPARE(down.value(QStringLiteral("ID")), false);
        QVERIFY(log.buttonClicks.isEmpty());
        QCOMPARE(log.titleClicks, QStringList{QStringLiteral("Active")});
    }

    void disabledTitleButtonBeeps()
    {
        Form f;
        TitleLog log(f.grid);
        QList<int> asked;
        f.grid->OnCheckButton = [&](QObject*, int col, TField*, bool& enabled) {
            asked << col;
            enabled = col != 1;
        };
        const int beeps = BeepCount();
        f.pressTitle(1);
        QCOMPARE(BeepCount(), beeps + 1);
        f.releaseTitle(1);
        QVERIFY(log.buttonClicks.isEmpty());
        QCOMPARE(log.titleClicks, QStringList{QStringLiteral("Name")});  // the plain title click still comes
        f.pressTitle(2);
        f.releaseTitle(2);
        QCOMPARE(BeepCount(), beeps + 1);
        QCOMPARE(log.buttonClicks, QStringList{QStringLiteral("2:Active")});
        QCOMPARE(asked, (QList<int>{1, 2}));
    }

    void sortMarkerIsDrawn()
    {
        Form f;
        f.grid->OnGetBtnParams = [](QObject*, TField* field, TFont&, TColor& back, TSortMarker& marker, bool) {
            back = clWhite;
            if (field->FieldName() == QLatin1String("Name"))
                marker = smDown;
        };
        const QImage shot = f.shot();
        const QRect withMarker = f.grid->TitleRect(1);
        const QRect without = f.grid->TitleRect(2);
        const QColor ink = TKitDBGrid::GridBitmap(7).pixelColor(3, 0);
        const QRect markerArea(withMarker.right() - 16, withMarker.top(), 16, withMarker.height());
        QVERIFY(countPixels(shot, markerArea, ink) >= 10);
        QCOMPARE(countPixels(shot, QRect(without.right() - 16, without.top(), 16, without.height()), ink), 0);
    }

    // ------------------------------------------------------------ cells

    void cellParamsSeeThePaintedRow()
    {
        Form f;
        struct Call {
            QString field;
            int id;
            QString name;
            bool highlight;
        };
        QList<Call> calls;
        f.grid->OnGetCellParams = [&](QObject*, TField* field, TFont& font, TColor& back, bool highlight) {
            TDataSet* ds = field->DataSet();
            calls << Call{field->FieldName(), ds->FieldByName(QStringLiteral("ID"))->AsInteger(),
                          ds->FieldByName(QStringLiteral("Name"))->AsString(), highlight};
            if (!highlight && !ds->FieldByName(QStringLiteral("Active"))->AsBoolean()) {
                font.Color = QColor(0, 0, 255);
                back = clYellow;
            }
        };
        f.query->Locate(QStringLiteral("ID"), 2);
        const int recNo = f.query->RecNo();
        const QImage shot = f.shot();
        QCOMPARE(f.query->RecNo(), recNo);  // painting does not move the record
        QVERIFY(calls.size() >= 3 * 10);
        QSet<int> ids;
        for (const Call& c : calls) {
            QCOMPARE(c.name, QStringLiteral("Item %1").arg(c.id));
            QCOMPARE(c.highlight, c.id == 2 && c.field == QLatin1String("ID"));
            ids << c.id;
        }
        for (int id = 1; id <= 10; ++id)
            QVERIFY2(ids.contains(id), qPrintable(QString::number(id)));

        // Row 3 (ID 3) is inactive: yellow ground, blue text; row 4 is not.
        const QRect inactive = f.grid->CellRect(1, 2);
        const QRect active = f.grid->CellRect(1, 3);
        QCOMPARE(shot.pixelColor(inactive.right() - 3, inactive.center().y()), QColor(Qt::yellow));
        QVERIFY(countPixels(shot, inactive, QColor(0, 0, 255), 90) > 5);
        QCOMPARE(countPixels(shot, active, QColor(0, 0, 255), 90), 0);
    }

    void cellPropsSwapColoursOnHighlight()
    {
        Form f;
        QList<TColor> passed;
        f.grid->OnGetCellProps = [&](QObject*, TField* field, TFont&, TColor& colour) {
            if (field->DataSet()->FieldByName(QStringLiteral("ID"))->AsInteger() != 1
                || field->FieldName() != QLatin1String("ID"))
                return;
            passed << colour;
            colour = clRed;
        };
        const QImage shot = f.shot();
        // The current cell (row 1, column ID) is highlighted: the event got
        // the text colour and its answer became the text colour.
        QCOMPARE(passed.value(0), ColorToRGB(clHighlightText));
        const QRect cell = f.grid->CellRect(0, 0);
        QCOMPARE(shot.pixelColor(cell.left() + 1, cell.bottom() - 2), ColorToQColor(clHighlight));
        QVERIFY(countPixels(shot, cell, QColor(255, 0, 0), 90) > 3);
    }

    void blobFieldShowsItsGlyph()
    {
        Form f(5, true, QStringLiteral("SELECT ID, Note FROM tItem ORDER BY ID"));
        QCOMPARE(f.grid->FieldAt(1)->DataType(), ftBlob);
        f.grid->setColumnWidth(1, 60);
        const QImage shot = f.shot();
        const QImage glyph = TKitDBGrid::GridBitmap(0);
        for (int row = 0; row < 2; ++row) {
            const QRect cell = f.grid->CellRect(1, row).adjusted(0, 0, -1, -1);  // less the lines
            const QPoint at((2 * cell.left() + cell.width() - glyph.width()) / 2,
                            (2 * cell.top() + cell.height() - glyph.height()) / 2);
            int same = 0;
            for (int y = 0; y < glyph.height(); ++y)
                for (int x = 0; x < glyph.width(); ++x)
                    if (glyph.pixelColor(x, y) != QColor(128, 128, 0))
                        same += shot.pixelColor(at.x() + x, at.y() + y) == glyph.pixelColor(x, y);
            QVERIFY2(same > 150, qPrintable(QString::number(same)));
            // The glyph's olive ground is see-through.
            QVERIFY(shot.pixelColor(at) != QColor(128, 128, 0));
        }
    }

    void columnWidthsFromDisplayWidths()
    {
        Form f;
        const int charWidth = QFontMetrics(f.grid->font()).horizontalAdvance(QLatin1Char('0'));
        QCOMPARE(f.grid->columnWidth(1), charWidth * 20 + 4);  // Name: text(20)
        QCOMPARE(f.grid->columnWidth(0), charWidth * 10 + 4);
        TColumn* c = f.grid->Columns().Add(QStringLiteral("Active"),
                                           QStringLiteral("A title far wider than ten digits"));
        f.grid->Columns().Add(QStringLiteral("Name"), QString(), 77);
        QCOMPARE(f.grid->ColumnCount(), 2);
        QCOMPARE(f.grid->ColumnAt(0), c);
        QCOMPARE(f.grid->columnWidth(0), QFontMetrics(f.grid->TitleFont().Font).horizontalAdvance(c->Title()) + 6);
        QCOMPARE(f.grid->columnWidth(1), 77);
        c->SetVisible(false);
        QVERIFY(f.grid->isColumnHidden(0));
        QCOMPARE(f.grid->FieldAt(1)->FieldName(), QStringLiteral("Name"));
    }

    // ------------------------------------------------------------ record

    void gridAndDataSetShareTheRecord()
    {
        Form f;
        QVERIFY(f.query->Locate(QStringLiteral("ID"), 40));
        QCOMPARE(f.grid->currentIndex().row(), 39);
        QVERIFY(f.grid->viewport()->rect().contains(f.cellCentre(1, 39)));  // scrolled into view
        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, f.cellCentre(1, 4));
        QCOMPARE(f.query->RecNo(), 5);
        QCOMPARE(f.grid->SelectedIndex(), 1);
        // The indicator takes the row, keeping the column.
        const QPoint ind = f.grid->verticalHeader()->viewport()->mapFrom(f.grid, f.grid->CellRect(1, 2).center());
        QTest::mouseClick(f.grid->verticalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(f.grid->verticalHeader()->width() / 2, ind.y()));
        QCOMPARE(f.query->RecNo(), 3);
        QCOMPARE(f.grid->SelectedIndex(), 1);
    }

    void keysAndWheelMoveOneRecord()
    {
        Form f;
        f.key(Qt::Key_Down);
        QCOMPARE(f.query->RecNo(), 2);
        f.key(Qt::Key_Up);
        f.key(Qt::Key_Up);  // at the start it stays
        QCOMPARE(f.query->RecNo(), 1);
        f.wheel(-120);
        f.wheel(-120);
        QCOMPARE(f.query->RecNo(), 3);
        f.wheel(120);
        QCOMPARE(f.query->RecNo(), 2);
        QCOMPARE(f.grid->currentIndex().row(), 1);
        // An owner that takes the wheel keeps the record.
        f.grid->OnMouseWheelDown = [](QObject*, Qt::KeyboardModifiers, const QPoint&, bool& handled) {
            handled = true;
        };
        f.wheel(-120);
        QCOMPARE(f.query->RecNo(), 2);
    }

    void keyDownHandlerCanSwallowTheKey()
    {
        Form f;
        f.grid->OnKeyDown = [](QObject*, int& key, Qt::KeyboardModifiers) {
            if (key == Qt::Key_Down)
                key = 0;
        };
        QString typed;
        f.grid->OnKeyPress = [&](QObject*, QChar& ch) { typed += ch; };
        f.key(Qt::Key_Down);
        QCOMPARE(f.query->RecNo(), 1);
        QTest::keyClicks(f.grid, QStringLiteral("ab"));
        QCOMPARE(typed, QStringLiteral("ab"));
    }

    void doubleClickAnywhere()
    {
        Form f;
        int clicks = 0;
        f.grid->OnDblClick = [&](QObject* sender) {
            QCOMPARE(sender, f.grid);
            ++clicks;
        };
        // A double click: a click, then the second press as a double click.
        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, f.cellCentre(1, 3));
        QTest::mouseDClick(f.grid->viewport(), Qt::LeftButton, {}, f.cellCentre(1, 3));
        QCOMPARE(clicks, 1);
        QCOMPARE(f.query->RecNo(), 4);
        QTest::mouseDClick(f.titles()->viewport(), Qt::LeftButton, {}, f.titleCentre(0));
        QCOMPARE(clicks, 2);
    }

    void sideViewsRaiseTheOwnersMouseEvents_data()
    {
        QTest::addColumn<bool>("frozen");  // else the indicator
        QTest::newRow("indicator") << false;
        QTest::newRow("frozen column") << true;
    }
    void sideViewsRaiseTheOwnersMouseEvents()
    {
        QFETCH(bool, frozen);
        Form f;
        f.grid->SetFixedCols(1);
        QTest::qWait(20);
        QStringList events;
        auto at = [](int x, int y) { return QStringLiteral("%1,%2").arg(x).arg(y); };
        f.grid->OnMouseDown = [&](QObject* sender, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            QCOMPARE(sender, f.grid);
            events << QStringLiteral("down ") + at(x, y);
        };
        f.grid->OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            events << QStringLiteral("up ") + at(x, y);
        };
        f.grid->OnDblClick = [&](QObject*) { events << QStringLiteral("double"); };
        // The point in grid coordinates, then on the side view under it.
        QPoint point = f.grid->CellRect(0, 5).center();
        if (!frozen)
            point.setX(f.grid->verticalHeader()->width() / 2);
        QWidget* target = f.grid->childAt(point);
        QVERIFY(target);
        QVERIFY(target != f.grid->viewport());
        const QPoint local = target->mapFrom(f.grid, point);
        QTest::mouseClick(target, Qt::LeftButton, {}, local);
        QTest::mouseDClick(target, Qt::LeftButton, {}, local);
        QCOMPARE(f.query->RecNo(), 6);
        QCOMPARE(f.grid->SelectedIndex(), 1);
        const QString p = at(point.x(), point.y());
        QCOMPARE(events, (QStringList{"down " + p, "up " + p, "double"}));
    }

    void closedDataSet()
    {
        Form f(20, false);
        TitleLog log(f.grid);
        QCOMPARE(f.grid->ColumnCount(), 0);
        const int beeps = BeepCount();
        QTest::mouseClick(f.titles()->viewport(), Qt::LeftButton, {}, QPoint(20, f.titles()->height() / 2));
        QVERIFY(log.buttonClicks.isEmpty());
        QVERIFY(log.titleClicks.isEmpty());
        QCOMPARE(BeepCount(), beeps);
        QList<int> keyDowns;
        f.grid->OnKeyDown = [&](QObject*, int& key, Qt::KeyboardModifiers) { keyDowns << key; };
        f.key(Qt::Key_Down);
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(keyDowns, (QList<int>{Qt::Key_Down, Qt::Key_Control, Qt::Key_Delete}));
        f.wheel(-120);
        QVERIFY(!f.query->Active());

        f.query->Open();
        QCOMPARE(f.grid->ColumnCount(), 3);
        f.query->Close();
        QCOMPARE(f.grid->ColumnCount(), 0);
    }

    // ------------------------------------------------------------ frozen columns

    void fixedColsKeptUntilOpenAndCut()
    {
        Form f(50, false);
        f.grid->SetFixedCols(10);
        QCOMPARE(f.grid->FixedCols(), 10);
        f.query->Open();
        QCOMPARE(f.grid->FixedCols(), 2);  // all but the last column
        QCOMPARE(f.grid->SelectedIndex(), 2);  // the current column is never a frozen one
        f.grid->SetFixedCols(1);
        QCOMPARE(f.grid->FixedCols(), 1);
        f.grid->SetFixedCols(-3);
        QCOMPARE(f.grid->FixedCols(), 0);
    }

    void frozenColumnsStayWhileScrolling()
    {
        Form f;
        f.window->resize(260, 300);
        f.grid->setColumnWidth(2, 300);
        f.grid->SetFixedCols(1);
        QTest::qWait(20);
        const QRect before = f.grid->CellRect(0, 0);
        f.grid->horizontalScrollBar()->setValue(f.grid->horizontalScrollBar()->maximum());
        QVERIFY(f.grid->horizontalScrollBar()->value() > 0);
        QCOMPARE(f.grid->CellRect(0, 0), before);
        // Left stops at the first scrolling column; Home goes there.
        f.key(Qt::Key_Right);
        QCOMPARE(f.grid->SelectedIndex(), 2);
        f.key(Qt::Key_Left);
        f.key(Qt::Key_Left);
        QCOMPARE(f.grid->SelectedIndex(), 1);
        f.key(Qt::Key_Right);
        f.key(Qt::Key_Home);
        QCOMPARE(f.grid->SelectedIndex(), 1);
        // A click on a frozen cell moves the row only.
        const QPoint frozenCell = f.grid->CellRect(0, 3).center();
        QWidget* target = f.grid->childAt(frozenCell);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(f.grid, frozenCell));
        QCOMPARE(f.query->RecNo(), 4);
        QCOMPARE(f.grid->SelectedIndex(), 1);
    }

    // ------------------------------------------------------------ Ctrl+Delete

    void ctrlDeleteIsGuarded()
    {
        kvtest::MessageRecorder boxes;
        {
            Form f;  // a read-only data set: nothing asked, nothing deleted
            f.key(Qt::Key_Delete, Qt::ControlModifier);
            QCOMPARE(boxes.Count(), 0);
            QVERIFY(f.grid->deleted.isEmpty());
        }
        {
            Form f(0);  // empty
            f.grid->canModify = true;
            f.key(Qt::Key_Delete, Qt::ControlModifier);
            QCOMPARE(boxes.Count(), 0);
            QVERIFY(f.grid->deleted.isEmpty());
        }
        Form f;
        f.grid->canModify = true;
        f.grid->SetReadOnly(true);
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(boxes.Count(), 0);
        f.grid->SetReadOnly(false);
        f.key(Qt::Key_Down);
        boxes.Answer(mrNo);
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("Delete record?")});
        QCOMPARE(boxes.Boxes().first().Type, mtConfirmation);
        QCOMPARE(boxes.Boxes().first().Buttons, mbYesNo);
        QVERIFY(f.grid->deleted.isEmpty());
        boxes.Answer(mrYes);
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(f.grid->deleted, QVector<int>{1});
        f.key(Qt::Key_Delete);  // without Ctrl nothing happens
        QCOMPARE(boxes.Count(), 2);
        // Without dgConfirmDelete no box is shown.
        f.grid->SetOptions(f.grid->Options() & ~TDBGridOptions(dgConfirmDelete));
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(boxes.Count(), 2);
        QCOMPARE(f.grid->deleted, (QVector<int>{1, 1}));
    }

    void ctrlDeleteOfSelectedRows()
    {
        kvtest::MessageRecorder boxes;
        Form f;
        f.grid->canModify = true;
        f.grid->SetOptions(f.grid->Options() | dgMultiSelect);
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        boxes.Answer(mrYes);
        f.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("Delete all selected records?")});
        QCOMPARE(f.grid->deleted, (QVector<int>{0, 1, 2}));
        QVERIFY(f.grid->SelectedRows().isEmpty());
    }

    // ------------------------------------------------------------ multi-select

    void multiSelectByShiftAndClicks()
    {
        Form f;
        f.grid->SetMultiSelect(true);
        f.key(Qt::Key_Down);  // a plain move selects nothing
        QVERIFY(f.grid->SelectedRows().isEmpty());
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(f.grid->SelectedRows(), (QVector<int>{1, 2, 3, 4}));
        f.key(Qt::Key_Up, Qt::ShiftModifier);  // back towards the anchor
        QCOMPARE(f.grid->SelectedRows(), (QVector<int>{1, 2, 3}));

        QSet<int> highlighted;
        f.grid->OnGetCellParams = [&](QObject*, TField* field, TFont&, TColor&, bool highlight) {
            if (highlight && field->FieldName() == QLatin1String("Name"))
                highlighted << field->DataSet()->FieldByName(QStringLiteral("ID"))->AsInteger();
        };
        f.shot();
        QCOMPARE(highlighted, (QSet<int>{2, 3, 4}));

        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, f.cellCentre(1, 7));
        QCOMPARE(f.grid->SelectedRows(), QVector<int>{7});
        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, Qt::ControlModifier, f.cellCentre(1, 9));
        QCOMPARE(f.grid->SelectedRows(), (QVector<int>{7, 9}));
        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, Qt::ControlModifier, f.cellCentre(1, 7));
        QCOMPARE(f.grid->SelectedRows(), QVector<int>{9});
        f.key(Qt::Key_PageDown);
        QVERIFY(f.grid->SelectedRows().isEmpty());
    }

    // ------------------------------------------------------------ sizes, options, editing

    void editorNeverShowsOnReadOnlyData()
    {
        Form f(5, true, QStringLiteral("SELECT ID, Note FROM tItem ORDER BY ID"));
        QVERIFY(f.grid->Options() & dgCancelOnExit);
        QVERIFY(!f.grid->CanEditShow());
        f.grid->SetOptions(f.grid->Options() | dgEditing);
        f.grid->canModify = true;
        QVERIFY(f.grid->CanEditShow());  // the ID column
        f.key(Qt::Key_Right);
        QVERIFY(!f.grid->CanEditShow());  // a glyph field
        TField* asked = nullptr;
        f.grid->OnShowEditor = [&](QObject*, TField* field, bool& allow) {
            asked = field;
            allow = true;
        };
        QVERIFY(f.grid->CanEditShow());
        QCOMPARE(asked, f.grid->FieldAt(1));
    }

    // Ctrl+End reads to the last row and shows it; Ctrl+Home goes back.
    void ctrlEndGoesToTheLastRow()
    {
        Form f(3000);
        QVERIFY(!f.query->AllFetched());
        f.key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(f.query->RecNo(), 3000);
        QVERIFY(f.query->Eof());
        QCOMPARE(f.query->FieldByName(QStringLiteral("ID"))->AsInteger(), 3000);
        QCOMPARE(f.grid->model()->rowCount(), 3000);
        QCOMPARE(f.grid->currentIndex().row(), 2999);
        QVERIFY(f.grid->viewport()->rect().contains(f.cellCentre(1, 2999)));
        f.key(Qt::Key_End, Qt::ControlModifier);  // already there
        QCOMPARE(f.query->RecNo(), 3000);
        f.key(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(f.query->RecNo(), 1);
        QCOMPARE(f.grid->currentIndex().row(), 0);
        QVERIFY(f.grid->viewport()->rect().contains(f.cellCentre(1, 0)));
    }

    // The current cell is drawn selected while the grid has the focus, and
    // also without it when dgAlwaysShowSelection is set.
    void selectionShownWithoutFocus_data()
    {
        QTest::addColumn<bool>("always");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("shown");
        QTest::newRow("always, focused") << true << true << true;
        QTest::newRow("always, not focused") << true << false << true;
        QTest::newRow("plain, focused") << false << true << true;
        QTest::newRow("plain, not focused") << false << false << false;
    }
    void selectionShownWithoutFocus()
    {
        QFETCH(bool, always);
        QFETCH(bool, focused);
        QFETCH(bool, shown);
        Form f;
        auto* other = new QLineEdit(f.window.get());
        f.window->layout()->addWidget(other);
        const TDBGridOptions options = f.grid->Options();
        f.grid->SetOptions(always ? options | dgAlwaysShowSelection : options & ~TDBGridOptions(dgAlwaysShowSelection));
        (focused ? static_cast<QWidget*>(f.grid) : other)->setFocus();
        QTRY_COMPARE(f.grid->hasFocus(), focused);
        f.query->Next();  // the current cell: row 2, column ID
        int highlighted = 0;
        f.grid->OnGetCellParams = [&](QObject*, TField* field, TFont&, TColor&, bool highlight) {
            if (highlight) {
                ++highlighted;
                QCOMPARE(field->FieldName(), QStringLiteral("ID"));
                QCOMPARE(field->DataSet()->FieldByName(QStringLiteral("ID"))->AsInteger(), 2);
            }
        };
        const QImage shot = f.shot();
        QCOMPARE(highlighted > 0, shown);
        const QRect cell = f.grid->CellRect(0, 1);
        QCOMPARE(shot.pixelColor(cell.left() + 2, cell.center().y()) == ColorToQColor(clHighlight), shown);
    }

    // Dragging a title's border sizes the column and is no title click, so
    // the page is not sorted.
    void columnBorderDragIsNoTitleClick()
    {
        Form f;
        TitleLog log(f.grid);
        QWidget* titles = f.titles()->viewport();
        const int width = f.grid->horizontalHeader()->sectionSize(1);
        const QPoint border = titles->mapFrom(f.grid, QPoint(f.grid->TitleRect(1).right(), f.grid->TitleRect(1).center().y()));
        const QPoint moved = border + QPoint(40, 0);
        QTest::mousePress(titles, Qt::LeftButton, {}, border);
        QMouseEvent move(QEvent::MouseMove, moved, titles->mapToGlobal(moved), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(titles, &move);
        QTest::mouseRelease(titles, Qt::LeftButton, {}, moved);
        QCOMPARE(f.grid->horizontalHeader()->sectionSize(1), width + 40);
        QVERIFY(log.buttonClicks.isEmpty());
        QVERIFY(log.titleClicks.isEmpty());
        // A plain click on the same title still is one.
        f.pressTitle(1);
        f.releaseTitle(1);
        QCOMPARE(log.titleClicks, QStringList{QStringLiteral("Name")});
    }

    // ------------------------------------------------------------ speed

    void largeDataSetOpensLazily()
    {
        Form f(200000);
        QTest::qWait(50);
        QVERIFY(f.grid->model()->rowCount() > f.grid->VisibleRowCount());
        QVERIFY2(f.query->FetchedCount() < 600, qPrintable(QString::number(f.query->FetchedCount())));
        f.shot();
        for (int i = 0; i < 30; ++i)
            f.key(Qt::Key_PageDown);
        QVERIFY(f.query->RecNo() > 30 * 10);
        QVERIFY2(f.query->FetchedCount() < 2000, qPrintable(QString::number(f.query->FetchedCount())));
        f.grid->verticalScrollBar()->setValue(f.grid->verticalScrollBar()->maximum());
        QTest::qWait(20);
        QVERIFY(f.query->FetchedCount() < 5000);
        QVERIFY(!f.query->AllFetched());
    }

    // ------------------------------------------------------------ layout

    void persistentColumnLayoutRoundTrip()
    {
        QTemporaryDir dir;
        TIniFile ini(dir.filePath(QStringLiteral("layout.ini")));
        Form f;
        f.grid->Columns().Add(QStringLiteral("ID"));
        f.grid->Columns().Add(QStringLiteral("Name"), QStringLiteral("Item"));
        f.grid->Columns().Add(QStringLiteral("Active"));
        f.grid->setColumnWidth(1, 150);  // as the operator drags it
        f.grid->Columns().Move(2, 0);
        f.grid->SaveLayout(ini);
        const QString section = QStringLiteral("QWidgetKitDBGridItem");
        QCOMPARE(ini.ReadSection(section),
                 (QStringList{QStringLiteral("KitDBGridItem.Active"), QStringLiteral("KitDBGridItem.ID"),
                              QStringLiteral("KitDBGridItem.Name")}));
        QCOMPARE(ini.ReadString(section, QStringLiteral("KitDBGridItem.Name"), QString()), QStringLiteral("2,150"));
        const int activeWidth = f.grid->Columns()[0]->Width();

        Form g;
        g.grid->Columns().Add(QStringLiteral("ID"));
        g.grid->Columns().Add(QStringLiteral("Name"), QStringLiteral("Item"));
        g.grid->Columns().Add(QStringLiteral("Active"));
        g.grid->RestoreLayout(ini);
        QCOMPARE(g.grid->Columns()[0]->FieldName(), QStringLiteral("Active"));
        QCOMPARE(g.grid->Columns()[1]->FieldName(), QStringLiteral("ID"));
        QCOMPARE(g.grid->Columns()[2]->FieldName(), QStringLiteral("Name"));
        QCOMPARE(g.grid->columnWidth(2), 150);
        QCOMPARE(g.grid->columnWidth(0), activeWidth);
        QCOMPARE(g.grid->FieldAt(2)->FieldName(), QStringLiteral("Name"));
    }

    void fieldLayoutRoundTripThroughPlacement()
    {
        QTemporaryDir dir;
        // The form's placement, saved and restored as the form's close and
        // show would do it.
        auto placementOf = [&](QWidget* form) {
            auto* placement = new TFormPlacement(form);
            placement->SetIniFileName(dir.filePath(QStringLiteral("Tarvalis.ini")));
            placement->SetActive(false);
            return placement;
        };
        // The placement's section (the form's class), then the section of
        // the query's form.
        const QString section = QStringLiteral("QWidget\\QWidget");
        {
            Form f;
            TFormPlacement* placement = placementOf(f.window.get());
            f.grid->SetIniStorage(placement);
            f.grid->setColumnWidth(1, f.grid->columnWidth(1) / 2);
            placement->SaveFormPlacement();
            const int nameWidth = f.query->FieldByName(QStringLiteral("Name"))->DisplayWidth();
            QVERIFY(nameWidth < 20);
            QCOMPARE(placement->ReadString(section, QStringLiteral("qItemName"), QString()),
                     QStringLiteral("1,%1,1").arg(nameWidth));
            QCOMPARE(placement->ReadString(section, QStringLiteral("qItemID"), QString()), QStringLiteral("0,10,1"));
            placement->WriteString(section, QStringLiteral("qItemID"), QStringLiteral("2,6,1"));
            placement->WriteString(section, QStringLiteral("qItemActive"), QStringLiteral("0,x,0"));  // bad width: kept
        }
        Form g;
        TFormPlacement* placement = placementOf(g.window.get());
        g.grid->SetIniStorage(placement);
        placement->RestoreFormPlacement();
        QCOMPARE(g.grid->FieldAt(0)->FieldName(), QStringLiteral("Active"));
        QCOMPARE(g.grid->FieldAt(1)->FieldName(), QStringLiteral("Name"));
        QCOMPARE(g.grid->FieldAt(2)->FieldName(), QStringLiteral("ID"));
        QCOMPARE(g.query->FieldByName(QStringLiteral("ID"))->DisplayWidth(), 6);
        QCOMPARE(g.query->FieldByName(QStringLiteral("Active"))->DisplayWidth(), 10);
        QVERIFY(g.query->FieldByName(QStringLiteral("Active"))->Visible());  // visibility is not restored
        const int charWidth = QFontMetrics(g.grid->font()).horizontalAdvance(QLatin1Char('0'));
        QVERIFY(g.grid->columnWidth(2) >= charWidth * 6 + 4);
        QVERIFY(g.grid->columnWidth(2) < charWidth * 10 + 4);
        delete placement;  // the grid lets go of a placement that goes away
        QCOMPARE(g.grid->IniStorage(), nullptr);
    }

    void placementKeepsOnlyNamedGrids()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Tarvalis.ini"));
        Form f;
        f.grid->setObjectName(QString());
        f.grid->Columns().Add(QStringLiteral("ID"));
        TFormPlacement placement(f.window.get());
        placement.SetIniFileName(file);
        placement.SetActive(false);
        f.grid->SetIniStorage(&placement);
        placement.SaveFormPlacement();
        TIniFile ini(file);
        QVERIFY(ini.SectionExists(QStringLiteral("QWidget")));  // the placement's own keys
        QCOMPARE(ini.ReadSections(), QStringList{QStringLiteral("QWidget")});

        // Named, with persistent columns: the grid's own section.
        f.grid->setObjectName(QStringLiteral("KitDBGridItem"));
        placement.SaveFormPlacement();
        TIniFile again(file);
        QCOMPARE(again.ReadString(QStringLiteral("QWidget\\QWidgetKitDBGridItem"), QStringLiteral("KitDBGridItem.ID"),
                                  QString()),
                 QStringLiteral("0,%1").arg(f.grid->Columns()[0]->Width()));
        // A grid that goes away leaves the placement.
        delete f.grid;
        f.grid = nullptr;
        placement.SaveFormPlacement();
    }
};

KV_TEST_MAIN(TestKitDBGrid)
#include "tst_kitdbgrid.moc"
