#pragma once
// The list of wide strings behind report texts and resource texts, and the
// conversions between 8-bit text and wide text by font character set.
//
// Report files store the list as UTF-8 lines ("UTF8"); older files stored
// 8-bit or wide lines ("Strings"), which are still read.

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

namespace plat {
class TFiler;
class TStream;
class TStrings;
} // namespace plat

class TzdWideStrings {
public:
    TzdWideStrings() = default;
    TzdWideStrings(const TzdWideStrings& other) { Assign(other); }
    TzdWideStrings& operator=(const TzdWideStrings& other)
    {
        if (this != &other)
            Assign(other);
        return *this;
    }

    int Add(const QString& s);
    int AddObject(const QString& s, void* object);
    void AddStrings(const TzdWideStrings& list);

    QString Get(int index) const;            // empty outside the list
    void* GetObject(int index) const;        // nullptr outside the list
    void PutObject(int index, void* object); // ignored outside the list
    // Replace the line at index, or append at index == Count; raises
    // "Wide String Out of Bounds" for any other index.
    void Put(int index, const QString& s);
    void Insert(int index, const QString& s);
    void Delete(int index); // raises the platform's list-index error outside the list
    int IndexOf(const QString& s) const;
    void Clear();
    int Count() const { return static_cast<int>(m_items.size()); }

    QString GetTextStr() const;
    void SetTextStr(const QString& text);
    QString Text() const { return GetTextStr(); }
    void SetText(const QString& text) { SetTextStr(text); }

    void Assign(const TzdWideStrings& source);
    void Assign(const plat::TStrings& source); // 8-bit lines, code page 1250
    void AssignTo(TzdWideStrings& dest) const;
    void AssignTo(plat::TStrings& dest) const;
    bool Equals(const TzdWideStrings& other) const;

    void LoadFromStream(plat::TStream& stream);
    void LoadFromFile(const QString& fileName);
    void SaveToStream(plat::TStream& stream) const;
    void SaveToFile(const QString& fileName) const;

    // The custom properties of report files, defined by the list's owner from
    // its own DefineProperties. "UTF8" is written when the list differs from
    // its ancestor's, or without an ancestor when not empty; "Strings" of
    // older files is only read.
    void DefineProperties(plat::TFiler& filer, const TzdWideStrings* ancestor);
    bool ShouldWriteUTF8(const TzdWideStrings* ancestor) const;
    QList<QByteArray> WriteUTF8() const;
    void ReadUTF8(const QList<QByteArray>& lines);

private:
    struct TWString {
        QString text;
        void* object = nullptr;
    };
    std::vector<TWString> m_items;
};

int zdCharsetToCodePage(int charset);
QString zdAnsiToWide(const QByteArray& s, int charset, int codePage = 0);
QByteArray zdWideToAnsi(const QString& w, int charset, int codePage = 0);
int zdCharsetToLCID(int charset);
// The rest of a stream as UTF-16LE characters without a byte-order mark.
void zdWideStringsLoadUTF16(TzdWideStrings& list, plat::TStream& stream);
