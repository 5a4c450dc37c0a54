/*
 * Zenobra Kova: the live floor. Optional: a database without it works as before.
 *
 * Every change of a table row (a table opened, freed, renumbered, added, removed) and of an
 * order line (a line added, changed or deleted, by any terminal, by billing or by the back
 * office) posts the event ZENOBRA_MESAS when its transaction commits, and marks the table it
 * touched in MESASALTERADAS with the next value of GEN_MESASALTERADAS: one row per table,
 * so the marks never grow with time. A line's change marks the table(s) whose order holds it.
 *
 * On the event a terminal asks SPALTERACOESMESAS for the tables changed after the last
 * sequence it saw (the rows of SPMESAS for those tables only, each with the sequence of its
 * last change) and merges them into its floor; it reads the whole floor only when the
 * tables themselves changed (added, removed, renumbered) or it does not know where it is.
 *
 * Applied once by the database's administrator, also while terminals run, for example:
 *   isql-fb -user SYSDBA -password <senha> -i live-floor.sql 192.168.0.10:/srv/zenobra/dados/zenobra.gdb
 * Applying it again is harmless: every object is created or altered in place.
 */

SET TERM ^ ;

EXECUTE BLOCK AS
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'MESASALTERADAS')) THEN
    EXECUTE STATEMENT 'CREATE TABLE MESASALTERADAS (
                         CODMESA    INTEGER NOT NULL,
                         SEQUENCIA  BIGINT NOT NULL,
                         CONSTRAINT PK_MESASALTERADAS PRIMARY KEY (CODMESA))';
  IF (NOT EXISTS (SELECT 1 FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = 'GEN_MESASALTERADAS')) THEN
    EXECUTE STATEMENT 'CREATE SEQUENCE GEN_MESASALTERADAS';
END^

COMMIT^

EXECUTE BLOCK AS
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM RDB$INDICES WHERE RDB$INDEX_NAME = 'IX_MESASALTERADAS_SEQUENCIA')) THEN
    EXECUTE STATEMENT 'CREATE INDEX IX_MESASALTERADAS_SEQUENCIA ON MESASALTERADAS (SEQUENCIA)';
END^

COMMIT^

/*
 * A table's mark, made in the changing transaction. The row first takes a value above any
 * sequence and only then its own: from the moment the generator gives that sequence until
 * the transaction ends, a reader of the sequences above one it saw meets the row still being
 * written, so no change is ever read past before it is committed (see SPALTERACOESMESAS).
 */
CREATE OR ALTER PROCEDURE ZENOBRA_MARCA_MESA (CODMESA INTEGER)
AS
BEGIN
  IF (CODMESA IS NULL) THEN
    EXIT;
  UPDATE OR INSERT INTO MESASALTERADAS (CODMESA, SEQUENCIA)
    VALUES (:CODMESA, 9223372036854775807) MATCHING (CODMESA);
  UPDATE MESASALTERADAS SET SEQUENCIA = GEN_ID(GEN_MESASALTERADAS, 1) WHERE CODMESA = :CODMESA;
END^

CREATE OR ALTER TRIGGER ZENOBRA_MESAS_AIUD FOR MESAS
ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 100
AS
BEGIN
  IF (INSERTING OR UPDATING) THEN
    EXECUTE PROCEDURE ZENOBRA_MARCA_MESA NEW.CODMESA;
  IF ((DELETING OR UPDATING) AND OLD.CODMESA IS DISTINCT FROM NEW.CODMESA) THEN
    EXECUTE PROCEDURE ZENOBRA_MARCA_MESA OLD.CODMESA;
  POST_EVENT 'ZENOBRA_MESAS';
END^

CREATE OR ALTER TRIGGER ZENOBRA_ITENS_AIUD FOR ITENSMOVIMENTOPROD
ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 100
AS
DECLARE VARIABLE MESA INTEGER;
BEGIN
  IF (INSERTING OR UPDATING) THEN
    FOR SELECT CODMESA FROM MESAS WHERE CODMOVIMENTO = NEW.CODMOVIMENTO INTO :MESA DO
      EXECUTE PROCEDURE ZENOBRA_MARCA_MESA :MESA;
  IF (DELETING OR (UPDATING AND OLD.CODMOVIMENTO IS DISTINCT FROM NEW.CODMOVIMENTO)) THEN
    FOR SELECT CODMESA FROM MESAS WHERE CODMOVIMENTO = OLD.CODMOVIMENTO INTO :MESA DO
      EXECUTE PROCEDURE ZENOBRA_MARCA_MESA :MESA;
  POST_EVENT 'ZENOBRA_MESAS';
END^

/*
 * The readers come last: a terminal that finds them finds every table already being marked.
 *
 * The floor's rows of the tables changed after DESDE: the columns and values of SPMESAS, and
 * SEQUENCIA, the table's last change; REMOVIDA 1 for a table that no longer exists (its other
 * columns empty). The reader's transaction must not read past uncommitted versions (read
 * committed, no record version, no wait): a change still being written fails the read with a
 * lock conflict instead of being passed over. A DESDE above every sequence the generator ever
 * gave (the database restored from a backup, the generator reset) gives one row with CODMESA
 * empty and SEQUENCIA the generator's value: the reader must read the whole floor.
 */
CREATE OR ALTER PROCEDURE SPALTERACOESMESAS (DESDE BIGINT)
RETURNS (
  CODMESA       INTEGER,
  STATUS        CHAR(1),
  TOTAL         DOUBLE PRECISION,
  DESCRICAO     INTEGER,
  CODMOVIMENTO  INTEGER,
  SEQUENCIA     BIGINT,
  REMOVIDA      SMALLINT)
AS
DECLARE VARIABLE ATUAL BIGINT;
BEGIN
  ATUAL = GEN_ID(GEN_MESASALTERADAS, 0);
  IF (DESDE > ATUAL) THEN
  BEGIN
    SEQUENCIA = ATUAL;
    SUSPEND;
    EXIT;
  END
  FOR SELECT CODMESA, SEQUENCIA FROM MESASALTERADAS
      WHERE SEQUENCIA > :DESDE
      PLAN (MESASALTERADAS INDEX (IX_MESASALTERADAS_SEQUENCIA))
      INTO :CODMESA, :SEQUENCIA
  DO
  BEGIN
    STATUS = NULL;
    TOTAL = NULL;
    DESCRICAO = NULL;
    CODMOVIMENTO = NULL;
    REMOVIDA = 1;
    SELECT STATUS, DESCRICAO, CODMOVIMENTO, 0 FROM MESAS WHERE CODMESA = :CODMESA
      INTO :STATUS, :DESCRICAO, :CODMOVIMENTO, :REMOVIDA;
    /* Added up as SPMESAS adds it up. */
    IF (REMOVIDA = 0) THEN
      SELECT SUM(QTD * VALOR) FROM ITENSMOVIMENTOPROD WHERE CODMOVIMENTO = :CODMOVIMENTO INTO :TOTAL;
    SUSPEND;
  END
END^

/*
 * The sequence the whole floor can be read from: every change up to it is committed (a change
 * still being written fails the read, as above). 0 before any change.
 */
CREATE OR ALTER PROCEDURE SPSEQUENCIAMESAS
RETURNS (SEQUENCIA BIGINT)
AS
BEGIN
  SELECT COALESCE(MAX(SEQUENCIA), 0) FROM MESASALTERADAS
    WHERE SEQUENCIA >= 0
    PLAN (MESASALTERADAS INDEX (IX_MESASALTERADAS_SEQUENCIA))
    INTO :SEQUENCIA;
  SUSPEND;
END^

SET TERM ; ^

COMMIT;
