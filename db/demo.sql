-- Demo data for the reference-table editor: the telecommunications invoicing
-- section of a fictional state administration (Brellinghast), its agency
-- customers and their cost centres, its carriers and their agreements, a few
-- hundred services, batches, adjustments and audit-trail rows.
-- Load after schema.sql. The larger tables are generated with recursive CTEs
-- from arithmetic on the row number, so the data is the same on every build.
-- Dates are 'yyyymmdd' and date-times 'yyyymmdd HH:mm:ss'.

BEGIN TRANSACTION;

------------------------------------------------------------------------------
-- Operators and their rights
------------------------------------------------------------------------------

INSERT INTO tFunction (ID, Description) VALUES
 (1, 'Import Data Manual'),
 (2, 'Import Data Keyed'),
 (3, 'Import Data Auto'),
 (4, 'Batch Review'),
 (5, 'DOZ Revenue'),
 (6, 'DOZ Expenditure'),
 (7, 'Reference Data'),
 (8, 'Reference Data View'),
 (9, 'Audit'),
 (10, 'Processed Import Data'),
 (11, 'View Data'),
 (12, 'Invoice'),
 (13, 'Credit Notes'),
 (14, 'User Maintenance'),
 (15, 'Developer'),
 (16, 'Payables');

-- demo (password demo) holds every right; jsmith may only look; mnguyen may
-- edit but not reach the Security group or the test database; lchen lacks
-- function 7 and is refused; kpatel has left; batchsvc is the importing
-- service's account (no first name), which the batch history shows.
INSERT INTO tUser (ID, UserLogin, FirstName, Surname, Password, LastLoggedOn, LastLoggedOff, Active) VALUES
 (1, 'demo', 'Dana', 'Administrator', 'demo', '20250602 08:31:12', '20250602 17:05:40', 1),
 (2, 'jsmith', 'Jane', 'Smith', 'welcome1', '20250530 09:02:55', '20250530 16:48:03', 1),
 (3, 'mnguyen', 'Minh', 'Nguyen', 'tariff24', '20250602 08:15:09', '20250602 12:30:27', 1),
 (4, 'kpatel', 'Kiran', 'Patel', 'leaver', '20240228 10:11:45', '20240228 16:59:58', 0),
 (5, 'rwilson', 'Rachel', 'Wilson', 'audit99', '20250527 13:40:22', '20250527 15:02:11', 1),
 (6, 'abrown', 'Alex', 'Brown', 'dev2025', '20250601 07:58:31', '20250601 19:12:06', 1),
 (7, 'lchen', 'Lisa', 'Chen', 'import7', '20250529 10:20:00', '20250529 10:20:05', 1),
 (8, 'tbrennan', 'Tom', 'Brennan', 'payables', '20250415 11:11:11', '20250415 15:45:19', 1),
 (9, 'guest', NULL, 'Guest', 'guest', NULL, NULL, 1),
 (10, 'hmorris', 'Helen', 'Morris', 'retired', '20230630 16:00:00', '20230630 16:30:00', 0),
 (11, 'batchsvc', NULL, 'Batch Service', 'svc-import', NULL, NULL, 1);

INSERT INTO tUserFunction (UserID, FunctionID)
WITH RECURSIVE f(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM f WHERE n < 16)
SELECT 1, n FROM f;

INSERT INTO tUserFunction (UserID, FunctionID) VALUES
 (2, 7),
 (3, 7), (3, 8), (3, 14),
 (4, 7), (4, 8), (4, 14),
 (5, 7), (5, 8), (5, 9), (5, 11),
 (6, 7), (6, 9), (6, 14), (6, 15),
 (7, 1), (7, 2), (7, 3), (7, 4), (7, 10),
 (8, 7), (8, 11), (8, 12), (8, 13), (8, 16),
 (10, 7), (10, 9),
 (11, 1), (11, 3);

------------------------------------------------------------------------------
-- Audit actions, audited tables and parameters
------------------------------------------------------------------------------

INSERT INTO tEvent (ID, Description) VALUES
 (1, 'Reference Update'),
 (2, 'Reference Delete'),
 (3, 'Reference Insert'),
 (4, 'Batch Import'),
 (5, 'Batch Status Change'),
 (6, 'Invoice Run'),
 (7, 'Operator Login');

INSERT INTO tAudit (ID, "Table", Comment, UpdatedBy, UpdatedTime, UserID, SysLog) VALUES
 (1, 'tCustomer', 'Customer master: every change is reported to the finance system owner each month', 'abrown', '20230214 10:15:00', 6, 1),
 (2, 'tSupplier', 'Carrier master: changes affect payables and the Platinum vendor link', 'abrown', '20230214 10:16:30', 6, 1),
 (3, 'tServiceID', 'Services: allocation changes move charges between customers, keep the trail', 'demo', '20230301 09:00:00', 1, 1),
 (4, 'tAgreement', 'Carrier agreements under the whole of government contract', 'demo', '20230301 09:02:10', 1, 0),
 (5, 'tAgreementTariffs', 'Tariffs priced from the agreements', 'demo', '20230301 09:02:45', 1, 0),
 (6, 'tRate', 'Internal recharge rates', 'rwilson', '20230415 14:20:00', 5, 0),
 (7, 'tServiceType', 'Service types and their revenue and expense elements', 'rwilson', '20230415 14:21:10', 5, 0),
 (8, 'tActivity', 'Customer activities used in the ledger allocation', 'rwilson', '20230415 14:22:00', 5, 0),
 (9, 'tCentre', 'Cost centres', 'rwilson', '20230415 14:22:40', 5, 0),
 (10, 'tElement', 'Ledger elements', 'rwilson', '20230415 14:23:05', 5, 0),
 (11, 'tUserFunction', 'Operator rights: required by the internal audit plan', 'abrown', '20230102 08:45:00', 6, 1),
 (12, 'tServiceSplit', 'Shared services and their percentages', 'demo', '20240110 11:30:00', 1, 0),
 (13, 'tBatchType', 'Batch layouts and validation tests', 'abrown', '20240110 11:31:00', 6, 0),
 (14, 'tValidAccountNumber', 'Carrier account numbers accepted on import', 'demo', '20240812 15:00:00', 1, 0),
 (15, 'tProgram', 'Import programs', 'abrown', '20240812 15:01:00', 6, 0);

-- "UserDirectory" is written by the program itself at the first export.
INSERT INTO tParameter (Parm, ParmField, ParmText, ParmNumber, ParmDate, ParmOLE, ParmDescription, ParmUserDefined) VALUES
 ('CompanyName', 'PARMTEXT', 'Brellinghast Shared Services - Telecommunications', NULL, NULL, NULL, 'Name printed on invoices and reports', 0),
 ('GSTRate', 'PARMNUMBER', NULL, 10, NULL, NULL, 'GST percentage applied to taxable charges', 0),
 ('AdminFeePercent', 'PARMNUMBER', NULL, 2.5, NULL, NULL, 'Standard administration fee on revenue', 0),
 ('LastInvoiceRun', 'PARMDATE', NULL, NULL, '20250531', NULL, 'Date of the last completed invoice run', 0),
 ('CurrentBillingPeriod', 'PARMTEXT', '2025-06 June', NULL, NULL, NULL, 'Billing period new batches are opened in', 0),
 ('InvoiceLogo', 'PARMOLE', NULL, NULL, NULL,
  X'89504E470D0A1A0A0000000D4948445200000010000000100802000000909168360000005B4944415478DA95D26D0A00100C87F1E726EEE150EEFF0D11C9CBF6B788AD7E0923B7083189833C4205757E19FAA21BE64E34AC8962D872D770966CC3B56A185E47BF0CC6FDAE06FB114F83FB539B416987D520F6DC34E88DDD410150D62CC43F6384CD0000000049454E44AE426082',
  'Logo printed at the top of invoices (PNG)', 0),
 ('ExportDelimiter', 'PARMTEXT', ',', NULL, NULL, NULL, 'Field separator of exported files', 1);

------------------------------------------------------------------------------
-- Customers and their cost allocation
------------------------------------------------------------------------------

INSERT INTO tCustomer (ID, ShipTo, FullName, VNumber, Address01, Address02, Address03, Address04, Address05, Address06,
                       Status, Rate, Invoice, InvoiceServices, PlatinumUpdate, Active, StartDate, EndDate, LastUpdatedBy, MaxExServiceAmount) VALUES
 (1, 'HLTH', 'Department of Health', 'V1000231', 'Health House', '73 Carrington Street', 'BRELLINGHAST', 'BR 2001', NULL, NULL, 'Agency', 1, 1, 1, 1, 1, '20100701', NULL, 'demo', 25000),
 (2, 'EDUC', 'Department of Education', 'V1000455', 'Level 9', '35 Bridge Street', 'BRELLINGHAST', 'BR 2000', NULL, NULL, 'Agency', 1, 1, 1, 1, 1, '20100701', NULL, 'demo', 40000),
 (3, 'TRSY', 'Treasury and Finance', 'V1000102', '1 Government Place', 'BRELLINGHAST', 'BR 2000', NULL, NULL, NULL, 'Agency', 1, 1, 0, 1, 1, '20100701', NULL, 'mnguyen', 8000),
 (4, 'PLCE', 'Police Service', 'V1000777', 'Police Headquarters', '200 Harbour Road', 'NORTH BRELLINGHAST', 'BR 2060', 'Attn: Communications Branch', NULL, 'Agency', 2, 1, 1, 1, 1, '20100701', NULL, 'demo', 60000),
 (5, 'FIRE', 'Fire and Rescue', 'V1000812', '12 Station Lane', 'EASTHAVEN', 'BR 2150', NULL, NULL, NULL, 'Agency', 2, 1, 1, 0, 1, '20110101', NULL, 'demo', 15000),
 (6, 'PARK', 'Parks and Wildlife Service', 'V1001190', 'PO Box 4410', 'BRELLINGHAST', 'BR 2001', NULL, NULL, NULL, 'Statutory', 1, 1, 0, 1, 1, '20120301', NULL, 'jsmith', 5000),
 (7, 'LAND', 'Lands Registry', 'V1000965', 'Registry Building', '1 Prince Albert Road', 'BRELLINGHAST', 'BR 2000', NULL, NULL, 'Statutory', 1, 1, 1, 1, 1, '20100701', NULL, 'demo', 6000),
 (8, 'TRAN', 'Transport Authority', 'V1000333', 'Level 15', '18 Lee Street', 'CHIPPERTON', 'BR 2008', NULL, NULL, 'Agency', 2, 1, 1, 1, 1, '20100701', NULL, 'mnguyen', 55000),
 (9, 'COUR', 'Courts Administration', 'V1000588', 'Law Courts', '184 Phillip Street', 'BRELLINGHAST', 'BR 2000', NULL, NULL, 'Agency', 1, 1, 1, 1, 1, '20100701', NULL, 'demo', 12000),
 (10, 'LIBR', 'State Library', 'V1001402', 'Macquarie Street', 'BRELLINGHAST', 'BR 2000', NULL, NULL, NULL, 'Statutory', 1, 1, 0, 0, 1, '20130701', NULL, 'jsmith', 3000),
 (11, 'VRT', 'Revenue Transfers (internal)', 'V0000001', 'Shared Services Finance', 'Level 3', '1 Government Place', 'BRELLINGHAST', 'BR 2000', NULL, 'Internal', 0, 0, 0, 0, 1, '20100701', NULL, 'abrown', NULL),
 (12, 'PORT', 'Ports Corporation', 'V1001766', 'Wharf 7', 'Pirrama Road', 'PYRMOUNT', 'BR 2009', NULL, NULL, 'Corporation', 3, 1, 1, 1, 1, '20150101', NULL, 'demo', 20000),
 (13, 'ARTS', 'Arts Council', 'V1001555', '5 Gallery Walk', 'BRELLINGHAST', 'BR 2000', NULL, NULL, NULL, 'Statutory', 1, 1, 0, 0, 0, '20120101', '20230630', 'demo', 2000),
 (14, 'WATR', 'Water Authority', 'V1000699', '1 Smith Street', 'PARRAWONG', 'BR 2150', NULL, NULL, NULL, 'Corporation', 3, 1, 1, 1, 0, '20100701', '20220131', 'kpatel', 18000);

INSERT INTO tGroup (ID, Description, CustomerID, StartDate, EndDate, Active) VALUES
 (1, 'Hospitals', 1, '20100701', NULL, 1),
 (2, 'Public Health', 1, '20100701', NULL, 1),
 (3, 'Schools', 2, '20100701', NULL, 1),
 (4, 'Vocational Colleges', 2, '20100701', NULL, 1),
 (5, 'Corporate Finance', 3, '20100701', NULL, 1),
 (6, 'Operations', 4, '20100701', NULL, 1),
 (7, 'Support Command', 4, '20100701', NULL, 1),
 (8, 'Fire Stations', 5, '20110101', NULL, 1),
 (9, 'Field Operations', 6, '20120301', NULL, 1),
 (10, 'Registry Services', 7, '20100701', NULL, 1),
 (11, 'Rail', 8, '20100701', NULL, 1),
 (12, 'Roads', 8, '20100701', NULL, 1),
 (13, 'Court Registries', 9, '20100701', NULL, 1),
 (14, 'Library Services', 10, '20130701', NULL, 1),
 (15, 'Port Operations', 12, '20150101', NULL, 1),
 (16, 'Internal Transfers', 11, '20100701', NULL, 1),
 (17, 'Ferries', 8, '20100701', '20210630', 0),
 (18, 'Water Networks', 14, '20100701', '20220131', 0);

INSERT INTO tDepartment (ID, Description, GroupID, StartDate, EndDate, Active) VALUES
 (1, 'Northern Hospital', 1, '20100701', NULL, 1),
 (2, 'Harbour Hospital', 1, '20100701', NULL, 1),
 (3, 'Ambulance Control', 2, '20100701', NULL, 1),
 (4, 'Health Protection', 2, '20100701', NULL, 1),
 (5, 'Primary Schools', 3, '20100701', NULL, 1),
 (6, 'Secondary Schools', 3, '20100701', NULL, 1),
 (7, 'Eastern Colleges', 4, '20100701', NULL, 1),
 (8, 'Budget Office', 5, '20100701', NULL, 1),
 (9, 'Revenue Office', 5, '20100701', NULL, 1),
 (10, 'Metropolitan Region', 6, '20100701', NULL, 1),
 (11, 'Country Region', 6, '20100701', NULL, 1),
 (12, 'Communications Branch', 7, '20100701', NULL, 1),
 (13, 'Metro Stations', 8, '20110101', NULL, 1),
 (14, 'Regional Stations', 8, '20110101', NULL, 1),
 (15, 'Ranger Districts', 9, '20120301', NULL, 1),
 (16, 'Titles Office', 10, '20100701', NULL, 1),
 (17, 'Rail Signalling', 11, '20100701', NULL, 1),
 (18, 'Rail Stations', 11, '20100701', NULL, 1),
 (19, 'Traffic Management', 12, '20100701', NULL, 1),
 (20, 'District Courts', 13, '20100701', NULL, 1),
 (21, 'Local Courts', 13, '20100701', NULL, 1),
 (22, 'Reading Rooms', 14, '20130701', NULL, 1),
 (23, 'Wharf Operations', 15, '20150101', NULL, 1),
 (24, 'Revenue Transfers', 16, '20100701', NULL, 1),
 (25, 'Ferry Wharves', 17, '20100701', '20210630', 0),
 (26, 'Pumping Stations', 18, '20100701', '20220131', 0),
 (27, 'School Transport', 3, '20100701', '20190131', 0);

-- Two centres per department, coded by the department's customer; the second
-- centre of every fifth department has been closed.
INSERT INTO tCentre (ID, Description, DepartmentID, StartDate, EndDate, Active)
WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 54)
SELECT n,
       (SELECT substr(tCustomer.ShipTo, 1, 1) FROM tDepartment
          JOIN tGroup ON tGroup.ID = tDepartment.GroupID
          JOIN tCustomer ON tCustomer.ID = tGroup.CustomerID
         WHERE tDepartment.ID = (n + 1) / 2)
         || printf('%04d', 1000 + ((n + 1) / 2) * 10 + (n + 1) % 2),
       (n + 1) / 2,
       '20100701',
       CASE WHEN n % 2 = 0 AND (n / 2) % 5 = 0 THEN strftime('%Y%m%d', '2019-06-30', '+' || (n * 29) || ' days') END,
       CASE WHEN n % 2 = 0 AND (n / 2) % 5 = 0 THEN 0 ELSE 1 END
FROM c;

INSERT INTO tActivity (ID, Description, CustomerID, StartDate, EndDate, Active) VALUES
 (1, 'Clinical services', 1, '20100701', NULL, 1),
 (2, 'Emergency response', 1, '20100701', NULL, 1),
 (3, 'Population health', 1, '20100701', NULL, 1),
 (4, 'Teaching', 2, '20100701', NULL, 1),
 (5, 'School admin', 2, '20100701', NULL, 1),
 (6, 'Budget planning', 3, '20100701', NULL, 1),
 (7, 'Tax collection', 3, '20100701', NULL, 1),
 (8, 'General duties', 4, '20100701', NULL, 1),
 (9, 'Radio network', 4, '20100701', NULL, 1),
 (10, 'Fire response', 5, '20110101', NULL, 1),
 (11, 'Park management', 6, '20120301', NULL, 1),
 (12, 'Title searches', 7, '20100701', NULL, 1),
 (13, 'Rail operations', 8, '20100701', NULL, 1),
 (14, 'Road operations', 8, '20100701', NULL, 1),
 (15, 'Hearings', 9, '20100701', NULL, 1),
 (16, 'Public access', 10, '20130701', NULL, 1),
 (17, 'Shipping control', 12, '20150101', NULL, 1),
 (18, 'Recharges', 11, '20100701', NULL, 1),
 (19, 'Ferry operations', 8, '20100701', '20210630', 0),
 (20, 'Census support', 3, '20150101', '20161231', 0);

-- Ledger elements of the customers, and the revenue (R) and expense (E)
-- elements of the internal transfer customer VRT that service types use.
INSERT INTO tElement (ID, ElementCode, Description, CustomerID, ServiceGroupID, PlatinumUpdate, LostRevenueFlag, ReportGroupID, StartDate, EndDate, Active) VALUES
 (1, 'R4110', 'Fixed voice revenue', 11, 1, 1, 0, 1, '20100701', NULL, 1),
 (2, 'R4120', 'Mobile revenue', 11, 2, 1, 0, 2, '20100701', NULL, 1),
 (3, 'R4130', 'Data network revenue', 11, 3, 1, 0, 3, '20100701', NULL, 1),
 (4, 'R4140', 'Internet revenue', 11, 3, 1, 0, 4, '20100701', NULL, 1),
 (5, 'R4150', 'Conferencing revenue', 11, 4, 1, 0, 5, '20100701', NULL, 1),
 (6, 'R4190', 'Lost revenue recovery', 11, 4, 1, 1, 5, '20100701', NULL, 1),
 (7, 'E5110', 'Fixed voice expense', 11, 1, 1, 0, 1, '20100701', NULL, 1),
 (8, 'E5120', 'Mobile expense', 11, 2, 1, 0, 2, '20100701', NULL, 1),
 (9, 'E5130', 'Data network expense', 11, 3, 1, 0, 3, '20100701', NULL, 1),
 (10, 'E5140', 'Internet expense', 11, 3, 1, 0, 4, '20100701', NULL, 1),
 (11, 'E5150', 'Conferencing expense', 11, 4, 1, 0, 5, '20100701', NULL, 1),
 (12, 'E5160', 'Satellite expense', 11, 4, 1, 0, 5, '20120101', NULL, 1),
 (13, 'E5170', NULL, 11, 4, 0, 0, 5, '20100701', NULL, 1),
 (14, 'R4160', 'Paging revenue', 11, 4, 1, 0, 5, '20100701', '20200630', 0),
 (15, '6110', 'Telephone', 1, 1, 1, 0, 1, '20100701', NULL, 1),
 (16, '6120', 'Mobiles', 1, 2, 1, 0, 2, '20100701', NULL, 1),
 (17, '6130', 'Data comms', 1, 3, 1, 0, 3, '20100701', NULL, 1),
 (18, '6110', 'Telephone', 2, 1, 1, 0, 1, '20100701', NULL, 1),
 (19, '6130', 'Data comms', 2, 3, 1, 0, 3, '20100701', NULL, 1),
 (20, '7410', 'Telecomms', 3, 1, 1, 0, 1, '20100701', NULL, 1),
 (21, 'P210', 'Phones', 4, 1, 1, 0, 1, '20100701', NULL, 1),
 (22, 'P220', 'Radio links', 4, 3, 1, 0, 3, '20100701', NULL, 1),
 (23, 'F300', 'Comms', 5, 1, 0, 0, 1, '20110101', NULL, 1),
 (24, '5500', 'Comms', 6, 1, 1, 0, 1, '20120301', NULL, 1),
 (25, 'L100', 'Telephony', 7, 1, 1, 0, 1, '20100701', NULL, 1),
 (26, 'T610', 'Voice', 8, 1, 1, 0, 1, '20100701', NULL, 1),
 (27, 'T620', 'Signal data', 8, 3, 1, 0, 3, '20100701', NULL, 1),
 (28, 'C110', 'Telephones', 9, 1, 1, 0, 1, '20100701', NULL, 1),
 (29, 'S800', 'Comms', 10, 1, 0, 0, 1, '20130701', NULL, 1),
 (30, 'PC40', 'Telecoms', 12, 1, 1, 0, 1, '20150101', NULL, 1),
 (31, '6140', 'Pagers', 1, 4, 1, 0, 5, '20100701', '20200630', 0);

INSERT INTO tSubledger (ID, Description, CustomerID, StartDate, EndDate, Active) VALUES
 (1, 'SL-HLTH-OPS', 1, '20100701', NULL, 1),
 (2, 'SL-HLTH-CAP', 1, '20100701', NULL, 1),
 (3, 'SL-EDUC', 2, '20100701', NULL, 1),
 (4, 'SL-TRSY', 3, '20100701', NULL, 1),
 (5, 'SL-PLCE', 4, '20100701', NULL, 1),
 (6, 'SL-FIRE', 5, '20110101', NULL, 1),
 (7, 'SL-PARK', 6, '20120301', NULL, 1),
 (8, 'SL-LAND', 7, '20100701', NULL, 1),
 (9, 'SL-TRAN', 8, '20100701', NULL, 1),
 (10, 'SL-COUR', 9, '20100701', NULL, 1),
 (11, 'SL-LIBR', 10, '20130701', NULL, 1),
 (12, 'SL-PORT', 12, '20150101', NULL, 1),
 (13, 'SL-ARTS', 13, '20120101', '20230630', 0);

INSERT INTO tLocation (ID, Description, StartDate, EndDate, Active) VALUES
 (1, 'Government Place, Level 3', '20100701', NULL, 1),
 (2, 'Health House, Carrington St', '20100701', NULL, 1),
 (3, 'Northern Hospital, Block B', '20100701', NULL, 1),
 (4, 'Harbour Hospital, Emergency', '20100701', NULL, 1),
 (5, 'Police HQ, Harbour Rd', '20100701', NULL, 1),
 (6, 'Eastport Police Station', '20100701', NULL, 1),
 (7, 'Easthaven Fire Station', '20110101', NULL, 1),
 (8, 'Redhill Ranger Station', '20120301', NULL, 1),
 (9, 'Registry Building', '20100701', NULL, 1),
 (10, 'Central Signal Box', '20100701', NULL, 1),
 (11, 'Traffic Control Centre', '20100701', NULL, 1),
 (12, 'Law Courts, Phillip St', '20100701', NULL, 1),
 (13, 'State Library, Reading Room', '20130701', NULL, 1),
 (14, 'Wharf 7 Control Tower', '20150101', NULL, 1),
 (15, 'Data Centre North', '20120101', NULL, 1),
 (16, 'Data Centre South', '20140101', NULL, 1),
 (17, 'Bridge St, Level 9', '20100701', NULL, 1),
 (18, 'Chipperton Depot', '20100701', NULL, 1),
 (19, 'Old Treasury Building', '20100701', '20180331', 0),
 (20, 'Circular Wharf Ferry Office', '20100701', '20210630', 0);

INSERT INTO tPerson (ID, Person, StartDate, EndDate, Active, EmailAddress) VALUES
 (1, 'Anna Kowalski', '20150101', NULL, 1, 'anna.kowalski@health.brellinghast.example'),
 (2, 'Ben Okafor', '20160301', NULL, 1, 'ben.okafor@health.brellinghast.example'),
 (3, 'Carla Jensen', '20120701', NULL, 1, 'carla.jensen@education.brellinghast.example'),
 (4, 'David Lee', '20180115', NULL, 1, 'david.lee@treasury.brellinghast.example'),
 (5, 'Emma Fitzgerald', '20110801', NULL, 1, 'emma.fitzgerald@police.brellinghast.example'),
 (6, 'Farid Haddad', '20190520', NULL, 1, 'farid.haddad@police.brellinghast.example'),
 (7, 'Grace Thompson', '20140303', NULL, 1, 'grace.thompson@fire.brellinghast.example'),
 (8, 'Hugo Martin', '20170911', NULL, 1, NULL),
 (9, 'Isla Campbell', '20130701', NULL, 1, 'isla.campbell@lands.brellinghast.example'),
 (10, 'Jack Rossi', '20160101', NULL, 1, 'jack.rossi@transport.brellinghast.example'),
 (11, 'Kate Sullivan', '20180601', NULL, 1, 'kate.sullivan@transport.brellinghast.example'),
 (12, 'Liam Walsh', '20150810', NULL, 1, 'liam.walsh@courts.brellinghast.example'),
 (13, 'Maya Singh', '20200203', NULL, 1, 'maya.singh@library.brellinghast.example'),
 (14, 'Noah Williams', '20190401', NULL, 1, 'noah.williams@ports.brellinghast.example'),
 (15, 'Olivia Chen', '20210712', NULL, 1, 'olivia.chen@sharedservices.brellinghast.example'),
 (16, 'Peter Novak', '20120101', NULL, 1, NULL),
 (17, 'Quinn Roberts', '20220110', NULL, 1, 'quinn.roberts@health.brellinghast.example'),
 (18, 'Ruth Baker', '20100701', '20210630', 0, 'ruth.baker@transport.brellinghast.example'),
 (19, 'Sam Turner', '20110301', '20190930', 0, NULL),
 (20, 'Tara Evans', '20230501', NULL, 1, 'tara.evans@education.brellinghast.example');

INSERT INTO tApplication (ID, Description, Active) VALUES
 (1, 'Voice', 1),
 (2, 'Fax', 1),
 (3, 'Data link', 1),
 (4, 'Alarm monitoring', 1),
 (5, 'Lift emergency phone', 1),
 (6, 'EFTPOS', 1),
 (7, 'Video conferencing', 1),
 (8, 'Telemetry', 1),
 (9, 'Dial-up internet', 0);

------------------------------------------------------------------------------
-- Carriers, agreements and tariffs
------------------------------------------------------------------------------

INSERT INTO tSupplier (ID, SupplierName, Active, StartDate, EndDate, LastUpdatedBy, PlatinumVendorID, PlatinumUpdate, Ziviruri,
                       Address01, Address02, Address03, Address04, Address05, Address06) VALUES
 (1, 'Brellink Telecommunications', 1, '20100701', NULL, 'demo', 'BRELTEL01', 1, 0, 'Brellink Tower', '242 Exhibition Street', 'BRELLINGHAST', 'BR 2000', 'Accounts Receivable', NULL),
 (2, 'Corvane Mobile', 1, '20100701', NULL, 'demo', 'CORVMOB01', 1, 0, 'PO Box 1500', 'CHIPPERTON', 'BR 2008', NULL, NULL, NULL),
 (3, 'Pacific Fibre Networks', 1, '20120101', NULL, 'mnguyen', 'PACFIB01', 1, 1, '88 Kent Street', 'BRELLINGHAST', 'BR 2000', NULL, NULL, NULL),
 (4, 'Southern Cross Data', 1, '20140301', NULL, 'mnguyen', 'SXDATA01', 1, 0, 'Unit 4, 10 Park Road', 'EASTHAVEN', 'BR 2150', NULL, NULL, NULL),
 (5, 'Meridian Conferencing', 1, '20150101', NULL, 'demo', 'MERCONF1', 0, 0, 'Level 22', '1 Market Street', 'BRELLINGHAST', 'BR 2000', NULL, NULL),
 (6, 'Harbour Paging Services', 0, '20100701', '20200630', 'kpatel', 'HBPAGE01', 0, 0, '3 Dock Road', 'PYRMOUNT', 'BR 2009', NULL, NULL, NULL),
 (7, 'Coastal Satellite Links', 1, '20120101', NULL, 'demo', 'COASAT01', 1, 0, 'Ground Station', 'Cape Road', 'REDHILL', 'BR 2540', NULL, NULL),
 (8, 'Internal Recharges', 1, '20100701', NULL, 'abrown', NULL, 0, 0, 'Shared Services Finance', NULL, NULL, NULL, NULL, NULL);

INSERT INTO tSupplierAccount (ID, SupplierAccount) VALUES
 (1, 'Brellink corporate account'),
 (2, 'Corvane fleet account'),
 (3, 'Pacific Fibre WAN account'),
 (4, 'Southern Cross internet account'),
 (5, 'Meridian conferencing account'),
 (6, 'Coastal satellite account'),
 (7, 'Brellink freecall account'),
 (8, 'Harbour paging account');

INSERT INTO tProgram (ID, Description, Active) VALUES
 (1, 'CSV importer', 1),
 (2, 'Fixed-width importer', 1),
 (3, 'Manual batch entry', 1),
 (4, 'EDI importer', 1),
 (5, 'Mobile bill importer', 1),
 (6, 'Legacy tape importer', 1);

INSERT INTO tDataSourceType (ID, DataSource) VALUES
 (1, 'CSV file'),
 (2, 'Fixed-width text'),
 (3, 'Spreadsheet'),
 (4, 'Manual entry'),
 (5, 'EDI message');

INSERT INTO tReportGroup (ID, GroupDesc) VALUES
 (1, 'Fixed voice'),
 (2, 'Mobile'),
 (3, 'Data network'),
 (4, 'Internet'),
 (5, 'Other services');

-- Batch types: what each carrier's bill shows and which tests run on it.
-- Every type shows the account, the invoice and the GST; the rest varies.
INSERT INTO tBatchType (ID, Description, SupplierID, DataSourceTypeID, Active, ProgramID,
    AccountNo, AccountNoName, InvoiceNo, InvoiceNoName, TotalRevenue, TotalRevenueName, TotalPayable, TotalPayableName,
    TotalCredits, TotalCreditsName, OpeningBalance, OpeningBalanceName, PaymentsReceived, PaymentsReceivedName,
    TotalAdjustments, TotalAdjustmentsName, BatchStart, BatchStartName, BatchEnd, BatchEndName, PaymentDate, PaymentDateName,
    CreditsToCustomers, CreditsToCustomersName, GST, GSTname, GSTAdjustment, GSTAdjustmentName, OrderNumber, OrderNumberName,
    RequisitionNumber, RequisitionNumberName, IssueDate, IssueDateName, RentDates, CallDates, Rounding, RoundingName,
    PayByDate, TenderNumber, MultiManualEntry, EarlyRevenue,
    CriticalCheck01, CriticalCheck02, CriticalCheck03, CriticalCheck04, CriticalCheck05, CriticalCheck06, CriticalCheck07, CriticalCheck08,
    CriticalCheck09, CriticalCheck10, CriticalCheck11, CriticalCheck12, CriticalCheck13, CriticalCheck14, CriticalCheck15,
    DubiousCheck01, DubiousCheck02, DubiousCheck03, DubiousCheck04, DubiousCheck05, DubiousCheck06, DubiousCheck07, DubiousCheck08,
    DubiousCheck09, DubiousCheck10, DubiousCheck11, DubiousCheck12, DubiousCheck13, DubiousCheck14, DubiousCheck15,
    Var01Description, Var02Description, Var03Description, Var04Description, Var05Description, Var06Description, Var07Description,
    Var08Description, Var09Description, Var10Description, Var11Description, Var12Description, Var13Description, Var14Description,
    Var15Description, ReportGroupID, SupplierDisplayedName) VALUES
 (1, 'Brellink fixed voice', 1, 2, 1, 2,
    1, 'Account Number', 1, 'Tax Invoice No', 1, 'Total Charges', 1, 'Amount Payable', 1, 'Credits', 1, 'Balance Brought Forward', 1, 'Payments Received',
    1, 'Adjustments', 1, 'Billing Period From', 1, 'Billing Period To', 1, 'Payment Due', 0, NULL, 1, 'GST', 1, 'GST Adjustment', 0, NULL,
    0, NULL, 1, 'Issue Date', 1, 1, 1, 'Rounding', 1, 1, 0, 1,
    1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 0, 0, 0,
    1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Exchange', 'Call class', 'Bill section', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1, 'Brellink Telecommunications'),
 (2, 'Brellink freecall and 1300', 1, 1, 1, 1,
    1, 'Account', 1, 'Invoice', 1, 'Total', 1, 'Payable', 0, NULL, 0, NULL, 0, NULL,
    1, 'Adjustments', 1, 'Period Start', 1, 'Period End', 0, NULL, 0, NULL, 1, 'GST', 0, NULL, 0, NULL,
    0, NULL, 1, 'Invoice Date', 1, 1, 0, NULL, 1, 1, 0, 0,
    1, 1, 1, 1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0,
    1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Answer point', 'Originating area', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1, 'Brellink'),
 (3, 'Corvane mobile fleet', 2, 1, 1, 5,
    1, 'Fleet Account', 1, 'Bill Number', 1, 'Total Charges', 1, 'Total Due', 1, 'Credits', 1, 'Previous Balance', 1, 'Payments',
    1, 'Adjustments', 1, 'Bill Period Start', 1, 'Bill Period End', 1, 'Due Date', 0, NULL, 1, 'GST', 1, 'GST Adj', 1, 'Purchase Order',
    0, NULL, 1, 'Bill Date', 1, 1, 1, 'Rounding', 1, 1, 0, 1,
    1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 0, 0, 0,
    1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Handset', 'Plan', 'Roaming zone', 'Data pack', 'Cost code', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 2, 'Corvane Mobile'),
 (4, 'Pacific Fibre WAN', 3, 4, 1, 4,
    1, 'Customer No', 1, 'Invoice No', 1, 'Invoice Total', 1, 'Amount Due', 1, 'Credit Notes', 0, NULL, 0, NULL,
    1, 'Adjustments', 1, 'Service From', 1, 'Service To', 1, 'Pay By', 0, NULL, 1, 'GST Amount', 0, NULL, 1, 'PO Number',
    1, 'Requisition', 1, 'Invoice Date', 1, 0, 0, NULL, 1, 1, 0, 0,
    1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0,
    1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Circuit ID', 'Bandwidth', 'A end', 'B end', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 3, 'Pacific Fibre'),
 (5, 'Southern Cross internet', 4, 1, 1, 1,
    1, 'Account', 1, 'Invoice', 1, 'Total', 1, 'Payable', 0, NULL, 0, NULL, 0, NULL,
    0, NULL, 1, 'From', 1, 'To', 0, NULL, 0, NULL, 1, 'GST', 0, NULL, 0, NULL,
    0, NULL, 0, NULL, 1, 0, 0, NULL, 0, 0, 0, 0,
    1, 1, 1, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0,
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Usage GB', 'Plan', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 4, 'Southern Cross Data'),
 (6, 'Meridian conferencing', 5, 3, 1, 1,
    1, 'Client Code', 1, 'Invoice', 1, 'Total', 1, 'Payable', 0, NULL, 0, NULL, 0, NULL,
    0, NULL, 0, NULL, 0, NULL, 0, NULL, 0, NULL, 1, 'GST', 0, NULL, 1, 'Order No',
    0, NULL, 1, 'Date', 0, 1, 0, NULL, 0, 0, 1, 0,
    1, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0,
    0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Chairperson', 'Bridge number', 'Participants', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 5, 'Meridian'),
 (7, 'Coastal satellite airtime', 7, 1, 1, 1,
    1, 'Account', 1, 'Invoice', 1, 'Total', 1, 'Payable', 0, NULL, 0, NULL, 0, NULL,
    0, NULL, 1, 'From', 1, 'To', 0, NULL, 0, NULL, 1, 'GST', 0, NULL, 0, NULL,
    0, NULL, 0, NULL, 1, 1, 0, NULL, 0, 0, 0, 0,
    1, 1, 1, 1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0,
    1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Terminal', 'Satellite', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 5, 'Coastal Satellite'),
 (8, 'Manual adjustments', 8, 4, 1, 3,
    1, 'Reference', 0, NULL, 1, 'Total', 0, NULL, 1, 'Credits', 0, NULL, 0, NULL,
    1, 'Adjustments', 0, NULL, 0, NULL, 0, NULL, 0, NULL, 1, 'GST', 0, NULL, 0, NULL,
    0, NULL, 0, NULL, 0, 0, 0, NULL, 0, 0, 1, 0,
    1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Reason', 'Approved by', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 5, NULL),
 (9, 'Harbour paging', 6, 2, 0, 6,
    1, 'Account', 1, 'Invoice', 1, 'Total', 1, 'Payable', 0, NULL, 0, NULL, 0, NULL,
    0, NULL, 0, NULL, 0, NULL, 0, NULL, 0, NULL, 1, 'GST', 0, NULL, 0, NULL,
    0, NULL, 0, NULL, 1, 0, 0, NULL, 0, 0, 0, 0,
    1, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'Pager number', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 5, 'Harbour Paging');

-- One account per batch type, so the pages that join accounts to batch types
-- show each row once.
INSERT INTO tValidAccountNumber (ID, AccountNo, TenderNo, BatchTypeID, StartDate, EndDate, Active) VALUES
 (1, '2009 4417 0012', 'WOG-2019', 1, '20100701', NULL, 1),
 (2, '2009 4417 1800', 'WOG-2019', 2, '20100701', NULL, 1),
 (3, 'CM-778120', 'WOG-2021', 3, '20110101', NULL, 1),
 (4, 'PFN-000315', 'WAN-2018', 4, '20120101', NULL, 1),
 (5, 'SXD-44120', 'ISP-2020', 5, '20140301', NULL, 1),
 (6, 'MER-1192', NULL, 6, '20150101', NULL, 1),
 (7, 'CSL-0042', 'SAT-2012', 7, '20120101', NULL, 1),
 (8, 'INTERNAL', NULL, 8, '20100701', NULL, 1),
 (9, 'HPS-3301', 'PAG-2009', 9, '20100701', '20200630', 0),
 (10, 'CM-551002', 'WOG-2016', NULL, '20160101', '20210131', 0);

INSERT INTO tAgreementType (ID, Description, Active) VALUES
 (1, 'Whole of government contract', 1),
 (2, 'Agency agreement', 1),
 (3, 'Standing offer', 1),
 (4, 'Legacy tariff', 0);

INSERT INTO tAgreement (ID, AgreementNo, Description, AgreementTypeID, SupplierID, ValidAccountNumberID, BatchTypeID, StartDate, EndDate, Active) VALUES
 (1, 'WOG-2019-001', 'Fixed voice services', 1, 1, 1, 1, '20190701', NULL, 1),
 (2, 'WOG-2019-002', 'Freecall and local rate numbers', 1, 1, 2, 2, '20190701', NULL, 1),
 (3, 'WOG-2021-004', 'Mobile fleet', 1, 2, 3, 3, '20210101', NULL, 1),
 (4, 'WAN-2018-010', 'Wide area network', 3, 3, 4, 4, '20180401', NULL, 1),
 (5, 'ISP-2020-003', 'Internet access', 3, 4, 5, 5, '20200901', NULL, 1),
 (6, 'AG-MER-2015', 'Audio conferencing', 2, 5, 6, 6, '20150101', NULL, 1),
 (7, 'SAT-2012-001', 'Satellite airtime', 2, 7, 7, 7, '20120101', NULL, 1),
 (8, 'PAG-2009-007', 'Paging', 4, 6, 9, 9, '20090701', '20200630', 0),
 (9, 'WOG-2016-002', 'Mobile fleet (previous contract)', 1, 2, 10, 3, '20160101', '20201231', 0);

-- The charges that appear on the carriers' bills.
INSERT INTO tTransactionGroup (ID, Description, CostRangeFrom, CostRangeTo) VALUES
 (1, 'Rental', 0, 5000),
 (2, 'Calls', 0, 2000),
 (3, 'Usage', 0, 10000),
 (4, 'Once-off charges', 0, 25000),
 (5, 'Credits', -50000, 0),
 (6, 'Adjustments', -10000, 10000);

INSERT INTO tSystem (ID, System, BatchTypeID, Active, DateEntered, DateLastChanged, UserID) VALUES
 (1, 'Fixed Voice', 1, 1, '20100701 09:00:00', '20190702 10:30:00', 1),
 (2, 'Freecall', 2, 1, '20100701 09:05:00', '20190702 10:31:00', 1),
 (3, 'Mobile', 3, 1, '20110101 09:00:00', '20210104 14:12:51', 3),
 (4, 'Data Network', 4, 1, '20120101 09:00:00', '20180402 09:45:10', 6),
 (5, 'Internet', 5, 1, '20140301 09:00:00', '20200901 08:00:00', 6),
 (6, 'Conferencing', 6, 1, '20150101 09:00:00', '20150101 09:00:00', 1),
 (7, 'Satellite', 7, 1, '20120101 09:00:00', '20120101 09:00:00', 1),
 (8, 'Manual', 8, 1, '20100701 09:00:00', '20100701 09:00:00', 6),
 (9, 'Paging', 9, 0, '20100701 09:00:00', '20200630 17:00:00', 4);

INSERT INTO tTransactionType (ID, Description, TransactionGroupID, SystemID, Active, StartDate, EndDate, LastUpdatedBy) VALUES
 (1, 'Line rental', 1, 1, 1, '20100701', NULL, 'demo'),
 (2, 'Equipment rental', 1, 1, 1, '20100701', NULL, 'demo'),
 (3, 'Local calls', 2, 1, 1, '20100701', NULL, 'demo'),
 (4, 'National calls', 2, 1, 1, '20100701', NULL, 'demo'),
 (5, 'Calls to mobiles', 2, 1, 1, '20100701', NULL, 'demo'),
 (6, 'International calls', 2, 1, 1, '20100701', NULL, 'demo'),
 (7, 'Mobile plan charges', 1, 3, 1, '20110101', NULL, 'mnguyen'),
 (8, 'Mobile usage', 3, 3, 1, '20110101', NULL, 'mnguyen'),
 (9, 'Data usage', 3, 5, 1, '20140301', NULL, 'mnguyen'),
 (10, 'Circuit rental', 1, 4, 1, '20120101', NULL, 'mnguyen'),
 (11, 'Installation', 4, 4, 1, '20120101', NULL, 'demo'),
 (12, 'Relocation', 4, 1, 1, '20100701', NULL, 'demo'),
 (13, 'Carrier credit', 5, 8, 1, '20100701', NULL, 'demo'),
 (14, 'Conference minutes', 3, 6, 1, '20150101', NULL, 'demo'),
 (15, 'Satellite airtime', 3, 7, 1, '20120101', NULL, 'demo'),
 (16, 'Inbound freecall', 2, 2, 1, '20100701', NULL, 'demo'),
 (17, 'Manual adjustment', 6, 8, 1, '20100701', NULL, 'abrown'),
 (18, 'Pager rental', 1, 9, 0, '20100701', '20200630', 'kpatel'),
 (19, 'Late payment fee', 4, 1, 0, '20100701', '20150630', 'hmorris');

INSERT INTO tSupplierServiceCode (id, Code, AmountCategory, Description, TransactionTypeID, TransactionTypeDesc, SupplierID, Active) VALUES
 (1, 'BT-RENT', 'RENT', 'Business line rental', 1, 'Line rental', 1, 1),
 (2, 'BT-HSET', 'RENT', 'Handset rental', 2, 'Equipment rental', 1, 1),
 (3, 'BT-LOC', 'CALL', 'Local call', 3, 'Local calls', 1, 1),
 (4, 'BT-STD', 'CALL', 'National call', 4, 'National calls', 1, 1),
 (5, 'BT-MOB', 'CALL', 'Call to mobile', 5, 'Calls to mobiles', 1, 1),
 (6, 'BT-IDD', 'CALL', 'International call', 6, 'International calls', 1, 1),
 (7, 'BT-ISDN', 'RENT', 'ISDN access', 1, 'Line rental', 1, 1),
 (8, 'BT-1800', 'CALL', 'Freecall inbound', 16, 'Inbound freecall', 1, 1),
 (9, 'BT-MOVE', 'ONCE', 'Service relocation', 12, 'Relocation', 1, 1),
 (10, 'BT-CR', 'CRED', 'Carrier credit', 13, 'Carrier credit', 1, 1),
 (11, 'CM-PLAN', 'RENT', 'Mobile plan', 7, 'Mobile plan charges', 2, 1),
 (12, 'CM-VOICE', 'USAGE', 'Mobile voice usage', 8, 'Mobile usage', 2, 1),
 (13, 'CM-DATA', 'USAGE', 'Mobile data usage', 8, 'Mobile usage', 2, 1),
 (14, 'CM-ROAM', 'USAGE', 'International roaming', 8, 'Mobile usage', 2, 1),
 (15, 'CM-CR', 'CRED', 'Plan credit', 13, 'Carrier credit', 2, 1),
 (16, 'PF-ETH', 'RENT', 'Ethernet circuit', 10, 'Circuit rental', 3, 1),
 (17, 'PF-INST', 'ONCE', 'Circuit installation', 11, 'Installation', 3, 1),
 (18, 'PF-NBN', 'RENT', 'Fibre access', 10, 'Circuit rental', 3, 1),
 (19, 'SX-PLAN', 'RENT', 'Internet plan', 9, 'Data usage', 4, 1),
 (20, 'SX-GB', 'USAGE', 'Excess data per GB', 9, 'Data usage', 4, 1),
 (21, 'MC-MIN', 'USAGE', 'Conference minutes', 14, 'Conference minutes', 5, 1),
 (22, 'MC-BOOK', 'ONCE', 'Operator-assisted booking', 14, 'Conference minutes', 5, 1),
 (23, 'CS-AIR', 'USAGE', 'Satellite airtime', 15, 'Satellite airtime', 7, 1),
 (24, 'CS-RENT', 'RENT', 'Satellite terminal rental', 2, 'Equipment rental', 7, 1),
 (25, 'INT-ADJ', 'OTHER', 'Manual adjustment', 17, 'Manual adjustment', 8, 1),
 (26, 'HP-RENT', 'RENT', 'Pager rental', 18, 'Pager rental', 6, 0),
 (27, 'BT-LATE', 'ONCE', 'Late payment fee', 19, 'Late payment fee', 1, 0);

INSERT INTO tAgreementTariffs (ID, AgreementID, SupplierServiceCodeID, FixedCharge, FlagFall, MinCharge, MinDuration, MaxCharge, MaxDuration,
    ChargeIntervalSecs, Stage1Duration, Stage1Charge, Stage2Duration, Stage2Charge, Stage3Duration, Stage3Charge,
    Stage4Duration, Stage4Charge, Stage5Duration, Stage5Charge, Surcharge, SurchargeRate, Discount, DiscountRate, ChargePeriod, Active) VALUES
 (1, 1, 1, 29.95, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 1, 1),
 (2, 1, 2, 6.5, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 1, 1),
 (3, 1, 3, NULL, 0.15, 0.15, 0, NULL, NULL, 60, 600, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 0, 1),
 (4, 1, 4, NULL, 0.3, 0.3, 60, 2, 3600, 30, 180, 0.12, 600, 0.1, 3600, 0.08, NULL, NULL, NULL, NULL, 0, NULL, 1, 5, 0, 1),
 (5, 1, 5, NULL, 0.3, 0.3, 60, 3, 3600, 30, 60, 0.22, 300, 0.19, 3600, 0.16, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 0, 1),
 (6, 1, 6, NULL, 0.5, 0.5, 60, NULL, NULL, 60, 60, 0.45, 600, 0.4, 1800, 0.38, 3600, 0.35, 7200, 0.3, 1, 2.5, 0, NULL, 0, 1),
 (7, 1, 7, 75, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 1, 1),
 (8, 2, 8, 25, 0.1, NULL, NULL, NULL, NULL, 60, 60, 0.12, 300, 0.1, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 1, 1),
 (9, 3, 11, 39, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 1, 10, 1, 1),
 (10, 3, 12, NULL, 0.25, NULL, NULL, NULL, NULL, 30, 30, 0.15, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 0, 1),
 (11, 3, 13, NULL, NULL, NULL, NULL, 50, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 0, 1),
 (12, 3, 14, NULL, 0.5, 0.5, 60, NULL, NULL, 60, 60, 1.5, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1, 5, 0, NULL, 0, 1),
 (13, 4, 16, 850, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 1, 7.5, 1, 1),
 (14, 4, 17, 1200, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 0, 1),
 (15, 4, 18, 120, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 1, 1),
 (16, 5, 19, 89, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 1, 1),
 (17, 5, 20, 10, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 0, 1),
 (18, 6, 21, NULL, NULL, NULL, NULL, NULL, NULL, 60, 60, 0.09, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 0, 1),
 (19, 7, 23, NULL, 1, 1, 60, NULL, NULL, 60, 60, 1.2, 600, 1.1, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 0, 1),
 (20, 8, 26, 12.5, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 1, 0),
 (21, 9, 11, 45, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, 0, NULL, 1, 0);

INSERT INTO tCostRange (ID, ValidAccountNumberID, TransactionTypeID, CostRangeFrom, CostRangeTo) VALUES
 (1, 1, 1, 0, 250),
 (2, 1, 3, 0, 500),
 (3, 1, 4, 0, 1500),
 (4, 1, 6, 0, 800),
 (5, 3, 7, 0, 150),
 (6, 3, 8, 0, 1000),
 (7, 4, 10, 100, 20000),
 (8, 4, 11, 0, 25000),
 (9, 5, 9, 0, 3000),
 (10, 7, 15, 0, 5000),
 (11, 8, 17, -10000, 10000),
 (12, 2, 16, 0, 4000);

------------------------------------------------------------------------------
-- Service types, levels and line details
------------------------------------------------------------------------------

-- Revenue and expense elements belong to the internal customer VRT. The TQ
-- types are the tie-line queues that the Tools export picks out.
INSERT INTO tServiceType (ID, Code, Description, SupplierID, RevenueElementID, ExpenseElementID, AdminFee, Frequency, SystemID,
                          ExportToTims, SplitService, VRTServiceType, ExpectedRent, NoCalls, StartDate, EndDate, Active) VALUES
 (1, 'PSTN', 'Business telephone line', 1, 1, 7, 1, 1, 1, 1, 0, 0, 29.95, 0, '20100701', NULL, 1),
 (2, 'ISDN2', 'ISDN basic rate', 1, 1, 7, 1, 1, 1, 1, 0, 0, 75, 0, '20100701', NULL, 1),
 (3, 'ISD30', 'ISDN primary rate (30 channels)', 1, 1, 7, 1, 1, 1, 1, 1, 0, 950, 0, '20100701', NULL, 1),
 (4, 'MOB', 'Mobile voice and data', 2, 2, 8, 1, 1, 3, 1, 0, 0, 39, 0, '20110101', NULL, 1),
 (5, 'MOBD', 'Mobile data only', 2, 2, 8, 1, 1, 3, 1, 0, 0, 25, 1, '20110101', NULL, 1),
 (6, 'TQV', 'Tie-line queue - voice', 1, 1, 7, 1, 1, 1, 1, 0, 0, 45, 0, '20120101', NULL, 1),
 (7, 'TQF', 'Tie-line queue - fax', 1, 1, 7, 1, 3, 1, 1, 0, 0, 45, 1, '20120101', NULL, 1),
 (8, 'TQD', 'Tie-line queue - data', 1, 3, 9, 1, 1, 1, 1, 1, 0, 60, 1, '20120101', NULL, 1),
 (9, 'ETH', 'Ethernet WAN 100 Mbps', 3, 3, 9, 1, 1, 4, 1, 1, 0, 850, 1, '20120101', NULL, 1),
 (10, 'ETH1G', 'Ethernet WAN 1 Gbps', 3, 3, 9, 1, 1, 4, 1, 1, 0, 1950, 1, '20160101', NULL, 1),
 (11, 'NBN', 'Fibre broadband', 3, 4, 10, 1, 1, 4, 1, 0, 0, 120, 1, '20180101', NULL, 1),
 (12, 'ISP', 'Internet access plan', 4, 4, 10, 1, 1, 5, 1, 0, 0, 89, 1, '20140301', NULL, 1),
 (13, 'CONF', 'Audio conferencing', 5, 5, 11, 0, 0, 6, 0, 0, 0, NULL, 0, '20150101', NULL, 1),
 (14, '1800', 'Freecall number', 1, 1, 7, 1, 1, 2, 1, 1, 0, 25, 0, '20100701', NULL, 1),
 (15, '1300', 'Local rate number', 1, 1, 7, 1, 1, 2, 1, 1, 0, 25, 0, '20100701', NULL, 1),
 (16, 'SAT', 'Satellite phone', 7, 5, 12, 1, 12, 7, 1, 0, 0, 540, 0, '20120101', NULL, 1),
 (17, 'VRT', 'Internal revenue transfer', 8, 6, 13, 0, 0, 8, 0, 0, 1, NULL, 1, '20100701', NULL, 1),
 (18, 'PABX', 'PABX maintenance', 1, 1, 7, 1, 3, 1, 1, 1, 0, 310, 1, '20100701', NULL, 1),
 (19, 'PAGE', 'Pager', 6, 14, 11, 1, 1, 9, 0, 0, 0, 12.5, 1, '20100701', '20200630', 0),
 (20, 'ADSL', 'ADSL broadband', 4, 4, 10, 1, 1, 5, 1, 0, 0, 69, 1, '20100701', '20211231', 0);

INSERT INTO tServiceKpi (ID, KpiNumber, Description, ResponseHours, RestorationHours, Availability, CoreHours, AfterHours, TravelTime, FaultDetect, Active) VALUES
 (1, '101', 'Platinum - life critical services', '0.5', '4', '99.99%', '24x7', 'Included', 'Included', 'Proactive monitoring', 1),
 (2, '102', 'Gold - business critical services', '1', '8', '99.95%', '24x7', 'Included', 'Included', 'Proactive monitoring', 1),
 (3, '201', 'Silver - standard business services', '4', '24', '99.9%', 'Mon-Fri 07:00-19:00', 'Time and materials', 'Included', 'Customer reported', 1),
 (4, '202', 'Bronze - best effort', '8', '48', '99.5%', 'Mon-Fri 08:00-17:00', 'Not covered', 'Charged', 'Customer reported', 1),
 (5, '099', 'Legacy metro service level', '2', '12', '99.8%', 'Mon-Sat 07:00-22:00', 'Included', 'Included', 'Customer reported', 0);

INSERT INTO tAuthority (ID, Description) VALUES
 (1, 'Shared Services ICT'),
 (2, 'Agency IT manager'),
 (3, 'Carrier managed'),
 (4, 'Facilities management');

INSERT INTO tModemType (ID, Description) VALUES
 (1, 'NTU 10/100'),
 (2, 'NTU 1G'),
 (3, 'ADSL2+ router'),
 (4, 'Fibre ONT'),
 (5, 'ISDN NT1');

INSERT INTO tBearer (ID, Description) VALUES
 (1, 'Copper pair'),
 (2, 'Optical fibre'),
 (3, 'Microwave'),
 (4, 'Satellite');

INSERT INTO tSpeed (ID, Description) VALUES
 (1, '64 kbps'),
 (2, '2 Mbps'),
 (3, '10 Mbps'),
 (4, '100 Mbps'),
 (5, '1 Gbps');

------------------------------------------------------------------------------
-- Services
------------------------------------------------------------------------------

-- 480 services. Fixed services are numbered 029nnnnnnn, so most of them show
-- on the service page (which opens on ServiceIDs beginning "02"); mobiles
-- are 04nnnnnnnn, freecall and local-rate numbers 1800nnnnnn and 1300nnnnnn.
-- Every 23rd service has been terminated; data services carry line details
-- and a service level.
INSERT INTO tServiceID (ID, ServiceID, Service, ServiceTypeID, SupplierAccountID, CustomerCentreID, CustomerActivityID,
    CustomerElementID, CustomerSubLedgerID, PayType, CentreID, ActivityID, ElementID, SubledgerID, LocationID, PersonID,
    ApplicationID, CurrentRent, CurrentCalls, PreviousRent, PreviousCalls, InstallationDate, TerminationDate,
    UpEnd, UpMDF, DownEnd, DownMDF, Length, Active, DateEntered, DateLastChanged, LastUpdatedBy, SACCnumber,
    Description, JobNo, ServiceKpiID, No, Part, BearerID, SpeedID, Drawing, ModemTypeID, Cost, Cost100, Make, Ch, Mux,
    LineID, StartTerminalID, Invoiced, TelcoID, AuthorityID, VirtualCableID, ServiceMnemonicID, ServiceCode)
WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < 480),
-- t: the service type; c: the customer centre; c2: a second centre on some
k AS (
  SELECT n,
         CASE
           WHEN n % 10 IN (7, 8) THEN CASE WHEN n % 3 = 0 THEN 5 ELSE 4 END
           WHEN n % 40 = 9 THEN 14
           WHEN n % 40 = 19 THEN 15
           ELSE CASE n % 13
                  WHEN 0 THEN 2 WHEN 1 THEN 3 WHEN 2 THEN 6 WHEN 3 THEN 7 WHEN 4 THEN 8
                  WHEN 5 THEN 9 WHEN 6 THEN 10 WHEN 7 THEN 11 WHEN 8 THEN 12 WHEN 9 THEN 18
                  ELSE 1 END
         END AS t,
         1 + (n * 7) % 54 AS c,
         CASE WHEN n % 5 = 0 THEN 1 + (n * 13) % 54 END AS c2
  FROM s
),
-- the customers owning the two centres
o AS (
  SELECT k.*,
         (SELECT tGroup.CustomerID FROM tCentre JOIN tDepartment ON tDepartment.ID = tCentre.DepartmentID
            JOIN tGroup ON tGroup.ID = tDepartment.GroupID WHERE tCentre.ID = k.c) AS cust,
         (SELECT tGroup.CustomerID FROM tCentre JOIN tDepartment ON tDepartment.ID = tCentre.DepartmentID
            JOIN tGroup ON tGroup.ID = tDepartment.GroupID WHERE tCentre.ID = k.c2) AS cust2
  FROM k
)
SELECT n,
       CASE
         WHEN t IN (4, 5) THEN '04' || printf('%08d', 10000000 + (n * 104729) % 89999989)
         WHEN t IN (14, 15) THEN substr(tServiceType.Code, 1, 4) || printf('%06d', 100000 + (n * 7919) % 899981)
         ELSE '029' || printf('%07d', (n * 7919) % 9999991)
       END,
       CASE t
         WHEN 1 THEN CASE n % 5 WHEN 0 THEN 'FAX LINE' WHEN 1 THEN 'LIFT PHONE' WHEN 2 THEN 'ALARM LINE' ELSE 'BUSINESS LINE' END
         WHEN 2 THEN 'ISDN BRI' WHEN 3 THEN 'ISDN PRI' WHEN 4 THEN 'MOBILE' WHEN 5 THEN 'DATA SIM'
         WHEN 6 THEN 'TIE LINE VOICE' WHEN 7 THEN 'TIE LINE FAX' WHEN 8 THEN 'TIE LINE DATA'
         WHEN 9 THEN 'WAN LINK' WHEN 10 THEN 'WAN CORE' WHEN 11 THEN 'FIBRE BROADBAND' WHEN 12 THEN 'INTERNET'
         WHEN 14 THEN 'FREECALL' WHEN 15 THEN 'LOCAL RATE' WHEN 18 THEN 'PABX'
       END,
       t,
       (SELECT tValidAccountNumber.ID FROM tValidAccountNumber JOIN tSystem ON tSystem.BatchTypeID = tValidAccountNumber.BatchTypeID
         WHERE tSystem.ID = tServiceType.SystemID),
       c,
       CASE WHEN n % 6 <> 0 THEN (SELECT CASE n % 2 WHEN 0 THEN min(a.ID) ELSE max(a.ID) END FROM tActivity a WHERE a.CustomerID = o.cust AND a.Active = 1) END,
       (SELECT CASE n % 3 WHEN 0 THEN max(e.ID) ELSE min(e.ID) END FROM tElement e WHERE e.CustomerID = o.cust AND e.Active = 1),
       CASE WHEN n % 4 <> 0 THEN (SELECT CASE n % 2 WHEN 0 THEN min(l.ID) ELSE max(l.ID) END FROM tSubledger l WHERE l.CustomerID = o.cust AND l.Active = 1) END,
       CASE WHEN n % 9 = 0 THEN 'C' ELSE 'M' END,
       c2,
       (SELECT min(a.ID) FROM tActivity a WHERE a.CustomerID = o.cust2 AND a.Active = 1),
       NULL,
       (SELECT min(l.ID) FROM tSubledger l WHERE l.CustomerID = o.cust2 AND l.Active = 1),
       1 + (n * 17) % 20,
       CASE WHEN n % 3 = 0 THEN NULL ELSE 1 + (n * 7) % 20 END,
       CASE t WHEN 1 THEN 1 + n % 6 WHEN 2 THEN 1 WHEN 3 THEN 1 WHEN 4 THEN 1 WHEN 5 THEN 8
              WHEN 7 THEN 2 WHEN 8 THEN 3 WHEN 9 THEN 3 WHEN 10 THEN 3 WHEN 11 THEN 3 END,
       round(coalesce(tServiceType.ExpectedRent, 0) * (1 + (n % 4) * 0.05), 2),
       CASE WHEN tServiceType.NoCalls = 1 THEN 0 ELSE round(((n * 37) % 4000) / 10.0, 2) END,
       round(coalesce(tServiceType.ExpectedRent, 0), 2),
       CASE WHEN tServiceType.NoCalls = 1 THEN 0 ELSE round(((n * 53) % 4000) / 10.0, 2) END,
       strftime('%Y%m%d', '2012-01-01', '+' || ((n * 37) % 4500) || ' days'),
       CASE WHEN n % 23 = 0 THEN strftime('%Y%m%d', '2024-01-15', '+' || ((n * 11) % 500) || ' days') END,
       CASE WHEN t IN (3, 8, 9, 10) THEN 'EXCH ' || CASE n % 4 WHEN 0 THEN 'CITY SOUTH' WHEN 1 THEN 'NORTHGATE' WHEN 2 THEN 'EASTHAVEN' ELSE 'CHIPPERTON' END END,
       CASE WHEN t IN (3, 8, 9, 10) THEN 'M' || printf('%02d', n % 40) || '-' || (n % 9) END,
       CASE WHEN t IN (3, 8, 9, 10) THEN 'CUST ' || CASE n % 3 WHEN 0 THEN 'COMMS ROOM' WHEN 1 THEN 'LEVEL 2 RACK' ELSE 'PLANT ROOM' END END,
       CASE WHEN t IN (3, 8, 9, 10) THEN 'C' || printf('%02d', (n * 3) % 40) || '-' || (n % 7) END,
       CASE WHEN t IN (3, 8, 9, 10) THEN round(0.4 + ((n * 29) % 250) / 10.0, 1) END,
       CASE WHEN n % 23 = 0 THEN 0 ELSE 1 END,
       strftime('%Y%m%d', '2012-01-01', '+' || ((n * 37) % 4500) || ' days') || ' 09:' || printf('%02d', n % 60) || ':00',
       strftime('%Y%m%d', '2023-06-01', '+' || ((n * 13) % 700) || ' days') || ' ' || printf('%02d', 8 + n % 9) || ':' || printf('%02d', (n * 7) % 60) || ':' || printf('%02d', (n * 11) % 60),
       CASE n % 4 WHEN 0 THEN 'demo' WHEN 1 THEN 'mnguyen' WHEN 2 THEN 'demo' ELSE 'kpatel' END,
       CASE WHEN n % 7 = 0 THEN 'SACC' || printf('%05d', 10000 + n * 3) END,
       CASE n % 8
         WHEN 0 THEN 'RECEPTION' WHEN 1 THEN 'LEVEL ' || (1 + n % 12) || ' OPEN PLAN'
         WHEN 2 THEN 'COMMS ROOM' WHEN 3 THEN 'MANAGER' WHEN 4 THEN 'DUTY OFFICER'
         WHEN 5 THEN 'CONTROL ROOM' WHEN 6 THEN 'AFTER HOURS' ELSE NULL END,
       CASE WHEN n % 3 = 0 THEN 'J' || printf('%05d', 20000 + n) END,
       CASE WHEN t IN (3, 8, 9, 10, 11) THEN 1 + n % 4 END,
       CASE WHEN t IN (3, 8, 9, 10) THEN printf('%d', 100 + n % 700) END,
       CASE WHEN t IN (3, 8, 9, 10) THEN CASE n % 2 WHEN 0 THEN 'A' ELSE 'B' END END,
       CASE t WHEN 3 THEN 1 WHEN 8 THEN 1 WHEN 9 THEN 2 WHEN 10 THEN 2 END,
       CASE t WHEN 3 THEN 2 WHEN 8 THEN 1 WHEN 9 THEN 4 WHEN 10 THEN 5 END,
       CASE WHEN t IN (9, 10) THEN 'DWG-' || printf('%04d', n * 3) END,
       CASE t WHEN 3 THEN 5 WHEN 8 THEN 1 WHEN 9 THEN 1 WHEN 10 THEN 2 WHEN 11 THEN 4 END,
       CASE WHEN t IN (3, 8, 9, 10) THEN round(tServiceType.ExpectedRent * 0.8, 2) END,
       CASE WHEN t IN (3, 8, 9, 10) THEN round(tServiceType.ExpectedRent * 0.8 * 100, 2) END,
       CASE WHEN t IN (3, 8, 9, 10) THEN CASE n % 3 WHEN 0 THEN 'NEC' WHEN 1 THEN 'CISCO' ELSE 'ADTRAN' END END,
       CASE WHEN t IN (3, 8) THEN 1 + n % 30 END,
       CASE WHEN t IN (9, 10) THEN 'MX' || (1 + n % 9) END,
       NULL,
       NULL,
       CASE WHEN t IN (3, 8, 9, 10) THEN round(tServiceType.ExpectedRent * 0.8, 2) END,
       NULL,
       CASE WHEN t IN (3, 8, 9, 10) THEN 1 + n % 4 END,
       NULL,
       NULL,
       CASE WHEN t IN (9, 10, 11) THEN 'Circuit ' || 'PFN' || printf('%06d', n * 41) || ' delivered on ' ||
            CASE t WHEN 11 THEN 'fibre access' ELSE 'dedicated fibre' END || ' with managed NTU' END
FROM o JOIN tServiceType ON tServiceType.ID = o.t;

-- Shared services: their rental, calls and other charges split among customers.
INSERT INTO tServiceSplit (ID, ServiceID, CustomerID, CallPercentage, RentPercentage, OtherPercentage, Active) VALUES
 (1, 13, 1, 50, 50, 50, 1),
 (2, 13, 2, 50, 50, 50, 1),
 (3, 27, 4, 70, 60, 100, 1),
 (4, 27, 5, 30, 40, 0, 1),
 (5, 40, 8, 34, 34, 34, 1),
 (6, 40, 9, 33, 33, 33, 1),
 (7, 40, 12, 33, 33, 33, 1),
 (8, 53, 3, 100, 80, 100, 1),
 (9, 53, 7, 0, 20, 0, 1),
 (10, 66, 10, 25, 25, 25, 1),
 (11, 66, 6, 75, 75, 75, 1),
 (12, 79, 1, 60, 60, 60, 1),
 (13, 79, 4, 40, 40, 40, 1),
 (14, 92, 2, 50, 50, 50, 1),
 (15, 92, 13, 50, 50, 50, 0),
 (16, 92, 3, 50, 50, 50, 1),
 (17, 105, 8, 100, 100, 100, 0),
 (18, 105, 14, 100, 100, 100, 0);

INSERT INTO tRateDescription (ID, Description, Active) VALUES
 (1, 'Local call', 1),
 (2, 'National call', 1),
 (3, 'Call to mobile', 1),
 (4, 'International call', 1),
 (5, 'Monthly rental', 1),
 (6, 'Installation', 1),
 (7, 'Relocation', 1),
 (8, 'Data usage per GB', 1),
 (9, 'Freecall inbound minute', 1),
 (10, 'Conference minute', 1),
 (11, 'Satellite airtime minute', 1),
 (12, 'Pager rental', 0);

-- Internal recharge rates per service type; WAN rates by line length.
INSERT INTO tRate (ID, ServiceTypeID, Length, Cost, Cost100, Percentage, PartCost, Description, Active, StartDate, EndDate, LastUpdatedBy) VALUES
 (1, 1, 0, 32.5, 3250, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'demo'),
 (2, 2, 0, 82, 8200, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'demo'),
 (3, 3, 0, 1010, 101000, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'demo'),
 (4, 4, 0, 42, 4200, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'mnguyen'),
 (5, 5, 0, 27.5, 2750, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'mnguyen'),
 (6, 9, 5, 890, 89000, 0, 12.5, 'Monthly rental', 1, '20230701', NULL, 'mnguyen'),
 (7, 9, 10, 940, 94000, 0, 12.5, 'Monthly rental', 1, '20230701', NULL, 'mnguyen'),
 (8, 9, 25, 1040, 104000, 0, 15, 'Monthly rental', 1, '20230701', NULL, 'mnguyen'),
 (9, 10, 10, 2050, 205000, 0, 20, 'Monthly rental', 1, '20230701', NULL, 'mnguyen'),
 (10, 11, 0, 128, 12800, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'demo'),
 (11, 12, 0, 95, 9500, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'demo'),
 (12, 12, 0, 0.02, 2, 0, NULL, 'Data usage per GB', 1, '20230701', NULL, 'demo'),
 (13, 13, 0, 0.1, 10, 5, NULL, 'Conference minute', 1, '20230701', NULL, 'demo'),
 (14, 14, 0, 27, 2700, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'demo'),
 (15, 16, 0, 560, 56000, 0, NULL, 'Monthly rental', 1, '20230701', NULL, 'demo'),
 (16, 16, 0, 1.25, 125, 0, NULL, 'Satellite airtime minute', 1, '20230701', NULL, 'demo'),
 (17, 18, 0, 325, 32500, 10, NULL, 'Monthly rental', 1, '20230701', NULL, 'abrown'),
 (18, 1, 0, 30.5, 3050, 0, NULL, 'Monthly rental', 0, '20210701', '20230630', 'kpatel'),
 (19, 9, 5, 850, 85000, 0, 12.5, 'Monthly rental', 0, '20210701', '20230630', 'kpatel'),
 (20, 19, 0, 13, 1300, 0, NULL, 'Pager rental', 0, '20100701', '20200630', 'hmorris');

INSERT INTO tDiscount (ID, ServiceTypeID, CustomerID, NonStdRevAdminFee, NonStdExpAdminFee, DiscountRate, Active) VALUES
 (1, 4, 4, 1.5, 1, 10, 1),
 (2, 4, 8, 1.5, NULL, 7.5, 1),
 (3, 9, 1, NULL, NULL, 5, 1),
 (4, 9, 8, 2, 2, 5, 1),
 (5, 1, 2, NULL, NULL, 3, 1),
 (6, 12, 10, 0, 0, NULL, 1),
 (7, 19, 4, NULL, NULL, 20, 0),
 (8, 3, 9, 1, 1, 2.5, 1);

INSERT INTO tDiscountedRate (ID, ServiceTypeID, CustomerID, Rate, Active) VALUES
 (1, 1, 4, 28.5, 1),
 (2, 4, 4, 36, 1),
 (3, 4, 2, 38, 1),
 (4, 9, 8, 799, 1),
 (5, 10, 8, 1850, 1),
 (6, 13, 3, 0.08, 1),
 (7, 19, 5, 10, 0);

------------------------------------------------------------------------------
-- Batches and adjustments
------------------------------------------------------------------------------

INSERT INTO tBatchStatus (ID, Description) VALUES
 (1, 'Imported'),
 (2, 'Critical errors'),
 (3, 'Dubious review'),
 (4, 'Validated'),
 (5, 'Approved'),
 (6, 'Invoiced'),
 (7, 'Paid'),
 (8, 'Rejected');

INSERT INTO tStatus (ID, Status, Active, StartDate, EndDate, LastUpdatedBy) VALUES
 (1, 'Open', 1, '20100701', NULL, 'demo'),
 (2, 'Under review', 1, '20100701', NULL, 'demo'),
 (3, 'Approved', 1, '20100701', NULL, 'demo'),
 (4, 'Rejected', 1, '20100701', NULL, 'demo'),
 (5, 'Processed', 1, '20120101', NULL, 'abrown'),
 (6, 'On hold', 0, '20100701', '20180630', 'hmorris');

-- Monthly batches 1081..1140, one per carrier's bill; the newest are still
-- being checked.
INSERT INTO tBatch (ID, BatchTypeID, BatchStatusID, BillingPeriod, SupplierID, SupplierAccountID, InvoiceNo, TotalRevenue,
    TotalPayable, TotalCredits, OpeningBalance, Rounding, GSTAmount, GSTAdjustment, PaymentsReceived, TotalAdjustments,
    BatchStartDate, BatchEndDate, PaymentDate, CallsStartDate, CallsEndDate, RentStartDate, RentEndDate, IssueDate, PayByDate,
    RequisitionNumber, OrderNumber, TenderNo)
WITH RECURSIVE b(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM b WHERE n < 59),
m AS (SELECT n, 1081 + n AS batch, 1 + n % 8 AS bt, date('2024-01-01', '+' || (n / 8) || ' months') AS p FROM b)
SELECT batch, bt,
       CASE WHEN n >= 56 THEN 1 + n % 4 WHEN n % 17 = 0 THEN 8 ELSE 7 END,
       strftime('%Y-%m', p) || ' ' || CASE strftime('%m', p) WHEN '01' THEN 'January' WHEN '02' THEN 'February' WHEN '03' THEN 'March'
           WHEN '04' THEN 'April' WHEN '05' THEN 'May' WHEN '06' THEN 'June' WHEN '07' THEN 'July' WHEN '08' THEN 'August' END,
       tBatchType.SupplierID, bt, 'INV' || printf('%07d', 4410000 + n * 137),
       round(1500 + (n * 7919) % 90000 / 1.7, 2),
       round((1500 + (n * 7919) % 90000 / 1.7) * 1.1, 2),
       round(-((n * 31) % 500) * 1.0, 2),
       round((n * 97) % 2000 * 1.0, 2),
       round(((n % 5) - 2) / 100.0, 2),
       round((1500 + (n * 7919) % 90000 / 1.7) * 0.1, 2),
       CASE WHEN n % 11 = 0 THEN -1.25 ELSE 0 END,
       round((n * 97) % 2000 * 1.0, 2),
       round(((n * 13) % 300) - 150.0, 2),
       strftime('%Y%m%d', p), strftime('%Y%m%d', p, '+1 month', '-1 day'),
       CASE WHEN n < 56 THEN strftime('%Y%m%d', p, '+1 month', '+20 days') END,
       strftime('%Y%m%d', p, '-1 month'), strftime('%Y%m%d', p, '-1 day'),
       strftime('%Y%m%d', p), strftime('%Y%m%d', p, '+1 month', '-1 day'),
       strftime('%Y%m%d', p, '+1 month', '+2 days'), strftime('%Y%m%d', p, '+1 month', '+30 days'),
       CASE WHEN bt = 4 THEN 'REQ-' || (20000 + n) END,
       CASE WHEN bt IN (3, 4, 6) THEN 'PO' || printf('%06d', 300000 + n * 11) END,
       tValidAccountNumber.TenderNo
FROM m JOIN tBatchType ON tBatchType.ID = m.bt
       LEFT JOIN tValidAccountNumber ON tValidAccountNumber.BatchTypeID = m.bt;

-- Each batch went through import, validation and approval; the paid ones on
-- to invoicing and payment.
INSERT INTO tBatchStatusHistory (ID, BatchID, BatchStatusID, StatusChangeDate, UserID)
WITH RECURSIVE h(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM h WHERE n < 299),
x AS (SELECT n, 1081 + n / 5 AS batch, n % 5 AS step FROM h)
SELECT n + 1, batch,
       CASE step WHEN 0 THEN 1 WHEN 1 THEN CASE WHEN batch % 3 = 0 THEN 3 ELSE 4 END WHEN 2 THEN 5 WHEN 3 THEN 6 ELSE tBatch.BatchStatusID END,
       strftime('%Y%m%d', substr(tBatch.BatchEndDate, 1, 4) || '-' || substr(tBatch.BatchEndDate, 5, 2) || '-' || substr(tBatch.BatchEndDate, 7, 2),
                '+' || (3 + step * 4) || ' days'),
       CASE step WHEN 0 THEN 11 WHEN 1 THEN 3 WHEN 2 THEN 1 WHEN 3 THEN 8 ELSE CASE WHEN batch % 2 = 0 THEN 1 ELSE 4 END END
FROM x JOIN tBatch ON tBatch.ID = x.batch
WHERE step < 3 OR tBatch.BatchStatusID IN (7, 8);

-- 520 adjustments against services; most name fixed services ("02...").
INSERT INTO tAdjustment (ID, SequenceNo, ServiceID, ServiceType, TxnDate, TxnTime, Origin, Destination, Duration, CallCode,
    RateDescription, Peak, DialledNumber, RevenueFlag, GSTFlag, AmountExGST, GSTAmount, AmountIncGST, FromDate, ToDate,
    BatchID, TransactionTypeID, StatusID, Var01, Var02, Var03, Var04, Var05, Var06, Var07, Var08, Var09, Var10,
    Var11, Var12, Var13, Var14, Var15, SupplierServiceCodeID)
WITH RECURSIVE a(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM a WHERE n < 520),
j AS (SELECT n, 1 + (n * 13) % 480 AS sid, n % 6 AS kind, 1081 + (n * 7) % 60 AS batch,
             amount, round(amount * 0.1, 2) AS gst
      FROM (SELECT n, round(CASE WHEN n % 6 = 5 THEN -1 ELSE 1 END * (0.35 + ((n * 7919) % 25000) / 100.0), 2) AS amount FROM a))
SELECT n, 'ADJ' || printf('%06d', 150000 + n * 3), tServiceID.ServiceID,
       CASE WHEN n % 9 = 0 THEN tServiceType.Code END,
       strftime('%d/%m/%Y', '2024-01-01', '+' || ((n * 17) % 520) || ' days'),
       CASE WHEN kind < 3 THEN printf('%02d:%02d:%02d', 7 + n % 12, (n * 7) % 60, (n * 13) % 60) END,
       CASE WHEN kind < 3 THEN CASE n % 5 WHEN 0 THEN 'Brellinghast' WHEN 1 THEN 'Northgate' WHEN 2 THEN 'Easthaven' WHEN 3 THEN 'Chipperton' ELSE 'Redhill' END END,
       CASE kind WHEN 0 THEN 'Brellinghast' WHEN 1 THEN CASE n % 3 WHEN 0 THEN 'Port Marlow' WHEN 1 THEN 'Kestrel Bay' ELSE 'Ashford' END
                 WHEN 2 THEN 'Mobile' END,
       CASE WHEN kind < 3 THEN printf('%d:%02d', (n * 3) % 45, (n * 11) % 60) END,
       CASE kind WHEN 0 THEN 'LOC' WHEN 1 THEN 'STD' WHEN 2 THEN 'MOB' WHEN 3 THEN 'RENT' WHEN 4 THEN 'ONCE' ELSE 'CRED' END,
       CASE kind WHEN 0 THEN 'Local call' WHEN 1 THEN 'National call' WHEN 2 THEN 'Call to mobile' WHEN 3 THEN 'Monthly rental'
                 WHEN 4 THEN 'Relocation' ELSE 'Carrier credit - billing error' END,
       CASE WHEN kind < 3 THEN (n % 2) ELSE 0 END,
       CASE kind WHEN 0 THEN '029' || printf('%07d', (n * 104729) % 9999991) WHEN 1 THEN '03' || printf('%08d', (n * 15485863) % 99999989)
                 WHEN 2 THEN '04' || printf('%08d', (n * 32452843) % 99999989) END,
       CASE WHEN n % 4 = 0 THEN 1 ELSE 0 END,
       CASE WHEN n % 15 = 0 THEN 'N' ELSE 'Y' END,
       amount,
       CASE WHEN n % 15 = 0 THEN 0 ELSE gst END,
       CASE WHEN n % 15 = 0 THEN amount ELSE round(amount + gst, 2) END,
       CASE WHEN kind >= 3 THEN strftime('%d/%m/%Y', '2024-01-01', '+' || (n % 17) || ' months') END,
       CASE WHEN kind >= 3 THEN strftime('%d/%m/%Y', '2024-01-01', '+' || (n % 17 + 1) || ' months', '-1 day') END,
       batch,
       CASE kind WHEN 0 THEN 3 WHEN 1 THEN 4 WHEN 2 THEN 5 WHEN 3 THEN 1 WHEN 4 THEN 12 ELSE 13 END,
       1 + n % 5,
       CASE WHEN n % 3 = 0 THEN 'EX' || printf('%03d', n % 120) END,
       CASE WHEN n % 3 = 0 THEN CASE n % 4 WHEN 0 THEN 'BUSINESS' WHEN 1 THEN 'GOVT' WHEN 2 THEN 'PREMIUM' ELSE 'STANDARD' END END,
       CASE WHEN n % 10 = 0 THEN 'S' || (n % 7) END,
       NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
       CASE kind WHEN 0 THEN 3 WHEN 1 THEN 4 WHEN 2 THEN 5 WHEN 3 THEN 1 WHEN 4 THEN 9 ELSE 10 END
FROM j JOIN tServiceID ON tServiceID.ID = j.sid
       JOIN tServiceType ON tServiceType.ID = tServiceID.ServiceTypeID;

-- Adjustments in batch 1111, so the adjustment page's preset filter finds some.
UPDATE tAdjustment SET BatchID = 1111 WHERE ID % 37 = 0;

INSERT INTO tDataCollectionMap (DCField, DCValue, TransValue) VALUES
 ('CallCode', 'LOC', 'Local'),
 ('CallCode', 'STD', 'National'),
 ('CallCode', 'MOB', 'Mobile'),
 ('CallCode', 'IDD', 'International'),
 ('CallCode', 'SVC', 'Service and equipment'),
 ('ChargeType', 'R', 'Rental'),
 ('ChargeType', 'C', 'Calls'),
 ('ChargeType', 'O', 'Other'),
 ('GSTFlag', 'Y', '1'),
 ('GSTFlag', 'N', '0'),
 ('GSTFlag', 'F', '0'),
 ('Peak', 'P', '1'),
 ('Peak', 'O', '0'),
 ('Peak', 'W', '0'),
 ('Region', 'MET', 'Metropolitan'),
 ('Region', 'REG', 'Regional');

INSERT INTO tDataSourceDetail (ID, Description, Var01, Var02, Var03, Var04, Var05, Var06, Var07, Var08, Var09, Var10, Var11, Var12, Var13, Var14, Var15,
    Var01Description, Var02Description, Var03Description, Var04Description, Var05Description, Var06Description, Var07Description, Var08Description,
    Var09Description, Var10Description, Var11Description, Var12Description, Var13Description, Var14Description, Var15Description) VALUES
 (1, 'Brellink fixed voice file', 'EXCH', 'CLASS', 'SECTION', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    'Exchange code of the service', 'Call class (business, government, premium)', 'Section of the bill', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
 (2, 'Corvane mobile bill', 'IMEI', 'PLAN', 'ZONE', 'PACK', 'COSTCODE', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    'Handset identity', 'Rate plan', 'Roaming zone', 'Data pack', 'Cost code on the bill', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
 (3, 'Pacific Fibre EDI', 'CIRCUIT', 'BW', 'AEND', 'BEND', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    'Circuit identifier', 'Bandwidth', 'A end address', 'B end address', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
 (4, 'Manual adjustment sheet', 'REASON', 'APPROVER', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    'Reason for the adjustment', 'Approving officer', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);

------------------------------------------------------------------------------
-- Validation: critical and dubious tests
------------------------------------------------------------------------------

INSERT INTO tCriticalType (ID, Description) VALUES
 (1, 'Unknown Service'),
 (2, 'Additional Services'),
 (3, 'Omitted Services'),
 (4, 'Unexpected Calls'),
 (5, 'Valid Split Services'),
 (6, 'System references'),
 (7, 'Terminated Service'),
 (8, 'Incomplete Quetzal data'),
 (9, 'Extra split service'),
 (10, 'CustomerCentre allocated');

INSERT INTO tDubiousType (ID, Description) VALUES
 (1, 'Different Rent, Same Service'),
 (2, 'Calls less than Rent'),
 (3, 'Agreed Tariff & Rates'),
 (4, 'Change in Activity'),
 (5, 'Results in Range of Values');

INSERT INTO tDubiousResolution (ID, Description) VALUES
 (1, 'Accepted as billed'),
 (2, 'Credit requested from carrier'),
 (3, 'Reallocated to another customer'),
 (4, 'Disputed with carrier'),
 (5, 'Service record corrected'),
 (6, 'Tariff updated');

INSERT INTO tDubiousValidResolution (ID, DubiousTypeID, DubiousResolutionID, Active) VALUES
 (1, 1, 1, 1), (2, 1, 2, 1), (3, 1, 5, 1),
 (4, 2, 1, 1), (5, 2, 4, 1),
 (6, 3, 1, 1), (7, 3, 2, 1), (8, 3, 4, 1), (9, 3, 6, 1),
 (10, 4, 1, 1), (11, 4, 3, 1), (12, 4, 5, 1),
 (13, 5, 1, 1), (14, 5, 4, 1), (15, 2, 3, 0);

INSERT INTO tDubiousResult (ID, BatchID, ServiceID, CustomerID, UserID, ResolutionID, DubiousTypeID, SupplierServiceCodeID)
WITH RECURSIVE d(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM d WHERE n < 90),
r AS (SELECT n, 1 + (n * 31) % 480 AS sid, 1 + n % 5 AS dt, 1081 + (n * 11) % 56 AS batch FROM d)
SELECT n, batch, sid, tGroup.CustomerID,
       CASE n % 3 WHEN 0 THEN 1 WHEN 1 THEN 3 ELSE 5 END,
       -- a resolution that is valid for the type; unresolved every eighth
       CASE WHEN n % 8 = 0 THEN NULL WHEN n % 2 = 0 THEN 1
            ELSE CASE dt WHEN 1 THEN 2 WHEN 2 THEN 4 WHEN 3 THEN 6 WHEN 4 THEN 3 ELSE 4 END END,
       dt,
       CASE tServiceID.ServiceTypeID WHEN 4 THEN 12 WHEN 5 THEN 13 WHEN 9 THEN 16 WHEN 10 THEN 16 WHEN 11 THEN 18 WHEN 12 THEN 19 ELSE 1 + n % 7 END
FROM r JOIN tServiceID ON tServiceID.ID = r.sid
       LEFT JOIN tCentre ON tCentre.ID = tServiceID.CustomerCentreID
       LEFT JOIN tDepartment ON tDepartment.ID = tCentre.DepartmentID
       LEFT JOIN tGroup ON tGroup.ID = tDepartment.GroupID;

INSERT INTO tOrigin (ID, Description, Active) VALUES
 (1, 'Brellinghast', 1),
 (2, 'Northgate', 1),
 (3, 'Easthaven', 1),
 (4, 'Chipperton', 1),
 (5, 'Redhill', 1),
 (6, 'Port Marlow', 1),
 (7, 'Kestrel Bay', 1),
 (8, 'Ashford', 1),
 (9, 'Pyrmount', 1),
 (10, 'Old Quay', 0);

INSERT INTO tDestination (ID, Description, Active) VALUES
 (1, 'Local', 1),
 (2, 'National', 1),
 (3, 'Mobile', 1),
 (4, 'International zone 1', 1),
 (5, 'International zone 2', 1),
 (6, 'International zone 3', 1),
 (7, 'Satellite', 1),
 (8, 'Freecall', 1),
 (9, 'Premium service', 1),
 (10, 'Pager', 0);

INSERT INTO tDialledNumber (ID, Description, Active) VALUES
 (1, '13 local rate numbers', 1),
 (2, '1800 freecall numbers', 1),
 (3, '000 emergency', 1),
 (4, 'Directory assistance', 1),
 (5, 'Premium 19 numbers', 1),
 (6, 'Operator connected calls', 1),
 (7, 'Talking clock', 0),
 (8, 'Reverse charge', 1);

------------------------------------------------------------------------------
-- Audit trail: two years of changes to the audited tables
------------------------------------------------------------------------------

-- 800 rows, newest about now. Inserts carry no old value, deactivations an
-- end date; a few rows are batch events with a description.
INSERT INTO tAuditTrail (AuditID, UserID, ActionTime, Action, TableName, TableID, FieldName, OldValue, NewValue, Description)
WITH RECURSIVE a(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM a WHERE n < 800),
e AS (SELECT n,
             CASE WHEN n % 40 = 0 THEN 5 WHEN n % 7 = 0 THEN 3 WHEN n % 11 = 0 THEN 2 ELSE 1 END AS act,
             n % 9 AS tab,
             strftime('%Y%m%d %H:%M:%S', '2023-06-05 08:00:00', '+' || (n * 1310 + (n * 7919) % 600) || ' minutes') AS t
      FROM a)
SELECT n,
       CASE n % 5 WHEN 0 THEN 'mnguyen' WHEN 1 THEN 'demo' WHEN 2 THEN 'demo' WHEN 3 THEN 'abrown' ELSE CASE WHEN n < 300 THEN 'kpatel' ELSE '3' END END,
       -- keep the hour within office hours
       substr(t, 1, 9) || printf('%02d', 8 + (n * 5) % 10) || substr(t, 12),
       act,
       CASE WHEN act = 5 THEN 'tBatch' ELSE
         CASE tab WHEN 0 THEN 'tCustomer' WHEN 1 THEN 'tServiceID' WHEN 2 THEN 'tServiceID' WHEN 3 THEN 'tSupplier'
                  WHEN 4 THEN 'tAgreement' WHEN 5 THEN 'tRate' WHEN 6 THEN 'tServiceType' WHEN 7 THEN 'tUserFunction' ELSE 'tCentre' END END,
       CASE WHEN act = 5 THEN 1081 + n % 60 ELSE
         CASE tab WHEN 0 THEN 1 + n % 14 WHEN 1 THEN 1 + (n * 13) % 480 WHEN 2 THEN 1 + (n * 29) % 480 WHEN 3 THEN 1 + n % 8
                  WHEN 4 THEN 1 + n % 9 WHEN 5 THEN 1 + n % 20 WHEN 6 THEN 1 + n % 20 WHEN 7 THEN 1 + n % 10 ELSE 1 + n % 54 END END,
       CASE WHEN act = 5 THEN 'BATCHSTATUSID'
            WHEN act = 2 THEN CASE tab WHEN 1 THEN 'TerminationDate' WHEN 2 THEN 'TerminationDate' WHEN 7 THEN 'FUNCTIONID' ELSE 'EndDate' END
            ELSE CASE tab WHEN 0 THEN CASE n % 3 WHEN 0 THEN 'FULLNAME' WHEN 1 THEN 'ADDRESS02' ELSE 'RATE' END
                          WHEN 1 THEN 'CUSTOMERCENTREID' WHEN 2 THEN CASE n % 2 WHEN 0 THEN 'DESCRIPTION' ELSE 'LOCATIONID' END
                          WHEN 3 THEN 'PLATINUMVENDORID' WHEN 4 THEN 'DESCRIPTION' WHEN 5 THEN 'COST'
                          WHEN 6 THEN 'EXPECTEDRENT' WHEN 7 THEN 'FUNCTIONID' ELSE 'DEPARTMENTID' END END,
       CASE WHEN act = 3 THEN NULL
            WHEN act = 5 THEN '4'
            WHEN act = 2 THEN CASE WHEN tab = 7 THEN CAST(1 + n % 16 AS TEXT) ELSE 'NULL' END
            ELSE CASE tab WHEN 0 THEN CASE n % 3 WHEN 0 THEN 'Dept of Health' WHEN 1 THEN 'Level 8' ELSE '1' END
                          WHEN 1 THEN CAST(1 + (n * 7) % 54 AS TEXT) WHEN 2 THEN CASE n % 2 WHEN 0 THEN 'RECEPTION' ELSE CAST(1 + n % 20 AS TEXT) END
                          WHEN 3 THEN 'VEND' || (n % 97) WHEN 4 THEN 'Fixed voice services (draft)' WHEN 5 THEN printf('%.2f', 25 + (n % 40))
                          WHEN 6 THEN printf('%.2f', 20 + (n % 90)) WHEN 7 THEN NULL ELSE CAST(1 + n % 27 AS TEXT) END END,
       CASE WHEN act = 5 THEN '5'
            WHEN act = 2 THEN CASE WHEN tab = 7 THEN NULL ELSE substr(t, 1, 8) END
            ELSE CASE tab WHEN 0 THEN CASE n % 3 WHEN 0 THEN 'Department of Health' WHEN 1 THEN 'Level 9' ELSE '2' END
                          WHEN 1 THEN CAST(1 + (n * 11) % 54 AS TEXT) WHEN 2 THEN CASE n % 2 WHEN 0 THEN 'RECEPTION DESK, GROUND FLOOR, NORTH WING OF THE MAIN BUILDING' ELSE CAST(1 + n % 19 AS TEXT) END
                          WHEN 3 THEN 'VEND' || (n % 89) WHEN 4 THEN 'Fixed voice services' WHEN 5 THEN printf('%.2f', 26 + (n % 40))
                          WHEN 6 THEN printf('%.2f', 21 + (n % 90)) WHEN 7 THEN CAST(1 + n % 16 AS TEXT) ELSE CAST(1 + n % 26 AS TEXT) END END,
       CASE WHEN act = 5 THEN 'Batch approved for payment after dubious review' END
FROM e;

COMMIT;
