#include "ClientDataSet.h"

#include "CodePage.h"
#include "DataPacket.h"
#include "Exceptions.h"
#include "Files.h"

#include <algorithm>

namespace plat {

namespace {

[[noreturn]] void databaseError(const QString& message) { throw EDatabaseError(message); }

bool isIntegerType(TFieldType t)
{
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint;
}

} // namespace

// ------------------------------------------------------------ TField

const TFieldDef& TField::Def() const { return m_dataSet.m_defs[size_t(m_index)]; }

int TField::DisplayWidth() const
{
    return (DataType() == ftString || DataType() == ftWideString) && Size() > 0 ? Size() : 10;
}

QString TField::AsString() const
{
    const QStringList* values = m_dataSet.activeValues();
    return values ? values->value(m_index) : QString();
}

void TField::SetAsString(const QString& value)
{
    TClientDataSet& ds = m_dataSet;
    if (ds.m_state != dsEdit && ds.m_state != dsInsert)
        databaseError(QStringLiteral("Dataset not in edit or insert mode"));
    if (ReadOnly() || DataType() == ftAutoInc)
        databaseError(QStringLiteral("Field '%1' cannot be modified").arg(FieldName()));
    QString v = value;
    if ((DataType() == ftString || DataType() == ftWideString) && Size() > 0 && v.size() > Size())
        v.truncate(Size());
    if (isIntegerType(DataType()) && !v.isEmpty()) {
        bool ok = false;
        const qint64 n = v.trimmed().toLongLong(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(value));
        v = QString::number(n);
    }
    ds.m_buffer[m_index] = v;
}

int TField::AsInteger() const
{
    const QString s = AsString();
    if (s.isEmpty())
        return 0;
    bool ok = false;
    const int n = s.trimmed().toInt(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return n;
}

Variant TField::Value() const
{
    const QString s = AsString();
    if (s.isEmpty())
        return Variant::null();
    if (isIntegerType(DataType())) {
        bool ok = false;
        const qint64 n = s.trimmed().toLongLong(&ok);
        if (ok)
            return DataType() == ftLargeint ? Variant(static_cast<long long>(n)) : Variant(int(n));
    }
    return Variant(s);
}

// ------------------------------------------------------------ TDataLink

TDataLink::~TDataLink()
{
    if (m_linkedTo)
        m_linkedTo->RemoveDataLink(this);
}

// ------------------------------------------------------------ TClientDataSet

PLAT_DEFINE_CLASS(TClientDataSet, c)
{
    c.property("FileName", &TClientDataSet::FileName, &TClientDataSet::SetFileName);
    c.property("Filtered", &TClientDataSet::Filtered, &TClientDataSet::SetFiltered).defaultValue(false);
}

TClientDataSet::TClientDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TClientDataSet::~TClientDataSet()
{
    for (TDataLink* link : m_links)
        link->m_linkedTo = nullptr;
}

std::vector<TFieldDef> TClientDataSet::RecordTableDefs()
{
    std::vector<TFieldDef> defs;
    TFieldDef id;
    id.Name = QStringLiteral("id");
    id.DataType = ftAutoInc;
    id.ReadOnly = true;
    defs.push_back(id);
    for (const char* name : {"kod", "pole1", "pole2", "pole3", "pole4"}) {
        TFieldDef d;
        d.Name = QString::fromLatin1(name);
        d.DataType = ftString;
        d.Size = 50;
        d.Required = d.Name == QLatin1String("kod");
        defs.push_back(d);
    }
    return defs;
}

void TClientDataSet::SetFileName(const QString& fileName) { m_fileName = fileName; }

void TClientDataSet::checkActive() const
{
    if (m_state == dsInactive)
        databaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TClientDataSet::checkBrowse() const
{
    checkActive();
    if (m_state != dsBrowse)
        databaseError(QStringLiteral("Dataset in edit or insert mode"));
}

template <class F>
void TClientDataSet::notify(F&& f)
{
    if (m_disableCount > 0)
        return;
    // A handler may unlink itself or others; walk a copy.
    const std::vector<TDataLink*> links = m_links;
    for (TDataLink* link : links)
        if (std::find(m_links.begin(), m_links.end(), link) != m_links.end())
            f(*link);
}

void TClientDataSet::AddDataLink(TDataLink* link)
{
    if (!link || link->m_linkedTo == this)
        return;
    if (link->m_linkedTo)
        link->m_linkedTo->RemoveDataLink(link);
    m_links.push_back(link);
    link->m_linkedTo = this;
}

void TClientDataSet::RemoveDataLink(TDataLink* link)
{
    const auto it = std::find(m_links.begin(), m_links.end(), link);
    if (it != m_links.end()) {
        m_links.erase(it);
        link->m_linkedTo = nullptr;
    }
}

void TClientDataSet::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0)
        notify([](TDataLink& l) { l.DataSetChanged(); });
}

void TClientDataSet::rebuildFields()
{
    m_fields.clear();
    for (size_t i = 0; i < m_defs.size(); ++i)
        m_fields.push_back(std::make_unique<TField>(*this, int(i)));
}

void TClientDataSet::setFromPacket(std::vector<TFieldDef> defs, std::vector<QStringList> rows, qint64 autoInc)
{
    m_defs = std::move(defs);
    rebuildFields();
    m_records.clear();
    m_records.reserve(rows.size());
    for (QStringList& values : rows)
        m_records.push_back(Record{m_nextId++, std::move(values)});
    m_autoInc = autoInc;
    m_modified = false;
    m_buffer.clear();
    m_state = dsBrowse;
    m_view.clear();
    m_cur = -1;
    rebuildView(0);
    First();
    AfterOpen(this);
    notify([](TDataLink& l) { l.DataSetChanged(); });
}

void TClientDataSet::CreateDataSet()
{
    if (Active())
        databaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (m_defs.empty())
        databaseError(QStringLiteral("Field definitions are missing"));
    setFromPacket(std::vector<TFieldDef>(m_defs), {}, 1);
}

void TClientDataSet::Open()
{
    if (Active())
        return;
    if (m_fileName.isEmpty())
        databaseError(QStringLiteral("Missing data provider or data packet"));
    const QByteArray bytes = readFileBytes(m_fileName);
    TDataPacket packet;
    try {
        packet = ReadDataPacket(bytes);
    } catch (const EDBClient& e) {
        throw EDBClient(QStringLiteral("%1\n%2").arg(m_fileName, e.message()));
    }
    setFromPacket(std::move(packet.defs), std::move(packet.rows), packet.autoIncValue);
}

void TClientDataSet::LoadFromBytes(const QByteArray& bytes)
{
    TDataPacket packet = ReadDataPacket(bytes);
    if (Active())
        CloseWithoutWriteBack();
    setFromPacket(std::move(packet.defs), std::move(packet.rows), packet.autoIncValue);
}

void TClientDataSet::Close()
{
    if (!Active())
        return;
    BeforeClose(this);
    if (m_state == dsEdit || m_state == dsInsert)
        Cancel();
    if (!m_fileName.isEmpty() && (m_modified || !FileExists(m_fileName)))
        SaveToFile(m_fileName); // raises on failure: the table stays open
    CloseWithoutWriteBack();
}

void TClientDataSet::CloseWithoutWriteBack()
{
    if (!Active())
        return;
    m_state = dsInactive;
    m_records.clear();
    m_view.clear();
    m_buffer.clear();
    m_fields.clear();
    m_cur = -1;
    m_bof = m_eof = true;
    m_modified = false;
    notify([](TDataLink& l) { l.DataSetChanged(); });
}

QByteArray TClientDataSet::SaveToBytes() const
{
    checkActive();
    return WriteDataPacket(m_defs, int(m_records.size()),
                           [this](int i) -> const QStringList& { return m_records[size_t(i)].values; }, m_autoInc);
}

void TClientDataSet::SaveToFile(const QString& fileName)
{
    writeFileAtomic(fileName, SaveToBytes());
    if (fileName == m_fileName)
        m_modified = false;
}

TField& TClientDataSet::Fields(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *m_fields[size_t(index)];
}

int TClientDataSet::FieldIndex(const QString& name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (SameText(m_defs[i].Name, name))
            return int(i);
    return -1;
}

QStringList TClientDataSet::FieldNames() const
{
    QStringList names;
    for (size_t i = 0; i < m_fields.size(); ++i)
        names << m_defs[i].Name;
    return names;
}

TField* TClientDataSet::FindField(const QString& name) const
{
    const int i = FieldIndex(name);
    return i < 0 ? nullptr : m_fields[size_t(i)].get();
}

TField& TClientDataSet::FieldByName(const QString& name) const
{
    TField* f = FindField(name);
    if (!f)
        databaseError(QStringLiteral("Field '%1' not found").arg(name));
    return *f;
}

const QStringList* TClientDataSet::activeValues() const
{
    if (m_filterValues)
        return m_filterValues;
    if (m_state == dsEdit || m_state == dsInsert)
        return &m_buffer;
    if (m_state == dsBrowse && m_cur >= 0) {
        const int i = storageIndexOf(m_view[size_t(m_cur)]);
        return i < 0 ? nullptr : &m_records[size_t(i)].values;
    }
    return nullptr;
}

int TClientDataSet::storageIndexOf(TBookmark id) const
{
    // Records keep their order of addition and ids only grow: binary search.
    const auto it = std::lower_bound(m_records.begin(), m_records.end(), id,
                                     [](const Record& r, TBookmark b) { return r.id < b; });
    return it != m_records.end() && it->id == id ? int(it - m_records.begin()) : -1;
}

int TClientDataSet::viewIndexOf(TBookmark id) const
{
    const auto it = std::find(m_view.begin(), m_view.end(), id);
    return it == m_view.end() ? -1 : int(it - m_view.begin());
}

int TClientDataSet::RecordCount() const { return Active() ? int(m_view.size()) : 0; }

int TClientDataSet::RecNo() const { return m_state == dsBrowse || m_state == dsEdit ? m_cur + 1 : 0; }

QString TClientDataSet::RecordText(int row, int fieldIndex) const
{
    if (!Active() || row < 0 || row >= int(m_view.size()) || fieldIndex < 0 || fieldIndex >= int(m_defs.size()))
        return {};
    const int i = storageIndexOf(m_view[size_t(row)]);
    return i < 0 ? QString() : m_records[size_t(i)].values.value(fieldIndex);
}

void TClientDataSet::moveTo(int viewIndex)
{
    const int before = m_cur;
    m_cur = m_view.empty() ? -1 : std::clamp(viewIndex, 0, int(m_view.size()) - 1);
    if (m_cur != before)
        notify([](TDataLink& l) { l.DataSetScrolled(); });
}

void TClientDataSet::SetRecNo(int recNo)
{
    checkBrowse();
    if (recNo < 1 || recNo > RecordCount())
        databaseError(QStringLiteral("Record not found"));
    m_bof = m_eof = false;
    moveTo(recNo - 1);
}

void TClientDataSet::First()
{
    checkBrowse();
    m_bof = true;
    m_eof = m_view.empty();
    moveTo(0);
}

void TClientDataSet::Last()
{
    checkBrowse();
    m_eof = true;
    m_bof = m_view.empty();
    moveTo(int(m_view.size()) - 1);
}

void TClientDataSet::Next()
{
    checkBrowse();
    if (m_cur + 1 < int(m_view.size())) {
        m_bof = m_eof = false;
        moveTo(m_cur + 1);
    } else {
        m_eof = true;
    }
}

void TClientDataSet::Prior()
{
    checkBrowse();
    if (m_cur > 0) {
        m_bof = m_eof = false;
        moveTo(m_cur - 1);
    } else {
        m_bof = true;
    }
}

void TClientDataSet::enterState(TDataSetState state)
{
    m_state = state;
    notify([](TDataLink& l) { l.StateChanged(); });
}

void TClientDataSet::Append()
{
    checkActive();
    if (m_state != dsBrowse)
        Post();
    m_buffer.clear();
    for (size_t i = 0; i < m_defs.size(); ++i)
        m_buffer << QString();
    enterState(dsInsert);
}

void TClientDataSet::Edit()
{
    checkActive();
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    if (m_view.empty()) {
        Append();
        return;
    }
    m_buffer = *activeValues();
    enterState(dsEdit);
}

void TClientDataSet::Post()
{
    checkActive();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    notify([](TDataLink& l) { l.UpdateData(); });
    for (size_t i = 0; i < m_defs.size(); ++i)
        if (m_defs[i].Required && m_defs[i].DataType != ftAutoInc && m_buffer.value(qsizetype(i)).isEmpty())
            databaseError(QStringLiteral("Field '%1' must have a value").arg(m_defs[i].Name));

    if (m_state == dsInsert) {
        for (size_t i = 0; i < m_defs.size(); ++i)
            if (m_defs[i].DataType == ftAutoInc)
                m_buffer[qsizetype(i)] = QString::number(m_autoInc++);
        const TBookmark id = m_nextId++;
        m_records.push_back(Record{id, m_buffer});
        // A new record joins the view at its end whatever the filter says; it
        // leaves only when the view is rebuilt.
        m_view.push_back(id);
        m_cur = int(m_view.size()) - 1;
        m_bof = m_eof = false;
        m_buffer.clear();
        m_modified = true;
        m_state = dsBrowse;
        const int row = m_cur;
        notify([row](TDataLink& l) { l.RecordInserted(row); });
        notify([](TDataLink& l) { l.StateChanged(); });
    } else {
        const int i = storageIndexOf(m_view[size_t(m_cur)]);
        m_records[size_t(i)].values = m_buffer;
        m_buffer.clear();
        m_modified = true;
        m_state = dsBrowse;
        const int row = m_cur;
        notify([row](TDataLink& l) { l.RecordChanged(row); });
        notify([](TDataLink& l) { l.StateChanged(); });
    }
}

void TClientDataSet::Cancel()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    m_buffer.clear();
    enterState(dsBrowse);
}

void TClientDataSet::Delete()
{
    checkActive();
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    if (m_view.empty())
        databaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (m_state == dsEdit)
        Cancel();
    const int row = m_cur;
    const TBookmark id = m_view[size_t(row)];
    m_records.erase(m_records.begin() + storageIndexOf(id));
    m_view.erase(m_view.begin() + row);
    m_modified = true;
    // The next record becomes current, or the previous one after the last.
    m_cur = m_view.empty() ? -1 : std::min(row, int(m_view.size()) - 1);
    m_bof = m_cur <= 0;
    m_eof = m_view.empty();
    notify([row](TDataLink& l) { l.RecordRemoved(row); });
    notify([](TDataLink& l) { l.DataSetScrolled(); });
}

bool TClientDataSet::accepts(const Record& record)
{
    if (!m_filtered || !OnFilterRecord)
        return true;
    bool accept = true;
    m_filterValues = &record.values;
    struct Reset {
        const QStringList*& p;
        ~Reset() { p = nullptr; }
    } reset{m_filterValues};
    OnFilterRecord(this, accept);
    return accept;
}

void TClientDataSet::rebuildView(TBookmark keep)
{
    m_view.clear();
    for (const Record& r : m_records)
        if (accepts(r))
            m_view.push_back(r.id);
    const int at = keep ? viewIndexOf(keep) : -1;
    m_cur = at >= 0 ? at : (m_view.empty() ? -1 : 0);
    m_bof = m_cur <= 0;
    m_eof = m_view.empty();
}

void TClientDataSet::SetFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    if (!Active())
        return;
    if (m_state != dsBrowse)
        Post();
    rebuildView(0);
    notify([](TDataLink& l) { l.DataSetChanged(); });
}

void TClientDataSet::Refresh()
{
    checkBrowse();
    rebuildView(GetBookmark());
    AfterRefresh(this);
    notify([](TDataLink& l) { l.DataSetChanged(); });
}

TBookmark TClientDataSet::GetBookmark() const
{
    return Active() && m_cur >= 0 ? m_view[size_t(m_cur)] : 0;
}

bool TClientDataSet::BookmarkValid(TBookmark bookmark) const
{
    return Active() && bookmark != 0 && viewIndexOf(bookmark) >= 0;
}

void TClientDataSet::GotoBookmark(TBookmark bookmark)
{
    checkBrowse();
    const int at = bookmark ? viewIndexOf(bookmark) : -1;
    if (at < 0)
        databaseError(QStringLiteral("Record not found"));
    m_bof = m_eof = false;
    moveTo(at);
}

void TClientDataSet::SetBookmark(const QString& text)
{
    bool ok = false;
    const TBookmark b = text.toULongLong(&ok);
    GotoBookmark(ok ? b : 0);
}

// ------------------------------------------------------------ TDataSource

PLAT_DEFINE_CLASS(TDataSource, c) {}

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() { SetDataSet(nullptr); }

void TDataSource::SetDataSet(TClientDataSet* dataSet)
{
    if (TClientDataSet* old = LinkedDataSet())
        old->RemoveDataLink(this);
    if (dataSet)
        dataSet->AddDataLink(this);
}

void TDataSource::DataSetChanged() { OnDataChange(this, nullptr); }

void TDataSource::StateChanged() { OnStateChange(this); }

void TDataSource::UpdateData() { OnUpdateData(this); }

} // namespace plat
