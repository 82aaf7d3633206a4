#include "zdPictureCache.h"

#include "Files.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "Streams.h"
#include "zdClass_picture.h"
#include "zdXML.h"

#include <algorithm>

namespace {

// A stream whose end, while VisibleSize is not 0, is seen at VisibleSize:
// one picture of a segment reads as a stream of its own.
template <class Base>
class VisibleStream : public Base {
public:
    using Base::Base;
    qint64 Seek(qint64 offset, plat::TSeekOrigin origin) override
    {
        if (VisibleSize != 0 && offset == 0 && origin == plat::soEnd)
            return VisibleSize;
        return Base::Seek(offset, origin);
    }
    qint64 Size() override
    {
        return VisibleSize != 0 ? VisibleSize : Base::Size();
    }
    qint64 Read(void* buffer, qint64 count) override
    {
        // A loader cannot read past its item, whatever it asks for.
        if (VisibleSize != 0) {
            const qint64 pos = Base::Seek(0, plat::soCurrent);
            count = std::max<qint64>(0, std::min(count, VisibleSize - pos));
        }
        return Base::Read(buffer, count);
    }
    qint64 VisibleSize = 0;
};

using MemorySegment = VisibleStream<plat::TMemoryStream>;
using FileSegment = VisibleStream<plat::TFileStream>;

} // namespace

struct TzdPictureCache::Segment {
    std::unique_ptr<plat::TStream> Stream;
    qint64* Visible = nullptr;
    qint64 size() { return Stream->Seek(0, plat::soEnd); }
};

TzdPictureCache::TzdPictureCache() = default;

TzdPictureCache::~TzdPictureCache()
{
    Clear();
}

void TzdPictureCache::Clear()
{
    for (auto& segment : m_segments) {
        segment.reset();
        if (m_useFileCache && !m_tempFileNames.isEmpty())
            plat::DeleteFile(m_tempFileNames.takeFirst());
    }
    // Files of segments made under an earlier setting go as well.
    for (const QString& name : std::as_const(m_tempFileNames))
        plat::DeleteFile(name);
    m_tempFileNames.clear();
    m_segments.clear();
    m_items.clear();
}

void TzdPictureCache::SetTempDir(const QString& Folder)
{
    if (m_segments.empty())
        m_tempDir = Folder;
}

void TzdPictureCache::SetUseFileCache(bool Value)
{
    if (m_segments.empty())
        m_useFileCache = Value;
}

void TzdPictureCache::newSegment()
{
    auto segment = std::make_unique<Segment>();
    if (!m_useFileCache) {
        auto s = std::make_unique<MemorySegment>();
        segment->Visible = &s->VisibleSize;
        segment->Stream = std::move(s);
    } else {
        const QString folder = !m_tempDir.isEmpty() && plat::DirectoryExists(m_tempDir) ? m_tempDir : QString();
        const QString name = plat::GetTempFileName(QStringLiteral("zdPic"), folder);
        m_tempFileNames.append(name);
        auto s = std::make_unique<FileSegment>(name, plat::fmOpenReadWrite);
        segment->Visible = &s->VisibleSize;
        segment->Stream = std::move(s);
    }
    m_segments.push_back(std::move(segment));
}

TzdPictureCache::Item& TzdPictureCache::addItem()
{
    if (m_segments.empty() || m_segments.back()->size() >= kSegmentLimit)
        newSegment();
    Segment& last = *m_segments.back();
    const qint64 offset = last.size();
    m_items.push_back({qint32(m_segments.size() - 1), qint32(offset)});
    last.Stream->Seek(offset, plat::soBeginning);
    return m_items.back();
}

qint64 TzdPictureCache::itemSize(int i)
{
    const Item& item = m_items[size_t(i)];
    if (size_t(i + 1) < m_items.size() && m_items[size_t(i + 1)].Segment == item.Segment)
        return qint64(m_items[size_t(i + 1)].Offset) - item.Offset;
    return m_segments[size_t(item.Segment)]->size() - item.Offset;
}

void TzdPictureCache::AddPicture(TzdPictureView* Picture)
{
    plat::TPicture* picture = Picture->Picture();
    if (!picture || picture->Empty()) {
        Picture->ImageIndex = 0;
        return;
    }
    const QByteArray bytes = picture->Graphic()->SaveToBytes();
    Picture->ImageIndex = Count() + 1;
    addItem();
    m_segments.back()->Stream->WriteBuffer(bytes.constData(), bytes.size());
}

QByteArray TzdPictureCache::ItemBytes(int Index)
{
    if (Index <= 0 || Index > Count())
        return {};
    const Item item = m_items[size_t(Index - 1)];
    Segment& segment = *m_segments[size_t(item.Segment)];
    const qint64 size = itemSize(Index - 1);
    if (size < 0) // the segment lost bytes under us
        throw plat::EReadError(QStringLiteral("Stream read error"));
    QByteArray bytes(size, Qt::Uninitialized);
    segment.Stream->Seek(item.Offset, plat::soBeginning);
    segment.Stream->ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

void TzdPictureCache::GetPicture(TzdPictureView* Picture)
{
    const int index = Picture->ImageIndex;
    if (index <= 0 || index > Count()) {
        if (Picture->Picture())
            Picture->Picture()->Clear();
        return;
    }
    if (m_segments.empty())
        return;
    const Item item = m_items[size_t(index - 1)];
    Segment& segment = *m_segments[size_t(item.Segment)];
    const qint64 size = itemSize(index - 1);
    if (size <= 0) {
        Picture->Picture()->Clear();
        return;
    }
    segment.Stream->Seek(item.Offset, plat::soBeginning);
    *segment.Visible = item.Offset + size;
    // The window is closed on every path, so a picture that fails to load
    // cannot leave a stale end behind for the next one.
    struct Reset {
        qint64* v;
        ~Reset() { *v = 0; }
    } reset{segment.Visible};
    try {
        Picture->LoadGraphicFromStream(*segment.Stream, false);
    } catch (...) {
        if (Picture->Picture())
            Picture->Picture()->Clear();
    }
}

void TzdPictureCache::SaveToXML(TzdXMLItem* Element)
{
    Element->Clear();
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < Count(); ++i) {
        const QByteArray bytes = ItemBytes(i + 1);
        QByteArray hex(bytes.size() * 2, Qt::Uninitialized);
        for (qsizetype k = 0; k < bytes.size(); ++k) {
            const auto b = quint8(bytes[k]);
            hex[2 * k] = digits[b >> 4];
            hex[2 * k + 1] = digits[b & 15];
        }
        TzdXMLItem* child = Element->Add();
        child->Name = "item";
        child->Text = "stream=\"" + hex + "\"";
    }
}

namespace {
int nibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0; // not a hexadecimal digit: counts as 0
}
} // namespace

void TzdPictureCache::LoadFromXML(TzdXMLItem* Element)
{
    Clear();
    if (!Element)
        return;
    for (int i = 0; i < Element->Count(); ++i) {
        const QByteArray hex = Element->GetItem(i)->GetAttr("stream");
        QByteArray bytes(hex.size() / 2, Qt::Uninitialized);
        for (qsizetype k = 0; k < bytes.size(); ++k)
            bytes[k] = char(nibble(hex[2 * k]) << 4 | nibble(hex[2 * k + 1]));
        addItem();
        m_segments.back()->Stream->WriteBuffer(bytes.constData(), bytes.size());
    }
}
