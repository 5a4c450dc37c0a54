/*
 * Zenobra Kova: the live floor. Optional: a database without it works as before.
 *
 * Every change of a table row (a table opened, freed, renumbered, added) and of an order
 * line (a line added or deleted, by any terminal or by the back office) posts the event
 * ZENOBRA_MESAS when its transaction commits. Every terminal asks for that event and reads
 * its table floor again, so tiles and running totals change on every terminal at once.
 *
 * Applied once by the database's administrator, for example:
 *   isql-fb -user SYSDBA -password <senha> -i live-floor.sql 192.168.0.10:/srv/zenobra/dados/zenobra.gdb
 */

SET TERM ^ ;

CREATE OR ALTER TRIGGER ZENOBRA_MESAS_AIUD FOR MESAS
ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 100
AS
BEGIN
  POST_EVENT 'ZENOBRA_MESAS';
END^

CREATE OR ALTER TRIGGER ZENOBRA_ITENS_AIUD FOR ITENSMOVIMENTOPROD
ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 100
AS
BEGIN
  POST_EVENT 'ZENOBRA_MESAS';
END^

SET TERM ; ^

COMMIT;
