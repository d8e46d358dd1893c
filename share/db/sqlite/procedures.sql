-- Kalvor reporting database, procedures of schema version 1 (SQLite).
-- Each "-- procedure: NAME" line starts one statement; parameters are ?1, ?2, ... in the listed order.
-- `kalvor-cli db init` keeps them in the table kalvor_procedures. They answer exactly as the PostgreSQL
-- functions do: kv_sum/kv_dec (the program's exact decimal functions) round like round(x, 3), dates come
-- as DD.MM.YYYY, text sorts in byte order, NULLs sort as there. doc/database.md tells what each returns.

-- procedure: REP_INN
SELECT o.inn AS inn FROM alcohol_objects o GROUP BY o.inn ORDER BY o.inn;

-- procedure: DELETE_OLD_KALVOR
DELETE FROM kalvor WHERE dkey >= ?1 AND dkey < ?1 || char(1114111) AND substr(dkey, 1, 16) = ?1;

-- procedure: DELETE_OLD_DECLARATION
DELETE FROM declaration WHERE dkey >= ?1 AND dkey < ?1 || char(1114111) AND substr(dkey, 1, 16) = ?1;

-- procedure: DELETE_ALCOHOL_OBJECTS
DELETE FROM alcohol_objects;

-- procedure: REP_KALVOR
SELECT r.ttn_numer AS ttn_numer, strftime('%d.%m.%Y', r.ttn_date) AS ttn_date, r.production_code AS production_code,
       r.production_name AS production_name, r.producer_name AS producer_name,
       r.production_number AS production_number, kv_dec(r.package_volume, 3) AS package_volume,
       r.package_count AS package_count,
       kv_dec(coalesce(r.volume, 0) + coalesce(r.return_volume, 0) + coalesce(r.other_coming, 0), 3) AS all_count,
       kv_dec(r.rest_volume, 3) AS rest_count, r.package_count_charges AS package_count_charges,
       kv_dec(r.return_volume_charges, 3) AS return_count, kv_dec(r.writeoff_volume_charges, 3) AS writeoff_count,
       kv_dec(r.other_charges, 3) AS other_count, kv_dec(r.rest, 3) AS rest_count_all
FROM declaration_rows r
WHERE NOT r.is_invoice AND r.inn12 = substr(?1 || '000000000000', 1, 12) AND r.period BETWEEN ?2 AND ?3
ORDER BY r.dkey;

-- procedure: REP_KALVOR_SUM
SELECT CAST(r.production_code AS TEXT) AS name, coalesce(sum(r.package_count), 0) AS sum_package_count,
       kv_sum(coalesce(r.volume, 0) + coalesce(r.return_volume, 0) + coalesce(r.other_coming, 0), 3) AS sum_all_count,
       kv_sum(r.rest_volume, 3) AS sum_rest_count, coalesce(sum(r.package_count_charges), 0) AS sum_package_count_charges,
       kv_sum(r.return_volume_charges, 3) AS sum_return_count, kv_sum(r.writeoff_volume_charges, 3) AS sum_writeoff_count,
       kv_sum(r.other_charges, 3) AS sum_other_count, kv_sum(r.rest, 3) AS sum_rest
FROM declaration_rows r
WHERE NOT r.is_invoice AND r.inn12 = substr(?1 || '000000000000', 1, 12) AND r.period BETWEEN ?2 AND ?3
GROUP BY r.production_code
ORDER BY r.production_code NULLS LAST;

-- procedure: REP_GET_KALVOR_INFO
SELECT k.organization_name AS organization_name, k.low_address AS low_address
FROM kalvor k
WHERE substr(k.dkey, 1, 12) = substr(?1 || '000000000000', 1, 12)
ORDER BY substr(k.dkey, 13, 4) DESC, k.row_id DESC
LIMIT 1;

-- procedure: REP_SUPPLIERS_BY_SUPPLIERS
SELECT r.supply_name AS supply_name, kv_sum(r.volume, 3) AS sum_volume, kv_sum(r.sum_coming, 3) AS sum_sum_coming
FROM declaration_rows r
WHERE r.is_position AND r.period BETWEEN ?1 AND ?2
GROUP BY r.supply_name
ORDER BY r.supply_name NULLS LAST;

-- procedure: REP_SUPPLIERS_BY_PRODUCTION_CODE
SELECT CAST(r.production_code AS TEXT) AS name, kv_sum(r.volume, 3) AS sum_volume,
       kv_sum(r.sum_coming, 3) AS sum_sum_coming
FROM declaration_rows r
WHERE r.is_position AND r.period BETWEEN ?1 AND ?2
GROUP BY r.production_code
ORDER BY r.production_code NULLS LAST;

-- procedure: REP_REGIONS_BY_REGIONS
SELECT CAST(r.region_code AS TEXT) AS name, kv_sum(r.volume, 3) AS sum_volume, kv_sum(r.sum_coming, 3) AS sum_sum_coming
FROM declaration_rows r
WHERE r.is_position AND r.period BETWEEN ?1 AND ?2
GROUP BY r.region_code
ORDER BY r.region_code NULLS LAST;

-- procedure: REP_REGIONS_BY_PRODUCTION_CODE
SELECT CAST(r.production_code AS TEXT) AS name, kv_sum(r.volume, 3) AS sum_volume,
       kv_sum(r.sum_coming, 3) AS sum_sum_coming
FROM declaration_rows r
WHERE r.is_position AND r.period BETWEEN ?1 AND ?2 AND coalesce(r.region_code, 0) <> 0
GROUP BY r.production_code
ORDER BY r.production_code NULLS LAST;

-- procedure: REP_IMPORT_PRODUCTION
SELECT CAST(r.production_code AS TEXT) AS name, kv_sum(r.volume, 3) AS sum_volume,
       kv_sum(r.sum_coming, 3) AS sum_sum_coming
FROM declaration_rows r
WHERE r.is_position AND r.period BETWEEN ?1 AND ?2 AND coalesce(r.region_code, 0) = 0
GROUP BY r.production_code
ORDER BY r.production_code NULLS LAST;

-- procedure: REP_REGIONS_BY_REGIONS_LITR
SELECT CAST(r.region_code AS TEXT) AS name, kv_sum(r.volume, 3, 10) AS sum_volume,
       kv_sum(r.sum_coming, 3) AS sum_sum_coming
FROM declaration_rows r
WHERE r.is_position AND r.period BETWEEN ?1 AND ?2
GROUP BY r.region_code
ORDER BY r.region_code NULLS LAST;

-- procedure: REP_REGIONS_BY_PRODUCTION_LITR_CODE
SELECT CAST(r.production_code AS TEXT) AS name, kv_sum(r.volume, 3, 10) AS sum_volume,
       kv_sum(r.sum_coming, 3) AS sum_sum_coming
FROM declaration_rows r
WHERE r.is_position AND r.period BETWEEN ?1 AND ?2
GROUP BY r.production_code
ORDER BY r.production_code NULLS LAST;

-- procedure: REP_PRODUCTIONS_BY_RAION
SELECT o.kod_raion AS name, kv_sum(r.volume_charges, 3) AS sum_volume, kv_sum(r.sum_charges, 3) AS sum_sum_coming
FROM declaration_rows r
LEFT JOIN (SELECT substr(a.inn || '000000000000', 1, 12) AS inn12, a.kod_object AS kod_object,
                  min(a.kod_raion) AS kod_raion
           FROM alcohol_objects a GROUP BY 1, 2) o
       ON o.inn12 = r.inn12 AND o.kod_object = r.department_code
WHERE NOT r.is_invoice AND r.period BETWEEN ?1 AND ?2
GROUP BY o.kod_raion
ORDER BY o.kod_raion NULLS LAST;

-- procedure: REP_PRODUCTIONS_BY_PROIZV
SELECT r.producer_name AS name, kv_sum(r.volume_charges, 3) AS sum_volume, kv_sum(r.sum_charges, 3) AS sum_sum_coming
FROM declaration_rows r
WHERE NOT r.is_invoice AND r.period BETWEEN ?1 AND ?2
GROUP BY r.producer_name
ORDER BY r.producer_name NULLS LAST;

-- procedure: REP_VODKA52
SELECT r.production_name AS name, kv_sum(r.volume_charges, 3) AS sum_volume, kv_sum(r.sum_charges, 3) AS sum_sum_coming
FROM declaration_rows r
CROSS JOIN (SELECT round(s.value * 100) AS kopecks FROM report_settings s WHERE s.name = 'vodka_price') p
WHERE NOT r.is_invoice AND r.period BETWEEN ?1 AND ?2 AND r.production_code = 1
  AND r.package_volume > 0 AND r.markup > 0
  AND round(r.markup * 100) * 500 < p.kopecks * round(r.package_volume * 1000)
GROUP BY r.production_name
ORDER BY r.production_name NULLS LAST;

-- procedure: REP_OBJECTS_BY_PERIOD
SELECT o.inn AS inn, o.kod_object AS kod_object, strftime('%d.%m.%Y', o.date_object) AS date_object,
       o.kod_raion AS kod_raion, o.status AS status, strftime('%d.%m.%Y', o.date_priost) AS date_priost,
       strftime('%d.%m.%Y', o.date_save) AS date_save
FROM alcohol_objects o
WHERE substr(o.inn || '000000000000', 1, 12) = substr(?3 || '000000000000', 1, 12)
  AND (o.date_object IS NULL OR kv_yymm(o.date_object) <= ?2)
  AND (o.status = 0 OR o.date_priost IS NULL OR kv_yymm(o.date_priost) >= ?1)
ORDER BY o.kod_object, o.date_object NULLS FIRST;
