-- The host shell's "ERP" database: what the host automation object answers the module from.
-- Table and column names follow the ERP's habit (two letters of the table, a three-digit number).

-- Host facts answered by the host object itself: VersionType, ProductID.
CREATE TABLE HOSTINFO (
    NAME  TEXT PRIMARY KEY NOT NULL,
    VALUE TEXT NOT NULL
);

-- Message texts by type letter and six-digit number; format texts for the module's arguments.
CREATE TABLE MESSAGES (
    MSGTYPE TEXT NOT NULL,
    MSGNO   TEXT NOT NULL,
    MSGTEXT TEXT NOT NULL,
    PRIMARY KEY (MSGTYPE, MSGNO)
);

-- System parameters per company (GetSysInfo): Sys001, Sys002, KVX002, SYS007-SYS010, SYS026, SYS181.
CREATE TABLE SYSPARAM (
    COMPANY TEXT NOT NULL,
    NAME    TEXT NOT NULL,
    VALUE   TEXT NOT NULL DEFAULT '',
    PRIMARY KEY (COMPANY, NAME)
);

-- Program register.
CREATE TABLE ADMMB (
    MB001 TEXT PRIMARY KEY NOT NULL, -- program id
    MB002 TEXT NOT NULL,             -- program name
    MB003 TEXT NOT NULL DEFAULT '',  -- system code
    MB004 TEXT NOT NULL DEFAULT 'N', -- Y: direct query not allowed
    MB005 TEXT NOT NULL DEFAULT 'N', -- Y: log every run of the program
    MB006 TEXT NOT NULL DEFAULT '',  -- version
    MB007 TEXT NOT NULL DEFAULT '',  -- remark
    MB008 TEXT NOT NULL DEFAULT ''   -- English name
);

-- Footer (kind 1) and sign-off (kind 2) texts.
CREATE TABLE CMSMS (
    MS001 TEXT NOT NULL,             -- kind: 1 footer, 2 sign-off
    MS002 TEXT NOT NULL,             -- code
    MS003 TEXT NOT NULL DEFAULT '',  -- name
    MS004 TEXT NOT NULL DEFAULT '',  -- line 1
    MS005 TEXT NOT NULL DEFAULT '',  -- line 2
    MS006 TEXT NOT NULL DEFAULT '',  -- line 3
    PRIMARY KEY (MS001, MS002)
);

-- Footer and sign-off defaults per program.
CREATE TABLE CMSMT (
    MT001 TEXT PRIMARY KEY NOT NULL, -- program id
    MT002 TEXT NOT NULL DEFAULT '',  -- footer code
    MT003 TEXT NOT NULL DEFAULT 'Y', -- footer may be changed
    MT004 TEXT NOT NULL DEFAULT '',  -- footer name
    MT005 TEXT NOT NULL DEFAULT '',  -- footer line 1
    MT006 TEXT NOT NULL DEFAULT '',  -- footer line 2
    MT007 TEXT NOT NULL DEFAULT '',  -- footer line 3
    MT008 TEXT NOT NULL DEFAULT '',  -- sign-off code
    MT009 TEXT NOT NULL DEFAULT 'Y', -- sign-off may be changed
    MT010 TEXT NOT NULL DEFAULT '',  -- sign-off name
    MT011 TEXT NOT NULL DEFAULT '',  -- sign-off line 1
    MT012 TEXT NOT NULL DEFAULT '',  -- sign-off line 2
    MT013 TEXT NOT NULL DEFAULT ''   -- sign-off line 3
);

-- Web report site and other client-wide settings by key.
CREATE TABLE CMSMA (
    MA001 TEXT PRIMARY KEY NOT NULL,
    MA002 TEXT NOT NULL DEFAULT ''
);

-- Factories.
CREATE TABLE CMSMB (
    MB001 TEXT PRIMARY KEY NOT NULL, -- factory code
    MB002 TEXT NOT NULL,             -- name
    MB003 TEXT NOT NULL DEFAULT ''   -- address
);

-- Production receipts (head).
CREATE TABLE MOCTF (
    TF001 TEXT NOT NULL,             -- receipt type
    TF002 TEXT NOT NULL,             -- receipt number
    TF003 TEXT NOT NULL,             -- receipt date YYYYMMDD
    TF004 TEXT NOT NULL DEFAULT '',  -- factory code
    TF005 TEXT NOT NULL DEFAULT '',  -- document date YYYYMMDD
    TF006 TEXT NOT NULL DEFAULT 'N', -- Y approved, N not approved, V void
    TF007 TEXT NOT NULL DEFAULT '',  -- remark
    PRIMARY KEY (TF001, TF002)
);

-- Users.
CREATE TABLE KVXMA (
    MA001 TEXT PRIMARY KEY NOT NULL, -- user id
    MA002 TEXT NOT NULL,             -- name
    MA003 TEXT NOT NULL DEFAULT '',  -- mobile number
    MA004 TEXT NOT NULL DEFAULT ''   -- mail address
);

-- Integration settings ('StartupPortal', 'Portal WS').
CREATE TABLE KVXINTMA (
    MA001 TEXT PRIMARY KEY NOT NULL,
    MA002 TEXT NOT NULL DEFAULT '',  -- description
    MA003 TEXT NOT NULL DEFAULT ''   -- value
);

-- Condition schemes known to the host (name, user, program), for the validator's GENES look-up.
CREATE TABLE GENES (
    ES001 TEXT NOT NULL,             -- scheme name
    ES002 TEXT NOT NULL,             -- user id
    ES003 TEXT NOT NULL,             -- program id
    PRIMARY KEY (ES001, ES002, ES003)
);

-- Phrases a user keeps for free-text fields (GetPhrase).
CREATE TABLE PHRASES (
    USERID TEXT NOT NULL,
    SEQ    INTEGER NOT NULL,
    PHRASE TEXT NOT NULL,
    PRIMARY KEY (USERID, SEQ)
);

-- Server descriptions of files that workstations download (GetFileList).
CREATE TABLE FILELIST (
    FILENAME TEXT PRIMARY KEY NOT NULL, -- lower case, without directory
    MODIFY   TEXT NOT NULL DEFAULT '',  -- modification stamp
    PATH     TEXT NOT NULL DEFAULT ''   -- server path of the file
);

-- Look-up definitions: the statement answering a table and key. PURPOSE 'V' serves the validator
-- (CheckValue/QueryData: the first row is the record), 'F' the look-up window (F2GetData: the rows).
-- Parameters ?1, ?2, ... are bound from the caller's parameter array.
CREATE TABLE LOOKUPDEF (
    LTABLE  TEXT NOT NULL,
    LKEY    TEXT NOT NULL,
    PURPOSE TEXT NOT NULL CHECK (PURPOSE IN ('V', 'F')),
    SQLTEXT TEXT NOT NULL,
    PRIMARY KEY (LTABLE, LKEY, PURPOSE)
);

-- The look-ups the module asks for.
INSERT INTO LOOKUPDEF VALUES
 ('ADMMB', '01', 'V', 'SELECT MB002, MB001, MB003, MB006, MB005, MB004, MB007, MB008 FROM ADMMB WHERE MB001 = upper(?1)'),
 ('ADMMB', '11', 'V', 'SELECT MB001, MB002, MB003, MB004, MB005 FROM ADMMB WHERE MB001 = upper(?1)'),
 ('CMSMB', '01', 'V', 'SELECT MB001, MB002, MB003 FROM CMSMB WHERE MB001 = ?1'),
 ('CMSMB', '01', 'F', 'SELECT MB001, MB002, MB003 FROM CMSMB WHERE ?1 = '''' OR MB001 = ?1 ORDER BY MB001'),
 ('CMSMT', '01', 'V', 'SELECT MT002, MT003, MT004, MT005, MT006, MT007, MT008, MT009, MT010, MT011, MT012, MT013 FROM CMSMT WHERE MT001 = upper(?1)'),
 ('CMSMS', '01', 'V', 'SELECT MS002, MS004, MS005, MS006, MS003 FROM CMSMS WHERE MS001 = ?1 AND MS002 = ?2'),
 ('CMSMS', '01', 'F', 'SELECT MS002, MS003, MS004, MS005, MS006 FROM CMSMS WHERE MS001 = ?1 ORDER BY MS002'),
 ('CMSMA', '02', 'V', 'SELECT MA002, MA001 FROM CMSMA WHERE MA001 = ''WebReportSite'' AND ?1 IS NOT NULL'),
 ('GENES', '01', 'V', 'SELECT ES001, ES002, ES003 FROM GENES WHERE ES001 = ?1 AND ES002 = ?2 AND ES003 = upper(?3)'),
 ('MOCTF', '01', 'F', 'SELECT TF001, TF002, TF003, TF004, TF006 FROM MOCTF WHERE (?1 = '''' OR TF001 = ?1) AND (?2 = '''' OR TF002 = ?2) ORDER BY TF001, TF002'),
 ('KVXMA', '04', 'F', 'SELECT MA001, MA002, MA003, MA004 FROM KVXMA ORDER BY MA001');
