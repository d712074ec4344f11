#include "KitHook.h"
#include "KitSplit.h"
#include "Locale.h"
#include "Placemnt.h"
#include "Platform.h"
#include "StrUtils.h"
#include "TestSupport.h"
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSettings>
#include <memory>

// A main window as the program builds it: the left panel docked beside the
// rest, opened at the default position, its placement and the panel's width
// kept in Tarvalis.ini.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(int version = 0)
    {
        setObjectName(QStringLiteral("MainForm"));
        resize(700, 500);
        SetFormPosition(this, poDefault);
        auto* central = new QWidget(this);
        auto* layout = new TAlignLayout(central);
        panelLeftSystem = new QWidget(central);
        panelLeftSystem->setObjectName(QStringLiteral("panelLeftSystem"));
        panelLeftSystem->resize(185, 100);
        layout->addDocked(panelLeftSystem, alLeft);
        edtFilter = new QLineEdit(central);
        edtFilter->setObjectName(QStringLiteral("edtFilter"));
        layout->addDocked(edtFilter, alClient);
        setCentralWidget(central);
        MainFormFormStorage = new TFormStorage(this);
        MainFormFormStorage->setObjectName(QStringLiteral("MainFormFormStorage"));
        MainFormFormStorage->SetIniFileName(SettingsFolder() + QStringLiteral("Tarvalis.ini"));
        MainFormFormStorage->SetVersion(version);
        MainFormFormStorage->SetStoredProps({QStringLiteral("panelLeftSystem.Width")});
        MainFormFormStorage->Loaded();
    }

    QWidget* panelLeftSystem;
    QLineEdit* edtFilter;
    TFormStorage* MainFormFormStorage;
    bool allowClose = true;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (allowClose)
            event->accept();
        else
            event->ignore();
    }
};

// A control that refers to another one, as a label to its edit.
class TLinkedLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QWidget* FocusControl READ FocusControl WRITE SetFocusControl)
public:
    using QLabel::QLabel;
    QWidget* FocusControl() const { return m_focus; }
    void SetFocusControl(QWidget* value) { m_focus = value; }

private:
    QWidget* m_focus = nullptr;
};

namespace {

// Property storage kept in memory: "section/key" to value.
struct MemoryStore {
    QHash<QString, QString> values;
    void attach(TPropsStorage& storage, QObject* object, const QString& prefix = QString())
    {
        storage.AObject = object;
        storage.Prefix = prefix;
        storage.Section = QStringLiteral("S");
        storage.OnWriteString = [this](const QString& s, const QString& k, const QString& v) { values[s + '/' + k] = v; };
        storage.OnReadString = [this](const QString& s, const QString& k, const QString& d) {
            return values.value(s + '/' + k, d);
        };
    }
};

QString IniPath()
{
    return SettingsFolder() + QStringLiteral("Tarvalis.ini");
}

QString Stored(const QString& key)
{
    return TIniFile(IniPath()).ReadString(QStringLiteral("TMainForm"), key, QStringLiteral("<none>"));
}

void WriteSection(const QStringList& lines)
{
    QFile f(IniPath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[TMainForm]\r\n");
    for (const QString& line : lines)
        f.write(line.toLatin1() + "\r\n");
}

QString Ppi(int delta = 0)
{
    return QStringLiteral("PixelsPerInch=%1").arg(ScreenPixelsPerInch() + delta);
}

void ShowForm(QWidget& form)
{
    form.show();
    QCoreApplication::processEvents();
}

// Shows a form, brings it to a normal rectangle and closes it.
void SaveNormal(const QRect& geometry, int panelWidth, int version = 0)
{
    TMainForm form(version);
    ShowForm(form);
    form.setWindowState(Qt::WindowNoState);
    form.setGeometry(geometry);
    form.panelLeftSystem->resize(panelWidth, form.panelLeftSystem->height());
    QVERIFY(form.close());
}

}  // namespace

class TestPlacement : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(IniPath()); }

    // ------------------------------------------------------------ round trip

    void missingFileOpensMaximizedWithDesignedPanel()
    {
        TMainForm form;
        ShowForm(form);
        QVERIFY(form.MainFormFormStorage->IsRestored());
        QVERIFY(form.isMaximized());
        QCOMPARE(form.panelLeftSystem->width(), 185);
    }

    void saveThenRestoreRoundTrip()
    {
        SaveNormal(QRect(100, 120, 500, 300), 210);
        QVERIFY(QFile::exists(IniPath()));

        TMainForm form;
        ShowForm(form);
        QCOMPARE(form.windowState(), Qt::WindowNoState);
        QCOMPARE(form.geometry(), QRect(100, 120, 500, 300));
        QCOMPARE(form.panelLeftSystem->width(), 210);
        // The panel's neighbours were docked anew beside the restored width.
        QCOMPARE(form.edtFilter->x(), 210);
    }

    void maximizedWindowKeepsItsNormalRectangle()
    {
        {
            TMainForm form;
            ShowForm(form);
            form.setWindowState(Qt::WindowNoState);
            form.setGeometry(60, 70, 400, 300);
            form.showMaximized();
            QVERIFY(form.close());
        }
        QCOMPARE(Stored(QStringLiteral("ShowCmd")), QStringLiteral("3"));
        QCOMPARE(Stored(QStringLiteral("NormPos")), QStringLiteral("60,70,460,370"));
        TMainForm form;
        ShowForm(form);
        QVERIFY(form.isMaximized());
        QCOMPARE(form.normalGeometry(), QRect(60, 70, 400, 300));
    }

    void keysTheirOrderAndTextForms()
    {
        SaveNormal(QRect(100, 120, 500, 300), 210);
        const QString size = QStringLiteral("(%1x%2)").arg(ScreenSize().width()).arg(ScreenSize().height());
        const QStringList keys = {QStringLiteral("FormVersion"), QStringLiteral("Flags"), QStringLiteral("ShowCmd"),
                                  QStringLiteral("PixelsPerInch"), QStringLiteral("MinMaxPos") + size,
                                  QStringLiteral("MinMaxPos"), QStringLiteral("NormPos") + size,
                                  QStringLiteral("NormPos"), QStringLiteral("Visible"),
                                  QStringLiteral("panelLeftSystem_Width")};
        QCOMPARE(TIniFile(IniPath()).ReadSection(QStringLiteral("TMainForm")), keys);

        QFile f(IniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        // A sizeable window's maximized position is its negated frame.
        const QByteArray expected = "[TMainForm]\r\n"
                                    "FormVersion=0\r\n"
                                    "Flags=0\r\n"
                                    "ShowCmd=1\r\n"
                                    "PixelsPerInch=" + QByteArray::number(ScreenPixelsPerInch()) + "\r\n"
                                    "MinMaxPos" + size.toLatin1() + "=-1,-1,-4,-4\r\n"
                                    "MinMaxPos=-1,-1,-4,-4\r\n"
                                    "NormPos" + size.toLatin1() + "=100,120,600,420\r\n"
                                    "NormPos=100,120,600,420\r\n"
                                    "Visible=0\r\n"
                                    "panelLeftSystem_Width=210\r\n";
        QCOMPARE(bytes, expected);
    }

    void showCmdWritten_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("showCmd");
        QTest::addColumn<QString>("flags");
        QTest::newRow("normal") << int(Qt::WindowNoState) << "1" << "0";
        QTest::newRow("maximized") << int(Qt::WindowMaximized) << "3" << "0";
        QTest::newRow("minimized") << int(Qt::WindowMinimized) << "2" << "0";
        QTest::newRow("minimized from maximized")
            << int(Qt::WindowMinimized | Qt::WindowMaximized) << "2" << "2";
    }
    void showCmdWritten()
    {
        QFETCH(int, state);
        QFETCH(QString, showCmd);
        QFETCH(QString, flags);
        {
            TMainForm form;
            ShowForm(form);
            form.setWindowState(Qt::WindowStates(state));
            QVERIFY(form.close());
        }
        QCOMPARE(Stored(QStringLiteral("ShowCmd")), showCmd);
        QCOMPARE(Stored(QStringLiteral("Flags")), flags);
    }

    void showCmdRead_data()
    {
        QTest::addColumn<QString>("showCmd");
        QTest::addColumn<int>("state");
        QTest::newRow("1 normal") << "1" << int(wsNormal);
        QTest::newRow("3 maximized") << "3" << int(wsMaximized);
        QTest::newRow("2 minimized") << "2" << int(wsMinimized);
        QTest::newRow("6 minimized") << "6" << int(wsMinimized);
        QTest::newRow("0 hidden keeps the default") << "0" << int(wsMaximized);
        QTest::newRow("not a number keeps the default") << "x" << int(wsMaximized);
    }
    void showCmdRead()
    {
        QFETCH(QString, showCmd);
        QFETCH(int, state);
        WriteSection({QStringLiteral("FormVersion=0"), QStringLiteral("ShowCmd=") + showCmd});
        TMainForm form;
        form.show();
        if (state == wsMinimized) {
            // The main window goes down only once it is up.
            QCOMPARE(FormWindowState(&form), wsNormal);
            QCoreApplication::processEvents();
        }
        QCOMPARE(int(FormWindowState(&form)), state);
    }

    void changedVersionIgnoresTheStoredPlacement()
    {
        SaveNormal(QRect(100, 120, 500, 300), 210, 0);
        {
            TMainForm form(1);
            ShowForm(form);
            QVERIFY(form.MainFormFormStorage->IsRestored());
            QVERIFY(!form.isMaximized());  // not even the default state was read
            QVERIFY(form.geometry() != QRect(100, 120, 500, 300));
            QCOMPARE(form.panelLeftSystem->width(), 185);
            form.setGeometry(30, 40, 300, 200);
            QVERIFY(form.close());
        }
        // The save after it writes everything with the new version.
        QCOMPARE(Stored(QStringLiteral("FormVersion")), QStringLiteral("1"));
        QCOMPARE(Stored(QStringLiteral("NormPos")), QStringLiteral("30,40,330,240"));
        QCOMPARE(Stored(QStringLiteral("panelLeftSystem_Width")), QStringLiteral("185"));

        TMainForm lower(0);  // a stored version above the form's own is fine
        ShowForm(lower);
        QCOMPARE(lower.geometry(), QRect(30, 40, 300, 200));
    }

    // Which stored rectangle is applied: "-" means the form keeps its own.
    void storedPositionRead_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("geometry");
        const QSize s = ScreenSize();
        const QString sized = QStringLiteral("NormPos(%1x%2)=10,20,410,320");
        QTest::newRow("same resolution") << QStringList{"FormVersion=0", "ShowCmd=1", Ppi(), "NormPos=10,20,410,320"}
                                         << "10,20 400x300";
        QTest::newRow("other resolution") << QStringList{"FormVersion=0", "ShowCmd=1", Ppi(24), "NormPos=10,20,410,320"}
                                          << "-";
        QTest::newRow("this screen's size wins")
            << QStringList{"ShowCmd=1", sized.arg(s.width()).arg(s.height()), "NormPos=50,60,250,160"} << "10,20 400x300";
        QTest::newRow("another screen's size is passed over")
            << QStringList{"ShowCmd=1", sized.arg(s.width() + 1).arg(s.height()), "NormPos=50,60,250,160"}
            << "50,60 200x100";
        QTest::newRow("missing words take the form's") << QStringList{"ShowCmd=1", "NormPos=10 20"} << "10,20";
        QTest::newRow("no width: not applied") << QStringList{"ShowCmd=1", "NormPos=300,20,300,320"} << "-";
    }
    void storedPositionRead()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, geometry);
        WriteSection(lines);
        TMainForm form;
        const QRect designed = form.geometry();
        ShowForm(form);
        QCOMPARE(form.windowState(), Qt::WindowNoState);
        const QRect g = form.geometry();
        if (geometry == "-") {
            QVERIFY(g.x() != 10 && g.x() != 300);
            QCOMPARE(g.size(), QSize(700, 500));
        } else if (geometry == "10,20") {
            QCOMPARE(g, QRect(10, 20, designed.right() + 1 - 10, designed.bottom() + 1 - 20));
        } else {
            QCOMPARE(QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()), geometry);
        }
    }

    void storedPropsLineWithoutComponentIsDropped()
    {
        TMainForm form;
        form.MainFormFormStorage->SetStoredProps({QStringLiteral("panelGone.Width"), QStringLiteral("no dot"),
                                                  QStringLiteral("panelLeftSystem.Width")});
        form.MainFormFormStorage->Loaded();
        QCOMPARE(form.MainFormFormStorage->StoredProps(), QStringList{QStringLiteral("panelLeftSystem.Width")});
        // Renaming the component renames its line before the next write.
        ShowForm(form);
        form.panelLeftSystem->setObjectName(QStringLiteral("panelLeft"));
        QVERIFY(form.close());
        QCOMPARE(form.MainFormFormStorage->StoredProps(), QStringList{QStringLiteral("panelLeft.Width")});
        QCOMPARE(Stored(QStringLiteral("panelLeft_Width")), QStringLiteral("185"));
    }

    // ------------------------------------------------------------ moments

    void refusedCloseOrNeverShownSavesNothing()
    {
        { TMainForm never; }
        QVERIFY(!QFile::exists(IniPath()));
        TMainForm form;
        ShowForm(form);
        form.allowClose = false;
        QVERIFY(!form.close());
        QVERIFY(!QFile::exists(IniPath()));
        form.allowClose = true;
    }

    void destroyedWithoutCloseSavesAsVisible()
    {
        auto form = std::make_unique<TMainForm>();
        ShowForm(*form);
        form->setWindowState(Qt::WindowNoState);
        form->setGeometry(15, 25, 300, 200);
        form.reset();
        QCOMPARE(Stored(QStringLiteral("Visible")), QStringLiteral("1"));
        QCOMPARE(Stored(QStringLiteral("NormPos")), QStringLiteral("15,25,315,225"));
        QCOMPARE(Stored(QStringLiteral("ShowCmd")), QStringLiteral("1"));
    }

    void destroyAfterCloseDoesNotSaveAgain()
    {
        auto form = std::make_unique<TMainForm>();
        ShowForm(*form);
        QVERIFY(form->close());
        QCOMPARE(Stored(QStringLiteral("Visible")), QStringLiteral("0"));
        TIniFile(IniPath()).WriteString(QStringLiteral("TMainForm"), QStringLiteral("NormPos"), QStringLiteral("marker"));
        form.reset();
        QCOMPARE(Stored(QStringLiteral("NormPos")), QStringLiteral("marker"));
    }

    void unwritableFileIsReportedAndTheWindowCloses()
    {
        kvtest::MessageRecorder boxes;
        TMainForm form;
        form.MainFormFormStorage->SetIniFileName(QStringLiteral("/proc/kv-no-such-folder/Tarvalis.ini"));
        ShowForm(form);
        QVERIFY(form.close());
        QVERIFY(!form.isVisible());
        QCOMPARE(boxes.Count(), 1);  // one box for the file, not one per key
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QCOMPARE(boxes.Texts().first(),
                 kvtest::UnableToWrite("/proc/kv-no-such-folder/Tarvalis.ini", qt_error_string(ENOENT)));
    }

    // On a full disk the placement file keeps the placement it held: the
    // window closes, the failure is told once, and a window opened later in
    // the run takes the placement kept in memory.
    void fullDiskKeepsTheFile()
    {
        SaveNormal(QRect(100, 120, 500, 300), 210);
        const QString folder = kvtest::FullDisk::Folder();
        const QString file = folder + QStringLiteral("/Tarvalis.ini");
        const QByteArray before = kvtest::FileBytes(IniPath());
        QVERIFY(kvtest::WriteFileBytes(file, before));
        kvtest::MessageRecorder boxes;
        {
            TMainForm form;
            form.MainFormFormStorage->SetIniFileName(file);
            ShowForm(form);
            QCOMPARE(form.geometry(), QRect(100, 120, 500, 300));
            form.setGeometry(40, 50, 320, 240);
            form.panelLeftSystem->resize(230, form.panelLeftSystem->height());
            kvtest::FullDisk full;
            QVERIFY(form.close());
            QVERIFY(!form.isVisible());
        }
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QCOMPARE(boxes.Texts().first(), kvtest::UnableToWrite(file, kvtest::FullDisk::Reason()));
        QCOMPARE(kvtest::FileBytes(file), before);
        QCOMPARE(kvtest::FilesIn(folder), QStringList{QStringLiteral("Tarvalis.ini")});
        {
            TMainForm form;
            form.MainFormFormStorage->SetIniFileName(file);
            ShowForm(form);
            QCOMPARE(form.geometry(), QRect(40, 50, 320, 240));
            QCOMPARE(form.panelLeftSystem->width(), 230);
        }
        QCOMPARE(boxes.Count(), 1);
        TIniFile::ForgetUnwritten();
        QVERIFY(QFile::remove(file));
    }

    void activeControlIsKeptWhenAsked()
    {
        {
            TMainForm form;
            form.MainFormFormStorage->SetOptions(fpState | fpPosition | fpActiveControl);
            ShowForm(form);
            form.edtFilter->setFocus();
            QVERIFY(form.close());
        }
        QCOMPARE(Stored(QStringLiteral("ActiveControl")), QStringLiteral("edtFilter"));
        TMainForm form;
        form.MainFormFormStorage->SetOptions(fpState | fpPosition | fpActiveControl);
        ShowForm(form);
        QCOMPARE(form.focusWidget(), form.edtFilter);
    }

    // ------------------------------------------------------------ limits

    void preventResizeHoldsTheSizeAndDropsMaximize()
    {
        TMainForm form;
        SetFormPosition(&form, poDesigned);
        form.MainFormFormStorage->SetPreventResize(true);
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        ShowForm(form);
        QCOMPARE(form.minimumSize(), form.size());
        QCOMPARE(form.maximumSize(), form.size());
    }

    void windowHookSeesEventsBeforeAndAfterTheControl()
    {
        QLineEdit edit;
        TKitWindowHook first;
        TKitWindowHook second;
        QStringList heard;
        // The hook added last hears first; one that handles a key keeps it
        // from the control.
        first.BeforeMessage = [&](QObject*, QEvent* e, bool&) {
            if (e->type() == QEvent::KeyPress)
                heard << QStringLiteral("first");
        };
        second.BeforeMessage = [&](QObject*, QEvent* e, bool& handled) {
            if (e->type() == QEvent::KeyPress) {
                heard << QStringLiteral("second");
                handled = static_cast<QKeyEvent*>(e)->key() == Qt::Key_X;
            }
        };
        first.AfterMessage = [&](QObject*, QEvent* e, bool&) {
            if (e->type() == QEvent::KeyPress)
                heard << QStringLiteral("after:") + edit.text();
        };
        first.SetWinControl(&edit);
        second.SetWinControl(&edit);
        QCOMPARE(TKitWindowHook::HookedControlCount(), 1);
        QTest::keyClick(&edit, Qt::Key_A);
        QTest::keyClick(&edit, Qt::Key_X);
        QCOMPARE(edit.text(), QStringLiteral("a"));
        QCOMPARE(heard, (QStringList{QStringLiteral("second"), QStringLiteral("first"), QStringLiteral("after:a"),
                                     QStringLiteral("second")}));
        second.SetActive(false);
        first.SetActive(false);
        QCOMPARE(TKitWindowHook::HookedControlCount(), 0);
        QTest::keyClick(&edit, Qt::Key_X);
        QCOMPARE(edit.text(), QStringLiteral("ax"));
    }

    // ------------------------------------------------------------ properties and values

    void propertyTextForms_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("text");
        QTest::newRow("geometry width") << "Width" << "120";
        QTest::newRow("integer") << "indent" << "7";
        QTest::newRow("boolean by name") << "wordWrap" << "True";
        QTest::newRow("enumeration by name") << "textFormat" << "RichText";
        QTest::newRow("set of flags") << "alignment" << "[AlignRight,AlignTop]";
        QTest::newRow("string as it is") << "text" << "Hello";
    }
    void propertyTextForms()
    {
        QFETCH(QString, property);
        QFETCH(QString, text);
        QLabel label;
        label.setObjectName(QStringLiteral("lblInfo"));
        label.resize(120, 20);
        label.setIndent(7);
        label.setWordWrap(true);
        label.setTextFormat(Qt::RichText);
        label.setAlignment(Qt::AlignRight | Qt::AlignTop);
        label.setText(QStringLiteral("Hello"));
        MemoryStore store;
        TPropsStorage storage;
        store.attach(storage, &label, QStringLiteral("lblInfo_"));
        storage.StoreProperties({property});
        QCOMPARE(store.values.value(QStringLiteral("S/lblInfo_") + property), text);
    }

    void propertyLoadRules_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("enum name in any case") << "textFormat" << "plaintext" << "PlainText";
        QTest::newRow("unknown enum name leaves it") << "textFormat" << "Sparkly" << "RichText";
        QTest::newRow("integer that is no number is 0") << "indent" << "seven" << "0";
        QTest::newRow("boolean in any case") << "wordWrap" << " false " << "False";
        QTest::newRow("set names in any case") << "alignment" << "[alignleft, AlignBottom]" << "[AlignLeft,AlignBottom]";
        QTest::newRow("property name in any case") << "WORDWRAP" << "False" << "False";
    }
    void propertyLoadRules()
    {
        QFETCH(QString, property);
        QFETCH(QString, stored);
        QFETCH(QString, readBack);
        QLabel label;
        label.setIndent(7);
        label.setWordWrap(true);
        label.setTextFormat(Qt::RichText);
        TPropsStorage storage;
        storage.AObject = &label;
        storage.OnReadString = [&](const QString&, const QString&, const QString&) { return stored; };
        storage.LoadProperties({property});
        QHash<QString, QString> store;
        storage.OnWriteString = [&](const QString&, const QString& key, const QString& value) { store[key] = value; };
        storage.StoreProperties({property});
        QCOMPARE(store.value(store.keys().value(0)), readBack);
    }

    void listsAndReferences()
    {
        QWidget form;
        form.setObjectName(QStringLiteral("EditForm"));
        auto* label = new TLinkedLabel(&form);
        label->setObjectName(QStringLiteral("lblName"));
        auto* edit = new QLineEdit(&form);
        edit->setObjectName(QStringLiteral("edtName"));
        label->SetFocusControl(edit);
        label->setProperty("Lines", QStringList{QStringLiteral("one"), QStringLiteral("two")});
        MemoryStore memory;
        QHash<QString, QString>& store = memory.values;
        TPropsStorage storage;
        memory.attach(storage, label, QStringLiteral("lblName_"));
        storage.Owner = &form;
        storage.OnEraseSection = [&](const QString& s) { store.insert(s + QStringLiteral("/<erased>"), QString()); };
        storage.StoreProperties({QStringLiteral("Lines"), QStringLiteral("FocusControl")});
        QCOMPARE(store.value(QStringLiteral("S.lblName_Lines/Count")), QStringLiteral("2"));
        QCOMPARE(store.value(QStringLiteral("S.lblName_Lines/Item1")), QStringLiteral("two"));
        QVERIFY(store.contains(QStringLiteral("S.lblName_Lines/<erased>")));
        QCOMPARE(store.value(QStringLiteral("S/lblName_FocusControl")), QStringLiteral("edtName"));

        label->SetFocusControl(nullptr);
        label->setProperty("Lines", QStringList());
        storage.LoadProperties({QStringLiteral("Lines"), QStringLiteral("FocusControl")});
        QCOMPARE(label->property("Lines").toStringList(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        QCOMPARE(label->FocusControl(), edit);
        store[QStringLiteral("S/lblName_FocusControl")] = QStringLiteral("(null)");
        storage.LoadProperties({QStringLiteral("FocusControl")});
        QCOMPARE(label->FocusControl(), nullptr);
        // A control on another window is named with its window.
        QWidget other;
        other.setObjectName(QStringLiteral("OtherForm"));
        auto* far = new QLineEdit(&other);
        far->setObjectName(QStringLiteral("edtFar"));
        label->SetFocusControl(far);
        storage.StoreProperties({QStringLiteral("FocusControl")});
        QCOMPARE(store.value(QStringLiteral("S/lblName_FocusControl")), QStringLiteral("OtherForm.edtFar"));
        label->SetFocusControl(nullptr);
        storage.LoadProperties({QStringLiteral("FocusControl")});
        QCOMPARE(label->FocusControl(), far);
    }

    void ownedObjectIsKeptPropertyByProperty()
    {
        QObject holder;
        auto* border = new QObject(&holder);
        border->setProperty("Width", 3);
        border->setProperty("Style", QStringLiteral("dotted"));
        holder.setProperty("Border", QVariant::fromValue<QObject*>(border));
        MemoryStore memory;
        QHash<QString, QString>& store = memory.values;
        TPropsStorage storage;
        memory.attach(storage, &holder, QStringLiteral("pnl_"));
        storage.StoreProperties({QStringLiteral("Border")});
        QCOMPARE(store.value(QStringLiteral("S/pnl_Border.Width")), QStringLiteral("3"));
        QCOMPARE(store.value(QStringLiteral("S/pnl_Border.Style")), QStringLiteral("dotted"));
        QCOMPARE(store.size(), 2);

        store[QStringLiteral("S/pnl_Border.Width")] = QStringLiteral("5");
        storage.LoadProperties({QStringLiteral("Border")});
        QCOMPARE(border->property("Width").toInt(), 5);
        QCOMPARE(holder.property("Border").value<QObject*>(), border);
    }

    void floatsUseAPointWhateverTheLocale()
    {
        TFormatSettings comma = FormatSettings();
        const TFormatSettings saved = comma;
        comma.DecimalSeparator = QChar(',');
        comma.ThousandSeparator = QChar('.');
        SetFormatSettings(comma);
        QDoubleSpinBox spin;
        spin.setDecimals(2);
        spin.setValue(2.5);
        QHash<QString, QString> store;
        TPropsStorage storage;
        storage.AObject = &spin;
        storage.OnWriteString = [&](const QString&, const QString& key, const QString& value) { store[key] = value; };
        storage.OnReadString = [&](const QString&, const QString&, const QString&) { return QStringLiteral("3.75"); };
        storage.StoreProperties({QStringLiteral("value")});
        QCOMPARE(store.value(QStringLiteral("value")), QStringLiteral("2.5"));
        storage.LoadProperties({QStringLiteral("value")});
        SetFormatSettings(saved);
        QCOMPARE(spin.value(), 3.75);
    }

    void quotedTextSurvivesTheProfileFile()
    {
        QLabel label;
        label.setObjectName(QStringLiteral("lblInfo"));
        label.setText(QStringLiteral("\"quoted\""));
        TFormStorage storage;
        storage.SetIniFileName(IniPath());
        storage.SetIniSection(QStringLiteral("Texts"));
        TPropsStorage props;
        props.AObject = &label;
        props.Prefix = QStringLiteral("lblInfo_");
        props.Section = QStringLiteral("Texts");
        props.OnWriteString = [&](const QString& s, const QString& k, const QString& v) { storage.WriteString(s, k, v); };
        props.OnReadString = [&](const QString& s, const QString& k, const QString& d) { return storage.ReadString(s, k, d); };
        props.StoreProperties({QStringLiteral("text")});
        QFile f(IniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("lblInfo_text=\"\"quoted\"\"\r\n"));
        label.setText(QString());
        props.LoadProperties({QStringLiteral("text")});
        QCOMPARE(label.text(), QStringLiteral("\"quoted\""));
    }

    void storedValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("startValue");
        QTest::newRow("plain text") << QString() << QVariant(QStringLiteral("abc")) << QVariant(QString());
        QTest::newRow("scrambled text") << QStringLiteral("Brellinghast") << QVariant(QStringLiteral("secret"))
                                        << QVariant(QString());
        QTest::newRow("scrambled number stays a number") << QStringLiteral("K") << QVariant(42) << QVariant(0);
    }
    void storedValues()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QVariant, startValue);
        {
            TFormStorage storage;
            storage.SetIniFileName(IniPath());
            storage.SetIniSection(QStringLiteral("Values"));
            storage.SetActive(false);  // saved without a restore first
            TStoredValue* v = storage.StoredValues()->Add(QStringLiteral("Value1"));
            v->SetKeyString(key);
            v->SetValue(value);
            storage.SaveFormPlacement();
        }
        const QString text = TIniFile(IniPath()).ReadString(QStringLiteral("Values"), QStringLiteral("Value1"), QString());
        QCOMPARE(text, key.isEmpty() ? value.toString() : XorEncodeToHex(value.toString(), key));
        if (!key.isEmpty())
            QVERIFY(text != value.toString());

        TFormStorage storage;
        storage.SetIniFileName(IniPath());
        storage.SetIniSection(QStringLiteral("Values"));
        TStoredValue* v = storage.StoredValues()->Add(QStringLiteral("value1"));
        v->SetKeyString(key);
        v->SetValue(startValue);
        storage.RestoreFormPlacement();
        QCOMPARE(v->Value(), value);
        QCOMPARE(v->Value().metaType(), value.metaType());
    }

    void storedValueNamesAreUnique()
    {
        TFormStorage storage;
        storage.StoredValues()->Add(QStringLiteral("First"));
        TStoredValue* second = storage.StoredValues()->Add(QStringLiteral("Second"));
        try {
            second->SetName(QStringLiteral("FIRST"));
            QFAIL("a duplicate name was taken");
        } catch (const EStringListError& e) {
            QCOMPARE(e.Message(), QStringLiteral("String list does not allow duplicates"));
        }
        QCOMPARE(second->Name(), QStringLiteral("Second"));
        QVERIFY_THROWS_EXCEPTION(EStringListError, storage.StoredValues()->Add(QStringLiteral("first")));
        QCOMPARE(storage.StoredValues()->Count(), 2);
    }

    void registryStoreKeepsValuesUnchanged()
    {
        {
            TFormStorage storage;
            storage.SetUseRegistry(true);
            storage.SetIniFileName(QStringLiteral("Software\\kvtest"));
            storage.SetIniSection(QStringLiteral("Values"));
            storage.SetActive(false);
            storage.StoredValues()->Add(QStringLiteral("Quoted"))->SetValue(QStringLiteral("'q'"));
            storage.SaveFormPlacement();
        }
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("registry"),
                      QStringLiteral("HKEY_CURRENT_USER"));
        QCOMPARE(raw.value(QStringLiteral("Software/kvtest/Values/Quoted")).toString(), QStringLiteral("'q'"));
        TFormStorage storage;
        storage.SetUseRegistry(true);
        storage.SetIniFileName(QStringLiteral("Software\\kvtest"));
        storage.SetIniSection(QStringLiteral("Values"));
        TStoredValue* v = storage.StoredValues()->Add(QStringLiteral("Quoted"));
        storage.RestoreFormPlacement();
        QCOMPARE(v->Value().toString(), QStringLiteral("'q'"));
    }

    // ------------------------------------------------------------ names

    void defaultNames()
    {
        TMainForm form;
        QCOMPARE(form.MainFormFormStorage->IniSection(), QStringLiteral("TMainForm"));
        QCOMPARE(DefaultSectionName(form.panelLeftSystem), QStringLiteral("TMainFormpanelLeftSystem"));
        QCOMPARE(DefaultSectionName(form.MainFormFormStorage), QStringLiteral("TMainForm.MainFormFormStorage"));
    }
};

KV_TEST_MAIN_FULL_DISK(TestPlacement)
#include "tst_placement.moc"
