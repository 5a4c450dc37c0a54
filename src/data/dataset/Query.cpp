#include "data/dataset/Query.h"

#include "data/fb/Bytes.h"

#include <cstring>

namespace zk {

namespace {
constexpr qsizetype cacheStep = 1000; // the row cache grows this many rows at a time

QString prefixed(const QString& name, const QString& text) { return name + QStringLiteral(": ") + text; }

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
} // namespace

// ---- construction -------------------------------------------------------------------

Query::Query(QString name, fb::Transaction& transaction, FieldDefs fields, QStringList sql)
    : name_(std::move(name)), transaction_(transaction), sql_(std::move(sql))
{
    fields_.reserve(fields.size());
    for (const FieldDef& def : fields) {
        auto field = std::make_unique<Field>(*this, def, static_cast<int>(fields_.size()));
        if (def.type == FieldType::Blob) {
            field->blobOrdinal_ = static_cast<int>(blobFields_.size());
            blobFields_.push_back(field->index());
        }
        fields_.push_back(std::move(field));
    }
}

Query::~Query()
{
    setMaster(nullptr);
    for (Query* detail : details_)
        detail->master_ = nullptr;
}

QString Query::sqlText() const
{
    QString text;
    for (const QString& line : sql_)
        text += line + QStringLiteral("\r\n");
    return text;
}

void Query::setSql(QStringList lines)
{
    if (active())
        throw DatasetError(prefixed(name_, QStringLiteral("A consulta não pode ser trocada enquanto está aberta")));
    sql_ = std::move(lines);
    select_.reset();
}

void Query::setGenerator(const QString& fieldName, const QString& generatorName)
{
    generatorField_ = fieldName;
    generatorName_ = generatorName;
    generator_.reset();
}

void Query::setMaster(Query* master)
{
    if (master_)
        std::erase(master_->details_, this);
    master_ = master;
    if (master_)
        master_->details_.push_back(this);
}

Field* Query::findField(const QString& name)
{
    for (auto& field : fields_)
        if (sameName(field->name(), name))
            return field.get();
    return nullptr;
}

Field& Query::fieldByName(const QString& name)
{
    if (Field* field = findField(name))
        return *field;
    throw DatasetError(prefixed(name_, QStringLiteral("Field '%1' not found").arg(name)));
}

// ---- opening and fetching -----------------------------------------------------------

// Statements stay prepared while the connection they were prepared on lasts.
fb::Statement& Query::prepared(std::unique_ptr<fb::Statement>& statement, int& generation, const QString& sql)
{
    int current = transaction_.attachment().generation();
    if (!statement || generation != current) {
        statement.reset();
        statement = std::make_unique<fb::Statement>(transaction_, sql);
        generation = current;
    }
    return *statement;
}

fb::Layout Query::rowLayoutFor(const fb::Layout& columns) const
{
    std::vector<std::optional<fb::SqlType>> types(columns.columns().size());
    for (const auto& field : fields_) {
        auto column = std::find_if(columns.columns().begin(), columns.columns().end(),
                                   [&](const fb::Column& c) { return sameName(c.name, field->name()); });
        if (column == columns.columns().end())
            throw DatasetError(prefixed(name_, QStringLiteral("Field '%1' not found").arg(field->name())));
        auto storage = Field::storageFor(field->type(), *column);
        if (!storage)
            throw DatasetError(prefixed(name_, QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                                                   .arg(field->name(), Field::typeName(field->type()),
                                                        fb::typeName(column->type, column->scale))));
        types[column - columns.columns().begin()] = storage;
    }
    return columns.coerced(types);
}

void Query::bindFields(const fb::Layout& rows)
{
    for (auto& field : fields_) {
        field->column_ = &*std::find_if(rows.columns().begin(), rows.columns().end(),
                                        [&](const fb::Column& c) { return sameName(c.name, field->name()); });
    }
}

std::unique_ptr<std::byte[]> Query::masterParameters(const fb::Layout& params, fb::Layout& bound) const
{
    const QStringList& names = select_->parameterNames();
    std::vector<std::optional<fb::SqlType>> types(params.columns().size());
    std::vector<Field*> sources(params.columns().size(), nullptr);
    for (qsizetype i = 0; i < names.size() && i < qsizetype(types.size()); ++i) {
        Field* source = master_ && master_->active() ? master_->findField(names[i]) : nullptr;
        if (source && source->column_) {
            types[i] = fb::SqlType::of(*source->column_);
            sources[i] = source;
        }
    }
    bound = params.coerced(types);
    auto buffer = bound.newBuffer();
    const std::byte* masterRow = master_ ? master_->activeData() : nullptr;
    for (size_t i = 0; i < sources.size(); ++i) {
        // Without a current master row the parameter stays null and the detail is empty.
        if (sources[i] && masterRow)
            fb::copyValue(*sources[i]->column_, masterRow, bound.columns()[i], buffer.get());
    }
    return buffer;
}

void Query::open()
{
    if (!active())
        read();
}

void Query::reopen()
{
    if (!active())
        return open();
    cursor_.reset(); // the earlier read ends: its statement serves the new one
    read();
}

void Query::reopenKeepingRow(const QString& keyField)
{
    const QVariant key = active() && !isEmpty() ? fieldByName(keyField).value() : QVariant();
    reopen();
    last();
    first();
    if (!key.isNull())
        locate(keyField, key);
}

// The select run afresh. The rows held so far go only once the server has answered: a read
// that fails (the connection is gone) leaves them as they were.
void Query::read()
{
    fb::Attachment& db = transaction_.attachment();
    db.ensureConnected();
    transaction_.ensureStarted();
    fb::Statement& select = prepared(select_, selectGeneration_, sqlText());
    fb::Layout rowLayout = rowLayoutFor(select.outputLayout());
    fb::Layout params;
    auto paramBuffer = masterParameters(select.inputLayout(), params);
    auto cursor = select.open(transaction_, params, paramBuffer.get(), rowLayout);
    // The server's answer may come only with the first row: it is fetched before anything held goes.
    auto first = std::make_unique_for_overwrite<std::byte[]>(rowLayout.messageLength());
    const bool any = cursor->fetch(first.get());
    close();
    cursor_ = any ? std::move(cursor) : nullptr;
    rowLayout_ = std::move(rowLayout);
    bindFields(rowLayout_);

    Notify notify(*this);
    rows_.clear();
    visibleCount_ = deletedCount_ = 0;
    current_ = -1;
    modified_ = false;
    setState(State::Browse);
    if (any)
        addRow(std::move(first));
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    recordMoved();
    emit dataChanged();
    emit currentChanged();
    if (afterOpen)
        afterOpen(*this);
}

void Query::close()
{
    if (!active())
        return;
    cursor_.reset();
    rows_.clear();
    rows_.shrink_to_fit();
    visibleCount_ = deletedCount_ = 0;
    current_ = shown_ = -1;
    editBackup_.reset();
    editBlobBackup_.reset();
    modified_ = false;
    for (auto& field : fields_)
        field->column_ = nullptr;
    setState(State::Inactive);
    emit dataChanged();
    emit currentChanged();
}

void Query::release()
{
    close();
    select_.reset();
    generator_.reset();
    for (auto& statement : updates_)
        statement.reset();
}

bool Query::fetchOne()
{
    if (!cursor_)
        return false;
    auto data = std::make_unique_for_overwrite<std::byte[]>(rowLayout_.messageLength());
    if (!cursor_->fetch(data.get())) {
        cursor_.reset(); // every row is here: the cursor is done
        return false;
    }
    addRow(std::move(data));
    return true;
}

void Query::addRow(std::unique_ptr<std::byte[]> data)
{
    Row row;
    row.data = std::move(data);
    if (!blobFields_.empty()) {
        row.blobs = std::make_unique<QByteArray[]>(blobFields_.size());
        for (size_t b = 0; b < blobFields_.size(); ++b) {
            const fb::Column& c = *fields_[blobFields_[b]]->column_;
            if (!fb::isNull(c, row.data.get()))
                row.blobs[b] = transaction_.attachment().readBlob(transaction_,
                                                                  fb::load<fb::sql::BlobId>(row.data.get() + c.offset));
        }
    }
    if (rows_.size() == rows_.capacity())
        rows_.reserve(rows_.size() + cacheStep);
    rows_.push_back(std::move(row));
    ++visibleCount_;
}

void Query::fetchThrough(qsizetype rawIndex)
{
    while (qsizetype(rows_.size()) <= rawIndex && fetchOne()) {
    }
}

void Query::fetchAll()
{
    bool fetched = false;
    while (fetchOne())
        fetched = true;
    if (fetched)
        emit dataChanged();
}

// ---- rows and navigation ------------------------------------------------------------

Query::Row Query::newRow() const
{
    Row row;
    row.data = rowLayout_.newBuffer();
    if (!blobFields_.empty())
        row.blobs = std::make_unique<QByteArray[]>(blobFields_.size());
    row.mark = Mark::Inserted;
    return row;
}

std::unique_ptr<std::byte[]> Query::copyOf(const std::byte* data) const
{
    auto copy = std::make_unique_for_overwrite<std::byte[]>(rowLayout_.messageLength());
    std::memcpy(copy.get(), data, rowLayout_.messageLength());
    return copy;
}

Query::Row* Query::currentRow() const
{
    if (shown_ == noRow)
        return nullptr;
    qsizetype index = shown_ >= 0 ? shown_ : current_;
    return index >= 0 && index < qsizetype(rows_.size()) ? const_cast<Row*>(&rows_[index]) : nullptr;
}

const std::byte* Query::activeData() const
{
    Row* row = active() ? currentRow() : nullptr;
    return row ? row->data.get() : nullptr;
}

QByteArray* Query::activeBlobs() const
{
    Row* row = currentRow();
    return row ? row->blobs.get() : nullptr;
}

bool Query::isEmpty() const { return visibleCount_ == 0; }

int Query::recNoOf(qsizetype rawIndex) const
{
    if (rawIndex < 0)
        return -1;
    if (deletedCount_ == 0)
        return static_cast<int>(rawIndex);
    int recNo = 0;
    for (qsizetype i = 0; i < rawIndex; ++i)
        if (rows_[i].mark != Mark::Deleted)
            ++recNo;
    return recNo;
}

int Query::recNo() const { return active() && current_ >= 0 ? recNoOf(current_) : -1; }

qsizetype Query::rawIndexOf(int recNo)
{
    if (recNo < 0)
        return -1;
    if (deletedCount_ == 0) {
        fetchThrough(recNo);
        return recNo < qsizetype(rows_.size()) ? recNo : -1;
    }
    int seen = -1;
    for (qsizetype i = 0;; ++i) {
        fetchThrough(i);
        if (i >= qsizetype(rows_.size()))
            return -1;
        if (rows_[i].mark != Mark::Deleted && ++seen == recNo)
            return i;
    }
}

// The next row not marked deleted from `from` in direction `step`, fetching as needed; -1 when none.
qsizetype Query::nextVisible(qsizetype from, int step)
{
    for (qsizetype i = from; i >= 0; i += step) {
        fetchThrough(i);
        if (i >= qsizetype(rows_.size()))
            return -1;
        if (rows_[i].mark != Mark::Deleted)
            return i;
    }
    return -1;
}

void Query::setCurrent(qsizetype rawIndex)
{
    if (rawIndex == current_)
        return;
    current_ = rawIndex;
    recordMoved();
    emit currentChanged();
}

void Query::requireActive() const
{
    if (!active())
        throw DatasetError(prefixed(name_, QStringLiteral("Cannot perform this operation on a closed dataset")));
}

void Query::requireEditing() const
{
    requireActive();
    if (state_ != State::Edit && state_ != State::Insert)
        throw DatasetError(prefixed(name_, QStringLiteral("Nenhum registro está sendo incluído ou alterado")));
}

void Query::setState(State state)
{
    if (state_ == state)
        return;
    state_ = state;
    emit stateChanged();
}

// A row being edited is posted when something was set in it, otherwise dropped.
void Query::checkBrowseMode()
{
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    if (modified_)
        post();
    else
        cancel();
}

void Query::first()
{
    requireActive();
    Notify notify(*this);
    checkBrowseMode();
    qsizetype target = nextVisible(0, 1);
    setCurrent(target);
    bof_ = true;
    eof_ = target < 0;
}

void Query::last()
{
    requireActive();
    Notify notify(*this);
    checkBrowseMode();
    fetchAll();
    qsizetype target = rows_.empty() ? -1 : nextVisible(qsizetype(rows_.size()) - 1, -1);
    setCurrent(target);
    eof_ = true;
    bof_ = target < 0;
}

void Query::moveBy(int distance)
{
    requireActive();
    Notify notify(*this);
    checkBrowseMode();
    bof_ = eof_ = false;
    if (current_ < 0) {
        bof_ = eof_ = true;
        return;
    }
    int step = distance >= 0 ? 1 : -1;
    qsizetype at = current_;
    std::size_t fetchedBefore = rows_.size();
    for (int moved = 0; moved != distance; moved += step) {
        qsizetype candidate = nextVisible(at + step, step);
        if (candidate < 0) {
            (step > 0 ? eof_ : bof_) = true;
            break;
        }
        at = candidate;
    }
    setCurrent(at);
    if (rows_.size() != fetchedBefore)
        emit dataChanged();
}

void Query::next() { moveBy(1); }

void Query::prior() { moveBy(-1); }

void Query::moveTo(int recNo)
{
    requireActive();
    Notify notify(*this);
    // The row asked for is the one at that place now: leaving a new row untouched drops it,
    // and every row after it moves up by one.
    const std::size_t fetchedBefore = rows_.size();
    const qsizetype wanted = rawIndexOf(recNo);
    const bool fetched = rows_.size() != fetchedBefore;
    const std::byte* wantedRow = wanted >= 0 ? rows_[wanted].data.get() : nullptr;
    checkBrowseMode();
    auto found = std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) { return r.data.get() == wantedRow; });
    if (!wantedRow || found == rows_.end()) {
        // Past the last row (or the dropped row itself): as far as the rows go.
        int here = this->recNo();
        if (here < 0)
            return first();
        return moveBy(recNo - here);
    }
    setCurrent(found - rows_.begin());
    bof_ = eof_ = false;
    if (fetched)
        emit dataChanged();
}

bool Query::locate(const QString& fieldName, const QVariant& value)
{
    requireActive();
    Notify notify(*this);
    checkBrowseMode();
    Field& field = fieldByName(fieldName);
    for (qsizetype i = nextVisible(0, 1); i >= 0; i = nextVisible(i + 1, 1)) {
        shown_ = i;
        bool found = field.equals(value);
        shown_ = -1;
        if (found) {
            setCurrent(i);
            bof_ = eof_ = false;
            return true;
        }
    }
    return false;
}

// ---- rows read elsewhere ----------------------------------------------------------------

QVariant Query::ReadRows::value(int row, const QString& column) const
{
    for (const fb::Column& c : layout_.columns())
        if (sameName(c.name, column))
            return fb::decode(c, rows_[row].get());
    return {};
}

Query::ReadRows Query::readLike(fb::Statement& select, fb::Transaction& transaction, const QVariantList& parameters)
{
    requireActive();
    ReadRows read;
    read.layout_ = rowLayoutFor(select.outputLayout());
    auto cursor = select.open(transaction, parameters, read.layout_);
    for (;;) {
        auto row = std::make_unique_for_overwrite<std::byte[]>(read.layout_.messageLength());
        if (!cursor->fetch(row.get()))
            break;
        read.rows_.push_back(std::move(row));
    }
    return read;
}

bool Query::refreshRows(const QString& keyField, const ReadRows& read, const QStringList& orderFields)
{
    if (state_ != State::Browse || updatesPending())
        return false;
    fetchAll();
    std::vector<std::pair<const fb::Column*, const fb::Column*>> columns; // read -> held
    for (const auto& field : fields_)
        for (const fb::Column& c : read.layout_.columns())
            if (sameName(c.name, field->name())) {
                if (c.type != field->column_->type || c.length != field->column_->length || c.scale != field->column_->scale)
                    return false; // stored otherwise than the rows held: they cannot take it as it is
                columns.emplace_back(&c, field->column_);
            }
    const fb::Column* heldKey = fieldByName(keyField).column_;
    const fb::Column* readKey = std::find_if(columns.begin(), columns.end(), [&](const auto& c) {
                                    return c.second == heldKey;
                                })->first;
    // A few rows among many: each is looked for by its key's bytes.
    std::vector<qsizetype> targets;
    for (const auto& row : read.rows_) {
        if (fb::isNull(*readKey, row.get()))
            return false;
        const auto held = std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) {
            return r.mark != Mark::Deleted && !fb::isNull(*heldKey, r.data.get()) &&
                   std::memcmp(r.data.get() + heldKey->offset, row.get() + readKey->offset, fb::valueBytes(*heldKey)) == 0;
        });
        if (held == rows_.end())
            return false;
        targets.push_back(held - rows_.begin());
    }
    for (const QString& name : orderFields) {
        const Field& order = fieldByName(name);
        for (const auto& [from, to] : columns)
            if (to == order.column_)
                for (size_t r = 0; r < targets.size(); ++r)
                    if (fb::decode(*from, read.rows_[r].get()) != fb::decode(*to, rows_[targets[r]].data.get()))
                        return false;
    }
    QList<int> recNos;
    for (size_t r = 0; r < targets.size(); ++r) {
        std::byte* target = rows_[targets[r]].data.get();
        for (const auto& [from, to] : columns)
            fb::copyValue(*from, read.rows_[r].get(), *to, target);
        recNos << recNoOf(targets[r]);
    }
    if (!recNos.isEmpty())
        emit rowsRefreshed(recNos);
    return true;
}

Query::ShowRow::ShowRow(Query& query, int recNo) : query_(query), previous_(static_cast<int>(query.shown_))
{
    qsizetype raw = query_.rawIndexOf(recNo);
    query_.shown_ = raw >= 0 ? raw : noRow; // past the last row: nothing, never the current row
}

Query::ShowRow::~ShowRow() { query_.shown_ = previous_; }

// ---- changing rows ------------------------------------------------------------------

Query::Notify::Notify(Query& query) : query_(query), exceptions_(std::uncaught_exceptions()) { ++query_.notifyDepth_; }

Query::Notify::~Notify() noexcept(false)
{
    if (--query_.notifyDepth_ > 0 || !query_.recordDirty_ || std::uncaught_exceptions() != exceptions_)
        return;
    query_.recordDirty_ = false;
    for (Query* detail : query_.details_) {
        if (detail->active()) {
            detail->close();
            detail->open();
        }
    }
}

int Query::nextGeneratorValue()
{
    QString quoted = u'"' + QString(generatorName_).replace(u'"', QStringLiteral("\"\"")) + u'"';
    fb::Statement& generator = prepared(generator_, generatorGeneration_,
                                        QStringLiteral("SELECT GEN_ID(%1, %2) FROM RDB$DATABASE").arg(quoted).arg(1));
    const std::optional<QVariantList> value = generator.open(transaction_)->next();
    if (!value)
        throw DatabaseError(QStringLiteral("O gerador %1 não devolveu nenhum valor").arg(generatorName_));
    return value->front().toInt();
}

void Query::startRow(bool atEnd)
{
    requireActive();
    Notify notify(*this);
    checkBrowseMode();
    std::optional<int> key;
    if (!generatorField_.isEmpty())
        key = nextGeneratorValue(); // fails before anything changes: no row is started

    beforeInsert_ = current_;
    qsizetype at = atEnd || current_ < 0 ? qsizetype(rows_.size()) : current_;
    if (atEnd)
        fetchAll();
    at = atEnd ? qsizetype(rows_.size()) : at;
    rows_.insert(rows_.begin() + at, newRow());
    ++visibleCount_;
    current_ = at;
    modified_ = false;
    setState(State::Insert);
    if (key)
        fieldByName(generatorField_).setInteger(*key);
    recordMoved();
    emit dataChanged();
    emit currentChanged();
    if (afterInsert)
        afterInsert(*this);
}

void Query::append() { startRow(true); }

void Query::insert() { startRow(false); }

void Query::edit()
{
    requireActive();
    if (state_ == State::Edit || state_ == State::Insert)
        return;
    if (isEmpty())
        return insert();
    Row& row = *currentRow();
    editBackup_ = copyOf(row.data.get());
    if (row.blobs) {
        editBlobBackup_ = std::make_unique<QByteArray[]>(blobFields_.size());
        std::copy_n(row.blobs.get(), blobFields_.size(), editBlobBackup_.get());
    }
    modified_ = false;
    setState(State::Edit);
}

void Query::post()
{
    requireEditing();
    Notify notify(*this);
    for (const auto& field : fields_) {
        if (field->required() && field->isNull())
            throw DatasetError(QStringLiteral("Field '%1' must have a value").arg(field->name()));
    }
    Row& row = *currentRow();
    if (state_ == State::Edit && modified_ && row.mark == Mark::None) {
        row.original = std::move(editBackup_); // the values the server has, for OLD_ parameters
        row.mark = Mark::Modified;
    }
    endEditing();
    if (afterPost)
        afterPost(*this);
}

void Query::endEditing()
{
    editBackup_.reset();
    editBlobBackup_.reset();
    modified_ = false;
    setState(State::Browse);
    recordMoved();
    emit dataChanged();
}

void Query::cancel()
{
    requireActive();
    Notify notify(*this);
    if (state_ == State::Insert) {
        rows_.erase(rows_.begin() + current_);
        --visibleCount_;
        // Back to the row that was current when the new one started.
        current_ = beforeInsert_ >= 0 && beforeInsert_ < qsizetype(rows_.size()) ? beforeInsert_ : nextVisible(0, 1);
    } else if (state_ == State::Edit) {
        Row& row = *currentRow();
        std::memcpy(row.data.get(), editBackup_.get(), rowLayout_.messageLength());
        if (editBlobBackup_)
            std::copy_n(editBlobBackup_.get(), blobFields_.size(), row.blobs.get());
    } else {
        return;
    }
    endEditing();
    emit currentChanged();
}

void Query::remove()
{
    requireActive();
    Notify notify(*this);
    if (state_ == State::Insert)
        return cancel();
    if (state_ == State::Edit)
        cancel();
    if (isEmpty() || current_ < 0)
        throw DatasetError(prefixed(name_, QStringLiteral("Cannot perform this operation on an empty dataset")));
    Row& row = rows_[current_];
    --visibleCount_;
    if (row.mark == Mark::Inserted) {
        rows_.erase(rows_.begin() + current_); // never reached the server: nothing to send
    } else {
        if (!row.original)
            row.original = copyOf(row.data.get());
        row.mark = Mark::Deleted;
        ++deletedCount_;
    }
    qsizetype after = nextVisible(current_, 1);
    current_ = after >= 0 ? after : (current_ > 0 ? nextVisible(current_ - 1, -1) : -1);
    eof_ = after < 0;
    recordMoved();
    emit dataChanged();
    emit currentChanged();
    if (afterDelete)
        afterDelete(*this);
}

// ---- applying cached changes ----------------------------------------------------------

bool Query::updatesPending() const
{
    return std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.mark != Mark::None; });
}

fb::Statement& Query::updateStatement(UpdateSql::Kind kind)
{
    return prepared(updates_[kind], updatesGeneration_[kind], updateSql_->text(kind));
}

namespace {
// A column of a row layout, by the name of the field it holds.
const fb::Column& columnNamed(const fb::Layout& layout, const QString& name)
{
    auto found = std::find_if(layout.columns().begin(), layout.columns().end(),
                              [&](const fb::Column& c) { return sameName(c.name, name); });
    if (found == layout.columns().end())
        throw DatasetError(QStringLiteral("Field '%1' not found").arg(name));
    return *found;
}
} // namespace

fb::Layout Query::bindRow(const fb::Statement& statement, const fb::Layout& layout, const std::byte* data,
                          const std::byte* original, const QByteArray* blobs, std::unique_ptr<std::byte[]>& buffer)
{
    const QStringList& names = statement.parameterNames();
    const fb::Layout& declared = statement.inputLayout();
    std::vector<std::optional<fb::SqlType>> types(declared.columns().size());
    std::vector<std::pair<const Field*, bool>> sources; // field, old value
    for (qsizetype i = 0; i < names.size() && i < qsizetype(types.size()); ++i) {
        bool old = names[i].startsWith(QStringLiteral("OLD_"), Qt::CaseInsensitive);
        const Field& field = fieldByName(old ? names[i].mid(4) : names[i]);
        types[i] = fb::SqlType::of(columnNamed(layout, field.name()));
        sources.emplace_back(&field, old);
    }
    fb::Layout bound = declared.coerced(types);
    buffer = bound.newBuffer();
    for (size_t i = 0; i < sources.size(); ++i) {
        const auto [field, old] = sources[i];
        const std::byte* from = old && original ? original : data;
        const fb::Column& src = columnNamed(layout, field->name());
        const fb::Column& to = bound.columns()[i];
        if (src.type == fb::sql::blob && !fb::isNull(src, from)) {
            fb::setNull(to, buffer.get(), false);
            fb::store(buffer.get() + to.offset,
                      transaction_.attachment().writeBlob(transaction_, blobs[field->blobOrdinal_]));
        } else {
            fb::copyValue(src, from, to, buffer.get());
        }
    }
    return bound;
}

void Query::send(UpdateSql::Kind kind, const fb::Layout& layout, const std::byte* data, const std::byte* original,
                 const QByteArray* blobs)
{
    fb::Statement& statement = updateStatement(kind);
    std::unique_ptr<std::byte[]> buffer;
    fb::Layout bound = bindRow(statement, layout, data, original, blobs, buffer);
    if (statement.execute(transaction_, bound, buffer.get()) != 1)
        throw DatasetError(QStringLiteral("User abort"));
}

UpdateSql::Kind Query::kindOf(Mark mark)
{
    return mark == Mark::Inserted ? UpdateSql::Insert : mark == Mark::Modified ? UpdateSql::Modify : UpdateSql::Delete;
}

bool Query::applyRow(qsizetype rawIndex)
{
    Row& row = rows_[rawIndex];
    send(kindOf(row.mark), rowLayout_, row.data.get(), row.original.get(), row.blobs.get());
    return row.mark != Mark::Inserted || serverKeyField_.isEmpty() || learnKey(row);
}

// Of the rows this transaction wrote with the new row's values, the first whose key no other
// row here holds: rows alike in every column are interchangeable. A server that cannot say
// leaves the row with the key it was sent with, as before: the insert itself went well.
bool Query::learnKey(Row& row)
{
    const fb::Column& key = columnNamed(rowLayout_, serverKeyField_);
    auto held = [&](const QVariant& value) {
        return std::any_of(rows_.begin(), rows_.end(), [&](const Row& other) {
            return &other != &row && fb::decode(key, other.data.get()) == value;
        });
    };
    try {
        fb::Statement& written = prepared(insertedKeys_, insertedKeysGeneration_, updateSql_->insertedKeysText());
        std::unique_ptr<std::byte[]> buffer;
        const fb::Layout bound = bindRow(written, rowLayout_, row.data.get(), nullptr, row.blobs.get(), buffer);
        std::unique_ptr<fb::Cursor> keys = written.open(transaction_, bound, buffer.get(), written.outputLayout());
        while (const std::optional<QVariantList> found = keys->next()) {
            if (!held(found->front())) {
                fb::encode(key, row.data.get(), found->front());
                return true;
            }
        }
    } catch (const DatabaseError& e) {
        if (e.connectionLost())
            throw;
    }
    return false;
}

Query::Change Query::changeOf(const Row& row) const
{
    Change change;
    change.kind = kindOf(row.mark);
    change.layout = rowLayout_;
    change.data = std::shared_ptr<std::byte[]>(copyOf(row.data.get()).release());
    if (row.original)
        change.original = std::shared_ptr<std::byte[]>(copyOf(row.original.get()).release());
    if (row.blobs) {
        change.blobs = std::shared_ptr<QByteArray[]>(new QByteArray[blobFields_.size()]);
        std::copy_n(row.blobs.get(), blobFields_.size(), change.blobs.get());
    }
    return change;
}

// A change the server has, but not yet for good: it is the transaction's until its commit.
void Query::noteSent(const Row& row, bool keyKnown)
{
    if (sentAt_ != transaction_.settled()) {
        sent_.clear(); // committed since
        sentAt_ = transaction_.settled();
    }
    sent_.push_back(changeOf(row));
    sent_.back().keyUnknown = !keyKnown;
}

std::vector<Query::Change> Query::takeUnconfirmed()
{
    std::vector<Change> changes;
    if (sentAt_ == transaction_.settled())
        changes = std::move(sent_);
    sent_.clear();
    // A new row still being filled in was never posted: it is nobody's change yet.
    const Row* started = state_ == State::Insert ? currentRow() : nullptr;
    for (const Row& row : rows_)
        if (row.mark != Mark::None && &row != started)
            changes.push_back(changeOf(row));
    return changes;
}

void Query::applyUpdates()
{
    requireActive();
    Notify notify(*this);
    if (state_ == State::Edit || state_ == State::Insert)
        post();
    const Row* remembered = currentRow();
    const std::byte* rememberedData = remembered ? remembered->data.get() : nullptr;
    auto restoreCurrent = [&] {
        auto found = std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) {
            return r.data.get() == rememberedData && r.mark != Mark::Deleted;
        });
        current_ = found != rows_.end() ? found - rows_.begin() : nextVisible(0, 1);
        recordMoved();
        emit dataChanged();
        emit currentChanged();
    };
    qsizetype sending = -1;
    try {
        if (!serverKeyField_.isEmpty() && updatesPending())
            fetchAll(); // a key the server gives is told apart from those of every row
        for (qsizetype i = 0; i < qsizetype(rows_.size());) {
            Row& row = rows_[i];
            if (row.mark == Mark::None) {
                ++i;
                continue;
            }
            if (!updateSql_)
                throw DatasetError(prefixed(name_, QStringLiteral("Esta consulta não grava alterações")));
            sending = i;
            noteSent(row, applyRow(i));
            if (row.mark == Mark::Deleted) {
                rows_.erase(rows_.begin() + i);
                --deletedCount_;
                continue;
            }
            row.mark = Mark::None;
            row.original.reset(); // the server now holds what the row shows
            ++i;
        }
    } catch (const DatabaseError& e) {
        if (e.connectionLost()) {
            restoreCurrent();
            throw; // not a refusal: the change waits for the connection to come back
        }
        refused(sending);
        restoreCurrent();
        throw DatasetError(QStringLiteral("User abort"));
    } catch (const std::exception&) {
        refused(sending);
        restoreCurrent();
        throw DatasetError(QStringLiteral("User abort"));
    }
    restoreCurrent();
}

// The server refused the row's change (the server's own message is not passed on). Kept in
// the cache it would be sent first at every later apply and stop them all: it goes, and the
// row shows again what the server has.
void Query::refused(qsizetype rawIndex)
{
    if (rawIndex < 0 || rawIndex >= qsizetype(rows_.size()))
        return;
    Row& row = rows_[rawIndex];
    switch (row.mark) {
    case Mark::Inserted:
        rows_.erase(rows_.begin() + rawIndex);
        --visibleCount_;
        return;
    case Mark::Modified:
        std::memcpy(row.data.get(), row.original.get(), rowLayout_.messageLength());
        break;
    case Mark::Deleted:
        ++visibleCount_;
        --deletedCount_;
        break;
    case Mark::None:
        return;
    }
    row.original.reset();
    row.mark = Mark::None;
}

// ---- changes the server may not hold ---------------------------------------------------

bool Query::Change::sameAs(const Change& other) const
{
    // Taken twice (sent, then found still in the cache): the same values before and after.
    if (kind != other.kind || layout.columns().size() != other.layout.columns().size())
        return false;
    const unsigned length = layout.messageLength();
    auto same = [length](const std::shared_ptr<std::byte[]>& a, const std::shared_ptr<std::byte[]>& b) {
        return (!a && !b) || (a && b && std::memcmp(a.get(), b.get(), length) == 0);
    };
    return length == other.layout.messageLength() && same(data, other.data) && same(original, other.original);
}

QVariant Query::Change::value(const QString& field) const { return fb::decode(columnNamed(layout, field), data.get()); }

// The row the refresh statement finds by the change's key, as the server has it now.
std::optional<QVariantList> Query::serverRow(const Change& change)
{
    fb::Statement& refresh = prepared(refresh_, refreshGeneration_, updateSql_->refreshText());
    std::unique_ptr<std::byte[]> buffer;
    // The row is found by its key as the server last had it.
    const std::byte* keyedBy = change.original ? change.original.get() : change.data.get();
    fb::Layout bound = bindRow(refresh, change.layout, keyedBy, nullptr, change.blobs.get(), buffer);
    return refresh.open(transaction_, bound, buffer.get(), refresh.outputLayout())->next();
}

Query::Resolution Query::resolve(const Change& change)
{
    transaction_.ensureStarted();
    // A new row is asked for by its key: one taken from the generator, or the one the server
    // gave and told (learnKey); one not sent at all still holds the placeholder, which no row has.
    if (change.kind == UpdateSql::Insert && generatorField_.isEmpty() && (serverKeyField_.isEmpty() || change.keyUnknown))
        return Resolution::Unverifiable;
    const std::optional<QVariantList> server = serverRow(change);
    // Whether the server's row holds the values of a buffer of the change, column by column.
    auto comparable = [](const QVariant& value) {
        // Fixed-length text comes back padded.
        return value.typeId() == QMetaType::QString ? QVariant(value.toString().trimmed()) : value;
    };
    auto holds = [&](const std::byte* values) {
        const auto& columns = refresh_->outputLayout().columns();
        for (size_t i = 0; i < columns.size(); ++i)
            if (comparable(fb::decode(columnNamed(change.layout, columns[i].name), values)) != comparable((*server)[i]))
                return false;
        return true;
    };
    switch (change.kind) {
    case UpdateSql::Insert:
        if (server)
            return Resolution::AlreadyThere;
        break;
    case UpdateSql::Delete:
        if (!server)
            return Resolution::AlreadyThere;
        break;
    case UpdateSql::Modify:
        if (server && holds(change.data.get()))
            return Resolution::AlreadyThere;
        if (!server || (change.original && !holds(change.original.get())))
            return Resolution::Conflict;
        break;
    }
    try {
        send(change.kind, change.layout, change.data.get(), change.original.get(), change.blobs.get());
    } catch (const DatabaseError& e) {
        if (e.connectionLost() || e.lockConflict())
            throw;
        return Resolution::Refused;
    } catch (const DatasetError&) {
        return Resolution::Refused; // it touched no row
    }
    return Resolution::Sent;
}

} // namespace zk
