-- =====================================================================
-- Trelmavondis: country-sized data set for the benchmarks
--
-- Run on a database that already holds data/schema/01_schema.sql and
-- 02_reference.sql (03_demo.sql is optional: the new rows take their
-- IDs after whatever the generators have handed out). The script
--   1. replaces the sample provinces, municipalities and population
--      entities with 52 provinces, 8,100 municipalities and about
--      61,000 population entities,
--   2. adds 100,000 installations, each with 2 cabinets, 12 branches
--      and 2 attachments (1.7 million rows in all).
-- Installations of a previous demo that point at the removed sample
-- locations keep their codes, which then show no name.
--
-- Location codes follow the program rules: a municipality is
-- <prefix>0000, its entities <prefix>0001 ... where <prefix> is a
-- three-digit number unique within the province.
-- Expedient numbers are 9 followed by the eight-digit installation ID
-- and the check digit, so they are unique and pass the check.
--
-- All values are derived from loop counters: every run gives the same
-- data. Nothing is committed here: the caller commits (isql: COMMIT,
-- the schema loader: after the file). make_country_db.sh does it all.
-- Time: about 20 s with isql-fb and the embedded engine on the 2-core
-- development machine (one core busy). The database file grows to
-- about 250 MB.
-- This file is UTF-8 (isql-fb -ch UTF8).
-- =====================================================================


-- ---------------------------------------------------------------------
-- 1. Locations
-- ---------------------------------------------------------------------

DELETE FROM VORTAN_ENTIDAD_POBLACION;
DELETE FROM VORTAN_PROVINCIA;

INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('01', 'Araba/Álava');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('02', 'Albacete');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('03', 'Alicante/Alacant');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('04', 'Almería');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('05', 'Ávila');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('06', 'Badajoz');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('07', 'Illes Balears');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('08', 'Barcelona');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('09', 'Burgos');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('10', 'Cáceres');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('11', 'Cádiz');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('12', 'Castellón/Castelló');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('13', 'Ciudad Real');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('14', 'Córdoba');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('15', 'A Coruña');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('16', 'Cuenca');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('17', 'Girona');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('18', 'Granada');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('19', 'Guadalajara');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('20', 'Gipuzkoa');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('21', 'Huelva');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('22', 'Huesca');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('23', 'Jaén');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('24', 'León');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('25', 'Lleida');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('26', 'La Rioja');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('27', 'Lugo');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('28', 'Madrid');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('29', 'Málaga');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('30', 'Murcia');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('31', 'Navarra');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('32', 'Ourense');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('33', 'Asturias');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('34', 'Palencia');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('35', 'Las Palmas');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('36', 'Pontevedra');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('37', 'Salamanca');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('38', 'Santa Cruz de Tenerife');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('39', 'Cantabria');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('40', 'Segovia');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('41', 'Sevilla');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('42', 'Soria');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('43', 'Tarragona');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('44', 'Teruel');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('45', 'Toledo');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('46', 'Valencia/València');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('47', 'Valladolid');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('48', 'Bizkaia');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('49', 'Zamora');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('50', 'Zaragoza');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('51', 'Ceuta');
INSERT INTO VORTAN_PROVINCIA (CODIGO_PROVINCIA, NOMBRE_PROVINCIA) VALUES ('52', 'Melilla');

SET TERM ^ ;

-- Municipalities and their population entities.
--   Provinces 01 to 40 get 156 municipalities, 41 to 52 get 155:
--   8,100 in all. Municipality M of province P has the prefix
--   6*M - (P mod 5), between 002 and 936, distinct within the province.
--   It has 1 + ((7*M + 3*P) mod 14) entities (1 to 14, 7.5 on average).
--   Its first entity carries the municipality name (the main nucleus).
-- Names are made of fixed-width words picked by the counters: a first
-- word (24) and a second part (20), the pair being unique within a
-- province.
EXECUTE BLOCK
AS
    DECLARE NOMBRES  VARCHAR(400) = 'Villanueva  Torrejón    Castrillo   Puebla      Fuentes     Valdemora   Navalperal  Alcolea     Santibáñez  Villafranca Cabezón     Quintana    Almonacid   Montejo     Peñaranda   Torrecilla  Villarejo   Cañada      Aldeanueva  Mirabel     Herrera     Olmedilla   Robledo     Casarrubios ';
    DECLARE APELLIDOS VARCHAR(500) = 'del Río             de la Sierra        de Arriba           del Campo           de los Infantes     de la Vega          del Monte           de Abajo            del Rey             de San Juan         de la Frontera      del Valle           de los Caballeros   de Henares          de la Reina         del Pinar           de Duero            de Tajo             de Ebro             del Conde           ';
    DECLARE BARRIOS  VARCHAR(300) = 'Los Molinos     El Barrio       La Estación     Las Casas       El Cerro        La Ermita       Los Llanos      El Molino       La Dehesa       Las Eras        El Puerto       La Granja       Los Pinos       San Roque       Santa Ana       La Cruz         ';
    DECLARE P INTEGER;
    DECLARE M INTEGER;
    DECLARE E INTEGER;
    DECLARE NMUN INTEGER;
    DECLARE NENT INTEGER;
    DECLARE PROV VARCHAR(2);
    DECLARE PREFIJO VARCHAR(3);
    DECLARE NOMBRE VARCHAR(250);
BEGIN
    P = 1;
    WHILE (P <= 52) DO
    BEGIN
        PROV = LPAD(P, 2, '0');
        NMUN = IIF(P <= 40, 156, 155);
        M = 1;
        WHILE (M <= NMUN) DO
        BEGIN
            PREFIJO = LPAD(6 * M - MOD(P, 5), 3, '0');
            NOMBRE = TRIM(SUBSTRING(NOMBRES FROM 1 + 12 * MOD(M + P, 24) FOR 12)) || ' ' ||
                     TRIM(SUBSTRING(APELLIDOS FROM 1 + 20 * MOD((M + P) / 24 + P, 20) FOR 20));
            INSERT INTO VORTAN_ENTIDAD_POBLACION (CODIGO_PROVINCIA, CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION)
                VALUES (:PROV, :PREFIJO || '0000', :NOMBRE);
            INSERT INTO VORTAN_ENTIDAD_POBLACION (CODIGO_PROVINCIA, CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION)
                VALUES (:PROV, :PREFIJO || '0001', :NOMBRE);
            NENT = 1 + MOD(7 * M + 3 * P, 14);
            E = 2;
            WHILE (E <= NENT) DO
            BEGIN
                INSERT INTO VORTAN_ENTIDAD_POBLACION (CODIGO_PROVINCIA, CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION)
                    VALUES (:PROV, :PREFIJO || LPAD(:E, 4, '0'),
                            TRIM(SUBSTRING(:BARRIOS FROM 1 + 16 * MOD(:E + :M, 16) FOR 16)));
                E = E + 1;
            END
            M = M + 1;
        END
        P = P + 1;
    END
END^


-- ---------------------------------------------------------------------
-- 2. Installations with their cabinets, branches and attachments
--   Installation I (1 to 100,000) lies in province 1 + (I mod 52), in
--   one of its municipalities and in one of the entities of that
--   municipality, computed with the same formulas as above, so every
--   code exists. Dates spread over 2020 to 2025, all not sent (N).
--   IDs: each generator is advanced by the number of rows first, and
--   the rows take the IDs just handed out.
-- ---------------------------------------------------------------------

EXECUTE BLOCK
AS
    DECLARE N INTEGER = 100000;
    DECLARE CALLES VARCHAR(600) = 'CALLE MAYOR                   AVENIDA DE LA CONSTITUCIÓN    CALLE REAL                    PLAZA DE ESPAÑA               CALLE DEL SOL                 CALLE NUEVA                   AVENIDA DE ANDALUCÍA          CALLE DE LA IGLESIA           CALLE SAN JOSÉ                CAMINO DE LOS HUERTOS         CALLE DEL CARMEN              RONDA DE SAN FRANCISCO        CALLE DE CERVANTES            PASEO DE LA ESTACIÓN          CALLE DE LA PAZ               TRAVESÍA DEL MOLINO           ';
    DECLARE NOMBRES VARCHAR(200) = 'JOSÉ      MARÍA     ANTONIO   CARMEN    MANUEL    ANA       FRANCISCO LAURA     DAVID     ISABEL    JAVIER    LUCÍA     ';
    DECLARE APELLIDOS VARCHAR(200) = 'GARCÍA    MARTÍNEZ  LÓPEZ     SÁNCHEZ   PÉREZ     GÓMEZ     MARTÍN    JIMÉNEZ   RUIZ      HERNÁNDEZ DÍAZ      MORENO    MUÑOZ     ÁLVAREZ   ROMERO    NAVARRO   ';
    DECLARE BASE_INST INTEGER;
    DECLARE BASE_ARM INTEGER;
    DECLARE BASE_DER INTEGER;
    DECLARE BASE_ADJ INTEGER;
    DECLARE I INTEGER;
    DECLARE K INTEGER;
    DECLARE ID INTEGER;
    DECLARE P INTEGER;
    DECLARE M INTEGER;
    DECLARE E INTEGER;
    DECLARE PREFIJO VARCHAR(3);
    DECLARE T INTEGER;
    DECLARE S INTEGER;
    DECLARE EXPEDIENTE VARCHAR(25);
    DECLARE DNI INTEGER;
    DECLARE CALLE VARCHAR(250);
BEGIN
    BASE_INST = GEN_ID(INSTALACION, N) - N;
    BASE_ARM = GEN_ID(INSTALACION_ARMARIO, 2 * N) - 2 * N;
    BASE_DER = GEN_ID(INSTALACION_DERIVACION, 12 * N) - 12 * N;
    BASE_ADJ = GEN_ID(NINSTALCION_ADJUNTOS, 2 * N) - 2 * N;

    I = 1;
    WHILE (I <= N) DO
    BEGIN
        ID = BASE_INST + I;

        -- Location: same formulas as the location block.
        P = 1 + MOD(I, 52);
        M = 1 + MOD(I / 52, IIF(P <= 40, 156, 155));
        PREFIJO = LPAD(6 * M - MOD(P, 5), 3, '0');
        E = 1 + MOD(I, 1 + MOD(7 * M + 3 * P, 14));

        -- Expedient number: 9, the ID in eight digits, the check digit
        -- (weights 2 9 8 7 6 5 4 3 2, remainder of 11, 10 gives 0).
        S = 2 * 9;
        T = ID;
        K = 0;
        WHILE (K < 8) DO
        BEGIN
            S = S + MOD(T, 10) * (2 + K);
            T = T / 10;
            K = K + 1;
        END
        S = MOD(S, 11);
        EXPEDIENTE = '9' || LPAD(ID, 8, '0') || IIF(S = 10, 0, S);

        DNI = MOD(I * 7919 + 10000000, 100000000);
        CALLE = TRIM(SUBSTRING(CALLES FROM 1 + 30 * MOD(I, 16) FOR 30));

        INSERT INTO INSTALACION (
            ID, EXPEDIENTE, TIPO_SUMINISTRO, POTENCIA, LOCALIZA_CALLE,
            LOCALIZA_PORTAL, LOCALIZA_BIS, LOCALIZA_ESCALERA, LOCALIZA_PISO,
            LOCALIZA_PUERTA, LOCALIZA_MUNICIPIO, LOCALIZA_CODIGO_POSTAL,
            SOLICITANTE_NOMBRE, SOLICITANATE_NIF, SOLICITANTE_TELEFONO,
            SOLICITANTE_NOTA, INSTALADOR, ACOMETIDA_TIPO, ACOMETIDA_CABLE,
            ACOMETIDA_LONGITUD, CGP_MODELO_CAJA, CGP_INTENSIDAD_BASE,
            CGP_INTENSIDAD_FUSIBLE, CGP_TENSION, CGP_UBICACION,
            CGP_UBICACION_OTRO, CGP_NATURAL, CGP_NATURAL_OTRO, CGP_LOCALIZACION,
            MAPRED_CT, MAPRED_LINEA, MAPRED_UTM_X, MAPRED_UTM_Y,
            LINEAGENERAL_NORDEN, LINEAGENERAL_MATERIAL, LINEAGENERAL_LONGITUD,
            LINEAGENERAL_SECCION, LINEAGENERAL_SECCIONNEUTRO,
            MEDIDA_SITUACION_PORTAL, MEDIDA_CENTRALIZACION, MEDIDA_LOCALIZACION,
            MEDIDA_DIRECCION, GESTOR, FECHA, MEDIDA_LOCALIZACION_OTRO,
            MEDIDA_CENTRALIZACION_OTRO, LOCALIZA_CODIGO_PROVINCIA,
            LOCALIZA_CODIGO_MUNICIPIO, LOCALIZA_COD_ENTIDAD_POBLAC, ENVIADO,
            LOCALIZA_TIPOBIS, CGP_NUMERO)
        VALUES (
            :ID, :EXPEDIENTE, 1 + MOD(:I, 12), 5.75 + MOD(:I, 200) * 0.5, :CALLE,
            1 + MOD(:I, 140), IIF(MOD(:I, 25) = 0, 'BIS', NULL), NULL, NULL,
            NULL, NULL, LPAD(:P, 2, '0') || LPAD(MOD(:I, 999) + 1, 3, '0'),
            TRIM(SUBSTRING(:NOMBRES FROM 1 + 10 * MOD(:I, 12) FOR 10)) || ' ' ||
                TRIM(SUBSTRING(:APELLIDOS FROM 1 + 10 * MOD(:I / 12, 16) FOR 10)) || ' ' ||
                TRIM(SUBSTRING(:APELLIDOS FROM 1 + 10 * MOD(:I / 7, 16) FOR 10)),
            LPAD(:DNI, 8, '0') || SUBSTRING('TRWAGMYFPDXBNJZSQVHLCKE' FROM 1 + MOD(:DNI, 23) FOR 1),
            '6' || LPAD(MOD(:I * 104729, 100000000), 8, '0'),
            NULL, 1, 1 + MOD(:I, 5), 1 + MOD(:I, 13),
            5 + MOD(:I, 40), 1 + MOD(:I, 12), 1 + MOD(:I, 7),
            1 + MOD(:I, 11), 1, 1 + MOD(:I, 7),
            NULL, 1 + MOD(:I, 4), NULL, NULL,
            LPAD(100000 + MOD(:I, 900000), 9, ' '), LPAD(1 + MOD(:I, 12), 2, '0'),
            LPAD(200000 + MOD(:I * 37, 600000), 6, '0'), LPAD(4000000 + MOD(:I * 53, 800000), 7, '0'),
            '1', IIF(MOD(:I, 3) = 0, 'Aluminio', 'Cobre'), 5 + MOD(:I, 30),
            IIF(MOD(:I, 3) = 0, 150, 95), IIF(MOD(:I, 3) = 0, 95, 50),
            1 + MOD(:I, 6), 1 + MOD(:I, 4), 1 + MOD(:I, 5),
            NULL, 1, DATEADD(MOD(:I * 37, 2190) DAY TO DATE '2020-01-01'), NULL,
            NULL, LPAD(:P, 2, '0'),
            :PREFIJO || '0000', :PREFIJO || LPAD(:E, 4, '0'), 'N',
            IIF(MOD(:I, 25) = 0, 1, NULL), 1 + MOD(:I, 5));

        -- Two cabinets, columns 1 and 2.
        INSERT INTO INSTALACION_ARMARIO (ID, INSTALACION, TIPO, DISPOSICION, DISPOSICION_DI, N_COLUMNAS, N_CELDAS, N_CIRCUITO)
            VALUES (:BASE_ARM + 2 * :I - 1, :ID, 1 + MOD(:I, 4), 1 + MOD(:I, 4), 1 + MOD(:I, 5), 1, 6, 6);
        INSERT INTO INSTALACION_ARMARIO (ID, INSTALACION, TIPO, DISPOSICION, DISPOSICION_DI, N_COLUMNAS, N_CELDAS, N_CIRCUITO)
            VALUES (:BASE_ARM + 2 * :I, :ID, 1 + MOD(:I, 4), 1 + MOD(:I, 4), 1 + MOD(:I, 5), 2, 6, 6);

        -- Twelve branches: ground floor (shop and common services) and
        -- floors 1 to 5, doors A and B.
        K = 0;
        WHILE (K < 12) DO
        BEGIN
            INSERT INTO INSTALACION_DERIVACIONES (ID, INSTALACION, TIPO_SUMINISTRO, ESCALERA, PLANTA, PUERTA, N_COLUMNA, N_CELDA, SECCION_FUERZA, SECCION_NEUTRO, SECCION_TIERRA, OBSERVACIONES)
                VALUES (:BASE_DER + 12 * (:I - 1) + :K + 1, :ID,
                        CASE :K WHEN 0 THEN 2 WHEN 1 THEN 4 ELSE 1 END,
                        'U', IIF(:K < 2, 'BJ', :K / 2), IIF(MOD(:K, 2) = 0, 'A', 'B'),
                        1 + :K / 6, 1 + MOD(:K, 6),
                        IIF(:K = 0, 25, 16), IIF(:K = 0, 25, 16), 16,
                        IIF(:K = 1, 'ALUMBRADO DE ESCALERA Y PORTERO AUTOMÁTICO', NULL));
            K = K + 1;
        END

        -- Two attachments.
        INSERT INTO INSTALACION_ADJUNTOS (ID, INSTALACION, DIRECCION, NOTA)
            VALUES (:BASE_ADJ + 2 * :I - 1, :ID,
                    '/home/usuario/Documentos/expedientes/' || :EXPEDIENTE || '/plano_planta.pdf',
                    'PLANO DE PLANTA');
        INSERT INTO INSTALACION_ADJUNTOS (ID, INSTALACION, DIRECCION, NOTA)
            VALUES (:BASE_ADJ + 2 * :I, :ID,
                    '/home/usuario/Documentos/expedientes/' || :EXPEDIENTE || '/esquema_unifilar.pdf',
                    'ESQUEMA UNIFILAR');

        I = I + 1;
    END
END^

SET TERM ; ^
