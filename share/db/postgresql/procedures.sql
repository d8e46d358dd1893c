-- Kalvor reporting database, procedures of schema version 1 (PostgreSQL).
-- `kalvor-cli db init` drops and makes each anew, so this file may change without an upgrade script.
-- Names, parameters and result columns are the program's; doc/database.md tells what each returns.
-- Decimals come rounded to their scale (round(x, 3)), dates as DD.MM.YYYY text, names in byte order,
-- so that the SQLite procedures give the very same text.

-- (year - 2000) * 100 + month of a date: the YYMM of the keys.
DROP FUNCTION IF EXISTS kv_yymm;
CREATE FUNCTION kv_yymm(d date) RETURNS integer LANGUAGE sql IMMUTABLE AS $$
    SELECT (extract(year FROM d)::integer - 2000) * 100 + extract(month FROM d)::integer
$$;

-- The filers to take in: every INN of alcohol_objects, once.
DROP FUNCTION IF EXISTS rep_inn;
CREATE FUNCTION rep_inn() RETURNS TABLE (inn text) LANGUAGE sql STABLE AS $$
    SELECT o.inn FROM alcohol_objects o GROUP BY o.inn ORDER BY o.inn COLLATE "C"
$$;

-- The requisites of one report key (INN of 12 + YYMM).
DROP FUNCTION IF EXISTS delete_old_kalvor;
CREATE FUNCTION delete_old_kalvor(p_key text) RETURNS void LANGUAGE sql AS $$
    DELETE FROM kalvor WHERE left(dkey, 16) = p_key
$$;

-- The declaration rows of one report key.
DROP FUNCTION IF EXISTS delete_old_declaration;
CREATE FUNCTION delete_old_declaration(p_key text) RETURNS void LANGUAGE sql AS $$
    DELETE FROM declaration WHERE left(dkey, 16) = p_key
$$;

-- Empties alcohol_objects before a new list is imported.
DROP FUNCTION IF EXISTS delete_alcohol_objects;
CREATE FUNCTION delete_alcohol_objects() RETURNS void LANGUAGE sql AS $$
    DELETE FROM alcohol_objects
$$;

-- One filer's positions and transfers of the span, in key order.
DROP FUNCTION IF EXISTS rep_kalvor;
CREATE FUNCTION rep_kalvor(p_inn text, p_start integer, p_end integer)
RETURNS TABLE (ttn_numer text, ttn_date text, production_code integer, production_name text, producer_name text,
               production_number text, package_volume numeric, package_count integer, all_count numeric,
               rest_count numeric, package_count_charges integer, return_count numeric, writeoff_count numeric,
               other_count numeric, rest_count_all numeric)
LANGUAGE sql STABLE AS $$
    SELECT r.ttn_numer, to_char(r.ttn_date, 'DD.MM.YYYY'), r.production_code, r.production_name,
           r.producer_name, r.production_number, round(r.package_volume, 3), r.package_count,
           round(coalesce(r.volume, 0) + coalesce(r.return_volume, 0) + coalesce(r.other_coming, 0), 3),
           round(r.rest_volume, 3), r.package_count_charges, round(r.return_volume_charges, 3),
           round(r.writeoff_volume_charges, 3), round(r.other_charges, 3), round(r.rest, 3)
    FROM declaration_rows r
    WHERE NOT r.is_invoice AND r.inn12 = rpad(p_inn, 12, '0') AND r.period BETWEEN p_start AND p_end
    ORDER BY r.dkey
$$;

-- The same rows summed by kind of production.
DROP FUNCTION IF EXISTS rep_kalvor_sum;
CREATE FUNCTION rep_kalvor_sum(p_inn text, p_start integer, p_end integer)
RETURNS TABLE (name text, sum_package_count bigint, sum_all_count numeric, sum_rest_count numeric,
               sum_package_count_charges bigint, sum_return_count numeric, sum_writeoff_count numeric,
               sum_other_count numeric, sum_rest numeric)
LANGUAGE sql STABLE AS $$
    SELECT r.production_code::text, coalesce(sum(r.package_count), 0),
           round(coalesce(sum(coalesce(r.volume, 0) + coalesce(r.return_volume, 0) + coalesce(r.other_coming, 0)), 0), 3),
           round(coalesce(sum(r.rest_volume), 0), 3), coalesce(sum(r.package_count_charges), 0),
           round(coalesce(sum(r.return_volume_charges), 0), 3), round(coalesce(sum(r.writeoff_volume_charges), 0), 3),
           round(coalesce(sum(r.other_charges), 0), 3), round(coalesce(sum(r.rest), 0), 3)
    FROM declaration_rows r
    WHERE NOT r.is_invoice AND r.inn12 = rpad(p_inn, 12, '0') AND r.period BETWEEN p_start AND p_end
    GROUP BY r.production_code
    ORDER BY r.production_code NULLS LAST
$$;

-- The filer's name and legal address from its latest requisites (latest period, then latest upload).
DROP FUNCTION IF EXISTS rep_get_kalvor_info;
CREATE FUNCTION rep_get_kalvor_info(p_inn text) RETURNS TABLE (organization_name text, low_address text)
LANGUAGE sql STABLE AS $$
    SELECT k.organization_name, k.low_address
    FROM kalvor k
    WHERE left(k.dkey, 12) = rpad(p_inn, 12, '0')
    ORDER BY substr(k.dkey, 13, 4) DESC, k.row_id DESC
    LIMIT 1
$$;

-- Coming from suppliers (position rows: litres received and the purchase sum) of all filers, by supplier.
DROP FUNCTION IF EXISTS rep_suppliers_by_suppliers;
CREATE FUNCTION rep_suppliers_by_suppliers(p_start integer, p_end integer)
RETURNS TABLE (supply_name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.supply_name, round(coalesce(sum(r.volume), 0), 3), round(coalesce(sum(r.sum_coming), 0), 3)
    FROM declaration_rows r
    WHERE r.is_position AND r.period BETWEEN p_start AND p_end
    GROUP BY r.supply_name
    ORDER BY r.supply_name COLLATE "C" NULLS LAST
$$;

-- The same coming by kind of production.
DROP FUNCTION IF EXISTS rep_suppliers_by_production_code;
CREATE FUNCTION rep_suppliers_by_production_code(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.production_code::text, round(coalesce(sum(r.volume), 0), 3), round(coalesce(sum(r.sum_coming), 0), 3)
    FROM declaration_rows r
    WHERE r.is_position AND r.period BETWEEN p_start AND p_end
    GROUP BY r.production_code
    ORDER BY r.production_code NULLS LAST
$$;

-- Coming by the producer's region.
DROP FUNCTION IF EXISTS rep_regions_by_regions;
CREATE FUNCTION rep_regions_by_regions(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.region_code::text, round(coalesce(sum(r.volume), 0), 3), round(coalesce(sum(r.sum_coming), 0), 3)
    FROM declaration_rows r
    WHERE r.is_position AND r.period BETWEEN p_start AND p_end
    GROUP BY r.region_code
    ORDER BY r.region_code NULLS LAST
$$;

-- Coming from Russian regions (a region code other than 0) by kind of production.
DROP FUNCTION IF EXISTS rep_regions_by_production_code;
CREATE FUNCTION rep_regions_by_production_code(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.production_code::text, round(coalesce(sum(r.volume), 0), 3), round(coalesce(sum(r.sum_coming), 0), 3)
    FROM declaration_rows r
    WHERE r.is_position AND r.period BETWEEN p_start AND p_end AND coalesce(r.region_code, 0) <> 0
    GROUP BY r.production_code
    ORDER BY r.production_code NULLS LAST
$$;

-- Imported coming (no region code, or 0) by kind of production.
DROP FUNCTION IF EXISTS rep_import_production;
CREATE FUNCTION rep_import_production(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.production_code::text, round(coalesce(sum(r.volume), 0), 3), round(coalesce(sum(r.sum_coming), 0), 3)
    FROM declaration_rows r
    WHERE r.is_position AND r.period BETWEEN p_start AND p_end AND coalesce(r.region_code, 0) = 0
    GROUP BY r.production_code
    ORDER BY r.production_code NULLS LAST
$$;

-- Coming by region in decalitres (litres / 10).
DROP FUNCTION IF EXISTS rep_regions_by_regions_litr;
CREATE FUNCTION rep_regions_by_regions_litr(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.region_code::text, round(coalesce(sum(r.volume), 0) / 10, 3), round(coalesce(sum(r.sum_coming), 0), 3)
    FROM declaration_rows r
    WHERE r.is_position AND r.period BETWEEN p_start AND p_end
    GROUP BY r.region_code
    ORDER BY r.region_code NULLS LAST
$$;

-- Coming by kind of production in decalitres.
DROP FUNCTION IF EXISTS rep_regions_by_production_litr_code;
CREATE FUNCTION rep_regions_by_production_litr_code(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.production_code::text, round(coalesce(sum(r.volume), 0) / 10, 3), round(coalesce(sum(r.sum_coming), 0), 3)
    FROM declaration_rows r
    WHERE r.is_position AND r.period BETWEEN p_start AND p_end
    GROUP BY r.production_code
    ORDER BY r.production_code NULLS LAST
$$;

-- Retail sales (positions and transfers: litres sold and the retail sum) by the district of the
-- selling subdivision, found in alcohol_objects by the filer's INN and the subdivision code; sales of
-- subdivisions not listed there come last with an empty name.
DROP FUNCTION IF EXISTS rep_productions_by_raion;
CREATE FUNCTION rep_productions_by_raion(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT o.kod_raion, round(coalesce(sum(r.volume_charges), 0), 3), round(coalesce(sum(r.sum_charges), 0), 3)
    FROM declaration_rows r
    LEFT JOIN (SELECT rpad(a.inn, 12, '0') AS inn12, a.kod_object, min(a.kod_raion COLLATE "C") AS kod_raion
               FROM alcohol_objects a GROUP BY 1, 2) o
           ON o.inn12 = r.inn12 AND o.kod_object = r.department_code
    WHERE NOT r.is_invoice AND r.period BETWEEN p_start AND p_end
    GROUP BY o.kod_raion
    ORDER BY o.kod_raion COLLATE "C" NULLS LAST
$$;

-- Retail sales by producer.
DROP FUNCTION IF EXISTS rep_productions_by_proizv;
CREATE FUNCTION rep_productions_by_proizv(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.producer_name, round(coalesce(sum(r.volume_charges), 0), 3), round(coalesce(sum(r.sum_charges), 0), 3)
    FROM declaration_rows r
    WHERE NOT r.is_invoice AND r.period BETWEEN p_start AND p_end
    GROUP BY r.producer_name
    ORDER BY r.producer_name COLLATE "C" NULLS LAST
$$;

-- Retail sales of cheap vodka (kind 1) by product: the retail price brought to half a litre is below
-- report_settings' vodka_price. Compared in whole kopecks and millilitres, as the SQLite one does.
DROP FUNCTION IF EXISTS rep_vodka52;
CREATE FUNCTION rep_vodka52(p_start integer, p_end integer)
RETURNS TABLE (name text, sum_volume numeric, sum_sum_coming numeric) LANGUAGE sql STABLE AS $$
    SELECT r.production_name, round(coalesce(sum(r.volume_charges), 0), 3), round(coalesce(sum(r.sum_charges), 0), 3)
    FROM declaration_rows r
    CROSS JOIN (SELECT round(s.value * 100) AS kopecks FROM report_settings s WHERE s.name = 'vodka_price') p
    WHERE NOT r.is_invoice AND r.period BETWEEN p_start AND p_end AND r.production_code = 1
      AND r.package_volume > 0 AND r.markup > 0
      AND round(r.markup * 100) * 500 < p.kopecks * round(r.package_volume * 1000)
    GROUP BY r.production_name
    ORDER BY r.production_name COLLATE "C" NULLS LAST
$$;

-- The filer's trading objects registered by the end of the span and not suspended before its start
-- (status 0, or no suspension date, or a suspension date in or after the first month).
DROP FUNCTION IF EXISTS rep_objects_by_period;
CREATE FUNCTION rep_objects_by_period(p_start integer, p_end integer, p_inn text)
RETURNS TABLE (inn text, kod_object text, date_object text, kod_raion text, status integer, date_priost text,
               date_save text)
LANGUAGE sql STABLE AS $$
    SELECT o.inn, o.kod_object, to_char(o.date_object, 'DD.MM.YYYY'), o.kod_raion, o.status,
           to_char(o.date_priost, 'DD.MM.YYYY'), to_char(o.date_save, 'DD.MM.YYYY')
    FROM alcohol_objects o
    WHERE rpad(o.inn, 12, '0') = rpad(p_inn, 12, '0')
      AND (o.date_object IS NULL OR kv_yymm(o.date_object) <= p_end)
      AND (o.status = 0 OR o.date_priost IS NULL OR kv_yymm(o.date_priost) >= p_start)
    ORDER BY o.kod_object COLLATE "C", o.date_object NULLS FIRST
$$;
