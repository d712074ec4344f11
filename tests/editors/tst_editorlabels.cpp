#include "EditorSupport.h"
#include "SysEditAgreement.h"
#include "SysEditBatchType.h"
#include "SysEditCustomer.h"
#include "SysEditServType.h"
#include "SysEditServiceID.h"
#include "SysEditServiceKpi.h"
#include "SysEditServiceSplit.h"
#include "SysEditSupplier.h"
#include "SysEditTariff.h"
#include "SysEditUserFunction.h"
#include "SysServiceRecord.h"
#include <QLabel>
#include <functional>

// What the editors of their own show reads whole: each label is as wide as
// its caption, inside its window, and clear of every input, box and button;
// a text wider than its input shows from its start.
class TestEditorLabels : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    static bool isInput(const QWidget* w)
    {
        return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
               qobject_cast<const QAbstractButton*>(w);
    }

private slots:
    void initTestCase()
    {
        kvtest::QuietHeadlessNotices();
        db = kvtest::EditorDatabase({}, "SELECT 1");
    }
    void cleanupTestCase() { db.reset(); }

    void labels_data()
    {
        QTest::addColumn<std::function<QWidget*()>>("make");
        const auto row = [](const char* name, std::function<QWidget*()> make) { QTest::newRow(name) << make; };
        row("service id", [] { return new TSysEditServiceIDForm; });
        row("line details", [] { return new TSysServiceRecordForm; });
        row("service type", [] { return new TSysEditServTypeForm; });
        row("operator", [] { return new TSysEditUserFunctionForm; });
        row("batch type", [] { return new TSysEditBatchTypeForm; });
        row("customer", [] { return new TSysEditCustomerForm; });
        row("supplier", [] { return new TSysEditSupplierForm; });
        row("service level", [] { return new TSysEditServiceKpiForm; });
        row("agreement", [] { return new TSysEditAgreementForm; });
        row("tariff", [] { return new TSysEditTariffForm; });
        row("split", [] { return new TSplitForm; });
    }
    void labels()
    {
        QFETCH(std::function<QWidget*()>, make);
        std::unique_ptr<QWidget> window(make());
        window->show();
        QStringList faults;
        const QList<QWidget*> widgets = window->findChildren<QWidget*>();
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty())
                continue;
            const QRect at(label->mapTo(window.get(), QPoint(0, 0)), label->size());
            if (label->width() < label->sizeHint().width())
                faults << label->objectName() + " is cut";
            if (!window->rect().contains(at))
                faults << label->objectName() + " runs out of the window";
            for (const QWidget* other : widgets) {
                if (!isInput(other) || !other->isVisible() || isInput(other->parentWidget()))
                    continue;  // the parts of an input count as the input
                if (at.intersects(QRect(other->mapTo(window.get(), QPoint(0, 0)), other->size())))
                    faults << label->objectName() + " runs into " + other->objectName();
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    }

    void longTextsShowTheirStart()
    {
        const QString text = "Standby generator maintenance contract for the Brellinghast business telephone line";
        TSysEditAgreementForm agreement;
        agreement.SetDescription(text);
        TSysEditServiceIDForm service;
        service.SetDescription(text);
        TSysEditCustomerForm customer;
        customer.SetFullName(text);
        for (QLineEdit* e : {agreement.edtDescription, service.edtDescription, customer.edtFullName}) {
            e->window()->show();
            QVERIFY(e->fontMetrics().horizontalAdvance(e->text()) > e->width());
            QCOMPARE(e->cursorPosition(), 0);
        }
    }
};

KV_TEST_MAIN(TestEditorLabels)
#include "tst_editorlabels.moc"
