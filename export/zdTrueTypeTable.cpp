#include "zdTrueTypeTable.h"

#include "zdCmapTableClass.h"
#include "zdFontHeaderClass.h"
#include "zdGlyphSubstitutionClass.h"
#include "zdGlyphTableClass.h"
#include "zdHorizontalHeaderClass.h"
#include "zdHorizontalMetrixClass.h"
#include "zdIndexToLocationClass.h"
#include "zdKerningTableClass.h"
#include "zdMaximumProfileClass.h"
#include "zdNameTableClass.h"
#include "zdOS2WindowsMetricsClass.h"
#include "zdPostScriptClass.h"
#include "zdPreProgramClass.h"

TrueTypeTable::TrueTypeTable(const QByteArray& data, qint64 recordOffset)
{
    Cursor c(data, recordOffset, 16);
    m_tag = c.LongWord();
    m_checkSum = c.LongWord();
    m_offset = c.LongWord();
    m_length = c.LongWord();
}

TrueTypeTable::~TrueTypeTable() = default;

void TrueTypeTable::Load(const QByteArray&) {}

qint64 TrueTypeTable::Write(const QByteArray& data, QByteArray& out) const
{
    CheckRange(data, m_offset, m_length);
    out.append(data.constData() + m_offset, m_length);
    return m_length;
}

quint32 TrueTypeTable::ComputedCheckSum(const QByteArray& data) const
{
    return CheckSum(data, m_offset, m_length);
}

namespace {

template <class T>
std::unique_ptr<TrueTypeTable> make(const TrueTypeTable& entry)
{
    return std::make_unique<T>(entry);
}

struct TableClass {
    quint32 tag;
    std::unique_ptr<TrueTypeTable> (*create)(const TrueTypeTable&);
};

constexpr TableClass kTableClasses[] = {
    {TTF_Helpers::MakeTag("head"), make<FontHeaderClass>},
    {TTF_Helpers::MakeTag("name"), make<NameTableClass>},
    {TTF_Helpers::MakeTag("prep"), make<PreProgramClass>},
    {TTF_Helpers::MakeTag("OS/2"), make<OS2WindowsMetricsClass>},
    {TTF_Helpers::MakeTag("maxp"), make<MaximumProfileClass>},
    {TTF_Helpers::MakeTag("post"), make<PostScriptClass>},
    {TTF_Helpers::MakeTag("kern"), make<KerningTableClass>},
    {TTF_Helpers::MakeTag("loca"), make<IndexToLocationClass>},
    {TTF_Helpers::MakeTag("hmtx"), make<HorizontalMetrixClass>},
    {TTF_Helpers::MakeTag("hhea"), make<HorizontalHeaderClass>},
    {TTF_Helpers::MakeTag("GSUB"), make<GlyphSubstitutionClass>},
    {TTF_Helpers::MakeTag("glyf"), make<GlyphTableClass>},
    {TTF_Helpers::MakeTag("cmap"), make<CmapTableClass>},
};

} // namespace

std::unique_ptr<TrueTypeTable> CreateTrueTypeTable(const TrueTypeTable& entry)
{
    for (const TableClass& c : kTableClasses)
        if (c.tag == entry.Tag())
            return c.create(entry);
    return std::make_unique<TrueTypeTable>(entry);
}
