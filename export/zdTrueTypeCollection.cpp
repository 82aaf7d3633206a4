#include "zdTrueTypeCollection.h"

#include "zdTrueTypeFont.h"

#include "Graphics.h"

namespace {

constexpr quint32 kTrueTypeVersion = 0x00010000;
constexpr quint32 kCollectionTag = TTF_Helpers::MakeTag("ttcf");
constexpr quint32 kOpenTypeTag = TTF_Helpers::MakeTag("OTTO");
constexpr quint32 kCollectionVersion1 = 0x00010000;
constexpr quint32 kCollectionVersion2 = 0x00020000;
constexpr int kCollectionHeaderSize = 12;

// Report font names that the fonts themselves carry under another name.
struct NameSubstitution {
    const char16_t* reportName;
    const char16_t* fontName;
};
constexpr NameSubstitution kNameSubstitutions[] = {
    {u"ＭＳ ゴシック", u"MS Gothic"}, {u"ＭＳ Ｐゴシック", u"MS PGothic"}, {u"ＭＳ 明朝", u"MS Mincho"},
    {u"ＭＳ Ｐ明朝", u"MS PMincho"},  {u"メイリオ", u"Meiryo"},           {u"Tahoma Bold", u"Tahoma Negreta"},
};

QString targetName(const plat::TFont& font)
{
    for (const NameSubstitution& s : kNameSubstitutions)
        if (font.Name() == QStringView(s.reportName))
            return QString::fromUtf16(s.fontName);
    QString name = font.Name();
    if (font.HasStyle(plat::fsBold))
        name += QStringLiteral(" Bold");
    if (font.HasStyle(plat::fsItalic))
        name += QStringLiteral(" Italic");
    return name;
}

} // namespace

TrueTypeCollection::TrueTypeCollection() = default;

TrueTypeCollection::~TrueTypeCollection() = default;

void TrueTypeCollection::Load(const QByteArray& data)
{
    m_faces.clear();
    m_data = data;
    const quint32 tag = ReadLongWord(m_data, 0);
    if (tag == kTrueTypeVersion) {
        m_faces.push_back(std::make_unique<TrueTypeFont>(m_data, 0));
    } else if (tag == kCollectionTag) {
        const quint32 version = ReadLongWord(m_data, 4);
        if (version != kCollectionVersion1 && version != kCollectionVersion2)
            Raise(ttf::kCollectionVersionError);
        const quint32 count = ReadLongWord(m_data, 8);
        CheckRange(m_data, kCollectionHeaderSize, qint64(count) * 4);
        for (quint32 i = 0; i < count; ++i)
            m_faces.push_back(
                std::make_unique<TrueTypeFont>(m_data, ReadLongWord(m_data, kCollectionHeaderSize + qint64(i) * 4)));
    } else if (tag != kOpenTypeTag) {
        RaiseFormatError();
    }
}

TrueTypeFont* TrueTypeCollection::Face(int index)
{
    if (index < 0 || index >= FaceCount())
        return nullptr;
    TrueTypeFont* face = m_faces[index].get();
    face->Load();
    return face;
}

TrueTypeFont* TrueTypeCollection::FindFace(const plat::TFont& font)
{
    const QString target = targetName(font);
    for (int i = 0; i < FaceCount(); ++i)
        if (Face(i)->FullName() == target)
            return m_faces[i].get();
    return Face(0);
}

QByteArray TrueTypeCollection::Reduce(TrueTypeFont* face, const QList<quint16>& usedGlyphs)
{
    if (!face)
        RaiseFormatError();
    return face->Reduce(usedGlyphs);
}
