#pragma once
// The floor read by what changed. With db/live-floor.sql every change of a table or of an
// order line marks its table with a sequence; on the floor's event only the tables changed
// since the last sequence seen are read (SPALTERACOESMESAS) and merged into the floor by key.
// Whatever cannot be merged is left to a whole read, as without the script: a table added,
// removed or renumbered (the tiles' order changes), a sequence not yet known (a new
// connection) or ahead of the server's (a restored database), a change still being written,
// and a database without the procedures.

#include "data/dataset/Query.h"
#include "data/fb/Transaction.h"

#include <QElapsedTimer>

#include <memory>
#include <optional>

class AlteracoesDoPiso {
public:
    explicit AlteracoesDoPiso(zk::fb::Attachment& db);
    ~AlteracoesDoPiso();
    AlteracoesDoPiso(const AlteracoesDoPiso&) = delete;
    AlteracoesDoPiso& operator=(const AlteracoesDoPiso&) = delete;

    // Merges the tables changed since the last sequence seen into `piso`, answering true; false
    // when the floor must be read whole instead, right after (the sequence is then made ready
    // for that read).
    bool Mescla(zk::Query& piso);

    // Frees the statements and ends the transaction, before the connection goes.
    void Libera();

    // The sequence the floor was last brought up to; nothing while unknown.
    std::optional<qint64> Sequencia() const { return sequencia_; }

    // A database without the procedures is asked again after this long: the script may have
    // been applied while the terminal runs.
    static constexpr int IntervaloSemProcedimento = 60'000; // ms

private:
    bool Disponivel();
    void LeSequencia();

    zk::fb::Attachment& db_;
    zk::fb::Transaction TsPiso; // reads fail on a change being written, never pass it over
    std::unique_ptr<zk::fb::Statement> alteracoes_;
    std::unique_ptr<zk::fb::Statement> sequenciaAtual_;
    int geracao_ = -1; // of the connection the sequence and the statements belong to
    std::optional<qint64> sequencia_;
    QElapsedTimer ausente_; // valid since the procedures were found missing
};
