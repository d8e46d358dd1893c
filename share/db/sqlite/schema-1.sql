-- Kalvor reporting database, tables of schema version 1 (SQLite: the embedded database in the
-- workspace). The same tables as the PostgreSQL ones; run by `kalvor-cli db init` in one transaction.

-- The filers' trading objects; the batch upload takes in the filers listed here. Dates as YYYY-MM-DD.
CREATE TABLE alcohol_objects (
    inn         TEXT NOT NULL,
    kod_object  TEXT NOT NULL,
    date_object TEXT,
    kod_raion   TEXT,
    status      INTEGER NOT NULL DEFAULT 0,
    date_priost TEXT,
    date_save   TEXT
);
CREATE INDEX alcohol_objects_inn ON alcohol_objects (inn);

-- Rows of the handed-in declarations, keyed by dkey (not unique, as in the PostgreSQL script).
-- Decimals are numbers; timestamps are text YYYY-MM-DD HH:MM:SS[.mmm].
CREATE TABLE declaration (
    dkey                          TEXT NOT NULL,
    supply_name                   TEXT,
    license                       TEXT,
    license_date                  TEXT,
    ttn_numer                     TEXT,
    ttn_date                      TEXT,
    loading_address               TEXT,
    production_name               TEXT,
    production_number             TEXT,
    production_code               INTEGER,
    producer_name                 TEXT,
    region_code                   INTEGER,
    department_code               TEXT,
    return_volume                 NUMERIC,
    other_coming                  NUMERIC,
    department_code_inner         TEXT,
    alcohol                       NUMERIC,
    package_volume                NUMERIC,
    package_count                 INTEGER,
    volume                        NUMERIC,
    purches_price                 NUMERIC,
    sum_coming                    NUMERIC,
    rest_volume                   NUMERIC,
    package_count_charges         INTEGER,
    volume_charges                NUMERIC,
    markup                        NUMERIC,
    sum_charges                   NUMERIC,
    return_volume_charges         NUMERIC,
    writeoff_volume_charges       NUMERIC,
    other_charges                 NUMERIC,
    department_code_inner_charges TEXT,
    rest                          NUMERIC,
    version                       TEXT
);
CREATE INDEX declaration_dkey ON declaration (dkey);

-- The filers' requisites, one row per upload; row_id keeps their order.
CREATE TABLE kalvor (
    organization_name TEXT,
    dkey              TEXT NOT NULL,
    low_address       TEXT,
    post_address      TEXT,
    department_count  INTEGER,
    license_serial    TEXT,
    license_number    TEXT,
    license_date      TEXT,
    license_deadline  TEXT,
    name_leader       TEXT,
    name_counter      TEXT,
    row_id            INTEGER PRIMARY KEY
);
CREATE INDEX kalvor_dkey ON kalvor (dkey);

-- Values the report procedures use that the operator may change.
CREATE TABLE report_settings (
    name  TEXT PRIMARY KEY,
    value NUMERIC NOT NULL
);
INSERT INTO report_settings (name, value) VALUES ('vodka_price', 52);

-- What the reports tell from the key (see the PostgreSQL script).
CREATE VIEW declaration_rows AS
SELECT d.*,
       substr(d.dkey, 1, 12) AS inn12,
       CASE WHEN substr(d.dkey, 13, 4) GLOB '[0-9][0-9][0-9][0-9]' THEN CAST(substr(d.dkey, 13, 4) AS INTEGER) END
           AS period,
       substr(d.dkey, 25, 8) = '00000000' AS is_invoice,
       substr(d.dkey, 25, 6) <> '000000' AND substr(d.dkey, 31, 2) = '00' AS is_position
FROM declaration d;

-- The procedures, as named statements; `db init` fills it from procedures.sql.
CREATE TABLE kalvor_procedures (
    name      TEXT PRIMARY KEY COLLATE NOCASE,
    statement TEXT NOT NULL
);
