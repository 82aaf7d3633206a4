#pragma once
// The pictures of prepared pages, stored once each in segments (memory or
// temporary files) and referred to by a 1-based image index. Append-only:
// emptied only as a whole.

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace plat {
class TStream;
}
class TzdPictureView;
class TzdXMLItem;

class TzdPictureCache {
public:
    // Segments are cut before they reach this size so offsets stay in 32 bits.
    static constexpr qint64 kSegmentLimit = 1789569706;

    TzdPictureCache();
    ~TzdPictureCache();
    TzdPictureCache(const TzdPictureCache&) = delete;
    TzdPictureCache& operator=(const TzdPictureCache&) = delete;

    // Frees every segment and deletes its temporary file.
    void Clear();
    // Both take effect only while the cache has no segment.
    void SetTempDir(const QString& Folder);
    void SetUseFileCache(bool Value);
    bool UseFileCache() const { return m_useFileCache; }
    const QString& TempDir() const { return m_tempDir; }

    // Sets the object's ImageIndex (0 for an empty picture, nothing stored).
    void AddPicture(TzdPictureView* Picture);
    // Loads the object's picture by its ImageIndex; an index outside the
    // items empties it. The loader sees only the item's own bytes.
    void GetPicture(TzdPictureView* Picture);

    void SaveToXML(TzdXMLItem* Item);
    void LoadFromXML(TzdXMLItem* Item);

    int Count() const { return int(m_items.size()); }
    int SegmentCount() const { return int(m_segments.size()); }
    const QStringList& TempFileNames() const { return m_tempFileNames; }
    // The stored bytes of image index Index (1-based); empty outside.
    QByteArray ItemBytes(int Index);

private:
    struct Item {
        qint32 Segment;
        qint32 Offset;
    };
    struct Segment;
    Item& addItem();
    void newSegment();
    qint64 itemSize(int i);

    std::vector<std::unique_ptr<Segment>> m_segments;
    std::vector<Item> m_items;
    QStringList m_tempFileNames;
    QString m_tempDir;
    bool m_useFileCache = false;
};
