#include "FbClient.h"

#include <QByteArray>
#include <QStringList>

#include <dlfcn.h>

namespace zk::fb {

namespace {
using MasterEntry = Firebird::IMaster* (*)();

// ZENOBRA_FBCLIENT names another library file, for installations that keep it elsewhere.
QStringList libraryNames()
{
    QString chosen = qEnvironmentVariable("ZENOBRA_FBCLIENT");
    if (!chosen.isEmpty())
        return {chosen};
    return {QStringLiteral("libfbclient.so.2"), QStringLiteral("libfbclient.so")};
}
} // namespace

namespace {
bool everLoaded = false;
}

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
    for (const QString& name : names) {
        library_ = dlopen(name.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (library_)
            break;
    }
    auto entry = library_ ? reinterpret_cast<MasterEntry>(dlsym(library_, "fb_get_master_interface")) : nullptr;
    if (!entry)
        throw ClientLibraryError(QStringLiteral("Unable to load the Firebird client library (%1)").arg(names.join(", ")));
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

bool isLockConflict(Firebird::IStatus* status)
{
    for (const intptr_t* v = status->getErrors(); *v != isc_arg_end; v += 2) {
        if (v[0] == isc_arg_gds && (v[1] == isc_lock_conflict || v[1] == isc_deadlock || v[1] == isc_update_conflict))
            return true;
        if (v[0] == isc_arg_cstring)
            ++v; // a counted string takes one more slot
    }
    return false;
}

} // namespace zk::fb
