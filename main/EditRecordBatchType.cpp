// How the main window drives the batch type editor: the id when editing,
// the row's texts and ids, the display flags with their names, the
// variables' descriptions and the tests as two flag strings.
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditBatchType.h"

namespace {
using F = TSysEditBatchTypeForm;

// Fifteen characters, "1" where the test's column (Prefix01 .. Prefix15) is
// true.
QString testFlags(TDataSet& row, const QString& prefix)
{
    QString flags;
    for (int n = 1; n <= F::kTests; ++n)
        flags += row.FieldByName(prefix + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')))->AsBoolean()
                     ? QLatin1Char('1')
                     : QLatin1Char('0');
    return flags;
}
}  // namespace

TEditorWiring WireBatchType(int)
{
    TEditorWiring w;
    w.Create = [](QWidget* owner) -> TRecordEditor* { return new F(owner); };
    w.BeforeQuestion = [](TRecordEditor& e, TDataSet&, bool add, int keptId) {
        if (!add)
            static_cast<F&>(e).SetBatchTypeID(QString::number(keptId));
    };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool, int) {
        auto& f = static_cast<F&>(e);
        auto field = [&row](const QString& name) { return row.FieldByName(name); };
        f.SetDescription(field(QStringLiteral("Description"))->AsString());
        f.SetSupplierDisplayedName(field(QStringLiteral("SupplierDisplayedName"))->AsString());
        // An id without a value leaves its list empty.
        const std::pair<const char*, void (F::*)(int)> ids[] = {
            {"SupplierID", &F::SetSupplierID},
            {"ProgramID", &F::SetProgramID},
            {"ReportGroupID", &F::SetReportGroupID},
            {"DataSourceTypeID", &F::SetDataSourceTypeID},
        };
        for (const auto& [column, set] : ids)
            if (!field(QLatin1String(column))->IsNull())
                (f.*set)(field(QLatin1String(column))->AsInteger());
        // A named flag is set when its column is true; its name always, so
        // that a name kept for a flag switched off is written back as it is.
        for (int i = 0; i < F::kDisplayFlags; ++i) {
            const F::TDisplayFlagInfo& info = F::FlagInfo(i);
            const bool on = field(QLatin1String(info.Column))->AsBoolean();
            if (!info.Named) {
                f.SetFlag(F::TDisplayFlag(i), on);
                continue;
            }
            if (on)
                f.SetFlag(F::TDisplayFlag(i), true);
            f.SetFlagName(F::TDisplayFlag(i), field(QLatin1String(info.Property) + QStringLiteral("Name"))->AsString());
        }
        for (int n = 1; n <= F::kVariables; ++n)
            f.SetVar(n, field(QStringLiteral("Var%1Description").arg(n, 2, 10, QLatin1Char('0')))->AsString());
        f.SetCritical1To15(testFlags(row, QStringLiteral("CriticalCheck")));
        f.SetDubious1To15(testFlags(row, QStringLiteral("DubiousCheck")));
    };
    return w;
}
