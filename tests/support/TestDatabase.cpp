#include "support/TestDatabase.h"

#include "base/Ufuncoes.h"
#include "data/fb/Statement.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
QString serverAddress() { return qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER"); }
QStringList credentials()
{
    return {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + TestDatabase::serverPassword()};
}
} // namespace

QString TestDatabase::serverPassword() { return qEnvironmentVariable("ZENOBRA_TEST_FB_PASSWORD"); }

TestDatabase::TestDatabase(Access access, QString relativePath) : access_(access)
{
    folder_ = dir_.path();
    path_ = dir_.filePath(relativePath);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    attachment_.params() = credentials();
}

TestDatabase::~TestDatabase() { disconnect(); }

QString TestDatabase::connectionName() const
{
    return access_ == Access::Server ? serverAddress() + u':' + path_ : path_;
}

void TestDatabase::connect(zk::fb::Attachment& attachment, const QString& address) const
{
    attachment.setDatabaseName(address.isEmpty() ? connectionName() : address + u':' + path_);
    attachment.params() = credentials();
    attachment.connect();
}

std::unique_ptr<TestDatabase> TestDatabase::empty(Access access)
{
    std::unique_ptr<TestDatabase> db(new TestDatabase(access, QStringLiteral("test.fdb")));
    db->attachment_.setDatabaseName(db->connectionName());
    db->attachment_.create();
    return db;
}

std::unique_ptr<TestDatabase> TestDatabase::copyOf(const QString& which, Access access)
{
    std::unique_ptr<TestDatabase> db(new TestDatabase(access, QStringLiteral("zenobra/dados/zenobra.gdb")));
    QString source = QStringLiteral(ZK_DB_DIR "/%1.fdb").arg(which);
    if (!QFile::copy(source, db->path_))
        throw zk::Error(QStringLiteral("cannot copy %1").arg(source));
    QFile::setPermissions(db->path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    return db;
}

void TestDatabase::writeSettings(const QString& address) const
{
    GravarIni("DADOS", "MODO", "SERVIDOR");
    GravarIni("DADOS", "IP", access_ == Access::Server ? (address.isEmpty() ? serverAddress() : address) + u':' : QString());
    GravarIni("DADOS", "UNIDADE", "C:\\");
    GravarIni("DADOS", "SENHA", Codifica(serverPassword(), DeslocamentoSenha));
    GravarIni("DADOS", "TIPOSERVIDOR", "L");
    GravarIni("DADOS", "DIR", folder_);
}

zk::fb::Attachment& TestDatabase::attachment()
{
    if (!attachment_.connected())
        connect(attachment_);
    return attachment_;
}

void TestDatabase::exec(const QString& sql, const QVariantList& params) { execMany(sql, {params}); }

void TestDatabase::execMany(const QString& sql, const QList<QVariantList>& params)
{
    zk::fb::Transaction transaction(attachment(), QStringLiteral("test"));
    transaction.start();
    {
        zk::fb::Statement statement(transaction, sql);
        for (const QVariantList& values : params)
            statement.execute(transaction, values);
    }
    transaction.commit();
}

QList<QVariantList> TestDatabase::rows(const QString& sql, const QVariantList& params)
{
    zk::fb::Transaction transaction(attachment(), QStringLiteral("test"));
    transaction.start();
    QList<QVariantList> result;
    {
        zk::fb::Statement statement(transaction, sql);
        auto cursor = statement.open(transaction, params);
        while (std::optional<QVariantList> values = cursor->next())
            result << *values;
    }
    transaction.commit();
    return result;
}

QVariant TestDatabase::value(const QString& sql, const QVariantList& params)
{
    auto all = rows(sql, params);
    return all.isEmpty() || all.front().isEmpty() ? QVariant() : all.front().front();
}

std::unique_ptr<zk::fb::EventWatch> TestDatabase::watch(const QByteArray& event, std::function<void()> posted)
{
    auto watch = std::make_unique<zk::fb::EventWatch>(
        zk::fb::EventWatch::Connection{connectionName(), credentials()}, event, std::move(posted));
    if (!QTest::qWaitFor([&] { return watch->registered(); }, 10000))
        throw zk::Error(QStringLiteral("the event %1 could not be asked for").arg(QString::fromLatin1(event)));
    return watch;
}

void TestDatabase::disconnect() { attachment_.disconnect(); }
