-- Kalvor reporting database, tables of schema version 1 (PostgreSQL).
-- Run by `kalvor-cli db init` inside one transaction, after the version table kalvor_schema exists.

-- The filers' trading objects; the batch upload takes in the filers listed here.
CREATE TABLE alcohol_objects (
    inn         text NOT NULL,
    kod_object  text NOT NULL,
    date_object date,
    kod_raion   text,
    status      integer NOT NULL DEFAULT 0,
    date_priost date,
    date_save   date
);
CREATE INDEX alcohol_objects_inn ON alcohol_objects (inn);

-- Rows of the handed-in declarations, keyed by dkey: INN (12) + YYMM + "00" + invoice, position and
-- transfer numbers. Byte order ("C") keeps keys in the order the program keeps them. A key is not made
-- unique: a report whose file holds a key twice is taken in as it is rather than refused.
CREATE TABLE declaration (
    dkey                          text COLLATE "C" NOT NULL,
    supply_name                   text,
    license                       text,
    license_date                  timestamp(3),
    ttn_numer                     text,
    ttn_date                      timestamp(3),
    loading_address               text,
    production_name               text,
    production_number             text,
    production_code               integer,
    producer_name                 text,
    region_code                   integer,
    department_code               text,
    return_volume                 numeric,
    other_coming                  numeric,
    department_code_inner         text,
    alcohol                       numeric,
    package_volume                numeric,
    package_count                 integer,
    volume                        numeric,
    purches_price                 numeric,
    sum_coming                    numeric,
    rest_volume                   numeric,
    package_count_charges         integer,
    volume_charges                numeric,
    markup                        numeric,
    sum_charges                   numeric,
    return_volume_charges         numeric,
    writeoff_volume_charges       numeric,
    other_charges                 numeric,
    department_code_inner_charges text,
    rest                          numeric,
    version                       text
);
-- An upload replaces the rows of its report key (the first 16 characters).
CREATE INDEX declaration_report_key ON declaration (left(dkey, 16));

-- The filers' requisites, one row per upload (the "log" upload adds rows with the same key); row_id
-- keeps their order.
CREATE TABLE kalvor (
    organization_name text,
    dkey              text COLLATE "C" NOT NULL,
    low_address       text,
    post_address      text,
    department_count  integer,
    license_serial    text,
    license_number    text,
    license_date      timestamp(3),
    license_deadline  timestamp(3),
    name_leader       text,
    name_counter      text,
    row_id            bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY
);
CREATE INDEX kalvor_report_key ON kalvor (left(dkey, 16));

-- Values the report procedures use that the operator may change, e.g.
--   UPDATE report_settings SET value = 125 WHERE name = 'vodka_price';
CREATE TABLE report_settings (
    name  text PRIMARY KEY,
    value numeric NOT NULL
);
-- Retail price of half a litre of vodka below which REP_VODKA52 counts a sale as cheap.
INSERT INTO report_settings (name, value) VALUES ('vodka_price', 52);

-- The declaration rows with what the reports tell from the key: the INN (characters 1-12), the period
-- YYMM (13-16, as a number when they are four digits) and the row kind (an invoice has "00000000" in
-- 25-32, a position has a number in 25-30 and "00" in 31-32, anything else is a transfer).
CREATE VIEW declaration_rows AS
SELECT d.*,
       left(d.dkey, 12) AS inn12,
       CASE WHEN substr(d.dkey, 13, 4) ~ '^[0-9]{4}$' THEN substr(d.dkey, 13, 4)::integer END AS period,
       substr(d.dkey, 25, 8) = '00000000' AS is_invoice,
       substr(d.dkey, 25, 6) <> '000000' AND substr(d.dkey, 31, 2) = '00' AS is_position
FROM declaration d;
