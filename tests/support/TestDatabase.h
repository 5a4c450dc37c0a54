#pragma once
// A real Firebird database for one test, in its own temporary folder, opened through the
// embedded engine (or through the loopback server that scripts/test starts, when asked).

#include "data/fb/Attachment.h"
#include "data/fb/Events.h"
#include "data/fb/Transaction.h"

#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>

class TestDatabase {
public:
    enum class Access { Embedded, Server };

    // An empty database created through the client.
    static std::unique_ptr<TestDatabase> empty(Access access = Access::Embedded);
    // A copy of one of the databases the build makes ("template": the schema alone,
    // "sample": the sample bar), placed where the settings of a "L" server with this
    // folder as DIR find it: <folder>/zenobra/dados/zenobra.gdb.
    static std::unique_ptr<TestDatabase> copyOf(const QString& which, Access access = Access::Embedded);
    // The loopback server's password (its address and password come from the environment).
    static QString serverPassword();

    ~TestDatabase();

    const QString& folder() const { return folder_; }
    const QString& path() const { return path_; }
    // The name a client connects with: the path, or server:path.
    QString connectionName() const;
    // Settings that make the data module open this database; through the server at
    // `serverAddress` ("host/port") when given instead of the loopback server itself.
    void writeSettings(const QString& serverAddress = {}) const;
    // Connects another client's attachment to this database as this helper's own: through the
    // server at `serverAddress` ("host/port") when given instead of the loopback server itself.
    void connect(zk::fb::Attachment& attachment, const QString& serverAddress = {}) const;

    // Runs one statement in a transaction of its own, committed at once.
    void exec(const QString& sql, const QVariantList& params = {});
    // One statement run once per list of parameters, in one transaction.
    void execMany(const QString& sql, const QList<QVariantList>& params);
    QList<QVariantList> rows(const QString& sql, const QVariantList& params = {});
    QVariant value(const QString& sql, const QVariantList& params = {});

    // An event of the server watched (on a connection of the watch's own), once the server is
    // asked for it; `posted` runs on this thread after each delivery that follows a posting.
    std::unique_ptr<zk::fb::EventWatch> watch(const QByteArray& event, std::function<void()> posted);

    // Ends this helper's own connection (a test that needs the file alone).
    void disconnect();

private:
    TestDatabase(Access access, QString relativePath);
    zk::fb::Attachment& attachment();

    Access access_;
    QTemporaryDir dir_;
    QString folder_;
    QString path_;
    zk::fb::Attachment attachment_;
};
