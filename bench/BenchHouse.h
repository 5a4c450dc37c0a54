#pragma once
// What the benchmarks share: the median of their runs, and the benchmark house copied for one
// run into a folder of its own, reached through the loopback Firebird server that scripts/bench
// starts (ZENOBRA_TEST_FB_SERVER / ZENOBRA_TEST_FB_PASSWORD).

#include "base/Ufuncoes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

class BenchHouse {
public:
    // "host/port" of the loopback server, and its SYSDBA password.
    static QString server() { return qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER"); }
    static QString password() { return qEnvironmentVariable("ZENOBRA_TEST_FB_PASSWORD"); }
    // Whether the server is there; when not, says so for the benchmark `name`.
    static bool serverStarted(const char* name)
    {
        if (!server().isEmpty())
            return true;
        std::printf("%s: needs the loopback server (run it through scripts/bench)\n", name);
        return false;
    }

    // The copy lies where the settings of a "L" server with this folder as DIR find it, open
    // to the server's own user too.
    BenchHouse()
    {
        QDir().mkpath(dir_.filePath("zenobra/dados"));
        QFile::copy(ZK_BENCH_FDB, database());
        QFile::setPermissions(database(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    }
    QString database() const { return dir_.filePath("zenobra/dados/zenobra.gdb"); }

    // Settings that open the copy through `address` ("host/port": the server, or a proxy before it).
    void install(const QString& address = server()) const
    {
        qputenv("ZENOBRA_INI", dir_.filePath("ZENOBRA.Ini").toLocal8Bit());
        GravarIni("DADOS", "IP", address + ':');
        GravarIni("DADOS", "SENHA", Codifica(password(), DeslocamentoSenha));
        GravarIni("DADOS", "TIPOSERVIDOR", "L");
        GravarIni("DADOS", "DIR", dir_.path());
    }

private:
    QTemporaryDir dir_;
};
