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
#include <functional>

// What the editors of their own show reads whole, at the desktop's font
// whatever its size: each label is as large as its caption, inside its
// window, and clear of every input, box and button; every input is inside
// the window and tall enough for its text; a text wider than its input shows
// from its start.
class TestEditorLabels : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void initTestCase()
    {
        kvtest::QuietHeadlessNotices();
        db = kvtest::EditorDatabase({}, "SELECT 1");
    }
    void cleanupTestCase() { db.reset(); }

    void labels_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<std::function<QWidget*()>>("make");
        const std::pair<const char*, std::function<QWidget*()>> editors[] = {
            {"service id", [] { return new TSysEditServiceIDForm; }},
            {"line details", [] { return new TSysServiceRecordForm; }},
            {"service type", [] { return new TSysEditServTypeForm; }},
            {"operator", [] { return new TSysEditUserFunctionForm; }},
            {"batch type", [] { return new TSysEditBatchTypeForm; }},
            {"customer", [] { return new TSysEditCustomerForm; }},
            {"supplier", [] { return new TSysEditSupplierForm; }},
            {"service level", [] { return new TSysEditServiceKpiForm; }},
            {"agreement", [] { return new TSysEditAgreementForm; }},
            {"tariff", [] { return new TSysEditTariffForm; }},
            {"split", [] { return new TSplitForm; }},
        };
        for (int points : kvtest::kFontPoints)
            for (const auto& [name, make] : editors)
                QTest::addRow("%s, %d pt", name, points) << points << make;
    }
    void labels()
    {
        QFETCH(int, points);
        QFETCH(std::function<QWidget*()>, make);
        kvtest::ApplicationFont font(points);
        std::unique_ptr<QWidget> window(make());
        window->show();
        const QStringList faults = kvtest::LayoutFaults(*window);
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
