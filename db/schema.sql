-- Schema of the reference tables of the invoice-processing database, for the
-- embedded SQLite server (the demo database and every test).
--
-- Conventions: ids are INTEGER PRIMARY KEY (the identity); flags are INTEGER
-- 0/1; texts are TEXT COLLATE NOCASE, as SQL Server compares them; dates are
-- TEXT 'yyyymmdd' and date-times TEXT 'yyyymmdd HH:mm:ss' (a DATETIME column
-- would turn 'yyyymmdd' into a number); money and floats are REAL.
--
-- The pages read most tables with "SELECT T.*" inside a derived table that
-- adds looked-up names, so a table's columns are created in the order its
-- page lists them, and no table may carry a column named like one its page
-- looks up (SQL Server refuses a derived table with a repeated name).
-- No foreign key clauses: the program stores 0 for "none" in several ids.

------------------------------------------------------------------------------
-- Operators, rights, audit and parameters
------------------------------------------------------------------------------

CREATE TABLE tUser (
    ID              INTEGER PRIMARY KEY,
    UserLogin       TEXT COLLATE NOCASE,
    FirstName       TEXT COLLATE NOCASE,
    Surname         TEXT COLLATE NOCASE,
    Password        TEXT,  -- compared exactly (case matters)
    LastLoggedOn    TEXT,
    LastLoggedOff   TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ixUserLogin ON tUser (UserLogin);

-- One row per granted user function (1-16) of an operator.
CREATE TABLE tUserFunction (
    ID              INTEGER PRIMARY KEY,
    UserID          INTEGER NOT NULL,
    FunctionID      INTEGER NOT NULL,
    UNIQUE (UserID, FunctionID)
);

-- The user functions; their ids are typed by the operator, not generated.
CREATE TABLE tFunction (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

-- Audit actions; the program looks for those described "Reference ...".
CREATE TABLE tEvent (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

-- The audited tables.
CREATE TABLE tAudit (
    ID              INTEGER PRIMARY KEY,
    "Table"         TEXT COLLATE NOCASE,
    Comment         TEXT COLLATE NOCASE,
    UpdatedBy       TEXT COLLATE NOCASE,
    UpdatedTime     TEXT,
    UserID          INTEGER,
    SysLog          INTEGER
);
CREATE INDEX ixAuditTable ON tAudit ("Table");

-- One row per changed field. UserID holds the operator's login (or number).
CREATE TABLE tAuditTrail (
    AuditID         INTEGER PRIMARY KEY,
    UserID          TEXT COLLATE NOCASE,
    ActionTime      TEXT,
    Action          INTEGER,
    TableName       TEXT COLLATE NOCASE,
    TableID         INTEGER,
    FieldName       TEXT COLLATE NOCASE,
    OldValue        TEXT COLLATE NOCASE,
    NewValue        TEXT COLLATE NOCASE,
    Description     TEXT COLLATE NOCASE
);
-- The audit page shows the newest rows first: read backwards through this
-- index, a million rows need no sort before the first one.
CREATE INDEX ixAuditTrailActionTime ON tAuditTrail (ActionTime);
CREATE INDEX ixAuditTrailTable ON tAuditTrail (TableName, TableID);
-- The trail is the one page that grows to millions of rows: its title clicks
-- and filter columns read an index instead of sorting the whole table.
CREATE INDEX ixAuditTrailUser ON tAuditTrail (UserID);
CREATE INDEX ixAuditTrailAction ON tAuditTrail (Action);
CREATE INDEX ixAuditTrailTableID ON tAuditTrail (TableID);
CREATE INDEX ixAuditTrailField ON tAuditTrail (FieldName);

-- ParmField names the column that holds the parameter's value.
CREATE TABLE tParameter (
    Parm            TEXT COLLATE NOCASE PRIMARY KEY,
    ParmField       TEXT COLLATE NOCASE,
    ParmText        TEXT COLLATE NOCASE,
    ParmNumber      REAL,
    ParmDate        TEXT,
    ParmOLE         BLOB,
    ParmDescription TEXT COLLATE NOCASE,
    ParmUserDefined INTEGER
);

------------------------------------------------------------------------------
-- Customers and their cost allocation
------------------------------------------------------------------------------

CREATE TABLE tCustomer (
    ID              INTEGER PRIMARY KEY,
    ShipTo          TEXT COLLATE NOCASE,
    FullName        TEXT COLLATE NOCASE,
    VNumber         TEXT COLLATE NOCASE,
    Address01       TEXT COLLATE NOCASE,
    Address02       TEXT COLLATE NOCASE,
    Address03       TEXT COLLATE NOCASE,
    Address04       TEXT COLLATE NOCASE,
    Address05       TEXT COLLATE NOCASE,
    Address06       TEXT COLLATE NOCASE,
    Status          TEXT COLLATE NOCASE,
    Rate            INTEGER,
    Invoice         INTEGER,
    InvoiceServices INTEGER,
    PlatinumUpdate  INTEGER,
    Active          INTEGER NOT NULL DEFAULT 1,
    StartDate       TEXT,
    EndDate         TEXT,
    LastUpdatedBy   TEXT COLLATE NOCASE,
    MaxExServiceAmount REAL
);
CREATE INDEX ixCustomerShipTo ON tCustomer (ShipTo);

CREATE TABLE tGroup (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    CustomerID      INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ixGroupCustomer ON tGroup (CustomerID);

CREATE TABLE tDepartment (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    GroupID         INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ixDepartmentGroup ON tDepartment (GroupID);

CREATE TABLE tCentre (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    DepartmentID    INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ixCentreDepartment ON tCentre (DepartmentID);

CREATE TABLE tActivity (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    CustomerID      INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);

-- Ledger elements; a service type books its revenue and expense to them.
CREATE TABLE tElement (
    ID              INTEGER PRIMARY KEY,
    ElementCode     TEXT COLLATE NOCASE,
    Description     TEXT COLLATE NOCASE,
    CustomerID      INTEGER,
    ServiceGroupID  INTEGER,
    PlatinumUpdate  INTEGER,
    LostRevenueFlag INTEGER,
    ReportGroupID   INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ixElementCustomer ON tElement (CustomerID, ElementCode);

CREATE TABLE tSubledger (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    CustomerID      INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE tLocation (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);

-- Contact persons of services.
CREATE TABLE tPerson (
    ID              INTEGER PRIMARY KEY,
    Person          TEXT COLLATE NOCASE,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1,
    EmailAddress    TEXT COLLATE NOCASE
);

CREATE TABLE tApplication (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1
);

------------------------------------------------------------------------------
-- Suppliers, agreements and tariffs
------------------------------------------------------------------------------

CREATE TABLE tSupplier (
    ID              INTEGER PRIMARY KEY,
    SupplierName    TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1,
    StartDate       TEXT,
    EndDate         TEXT,
    LastUpdatedBy   TEXT COLLATE NOCASE,
    PlatinumVendorID TEXT COLLATE NOCASE,
    PlatinumUpdate  INTEGER,
    Ziviruri        INTEGER,
    Address01       TEXT COLLATE NOCASE,
    Address02       TEXT COLLATE NOCASE,
    Address03       TEXT COLLATE NOCASE,
    Address04       TEXT COLLATE NOCASE,
    Address05       TEXT COLLATE NOCASE,
    Address06       TEXT COLLATE NOCASE
);

-- The charge codes a supplier's billing data carries.
CREATE TABLE tSupplierServiceCode (
    id              INTEGER PRIMARY KEY,
    Code            TEXT COLLATE NOCASE,
    AmountCategory  TEXT COLLATE NOCASE,
    Description     TEXT COLLATE NOCASE,
    TransactionTypeID INTEGER,
    TransactionTypeDesc TEXT COLLATE NOCASE,
    SupplierID      INTEGER,
    Active          INTEGER NOT NULL DEFAULT 1
);

-- Named by the service editor's refresh of a supplier account's name.
CREATE TABLE tSupplierAccount (
    ID              INTEGER PRIMARY KEY,
    SupplierAccount TEXT COLLATE NOCASE
);

-- The supplier accounts that billing batches may arrive for.
CREATE TABLE tValidAccountNumber (
    ID              INTEGER PRIMARY KEY,
    AccountNo       TEXT COLLATE NOCASE,
    TenderNo        TEXT COLLATE NOCASE,
    BatchTypeID     INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ixValidAccountBatchType ON tValidAccountNumber (BatchTypeID);

CREATE TABLE tAgreementType (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE tAgreement (
    ID              INTEGER PRIMARY KEY,
    AgreementNo     TEXT COLLATE NOCASE,
    Description     TEXT COLLATE NOCASE,
    AgreementTypeID INTEGER,
    SupplierID      INTEGER,
    ValidAccountNumberID INTEGER,
    BatchTypeID     INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);

-- MaxCharge is an amount to the tariff editor, so REAL like the other charges.
CREATE TABLE tAgreementTariffs (
    ID              INTEGER PRIMARY KEY,
    AgreementID     INTEGER,
    SupplierServiceCodeID INTEGER,
    FixedCharge     REAL,
    FlagFall        REAL,
    MinCharge       REAL,
    MinDuration     INTEGER,
    MaxCharge       REAL,
    MaxDuration     INTEGER,
    ChargeIntervalSecs INTEGER,
    Stage1Duration  INTEGER,
    Stage1Charge    REAL,
    Stage2Duration  INTEGER,
    Stage2Charge    REAL,
    Stage3Duration  INTEGER,
    Stage3Charge    REAL,
    Stage4Duration  INTEGER,
    Stage4Charge    REAL,
    Stage5Duration  INTEGER,
    Stage5Charge    REAL,
    Surcharge       INTEGER,
    SurchargeRate   REAL,
    Discount        INTEGER,
    DiscountRate    REAL,
    ChargePeriod    INTEGER,
    Active          INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ixAgreementTariffsAgreement ON tAgreementTariffs (AgreementID, SupplierServiceCodeID);

------------------------------------------------------------------------------
-- Services
------------------------------------------------------------------------------

CREATE TABLE tSystem (
    ID              INTEGER PRIMARY KEY,
    System          TEXT COLLATE NOCASE,
    BatchTypeID     INTEGER,
    Active          INTEGER NOT NULL DEFAULT 1,
    DateEntered     TEXT,
    DateLastChanged TEXT,
    UserID          INTEGER
);

CREATE TABLE tServiceType (
    ID              INTEGER PRIMARY KEY,
    Code            TEXT COLLATE NOCASE,
    Description     TEXT COLLATE NOCASE,
    SupplierID      INTEGER,
    RevenueElementID INTEGER,
    ExpenseElementID INTEGER,
    AdminFee        INTEGER,
    Frequency       INTEGER,
    SystemID        INTEGER,
    ExportToTims    INTEGER,
    SplitService    INTEGER,
    VRTServiceType  INTEGER,
    ExpectedRent    REAL,
    NoCalls         INTEGER,
    StartDate       TEXT,
    EndDate         TEXT,
    Active          INTEGER NOT NULL DEFAULT 1
);
-- Adjustments find their service type by code.
CREATE INDEX ixServiceTypeCode ON tServiceType (Code);

-- Service levels (KPIs) a service may be bound to.
CREATE TABLE tServiceKpi (
    ID              INTEGER PRIMARY KEY,
    KpiNumber       TEXT COLLATE NOCASE,
    Description     TEXT COLLATE NOCASE,
    ResponseHours   TEXT COLLATE NOCASE,
    RestorationHours TEXT COLLATE NOCASE,
    Availability    TEXT COLLATE NOCASE,
    CoreHours       TEXT COLLATE NOCASE,
    AfterHours      TEXT COLLATE NOCASE,
    TravelTime      TEXT COLLATE NOCASE,
    FaultDetect     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1
);

-- The service identifiers. The service page adds the customer, element,
-- location, person and account names by join, so none of those names is a
-- column here (nor CustomerID or SystemID, which come from the joins).
-- ServiceCode is a long text the page shows only through a CAST.
CREATE TABLE tServiceID (
    ID              INTEGER PRIMARY KEY,
    ServiceID       TEXT COLLATE NOCASE,
    Service         TEXT COLLATE NOCASE,
    ServiceTypeID   INTEGER,
    SupplierAccountID INTEGER,
    CustomerCentreID INTEGER,
    CustomerActivityID INTEGER,
    CustomerElementID INTEGER,
    CustomerSubLedgerID INTEGER,
    PayType         TEXT COLLATE NOCASE,
    CentreID        INTEGER,
    ActivityID      INTEGER,
    ElementID       INTEGER,
    SubledgerID     INTEGER,
    LocationID      INTEGER,
    PersonID        INTEGER,
    ApplicationID   INTEGER,
    CurrentRent     REAL,
    CurrentCalls    REAL,
    PreviousRent    REAL,
    PreviousCalls   REAL,
    InstallationDate TEXT,
    TerminationDate TEXT,
    UpEnd           TEXT COLLATE NOCASE,
    UpMDF           TEXT COLLATE NOCASE,
    DownEnd         TEXT COLLATE NOCASE,
    DownMDF         TEXT COLLATE NOCASE,
    Length          REAL,
    Active          INTEGER NOT NULL DEFAULT 1,
    DateEntered     TEXT,
    DateLastChanged TEXT,
    LastUpdatedBy   TEXT COLLATE NOCASE,
    SACCnumber      TEXT COLLATE NOCASE,
    Description     TEXT COLLATE NOCASE,
    JobNo           TEXT COLLATE NOCASE,
    ServiceKpiID    INTEGER,
    No              TEXT COLLATE NOCASE,
    Part            TEXT COLLATE NOCASE,
    BearerID        INTEGER,
    SpeedID         INTEGER,
    Drawing         TEXT COLLATE NOCASE,
    ModemTypeID     INTEGER,
    Cost            REAL,
    Cost100         REAL,
    Make            TEXT COLLATE NOCASE,
    Ch              REAL,
    Mux             TEXT COLLATE NOCASE,
    LineID          INTEGER,
    StartTerminalID INTEGER,
    Invoiced        REAL,
    TelcoID         INTEGER,
    AuthorityID     INTEGER,
    VirtualCableID  INTEGER,
    ServiceMnemonicID INTEGER,
    ServiceCode     TEXT COLLATE NOCASE
);
-- Adjustments, the export and the duplicate check look services up by their
-- text id; the page filters and sorts on it.
CREATE INDEX ixServiceIDServiceID ON tServiceID (ServiceID);
CREATE INDEX ixServiceIDServiceType ON tServiceID (ServiceTypeID);
CREATE INDEX ixServiceIDCustomerCentre ON tServiceID (CustomerCentreID);

-- A service's rent, call and other charges shared among customers.
CREATE TABLE tServiceSplit (
    ID              INTEGER PRIMARY KEY,
    ServiceID       INTEGER,
    CustomerID      INTEGER,
    CallPercentage  INTEGER,
    RentPercentage  INTEGER,
    OtherPercentage INTEGER,
    Active          INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ixServiceSplitService ON tServiceSplit (ServiceID);
CREATE INDEX ixServiceSplitCustomer ON tServiceSplit (CustomerID);

-- Line details of a service.
CREATE TABLE tAuthority (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

CREATE TABLE tModemType (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

CREATE TABLE tBearer (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

CREATE TABLE tSpeed (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

-- Percentage is a whole number on the page; the rate editor may write
-- three decimals, which SQLite keeps as they are.
CREATE TABLE tRate (
    ID              INTEGER PRIMARY KEY,
    ServiceTypeID   INTEGER,
    Length          REAL,
    Cost            REAL,
    Cost100         REAL,
    Percentage      INTEGER,
    PartCost        REAL,
    Description     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1,
    StartDate       TEXT,
    EndDate         TEXT,
    LastUpdatedBy   TEXT COLLATE NOCASE
);
CREATE INDEX ixRateServiceType ON tRate (ServiceTypeID);

CREATE TABLE tRateDescription (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE tDiscount (
    ID              INTEGER PRIMARY KEY,
    ServiceTypeID   INTEGER,
    CustomerID      INTEGER,
    NonStdRevAdminFee REAL,
    NonStdExpAdminFee REAL,
    DiscountRate    REAL,
    Active          INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE tDiscountedRate (
    ID              INTEGER PRIMARY KEY,
    ServiceTypeID   INTEGER,
    CustomerID      INTEGER,
    Rate            REAL,
    Active          INTEGER NOT NULL DEFAULT 1
);

------------------------------------------------------------------------------
-- Billing batches
------------------------------------------------------------------------------

-- The programs that import a batch type's data. Deleted outright rather than
-- deactivated; Active is there for the editor's lookup of a new row.
CREATE TABLE tProgram (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE tDataSourceType (
    ID              INTEGER PRIMARY KEY,
    DataSource      TEXT COLLATE NOCASE
);

CREATE TABLE tReportGroup (
    ID              INTEGER PRIMARY KEY,
    GroupDesc       TEXT COLLATE NOCASE
);

-- What a supplier's batch looks like: which summary fields it shows and under
-- which names, which critical and dubious tests run on it, and what its
-- fifteen variables mean. The flags AccountNo .. Rounding have no relation to
-- the batch's own columns of the same names.
CREATE TABLE tBatchType (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    SupplierID      INTEGER,
    DataSourceTypeID INTEGER,
    Active          INTEGER NOT NULL DEFAULT 1,
    ProgramID       INTEGER,
    AccountNo       INTEGER,
    AccountNoName   TEXT COLLATE NOCASE,
    InvoiceNo       INTEGER,
    InvoiceNoName   TEXT COLLATE NOCASE,
    TotalRevenue    INTEGER,
    TotalRevenueName TEXT COLLATE NOCASE,
    TotalPayable    INTEGER,
    TotalPayableName TEXT COLLATE NOCASE,
    TotalCredits    INTEGER,
    TotalCreditsName TEXT COLLATE NOCASE,
    OpeningBalance  INTEGER,
    OpeningBalanceName TEXT COLLATE NOCASE,
    PaymentsReceived INTEGER,
    PaymentsReceivedName TEXT COLLATE NOCASE,
    TotalAdjustments INTEGER,
    TotalAdjustmentsName TEXT COLLATE NOCASE,
    BatchStart      INTEGER,
    BatchStartName  TEXT COLLATE NOCASE,
    BatchEnd        INTEGER,
    BatchEndName    TEXT COLLATE NOCASE,
    PaymentDate     INTEGER,
    PaymentDateName TEXT COLLATE NOCASE,
    CreditsToCustomers INTEGER,
    CreditsToCustomersName TEXT COLLATE NOCASE,
    GST             INTEGER,
    GSTname         TEXT COLLATE NOCASE,
    GSTAdjustment   INTEGER,
    GSTAdjustmentName TEXT COLLATE NOCASE,
    OrderNumber     INTEGER,
    OrderNumberName TEXT COLLATE NOCASE,
    RequisitionNumber INTEGER,
    RequisitionNumberName TEXT COLLATE NOCASE,
    IssueDate       INTEGER,
    IssueDateName   TEXT COLLATE NOCASE,
    RentDates       INTEGER,
    CallDates       INTEGER,
    Rounding        INTEGER,
    RoundingName    TEXT COLLATE NOCASE,
    PayByDate       INTEGER,
    TenderNumber    INTEGER,
    MultiManualEntry INTEGER,
    EarlyRevenue    INTEGER,
    CriticalCheck01 INTEGER,
    CriticalCheck02 INTEGER,
    CriticalCheck03 INTEGER,
    CriticalCheck04 INTEGER,
    CriticalCheck05 INTEGER,
    CriticalCheck06 INTEGER,
    CriticalCheck07 INTEGER,
    CriticalCheck08 INTEGER,
    CriticalCheck09 INTEGER,
    CriticalCheck10 INTEGER,
    CriticalCheck11 INTEGER,
    CriticalCheck12 INTEGER,
    CriticalCheck13 INTEGER,
    CriticalCheck14 INTEGER,
    CriticalCheck15 INTEGER,
    DubiousCheck01  INTEGER,
    DubiousCheck02  INTEGER,
    DubiousCheck03  INTEGER,
    DubiousCheck04  INTEGER,
    DubiousCheck05  INTEGER,
    DubiousCheck06  INTEGER,
    DubiousCheck07  INTEGER,
    DubiousCheck08  INTEGER,
    DubiousCheck09  INTEGER,
    DubiousCheck10  INTEGER,
    DubiousCheck11  INTEGER,
    DubiousCheck12  INTEGER,
    DubiousCheck13  INTEGER,
    DubiousCheck14  INTEGER,
    DubiousCheck15  INTEGER,
    Var01Description TEXT COLLATE NOCASE,
    Var02Description TEXT COLLATE NOCASE,
    Var03Description TEXT COLLATE NOCASE,
    Var04Description TEXT COLLATE NOCASE,
    Var05Description TEXT COLLATE NOCASE,
    Var06Description TEXT COLLATE NOCASE,
    Var07Description TEXT COLLATE NOCASE,
    Var08Description TEXT COLLATE NOCASE,
    Var09Description TEXT COLLATE NOCASE,
    Var10Description TEXT COLLATE NOCASE,
    Var11Description TEXT COLLATE NOCASE,
    Var12Description TEXT COLLATE NOCASE,
    Var13Description TEXT COLLATE NOCASE,
    Var14Description TEXT COLLATE NOCASE,
    Var15Description TEXT COLLATE NOCASE,
    ReportGroupID   INTEGER,
    SupplierDisplayedName TEXT COLLATE NOCASE
);
CREATE INDEX ixBatchTypeProgram ON tBatchType (ProgramID);

CREATE TABLE tBatchStatus (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

-- BillingPeriod is a text such as '2024-05 May'; the history page shows its
-- first seven characters.
CREATE TABLE tBatch (
    ID              INTEGER PRIMARY KEY,
    BatchTypeID     INTEGER,
    BatchStatusID   INTEGER,
    BillingPeriod   TEXT COLLATE NOCASE,
    SupplierID      INTEGER,
    SupplierAccountID INTEGER,
    InvoiceNo       TEXT COLLATE NOCASE,
    TotalRevenue    REAL,
    TotalPayable    REAL,
    TotalCredits    REAL,
    OpeningBalance  REAL,
    Rounding        REAL,
    GSTAmount       REAL,
    GSTAdjustment   REAL,
    PaymentsReceived REAL,
    TotalAdjustments REAL,
    BatchStartDate  TEXT,
    BatchEndDate    TEXT,
    PaymentDate     TEXT,
    CallsStartDate  TEXT,
    CallsEndDate    TEXT,
    RentStartDate   TEXT,
    RentEndDate     TEXT,
    IssueDate       TEXT,
    PayByDate       TEXT,
    RequisitionNumber TEXT COLLATE NOCASE,
    OrderNumber     TEXT COLLATE NOCASE,
    TenderNo        TEXT COLLATE NOCASE
);

CREATE TABLE tBatchStatusHistory (
    ID              INTEGER PRIMARY KEY,
    BatchID         INTEGER,
    BatchStatusID   INTEGER,
    StatusChangeDate TEXT,
    UserID          INTEGER
);
CREATE INDEX ixBatchStatusHistoryDate ON tBatchStatusHistory (StatusChangeDate);
CREATE INDEX ixBatchStatusHistoryBatch ON tBatchStatusHistory (BatchID);

-- Keyed by the supplier's text values, so no id column.
CREATE TABLE tDataCollectionMap (
    DCField         TEXT COLLATE NOCASE,
    DCValue         TEXT COLLATE NOCASE,
    TransValue      TEXT COLLATE NOCASE,
    PRIMARY KEY (DCField, DCValue)
);

CREATE TABLE tDataSourceDetail (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    Var01           TEXT COLLATE NOCASE,
    Var02           TEXT COLLATE NOCASE,
    Var03           TEXT COLLATE NOCASE,
    Var04           TEXT COLLATE NOCASE,
    Var05           TEXT COLLATE NOCASE,
    Var06           TEXT COLLATE NOCASE,
    Var07           TEXT COLLATE NOCASE,
    Var08           TEXT COLLATE NOCASE,
    Var09           TEXT COLLATE NOCASE,
    Var10           TEXT COLLATE NOCASE,
    Var11           TEXT COLLATE NOCASE,
    Var12           TEXT COLLATE NOCASE,
    Var13           TEXT COLLATE NOCASE,
    Var14           TEXT COLLATE NOCASE,
    Var15           TEXT COLLATE NOCASE,
    Var01Description TEXT COLLATE NOCASE,
    Var02Description TEXT COLLATE NOCASE,
    Var03Description TEXT COLLATE NOCASE,
    Var04Description TEXT COLLATE NOCASE,
    Var05Description TEXT COLLATE NOCASE,
    Var06Description TEXT COLLATE NOCASE,
    Var07Description TEXT COLLATE NOCASE,
    Var08Description TEXT COLLATE NOCASE,
    Var09Description TEXT COLLATE NOCASE,
    Var10Description TEXT COLLATE NOCASE,
    Var11Description TEXT COLLATE NOCASE,
    Var12Description TEXT COLLATE NOCASE,
    Var13Description TEXT COLLATE NOCASE,
    Var14Description TEXT COLLATE NOCASE,
    Var15Description TEXT COLLATE NOCASE
);

CREATE TABLE tTransactionGroup (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    CostRangeFrom   REAL,
    CostRangeTo     REAL
);

CREATE TABLE tTransactionType (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    TransactionGroupID INTEGER,
    SystemID        INTEGER,
    Active          INTEGER NOT NULL DEFAULT 1,
    StartDate       TEXT,
    EndDate         TEXT,
    LastUpdatedBy   TEXT COLLATE NOCASE
);

CREATE TABLE tCostRange (
    ID              INTEGER PRIMARY KEY,
    ValidAccountNumberID INTEGER,
    TransactionTypeID INTEGER,
    CostRangeFrom   REAL,
    CostRangeTo     REAL
);
CREATE INDEX ixCostRangeAccount ON tCostRange (ValidAccountNumberID, TransactionTypeID);

CREATE TABLE tStatus (
    ID              INTEGER PRIMARY KEY,
    Status          TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1,
    StartDate       TEXT,
    EndDate         TEXT,
    LastUpdatedBy   TEXT COLLATE NOCASE
);

-- Manual adjustments to billed calls and rentals. The dates and times are
-- kept as the supplier sent them (texts), and ServiceType holds a service
-- type code when the adjustment names one of its own.
CREATE TABLE tAdjustment (
    ID              INTEGER PRIMARY KEY,
    SequenceNo      TEXT COLLATE NOCASE,
    ServiceID       TEXT COLLATE NOCASE,
    ServiceType     TEXT COLLATE NOCASE,
    TxnDate         TEXT COLLATE NOCASE,
    TxnTime         TEXT COLLATE NOCASE,
    Origin          TEXT COLLATE NOCASE,
    Destination     TEXT COLLATE NOCASE,
    Duration        TEXT COLLATE NOCASE,
    CallCode        TEXT COLLATE NOCASE,
    RateDescription TEXT COLLATE NOCASE,
    Peak            INTEGER,
    DialledNumber   TEXT COLLATE NOCASE,
    RevenueFlag     INTEGER,
    GSTFlag         TEXT COLLATE NOCASE,
    AmountExGST     REAL,
    GSTAmount       REAL,
    AmountIncGST    REAL,
    FromDate        TEXT COLLATE NOCASE,
    ToDate          TEXT COLLATE NOCASE,
    BatchID         INTEGER,
    TransactionTypeID INTEGER,
    StatusID        INTEGER,
    Var01           TEXT COLLATE NOCASE,
    Var02           TEXT COLLATE NOCASE,
    Var03           TEXT COLLATE NOCASE,
    Var04           TEXT COLLATE NOCASE,
    Var05           TEXT COLLATE NOCASE,
    Var06           TEXT COLLATE NOCASE,
    Var07           TEXT COLLATE NOCASE,
    Var08           TEXT COLLATE NOCASE,
    Var09           TEXT COLLATE NOCASE,
    Var10           TEXT COLLATE NOCASE,
    Var11           TEXT COLLATE NOCASE,
    Var12           TEXT COLLATE NOCASE,
    Var13           TEXT COLLATE NOCASE,
    Var14           TEXT COLLATE NOCASE,
    Var15           TEXT COLLATE NOCASE,
    SupplierServiceCodeID INTEGER
);
CREATE INDEX ixAdjustmentServiceID ON tAdjustment (ServiceID);

------------------------------------------------------------------------------
-- Validation: critical and dubious tests
------------------------------------------------------------------------------

CREATE TABLE tCriticalType (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

CREATE TABLE tDubiousType (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

CREATE TABLE tDubiousResolution (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE
);

-- Which resolutions an operator may give to a dubious type.
CREATE TABLE tDubiousValidResolution (
    ID              INTEGER PRIMARY KEY,
    DubiousTypeID   INTEGER,
    DubiousResolutionID INTEGER,
    Active          INTEGER NOT NULL DEFAULT 1
);

-- A dubious call found in a batch and how it was resolved. ServiceID is the
-- tServiceID row's id.
CREATE TABLE tDubiousResult (
    ID              INTEGER PRIMARY KEY,
    BatchID         INTEGER,
    ServiceID       INTEGER,
    CustomerID      INTEGER,
    UserID          INTEGER,
    ResolutionID    INTEGER,
    DubiousTypeID   INTEGER,
    SupplierServiceCodeID INTEGER
);
CREATE INDEX ixDubiousResultBatch ON tDubiousResult (BatchID);

CREATE TABLE tOrigin (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE tDestination (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE tDialledNumber (
    ID              INTEGER PRIMARY KEY,
    Description     TEXT COLLATE NOCASE,
    Active          INTEGER NOT NULL DEFAULT 1
);
