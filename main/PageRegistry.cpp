#include "PageRegistry.h"
#include <QStringList>

const QVector<PageInfo>& Pages()
{
    // id, sheet, caption, query, data source, grid, table, group, node, blue
    static const QVector<PageInfo> pages = {
        {1001, "TabActivity", "tActivity", "qSysActivity", "dsSysActivity", "KitDBGridActivity", "tActivity", "Charges", "tActivity", true},
        {1002, "TabAdjustment", "tAdjustment", "qSysAdjustment", "dsSysAdjustment", "KitDBGridAdjustment", "tAdjustment", "Invoice", "tAdjustment", false},
        {1003, "TabAgreement", "tAgreement", "qSysAgreement", "dsSysAgreement", "KitDBGridAgreement", "tAgreement", "Service", "tAgreement", true},
        {1004, "TabAgreementTariffs", "tAgreementTariffs", "qSysAgreementTariffs", "dsSysAgreementTariffs", "KitDBGridAgreementTariffs", "tAgreementTariffs", "Service", "tAgreementTariffs", true},
        {1005, "TabAgreementType", "tAgreementType", "qSysAgreementType", "dsSysAgreementType", "KitDBGridAgreementType", "tAgreementType", "Service", "tAgreementType", true},
        {1006, "TabApplication", "tApplication", "qSysApplication", "dsSysApplication", "KitDBGridApplication", "tApplication", "Service", "tApplication", true},
        {1007, "TabAudit", "tAudit", "qSysAudit", "dsSysAudit", "KitDBGridAudit", "tAudit", "Security", "tAudit", false},
        {1008, "TabAuditTrail", "tAuditTrail", "qSysAuditTrail", "dsSysAuditTrail", "KitDBGridAuditTrail", "tAuditTrail", "Security", "tAuditTrail", false},
        {1009, "TabBatch", "tBatch", "qSysBatch", "dsSysBatch", "KitDBGridBatch", "tBatch", "Invoice", "tBatch", false},
        {1010, "TabBatchHistory", "tBatchHistory", "qSysBatchHistory", "dsSysBatchHistory", "KitDBGridBatchHistory", "tBatchHistory", "Invoice", "tBatchHistory", false},
        {1011, "TabBatchStatus", "tBatchStatus", "qSysBatchStatus", "dsSysBatchStatus", "KitDBGridBatchStatus", "tBatchStatus", "Invoice", "tBatchStatus", false},
        {1012, "TabBatchType", "tBatchType", "qSysBatchType", "dsSysBatchType", "KitDBGridBatchType", "tBatchType", "Invoice", "tBatchType", true},
        {1013, "TabCentre", "tCentre", "qSysCentre", "dsSysCentre", "KitDBGridCentre", "tCentre", "Charges", "tCentre", true},
        {1014, "TabCostRange", "tCostRange", "qSysCostRange", "dsSysCostRange", "KitDBGrid1", "tCostRange", "Validation", "tCostRange", false},
        {1015, "TabCriticalType", "tCriticalType", "qSysCriticalType", "dsSysCriticalType", "KitDBGridCriticalType", "tCriticalType", "Validation", "tCriticalType", false},
        {1016, "TabCustomer", "tCustomer", "qSysCustomer", "dsSysCustomer", "KitDBGridCustomer", "tCustomer", "Customer", "tCustomer", true},
        {1021, "TabDataCollectionMap", "tDataCollectionMap", "qSysDataCollectionMap", "dsSysDataCollectionMap", "KitDBGridDataCollectionMap", "tDataCollectionMap", "Invoice", "tDataCollectionMap", false},
        {1022, "TabDataSourceDetail", "tDataSourceDetail", "qSysDataSourceDetail", "dsSysDataSourceDetail", "KitDBGridDataSourceDetail", "tDataSourceDetail", "Invoice", "tDataSourceDetail", false},
        {1023, "TabDataSourceType", "tDataSourceType", "qSysDataSourceType", "dsSysDataSourceType", "KitDBGridDataSourceType", "tDataSourceType", "Invoice", "tDataSourceType", false},
        {1024, "TabDepartment", "tDepartment", "qSysDepartment", "dsSysDepartment", "KitDBGridDepartment", "tDepartment", "Charges", "tDepartment", true},
        {1025, "TabDestination", "tDestination", "qSysDestination", "dsSysDestination", "KitDBGridDestination", "tDestination", "Information", "tDestination", true},
        {1026, "TabDialledNumber", "tDialledNumber", "qSysDialledNumber", "dsSysDialledNumber", "KitDBGridDialledNumber", "tDialledNumber", "Information", "tDialledNumber", true},
        {1027, "TabDiscount", "tDiscount", "qSysDiscount", "dsSysDiscount", "KitDBGridDiscount", "tDiscount", "Customer", "tDiscount", true},
        {1028, "TabDiscountedRate", "tDiscountedRate", "qSysDiscountedRate", "dsSysDiscountedRate", "KitDBGridDiscountedRate", "tDiscountedRate", "Customer", "tDiscountedRate", true},
        {1029, "TabDubiousResolution", "tDubiousResolution", "qSysDubiousResolution", "dsSysDubiousResolution", "KitDBGridDubiousResolution", "tDubiousResolution", "Validation", "tDubiousResolution", false},
        {1030, "TabDubiousResult", "tDubiousResult", "qSysDubiousResult", "dsSysDubiousResult", "KitDBGridDubiousResult", "tDubiousResult", "Validation", "tDubiousResult", false},
        {1031, "TabDubiousType", "tDubiousType", "qSysDubiousType", "dsSysDubiousType", "KitDBGridDubiousType", "tDubiousType", "Validation", "tDubiousType", false},
        {1032, "TabDubiousValidResolution", "tDubiousValidResolution", "qSysDubiousValidResolution", "dsSysDubiousValidResolution", "KitDBGridDubiousValidResolution", "tDubiousValidResolution", "Validation", "tDubiousValidResolution", true},
        {1041, "TabElement", "tElement", "qSysElement", "dsSysElement", "KitDBGridElement", "tElement", "Charges", "tElement", true},
        {1042, "TabFunction", "tFunction", "qSysFunction", "dsSysFunction", "KitDBGridFunction", "tFunction", "Security", "tFunction", false},
        {1043, "TabGroup", "tGroup", "qSysGroup", "dsSysGroup", "KitDBGridGroup", "tGroup", "Charges", "tGroup", true},
        {1044, "TabLocation", "tLocation", "qSysLocation", "dsSysLocation", "KitDBGridLocation", "tLocation", "Customer", "tLocation", true},
        {1045, "TabOrigin", "tOrigin", "qSysOrigin", "dsSysOrigin", "KitDBGridOrigin", "tOrigin", "Information", "tOrigin", true},
        {1046, "TabParameter", "tParameter", "qSysParameter", "dsSysParameter", "KitDBGridParameter", "tParameter", "Information", "tParameter", false},
        {1047, "TabPerson", "tPerson", "qSysPerson", "dsSysPerson", "KitDBGridPerson", "tPerson", "Customer", "tPerson", true},
        {1048, "TabProgram", "tProgram", "qSysProgram", "dsSysProgram", "KitDBGridProgram", "tProgram", "Information", "tProgram", false},
        {1049, "TabRate", "tRate", "qSysRate", "dsSysRate", "KitDBGridRate", "tRate", "Charges", "tRate", true},
        {1050, "TabRateDescription", "tRateDescription", "qSysRateDescription", "dsSysRateDescription", "KitDBGridRateDescription", "tRateDescription", "Information", "tRateDescription", true},
        {1051, "TabServiceID", "tServiceID", "qSysServiceID", "dsSysServiceID", "KitDBGridServiceID", "tServiceID", "Service", "tServiceID", true},
        {1052, "TABServiceKpi", "tServiceKpi", "qSysServiceKpi", "dsSysServiceKpi", "KitDBGrid2", "tServiceKpi", "Service", "tServiceKpi", true},
        {1061, "TabServiceSplit", "tServiceSplit", "qSysServiceSplit", "dsSysServiceSplit", "KitDBGridServiceSplit", "tServiceSplit", "Customer", "tServiceSplit", true},
        {1062, "TabServiceSystem", "Service System", "qSysServiceSystem", "dsSysServiceSystem", "KitDBGridServiceSystem", "ServiceSystem", "Service", "ValidServiceSystem", false},
        {1063, "TabServiceType", "tServiceType", "qSysServiceType", "dsSysServiceType", "KitDBGridServType", "tServiceType", "Service", "tServiceType", true},
        {1064, "TabStatus", "tStatus", "qSysStatus", "dsSysStatus", "KitDBGridStatus", "tStatus", "Customer", "tStatus", true},
        {1065, "TabSubledger", "tSubledger", "qSysSubledger", "dsSysSubledger", "KitDBGridSubledger", "tSubledger", "Charges", "tSubledger", true},
        {1066, "TabSupplier", "tSupplier", "qSysSupplier", "dsSysSupplier", "KitDBGridSupplier", "tSupplier", "Service", "tSupplier", true},
        {1067, "TabSupplierServiceCode", "tSupplierServiceCode", "qSysSupplierServiceCode", "dsSysSupplierServiceCode", "KitDBGridSupplierServiceCode", "tSupplierServiceCode", "Service", "tSupplierServiceCode", true},
        {1068, "TabSystem", "tSystem", "qSysSystem", "dsSysSystem", "KitDBGridSystem", "tSystem", "Service", "tSystem", true},
        {1069, "TabTransactionGroup", "tTransactionGroup", "qSysTransactionGroup", "dsSysTransactionGroup", "KitDBGridTransactionGroup", "tTransactionGroup", "Information", "tTransactionGroup", false},
        {1070, "TabTransactionType", "tTransactionType", "qSysTransactionType", "dsSysTransactionType", "KitDBGridTransactionType", "tTransactionType", "Information", "tTransactionType", true},
        {1081, "TabUser", "tUser", "qSysUser", "dsSysUser", "KitDBGridUser", "tUser", "Security", "tUser", true},
        {1082, "TabUserFunction", "tUserFunction", "qSysUserFunction", "dsSysUserFunction", "KitDBGridUserFunction", "tUserFunction", "Security", "tUserFunction", true},
        {1083, "TabValidAccount", "tValid Account Number", "qSysValidAccount", "dsSysValidAccount", "KitDBGridValidAccount", "tValidAccount", "Service", "tValidAccountNumber", true},
    };
    return pages;
}

const PageInfo* FindPage(int pageId)
{
    for (const PageInfo& p : Pages())
        if (p.PageID == pageId)
            return &p;
    return nullptr;
}

const PageInfo* FindPageByNode(const QString& nodeText)
{
    for (const PageInfo& p : Pages())
        if (nodeText == QLatin1String(p.Node))
            return &p;
    return nullptr;
}

QVector<TreeGroup> TreeGroups(bool security, bool audit)
{
    QVector<TreeGroup> groups;
    groups.append({QStringLiteral("Charges"),
                   {"tCentre", "tActivity", "tDepartment", "tElement", "tGroup", "tRate", "tSubledger"}});
    groups.append({QStringLiteral("Customer"),
                   {"tCustomer", "tDiscount", "tDiscountedRate", "tServiceSplit", "tLocation", "tPerson", "tStatus"}});
    groups.append({QStringLiteral("Information"),
                   {"tDestination", "tDialledNumber", "tOrigin", "tParameter", "tProgram", "tRateDescription",
                    "tTransactionGroup", "tTransactionType"}});
    groups.append({QStringLiteral("Invoice"),
                   {"tAdjustment", "tBatch", "tBatchType", "tBatchHistory", "tBatchStatus", "tDataCollectionMap",
                    "tDataSourceDetail", "tDataSourceType"}});
    if (security) {
        TreeGroup g{QStringLiteral("Security"), {"tFunction", "tUser", "tUserFunction"}};
        if (audit)
            g.Nodes << QStringLiteral("tAudit") << QStringLiteral("tAuditTrail");
        groups.append(g);
    }
    groups.append({QStringLiteral("Service"),
                   {"tAgreement", "tAgreementTariffs", "tAgreementType", "tApplication", "tServiceID", "tServiceKpi",
                    "tServiceType", "tSupplier", "tSupplierServiceCode", "tSystem", "tValidAccountNumber",
                    "ValidServiceSystem"}});
    groups.append({QStringLiteral("Validation"),
                   {"tCostRange", "tCriticalType", "tDubiousResolution", "tDubiousResult", "tDubiousType",
                    "tDubiousValidResolution"}});
    return groups;
}
