#pragma once
// The cached record set: a select with named parameters on one transaction, rows fetched
// on demand into typed storage, changes kept in a client-side cache with marks until they
// are applied by the update statements, a generated key, and a master record set whose
// current row feeds its parameters.

#include "data/dataset/Field.h"
#include "data/dataset/FieldDef.h"
#include "data/dataset/UpdateSql.h"
#include "data/fb/Statement.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace zk {

class Query : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Hook = std::function<void(Query&)>;

    Query(QString name, fb::Transaction& transaction, FieldDefs fields, QStringList sql = {});
    ~Query() override;

    const QString& name() const { return name_; }
    fb::Transaction& transaction() const { return transaction_; }

    // The select, line by line; each line reaches the server followed by CR LF.
    const QStringList& sql() const { return sql_; }
    QString sqlText() const;
    void setSql(QStringList lines); // only while closed

    void setUpdateSql(const UpdateSql* updateSql) { updateSql_ = updateSql; }
    void setGenerator(const QString& fieldName, const QString& generatorName);
    // A key the server gives, replacing the value sent: an inserted row learns it as soon as
    // its insert is sent, so that it can be found by it (needs derived update statements).
    void setKeyFromServer(const QString& fieldName) { serverKeyField_ = fieldName; }
    // Parameters not otherwise known come from the master's current row, by column name.
    void setMaster(Query* master);

    Hook afterInsert;
    Hook afterPost;
    Hook afterDelete;
    Hook afterOpen; // after every read, the first and each one again

    void open();
    void close();
    // A fresh read: closed and opened again, the first row current. When the read fails the
    // record set keeps the rows it held.
    void reopen();
    // Read again with every row fetched, and back on the row with the same key where it still
    // exists (on the first row otherwise).
    void reopenKeepingRow(const QString& keyField);
    // Closes and frees the prepared statements, before the connection goes.
    void release();
    bool active() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    // Navigation over the rows not marked deleted. Rows are numbered from 0.
    void first();
    void last(); // fetches every row
    void next();
    void prior();
    void moveBy(int distance);
    void moveTo(int recNo);
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    int recNo() const; // -1 without a row
    int recordCount() const { return visibleCount_; } // rows fetched so far
    bool isEmpty() const;
    bool allFetched() const { return !cursor_; }
    // Reads every row still on the server without moving.
    void fetchAll();
    // First row, from the first, whose field equals the value: it becomes current.
    bool locate(const QString& fieldName, const QVariant& value);

    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void remove();
    bool modified() const { return modified_; }
    // Sends every cached change, in row order. A refusal stops at that row with "User abort"
    // and drops its change (the row shows the server's values again), so that it does not stop
    // every later apply; a lost connection stops with its own message and keeps the change.
    void applyUpdates();
    bool updatesPending() const;

    // A change the server may or may not hold once its connection is lost: sent but not yet
    // committed, or still waiting in the cache. It keeps the row's values as they were.
    struct Change {
        UpdateSql::Kind kind = UpdateSql::Insert;
        fb::Layout layout; // how the values below are laid out
        std::shared_ptr<std::byte[]> data;     // the values to send
        std::shared_ptr<std::byte[]> original; // the values OLD_ parameters take
        std::shared_ptr<QByteArray[]> blobs;
        bool keyUnknown = false; // a new row the server took under a key it did not tell
        bool sameAs(const Change& other) const; // the same change, taken twice
        QVariant value(const QString& field) const; // as it is to be sent
    };
    // Every change not known to be on the server, copied: those sent since the last commit
    // of the record set's transaction (forgotten here once taken) and those in the cache.
    std::vector<Change> takeUnconfirmed();

    enum class Resolution {
        AlreadyThere, // the server holds it: nothing was sent
        Sent,         // the server did not hold it: sent again
        Refused,      // sent again and refused
        Conflict,     // the row is no longer as the change found it: nothing was sent
        Unverifiable, // a new row whose key the server gives and never told: it cannot be asked for
    };
    // Makes the server hold the change exactly once: reads the row by its key (the refresh
    // statement) and sends the change only when the server does not hold it yet and its row
    // is still as the change found it. A lost connection or a lock conflict is raised.
    Resolution resolve(const Change& change);

    // Rows of another select whose columns include every field of this record set (its other
    // columns are kept too), laid out as this record set's rows so that refreshRows takes them
    // as they are.
    class ReadRows {
    public:
        int count() const { return static_cast<int>(rows_.size()); }
        QVariant value(int row, const QString& column) const; // null for a column not read

    private:
        friend class Query;
        fb::Layout layout_;
        std::vector<std::unique_ptr<std::byte[]>> rows_;
    };
    ReadRows readLike(fb::Statement& select, fb::Transaction& transaction, const QVariantList& parameters);
    // Each held row whose key a read row has takes that row's values in place: no row is added,
    // removed or moved, and the current row and what a grid shows stay. Every row is fetched
    // first. Answers false, changing nothing, when a key is not held, a change is pending, or
    // a field the rows are ordered by (`orderFields`) would change: the order would be wrong.
    // rowsRefreshed names the record numbers that took new values.
    bool refreshRows(const QString& keyField, const ReadRows& read, const QStringList& orderFields = {});

    Field& fieldByName(const QString& name);
    Field* findField(const QString& name);
    const std::vector<std::unique_ptr<Field>>& fields() const { return fields_; }

    // While one of these lives, fields read the given row instead of the current one
    // (the tile grids paint every tile this way); nothing is signalled.
    class ShowRow {
    public:
        ShowRow(Query& query, int recNo);
        ~ShowRow();
        ShowRow(const ShowRow&) = delete;
        ShowRow& operator=(const ShowRow&) = delete;

    private:
        Query& query_;
        int previous_;
    };

signals:
    void dataChanged();    // what any row shows may have changed
    void currentChanged(); // another row became current
    void stateChanged();
    void rowsRefreshed(const QList<int>& recNos); // only those rows show something else

private:
    friend class Field;
    enum class Mark { None, Inserted, Modified, Deleted };
    struct Row {
        std::unique_ptr<std::byte[]> data;
        std::unique_ptr<std::byte[]> original; // as the server last had it, once changed
        std::unique_ptr<QByteArray[]> blobs;   // contents of the blob fields, by blob ordinal
        Mark mark = Mark::None;
    };

    // Opening and fetching
    void read();
    fb::Statement& prepared(std::unique_ptr<fb::Statement>& statement, int& generation, const QString& sql);
    void bindFields(const fb::Layout& columns);
    fb::Layout rowLayoutFor(const fb::Layout& columns) const;
    std::unique_ptr<std::byte[]> masterParameters(const fb::Layout& params, fb::Layout& bound) const;
    bool fetchOne();
    void addRow(std::unique_ptr<std::byte[]> data);
    void fetchThrough(qsizetype rawIndex);

    // Rows
    Row newRow() const;
    std::unique_ptr<std::byte[]> copyOf(const std::byte* data) const; // a row's values
    Row* currentRow() const;
    const std::byte* activeData() const;
    QByteArray* activeBlobs() const;
    qsizetype rawIndexOf(int recNo);
    int recNoOf(qsizetype rawIndex) const;
    qsizetype nextVisible(qsizetype from, int step);
    void setCurrent(qsizetype rawIndex);
    void startRow(bool atEnd);
    void checkBrowseMode();
    void endEditing(); // back to browsing after a post or a cancel
    void requireActive() const;
    void requireEditing() const;
    void setState(State state);

    // Applying
    static UpdateSql::Kind kindOf(Mark mark); // of a marked row
    // Answers whether the server's row is known by the key the row now holds.
    bool applyRow(qsizetype rawIndex);
    bool learnKey(Row& row);
    void refused(qsizetype rawIndex);
    Change changeOf(const Row& row) const;
    void noteSent(const Row& row, bool keyKnown);
    // Fills a statement's parameters named after fields from a row laid out by `layout`.
    fb::Layout bindRow(const fb::Statement& statement, const fb::Layout& layout, const std::byte* data,
                       const std::byte* original, const QByteArray* blobs, std::unique_ptr<std::byte[]>& buffer);
    void send(UpdateSql::Kind kind, const fb::Layout& layout, const std::byte* data, const std::byte* original,
              const QByteArray* blobs);
    std::optional<QVariantList> serverRow(const Change& change);
    fb::Statement& updateStatement(UpdateSql::Kind kind);
    int nextGeneratorValue();

    // Details follow once the outermost operation has succeeded; when it fails they follow
    // at the next one.
    class Notify {
    public:
        explicit Notify(Query& query);
        ~Notify() noexcept(false);

    private:
        Query& query_;
        int exceptions_;
    };
    void recordMoved() { recordDirty_ = true; }

    QString name_;
    fb::Transaction& transaction_;
    QStringList sql_;
    const UpdateSql* updateSql_ = nullptr;
    QString generatorField_;
    QString generatorName_;
    QString serverKeyField_;
    Query* master_ = nullptr;
    std::vector<Query*> details_;
    std::vector<std::unique_ptr<Field>> fields_;
    std::vector<int> blobFields_; // field indexes of the blob fields

    std::unique_ptr<fb::Statement> select_;
    int selectGeneration_ = -1;
    std::unique_ptr<fb::Statement> generator_;
    int generatorGeneration_ = -1;
    std::unique_ptr<fb::Statement> updates_[3];
    int updatesGeneration_[3] = {-1, -1, -1};
    std::unique_ptr<fb::Statement> refresh_;
    int refreshGeneration_ = -1;
    std::unique_ptr<fb::Statement> insertedKeys_;
    int insertedKeysGeneration_ = -1;

    std::vector<Change> sent_; // applied since the transaction's work was settled sentAt_ times
    quint64 sentAt_ = 0;

    fb::Layout rowLayout_;
    std::unique_ptr<fb::Cursor> cursor_;
    std::vector<Row> rows_;
    int visibleCount_ = 0;
    int deletedCount_ = 0;
    qsizetype current_ = -1;
    static constexpr qsizetype noRow = -2;
    qsizetype shown_ = -1; // row shown by a ShowRow: -1 the current one, noRow none
    bool bof_ = true;
    bool eof_ = true;

    State state_ = State::Inactive;
    bool modified_ = false;
    std::unique_ptr<std::byte[]> editBackup_;
    std::unique_ptr<QByteArray[]> editBlobBackup_;
    qsizetype beforeInsert_ = -1;

    int notifyDepth_ = 0;
    bool recordDirty_ = false;
};

} // namespace zk
