#include "data/fb/FbClient.h"

#include <QByteArray>
#include <QLibrary>
#include <QStringList>

namespace zk::fb {

namespace {
using MasterEntry = Firebird::IMaster* (*)();

// ZENOBRA_FBCLIENT names another library file, for installations that keep it elsewhere.
QStringList libraryNames()
{
    QString chosen = qEnvironmentVariable("ZENOBRA_FBCLIENT");
    if (!chosen.isEmpty())
        return {chosen};
#ifdef Q_OS_WIN
    return {QStringLiteral("fbclient.dll")};
#else
    return {QStringLiteral("libfbclient.so.2"), QStringLiteral("libfbclient.so")};
#endif
}

bool everLoaded = false;
} // namespace

Client& Client::instance()
{
    static Client client;
    everLoaded = true;
    return client;
}

bool Client::loaded() { return everLoaded; }

Client::Client()
{
    const QStringList names = libraryNames();
    MasterEntry entry = nullptr;
    for (const QString& name : names) {
        // A full file name is loaded as it stands, not as a base name to decorate.
        QLibrary library;
        library.setFileName(name);
        library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (library.load()) {
            entry = reinterpret_cast<MasterEntry>(library.resolve("fb_get_master_interface"));
            if (entry)
                break;
        }
    }
    if (!entry)
        throw ClientLibraryError(QStringLiteral("Não foi possível carregar a biblioteca cliente do Firebird (%1)").arg(names.join(", ")));
    master_ = entry();
    provider_ = master_->getDispatcher();
    util_ = master_->getUtilInterface();
}

Client::~Client()
{
    // The embedded engine keeps threads of its own: stop them before the process ends.
    if (provider_) {
        Firebird::ThrowStatusWrapper status(master_->getStatus());
        try {
            provider_->shutdown(&status, 0, fb_shutrsn_app_stopped);
        } catch (const Firebird::FbException&) {
        }
        status.dispose();
        provider_->release();
    }
}

QString formatStatus(Firebird::IStatus* status)
{
    char buffer[4096];
    unsigned length = Client::instance().util()->formatStatus(buffer, sizeof buffer, status);
    QString text = QString::fromLocal8Bit(buffer, qMin<qsizetype>(length, qstrnlen(buffer, sizeof buffer)));
    return text.trimmed();
}

namespace {
// The codes of a network failure, of a server or database shut down, or of an attachment
// the server ended: the connection is gone and only a new one can go on.
bool meansConnectionLost(long code)
{
    switch (code) {
    case isc_network_error:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_net_connect_err:
    case isc_net_connect_listen_err:
    case isc_net_lookup_err:
    case isc_net_server_shutdown:
    case isc_lost_db_connection:
    case isc_conn_lost:
    case isc_shutdown:
    case isc_shutinprog:
    case isc_att_shutdown:
        return true;
    default:
        return false;
    }
}

bool meansLockConflict(long code) { return code == isc_lock_conflict || code == isc_deadlock || code == isc_update_conflict; }
} // namespace

DatabaseError errorOf(Firebird::IStatus* status)
{
    std::vector<long> codes;
    for (const intptr_t* v = status->getErrors(); *v != isc_arg_end; v += 2) {
        if (v[0] == isc_arg_gds)
            codes.push_back(static_cast<long>(v[1]));
        if (v[0] == isc_arg_cstring)
            ++v; // a counted string takes one more slot
    }
    auto cause = DatabaseError::Cause::Other;
    if (std::any_of(codes.begin(), codes.end(), meansConnectionLost))
        cause = DatabaseError::Cause::ConnectionLost;
    else if (std::any_of(codes.begin(), codes.end(), meansLockConflict))
        cause = DatabaseError::Cause::LockConflict;
    return DatabaseError(formatStatus(status), cause, std::move(codes));
}

} // namespace zk::fb
