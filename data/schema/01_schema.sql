-- =====================================================================
-- Trelmavondis: database structure (Firebird 3, SQL dialect 3)
--
-- The database is created by the loader with DEFAULT CHARACTER SET
-- WIN1252, so every VARCHAR / CHAR below holds code page 1252 text.
-- The loader runs the files of this folder in name order and commits
-- after each one:
--   01_schema.sql     tables, generators, exception, procedure
--   02_reference.sql  version row and the read-only reference lists
--   03_demo.sql       demo installer, manager and installations
--
-- Conventions
--   * Every constraint carries an explicit name, NOT NULL constraints
--     included (syntax: CONSTRAINT NN_xxx NOT NULL). Firebird would
--     otherwise name them INTEG_1, INTEG_2 ... from a system counter,
--     and one of those could end up being INTEG_39.
--   * INTEG_39 is reserved for the uniqueness of INSTALACION.EXPEDIENTE:
--     the program recognises a duplicate expedient number by that name
--     in the server error text. No other object may use that name.
--     (Firebird 3 skips a name that already exists when it generates an
--     INTEG_n name, so later unnamed constraints cannot take it either.)
--   * Identifiers are drawn by the program with GEN_ID(generator, 1)
--     before each insert. There are no triggers that fill ID.
--   * The code columns of INSTALACION (TIPO_SUMINISTRO, ACOMETIDA_TIPO,
--     LOCALIZA_CODIGO_PROVINCIA ...) have no foreign keys: a code that
--     matches no reference row is allowed and simply shows no name.
--   * Cabinets, branches and attachments reference their installation
--     with ON DELETE CASCADE: the program deletes an installation row
--     on its own, and its child rows must go with it instead of being
--     left behind as orphans (or blocking the delete).
-- =====================================================================


-- ---------------------------------------------------------------------
-- Exceptions
-- ---------------------------------------------------------------------

CREATE EXCEPTION E_INSTALACION_NO_EXISTE 'La instalación a copiar no existe';


-- ---------------------------------------------------------------------
-- Generators (one per table written by the program; the names are
-- those the program asks for, spelling included)
-- ---------------------------------------------------------------------

CREATE SEQUENCE INSTALACION;             -- INSTALACION.ID
CREATE SEQUENCE INSTALACION_ARMARIO;     -- INSTALACION_ARMARIO.ID
CREATE SEQUENCE INSTALACION_DERIVACION;  -- INSTALACION_DERIVACIONES.ID
CREATE SEQUENCE NINSTALCION_ADJUNTOS;    -- INSTALACION_ADJUNTOS.ID
CREATE SEQUENCE INSTALADOR;              -- INSTALADOR.ID
CREATE SEQUENCE NGESTOR;                 -- GESTORES.ID


-- ---------------------------------------------------------------------
-- Installation dossiers
-- The column order is the order of the insert statement of the program.
-- ---------------------------------------------------------------------

CREATE TABLE INSTALACION (
    ID                          INTEGER          CONSTRAINT NN_INST_ID NOT NULL,
    EXPEDIENTE                  VARCHAR(25)      CONSTRAINT NN_INST_EXPEDIENTE NOT NULL,
    TIPO_SUMINISTRO             INTEGER,
    POTENCIA                    DOUBLE PRECISION,
    LOCALIZA_CALLE              VARCHAR(250),
    LOCALIZA_PORTAL             VARCHAR(25),
    LOCALIZA_BIS                VARCHAR(25),
    LOCALIZA_ESCALERA           VARCHAR(25),
    LOCALIZA_PISO               VARCHAR(25),
    LOCALIZA_PUERTA             VARCHAR(25),
    LOCALIZA_MUNICIPIO          VARCHAR(250),
    LOCALIZA_CODIGO_POSTAL      VARCHAR(25),
    SOLICITANTE_NOMBRE          VARCHAR(250),
    SOLICITANATE_NIF            VARCHAR(25),
    SOLICITANTE_TELEFONO        VARCHAR(25),
    SOLICITANTE_NOTA            VARCHAR(250),
    INSTALADOR                  INTEGER,
    ACOMETIDA_TIPO              INTEGER,
    ACOMETIDA_CABLE             INTEGER,
    ACOMETIDA_LONGITUD          DOUBLE PRECISION,
    CGP_MODELO_CAJA             INTEGER,
    CGP_INTENSIDAD_BASE         INTEGER,
    CGP_INTENSIDAD_FUSIBLE      INTEGER,
    CGP_TENSION                 INTEGER,
    CGP_UBICACION               INTEGER,
    CGP_UBICACION_OTRO          VARCHAR(250),
    CGP_NATURAL                 INTEGER,
    CGP_NATURAL_OTRO            VARCHAR(250),
    CGP_LOCALIZACION            VARCHAR(250),
    MAPRED_CT                   VARCHAR(25),
    MAPRED_LINEA                VARCHAR(25),
    MAPRED_UTM_X                VARCHAR(25),
    MAPRED_UTM_Y                VARCHAR(25),
    LINEAGENERAL_NORDEN         VARCHAR(25),
    LINEAGENERAL_MATERIAL       VARCHAR(25),
    LINEAGENERAL_LONGITUD       DOUBLE PRECISION,
    LINEAGENERAL_SECCION        DOUBLE PRECISION,
    LINEAGENERAL_SECCIONNEUTRO  DOUBLE PRECISION,
    MEDIDA_SITUACION_PORTAL     INTEGER,
    MEDIDA_CENTRALIZACION       INTEGER,
    MEDIDA_LOCALIZACION         INTEGER,
    MEDIDA_DIRECCION            VARCHAR(250),
    GESTOR                      INTEGER,
    FECHA                       TIMESTAMP,
    MEDIDA_LOCALIZACION_OTRO    VARCHAR(250),
    MEDIDA_CENTRALIZACION_OTRO  VARCHAR(250),
    LOCALIZA_CODIGO_PROVINCIA   VARCHAR(25),
    LOCALIZA_CODIGO_MUNICIPIO   VARCHAR(25),
    LOCALIZA_COD_ENTIDAD_POBLAC VARCHAR(25),
    ENVIADO                     CHAR(1)          CONSTRAINT NN_INST_ENVIADO NOT NULL,
    LOCALIZA_TIPOBIS            INTEGER,
    CGP_NUMERO                  INTEGER,
    CONSTRAINT PK_INSTALACION PRIMARY KEY (ID),
    -- The program looks for the text INTEG_39 in the server message to
    -- report a duplicate expedient number. Keep this exact name.
    CONSTRAINT INTEG_39 UNIQUE (EXPEDIENTE)
);

-- The search dialog filters by sending date.
CREATE INDEX IX_INSTALACION_FECHA ON INSTALACION (FECHA);


-- ---------------------------------------------------------------------
-- Meter cabinets of an installation
-- ---------------------------------------------------------------------

CREATE TABLE INSTALACION_ARMARIO (
    ID             INTEGER          CONSTRAINT NN_ARM_ID NOT NULL,
    INSTALACION    INTEGER          CONSTRAINT NN_ARM_INSTALACION NOT NULL,
    TIPO           INTEGER,
    DISPOSICION    INTEGER,
    DISPOSICION_DI INTEGER,
    N_COLUMNAS     INTEGER,
    N_CELDAS       INTEGER,
    N_CIRCUITO     INTEGER,
    CONSTRAINT PK_INSTALACION_ARMARIO PRIMARY KEY (ID),
    CONSTRAINT FK_ARMARIO_INSTALACION FOREIGN KEY (INSTALACION)
        REFERENCES INSTALACION (ID) ON DELETE CASCADE
);

-- Serves the column-number check (same installation, same column) and
-- the cabinet list ordered by column number.
CREATE INDEX IX_ARMARIO_COLUMNA ON INSTALACION_ARMARIO (INSTALACION, N_COLUMNAS);


-- ---------------------------------------------------------------------
-- Individual branches of an installation
-- ---------------------------------------------------------------------

CREATE TABLE INSTALACION_DERIVACIONES (
    ID              INTEGER          CONSTRAINT NN_DER_ID NOT NULL,
    INSTALACION     INTEGER          CONSTRAINT NN_DER_INSTALACION NOT NULL,
    TIPO_SUMINISTRO INTEGER,
    ESCALERA        VARCHAR(25),
    PLANTA          VARCHAR(25),
    PUERTA          VARCHAR(25),
    N_COLUMNA       VARCHAR(25),
    N_CELDA         VARCHAR(25),
    SECCION_FUERZA  DOUBLE PRECISION,
    SECCION_NEUTRO  DOUBLE PRECISION,
    SECCION_TIERRA  DOUBLE PRECISION,
    OBSERVACIONES   VARCHAR(250),
    CONSTRAINT PK_INSTALACION_DERIVACIONES PRIMARY KEY (ID),
    -- The index of this foreign key also serves the branch list of an
    -- installation.
    CONSTRAINT FK_DERIVACION_INSTALACION FOREIGN KEY (INSTALACION)
        REFERENCES INSTALACION (ID) ON DELETE CASCADE
);


-- ---------------------------------------------------------------------
-- Files attached to an installation
-- INSTALACION may be null here (an attachment without owner).
-- ---------------------------------------------------------------------

CREATE TABLE INSTALACION_ADJUNTOS (
    ID          INTEGER          CONSTRAINT NN_ADJ_ID NOT NULL,
    INSTALACION INTEGER,
    DIRECCION   VARCHAR(250),
    NOTA        VARCHAR(250),
    CONSTRAINT PK_INSTALACION_ADJUNTOS PRIMARY KEY (ID),
    CONSTRAINT FK_ADJUNTO_INSTALACION FOREIGN KEY (INSTALACION)
        REFERENCES INSTALACION (ID) ON DELETE CASCADE
);


-- ---------------------------------------------------------------------
-- Authorised installers (the office itself) and their mail settings
-- SMTP_AUTENTIFICACION: S = the server needs user and password, N or
-- null = no login. SMTP_CLAVE is stored as typed.
-- ---------------------------------------------------------------------

CREATE TABLE INSTALADOR (
    ID                   INTEGER          CONSTRAINT NN_INSTALADOR_ID NOT NULL,
    NOMBRE               VARCHAR(250),
    CIF                  VARCHAR(25),
    TELEFONO             VARCHAR(25),
    MUNICIPIO            VARCHAR(250),
    CODIGO_POSTAL        VARCHAR(25),
    CALLE                VARCHAR(250),
    CALLE_NUMERO         VARCHAR(25),
    CARNET               VARCHAR(25),
    CORREO               VARCHAR(250)     CONSTRAINT NN_INSTALADOR_CORREO NOT NULL,
    SMTP_SERVIDOR        VARCHAR(250)     CONSTRAINT NN_INSTALADOR_SMTP_SERVIDOR NOT NULL,
    SMTP_AUTENTIFICACION CHAR(1),
    SMTP_USUARIO         VARCHAR(250),
    SMTP_CLAVE           VARCHAR(250),
    CONSTRAINT PK_INSTALADOR PRIMARY KEY (ID)
);


-- ---------------------------------------------------------------------
-- Managers of the distribution company who receive the dossiers
-- ---------------------------------------------------------------------

CREATE TABLE GESTORES (
    ID       INTEGER          CONSTRAINT NN_GESTORES_ID NOT NULL,
    NOMBRE   VARCHAR(250),
    EMAIL    VARCHAR(250),
    TELEFONO VARCHAR(25),
    CONSTRAINT PK_GESTORES PRIMARY KEY (ID)
);


-- ---------------------------------------------------------------------
-- Version of the database contents (one row, ID = 1)
-- ---------------------------------------------------------------------

CREATE TABLE PARAMETROS (
    ID       INTEGER CONSTRAINT NN_PARAMETROS_ID NOT NULL,
    VERSION  INTEGER CONSTRAINT NN_PARAMETROS_VERSION NOT NULL,
    REVISION INTEGER CONSTRAINT NN_PARAMETROS_REVISION NOT NULL,
    CONSTRAINT PK_PARAMETROS PRIMARY KEY (ID)
);


-- =====================================================================
-- Reference lists (read only for the program, filled by 02_reference)
-- =====================================================================

-- Service-connection types. TIPO is a short code.
CREATE TABLE ACOMETIDA (
    ID          INTEGER      CONSTRAINT NN_ACOMETIDA_ID NOT NULL,
    TIPO        VARCHAR(25)  CONSTRAINT NN_ACOMETIDA_TIPO NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_ACOMETIDA PRIMARY KEY (ID)
);

-- Supply types of an installation.
CREATE TABLE TIPO_SUMINISTRO (
    ID          INTEGER      CONSTRAINT NN_TIPOSUM_ID NOT NULL,
    CODIGO      VARCHAR(25)  CONSTRAINT NN_TIPOSUM_CODIGO NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_TIPO_SUMINISTRO PRIMARY KEY (ID)
);

-- Service-connection cables.
CREATE TABLE CABLE (
    ID          INTEGER      CONSTRAINT NN_CABLE_ID NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_CABLE PRIMARY KEY (ID)
);

-- Protection box models.
--   TIPO_ESQUEMA         wiring scheme of the box (1, 7, 9, 10, 11 ...)
--   INDICATIVO_EXTERIOR  S = suitable for outdoor mounting, N = not
--   INDICATIVO_CAJA      G = general protection box (CGP),
--                        M = protection and metering box (CPM)
CREATE TABLE MODELO_CAJA (
    ID                  INTEGER      CONSTRAINT NN_MODELOCAJA_ID NOT NULL,
    CODIGO              VARCHAR(25)  CONSTRAINT NN_MODELOCAJA_CODIGO NOT NULL,
    DESCRIPCION         VARCHAR(250),
    TIPO_ESQUEMA        VARCHAR(25),
    INDICATIVO_EXTERIOR VARCHAR(1),
    INDICATIVO_CAJA     VARCHAR(1),
    CONSTRAINT PK_MODELO_CAJA PRIMARY KEY (ID)
);

-- Base (fuse holder) currents, amperes. The table name is spelled
-- without the second N on purpose: the program uses this name.
CREATE TABLE INTESIDAD_BASE (
    ID         INTEGER          CONSTRAINT NN_INTBASE_ID NOT NULL,
    CODIGO     VARCHAR(25)      CONSTRAINT NN_INTBASE_CODIGO NOT NULL,
    INTENSIDAD DOUBLE PRECISION,
    CONSTRAINT PK_INTESIDAD_BASE PRIMARY KEY (ID)
);

-- Fuse currents, amperes (same spelling note).
CREATE TABLE INTESIDAD_FUSIBLE (
    ID         INTEGER          CONSTRAINT NN_INTFUS_ID NOT NULL,
    CODIGO     VARCHAR(25)      CONSTRAINT NN_INTFUS_CODIGO NOT NULL,
    INTENSIDAD DOUBLE PRECISION,
    CONSTRAINT PK_INTESIDAD_FUSIBLE PRIMARY KEY (ID)
);

-- Supply voltages.
CREATE TABLE TENSION_SUMINISTRO (
    ID          INTEGER      CONSTRAINT NN_TENSION_ID NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_TENSION_SUMINISTRO PRIMARY KEY (ID)
);

-- Where the protection box sits.
--   INDICATIVO_CAJA  kind of box usual in that place (G or M as in
--                    MODELO_CAJA), null when any.
CREATE TABLE UBICACION (
    ID              INTEGER      CONSTRAINT NN_UBICACION_ID NOT NULL,
    CODIGO          VARCHAR(25)  CONSTRAINT NN_UBICACION_CODIGO NOT NULL,
    DESCRIPCION     VARCHAR(250),
    INDICATIVO_CAJA VARCHAR(1),
    CONSTRAINT PK_UBICACION PRIMARY KEY (ID)
);

-- Nature (material) of the box.
CREATE TABLE NATURAL_CAJA (
    ID          INTEGER      CONSTRAINT NN_NATURAL_ID NOT NULL,
    CODIGO      VARCHAR(25)  CONSTRAINT NN_NATURAL_CODIGO NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_NATURAL_CAJA PRIMARY KEY (ID)
);

-- Metering position relative to the building entrance.
CREATE TABLE SITUACION_PORTAL (
    ID          INTEGER      CONSTRAINT NN_SITPORTAL_ID NOT NULL,
    CODIGO      VARCHAR(25)  CONSTRAINT NN_SITPORTAL_CODIGO NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_SITUACION_PORTAL PRIMARY KEY (ID)
);

-- Meter centralisations.
CREATE TABLE CENTRALIZACION (
    ID          INTEGER      CONSTRAINT NN_CENTRALIZACION_ID NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_CENTRALIZACION PRIMARY KEY (ID)
);

-- Metering locations.
CREATE TABLE LOCALIZACION (
    ID          INTEGER      CONSTRAINT NN_LOCALIZACION_ID NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_LOCALIZACION PRIMARY KEY (ID)
);

-- Kinds of "bis" annex of a street number.
CREATE TABLE TIPO_BIS (
    ID          INTEGER      CONSTRAINT NN_TIPOBIS_ID NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_TIPO_BIS PRIMARY KEY (ID)
);

-- Protection box numbers and kinds (listed by CODIGO).
CREATE TABLE TIPO_NUM_CGPO (
    ID          INTEGER      CONSTRAINT NN_NUMCGP_ID NOT NULL,
    CODIGO      VARCHAR(25)  CONSTRAINT NN_NUMCGP_CODIGO NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_TIPO_NUM_CGPO PRIMARY KEY (ID)
);

-- Cabinet types.
CREATE TABLE TIPO_ARMARIO (
    ID          INTEGER      CONSTRAINT NN_TIPOARM_ID NOT NULL,
    CODIGO      VARCHAR(25)  CONSTRAINT NN_TIPOARM_CODIGO NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_TIPO_ARMARIO PRIMARY KEY (ID)
);

-- Cabinet arrangements.
CREATE TABLE DISPOSICION_ARMARIO (
    ID          INTEGER      CONSTRAINT NN_DISPARM_ID NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_DISPOSICION_ARMARIO PRIMARY KEY (ID)
);

-- Arrangements of the individual branches.
CREATE TABLE DISPOSICION_DI (
    ID          INTEGER      CONSTRAINT NN_DISPDI_ID NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_DISPOSICION_DI PRIMARY KEY (ID)
);

-- Supply types of a branch (listed by ID, not by description).
CREATE TABLE TIPO_SUMINISTRO_DERIVACION (
    ID          INTEGER      CONSTRAINT NN_TIPOSUMDER_ID NOT NULL,
    DESCRIPCION VARCHAR(250),
    CONSTRAINT PK_TIPO_SUMINISTRO_DERIVACION PRIMARY KEY (ID)
);

-- Provinces (two-digit INE code).
CREATE TABLE VORTAN_PROVINCIA (
    CODIGO_PROVINCIA VARCHAR(25)  CONSTRAINT NN_PROVINCIA_CODIGO NOT NULL,
    NOMBRE_PROVINCIA VARCHAR(250),
    CONSTRAINT PK_VORTAN_PROVINCIA PRIMARY KEY (CODIGO_PROVINCIA)
);

-- Municipalities and population entities, keyed within a province.
--   A row whose code ends in 0000 is a municipality (e.g. 0790000).
--   Any other row is a population entity of the municipality whose
--   code starts with the same three characters (e.g. 0790001).
--   Within one province every municipality has its own three-character
--   prefix.
CREATE TABLE VORTAN_ENTIDAD_POBLACION (
    CODIGO_ENTIDAD_POBLACION VARCHAR(25)  CONSTRAINT NN_ENTIDAD_CODIGO NOT NULL,
    NOMBRE_ENTIDAD_POBLACION VARCHAR(250),
    CODIGO_PROVINCIA         VARCHAR(25)  CONSTRAINT NN_ENTIDAD_PROVINCIA NOT NULL,
    CONSTRAINT PK_VORTAN_ENTIDAD_POBLACION
        PRIMARY KEY (CODIGO_PROVINCIA, CODIGO_ENTIDAD_POBLACION)
);

-- The municipality and entity lists filter by province and sort by name.
CREATE INDEX IX_ENTIDAD_PROVINCIA_NOMBRE
    ON VORTAN_ENTIDAD_POBLACION (CODIGO_PROVINCIA, NOMBRE_ENTIDAD_POBLACION);


-- =====================================================================
-- COPIAR_INSTALACION (VIEJA) RETURNS (NUEVA)
--
-- Copies installation VIEJA, with its cabinets, branches and
-- attachments, into a new installation and returns the new ID.
-- Executable procedure (no SUSPEND): the program calls it with
-- EXECUTE PROCEDURE inside its own transaction and commits later.
--
-- The copy keeps every column of the original except:
--   ID          NUEVA, drawn from generator INSTALACION
--   ENVIADO     N, the copy has not been sent
--   FECHA       today: a new dossier is dated when it is created
--   EXPEDIENTE  placeholder COPIA-<NUEVA>, e.g. COPIA-123
-- Placeholder rationale: EXPEDIENTE is unique and required, so the copy
-- needs some value. A real expedient number is exactly ten digits with a
-- check digit, so a text starting with COPIA- can never collide with
-- one, and the new ID makes it unique however many copies are made. It
-- also tells the user at a glance that the number must be replaced.
-- Child rows get new IDs from their own generators, in the order of
-- their original IDs.
-- A VIEJA that does not exist (0 when the program has no installation)
-- raises E_INSTALACION_NO_EXISTE instead of returning an unusable ID.
-- =====================================================================

SET TERM ^ ;

CREATE PROCEDURE COPIAR_INSTALACION (VIEJA INTEGER)
RETURNS (NUEVA INTEGER)
AS
BEGIN
    IF (NOT EXISTS (SELECT 1 FROM INSTALACION WHERE ID = :VIEJA)) THEN
        EXCEPTION E_INSTALACION_NO_EXISTE;

    NUEVA = GEN_ID(INSTALACION, 1);

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
    SELECT
        :NUEVA, 'COPIA-' || :NUEVA, TIPO_SUMINISTRO, POTENCIA, LOCALIZA_CALLE,
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
        MEDIDA_DIRECCION, GESTOR, CURRENT_DATE, MEDIDA_LOCALIZACION_OTRO,
        MEDIDA_CENTRALIZACION_OTRO, LOCALIZA_CODIGO_PROVINCIA,
        LOCALIZA_CODIGO_MUNICIPIO, LOCALIZA_COD_ENTIDAD_POBLAC, 'N',
        LOCALIZA_TIPOBIS, CGP_NUMERO
    FROM INSTALACION
    WHERE ID = :VIEJA;

    INSERT INTO INSTALACION_ARMARIO (
        ID, INSTALACION, TIPO, DISPOSICION, DISPOSICION_DI, N_COLUMNAS,
        N_CELDAS, N_CIRCUITO)
    SELECT
        GEN_ID(INSTALACION_ARMARIO, 1), :NUEVA, TIPO, DISPOSICION,
        DISPOSICION_DI, N_COLUMNAS, N_CELDAS, N_CIRCUITO
    FROM INSTALACION_ARMARIO
    WHERE INSTALACION = :VIEJA
    ORDER BY ID;

    INSERT INTO INSTALACION_DERIVACIONES (
        ID, INSTALACION, TIPO_SUMINISTRO, ESCALERA, PLANTA, PUERTA, N_COLUMNA,
        N_CELDA, SECCION_FUERZA, SECCION_NEUTRO, SECCION_TIERRA, OBSERVACIONES)
    SELECT
        GEN_ID(INSTALACION_DERIVACION, 1), :NUEVA, TIPO_SUMINISTRO, ESCALERA,
        PLANTA, PUERTA, N_COLUMNA, N_CELDA, SECCION_FUERZA, SECCION_NEUTRO,
        SECCION_TIERRA, OBSERVACIONES
    FROM INSTALACION_DERIVACIONES
    WHERE INSTALACION = :VIEJA
    ORDER BY ID;

    INSERT INTO INSTALACION_ADJUNTOS (ID, INSTALACION, DIRECCION, NOTA)
    SELECT
        GEN_ID(NINSTALCION_ADJUNTOS, 1), :NUEVA, DIRECCION, NOTA
    FROM INSTALACION_ADJUNTOS
    WHERE INSTALACION = :VIEJA
    ORDER BY ID;
END^

SET TERM ; ^
