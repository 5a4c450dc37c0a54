#include "data/AlteracoesDoPiso.h"

#include "base/Erros.h"

#include <QStringList>

namespace {
const QString chave = QStringLiteral("CODMESA");
} // namespace

AlteracoesDoPiso::AlteracoesDoPiso(zk::fb::Attachment& db)
    : db_(db), TsPiso(db, QStringLiteral("TsPiso"), zk::fb::Transaction::Uncommitted::Conflicts)
{
}

AlteracoesDoPiso::~AlteracoesDoPiso() = default;

void AlteracoesDoPiso::Libera()
{
    alteracoes_.reset();
    sequenciaAtual_.reset();
    if (TsPiso.active())
        TsPiso.commit();
}

// Statements and sequence belong to one connection: after a reconnect events may have been
// lost, so the sequence is forgotten and the floor read whole.
bool AlteracoesDoPiso::Disponivel()
{
    if (geracao_ != db_.generation()) {
        alteracoes_.reset();
        sequenciaAtual_.reset();
        sequencia_.reset();
        ausente_.invalidate();
        geracao_ = db_.generation();
    }
    if (alteracoes_) {
        TsPiso.ensureStarted();
        return true;
    }
    if (ausente_.isValid() && ausente_.elapsed() < IntervaloSemProcedimento)
        return false;
    try {
        TsPiso.ensureStarted();
        sequenciaAtual_ = std::make_unique<zk::fb::Statement>(TsPiso, QStringLiteral("SELECT SEQUENCIA FROM SPSEQUENCIAMESAS"));
        alteracoes_ = std::make_unique<zk::fb::Statement>(TsPiso, QStringLiteral("SELECT * FROM SPALTERACOESMESAS(:DESDE)"));
    } catch (const zk::DatabaseError& e) {
        if (e.connectionLost())
            throw;
        sequenciaAtual_.reset(); // an older live floor, or none: whole reads, as ever
        ausente_.start();
        return false;
    }
    ausente_.invalidate();
    return true;
}

// Every change up to the sequence read is committed, so a whole read that follows holds it.
// A change still being written leaves the sequence unknown: the next event reads whole again.
void AlteracoesDoPiso::LeSequencia()
{
    try {
        const auto linha = sequenciaAtual_->open(TsPiso)->next();
        sequencia_ = linha ? std::optional(linha->front().toLongLong()) : std::nullopt;
    } catch (const zk::DatabaseError& e) {
        if (!e.lockConflict())
            throw;
        sequencia_.reset();
    }
}

bool AlteracoesDoPiso::Mescla(zk::Query& piso)
{
    if (!piso.active() || !Disponivel())
        return false;
    if (!sequencia_) {
        LeSequencia();
        return false;
    }
    zk::Query::ReadRows alteradas;
    try {
        alteradas = piso.readLike(*alteracoes_, TsPiso, {*sequencia_});
    } catch (const zk::DatabaseError& e) {
        if (!e.lockConflict())
            throw;
        return false; // a change being written: the floor as the server has it now, and the same sequence
    }
    qint64 ate = *sequencia_;
    bool mudaOsLugares = false;
    for (int i = 0; i < alteradas.count(); ++i) {
        if (alteradas.value(i, chave).isNull()) { // ahead of the server: a restored database
            LeSequencia();
            return false;
        }
        ate = std::max(ate, alteradas.value(i, QStringLiteral("SEQUENCIA")).toLongLong());
        mudaOsLugares |= alteradas.value(i, QStringLiteral("REMOVIDA")).toInt() != 0;
    }
    sequencia_ = ate; // every change read is committed: a whole read now holds them all
    return !mudaOsLugares && piso.refreshRows(chave, alteradas, {QStringLiteral("DESCRICAO")});
}
