#pragma once
// A house with the live floor of before: db/live-floor.sql's events only, without the table
// marks and their procedures. Each statement goes through `exec` and is committed by it.

#include <QString>

#include <functional>

inline void liveFloorOfBefore(const std::function<void(const QString&)>& exec)
{
    for (const char* sql :
         {"CREATE OR ALTER TRIGGER ZENOBRA_MESAS_AIUD FOR MESAS ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 100 "
          "AS BEGIN POST_EVENT 'ZENOBRA_MESAS'; END",
          "CREATE OR ALTER TRIGGER ZENOBRA_ITENS_AIUD FOR ITENSMOVIMENTOPROD ACTIVE AFTER INSERT OR UPDATE OR DELETE "
          "POSITION 100 AS BEGIN POST_EVENT 'ZENOBRA_MESAS'; END",
          "DROP PROCEDURE SPALTERACOESMESAS", "DROP PROCEDURE SPSEQUENCIAMESAS", "DROP PROCEDURE ZENOBRA_MARCA_MESA",
          "DROP TABLE MESASALTERADAS", "DROP SEQUENCE GEN_MESASALTERADAS"})
        exec(QString::fromLatin1(sql));
}
