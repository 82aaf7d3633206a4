#pragma once
// Ini files with the platform's semantics.
//
// Sections and keys compare without regard to case; keys and values are
// trimmed; Booleans are written "1"/"0" and read as any non-zero integer;
// integers may be written "$hex" or "0xhex"; floats are written with '.' and
// read with ',' or '.'. Writing keeps the file's order, comments and unknown
// lines: a changed key is rewritten in place, a new key goes to the end of its
// section (after its last key), a new section to the end of the file. Lines
// beginning with ';' are comments. Several headers of one section name act as
// one section; of a duplicated key the first counts. The file is code page
// 1250 with CR LF line ends (any line end is read; a file an editor saved as
// UTF-8 is read as UTF-8), saved atomically. Line breaks in a written value
// become blanks, so that a value cannot break the file's structure.

#include <QString>
#include <memory>

namespace plat {

class TStream;
class TStrings;
namespace detail { class IniLines; }

class TCustomIniFile {
public:
    explicit TCustomIniFile(QString fileName);
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;
    virtual ~TCustomIniFile();

    const QString& FileName() const { return m_fileName; }

    virtual QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) = 0;
    virtual void WriteString(const QString& section, const QString& ident, const QString& value) = 0;
    // Keys of a section, in file order.
    virtual void ReadSection(const QString& section, TStrings& strings) = 0;
    virtual void ReadSections(TStrings& strings) = 0;
    // "key=value" lines of a section, in file order.
    virtual void ReadSectionValues(const QString& section, TStrings& strings) = 0;
    virtual void EraseSection(const QString& section) = 0;
    virtual void DeleteKey(const QString& section, const QString& ident) = 0;
    virtual void UpdateFile() = 0;
    virtual bool SectionExists(const QString& section);
    virtual bool ValueExists(const QString& section, const QString& ident);

    int ReadInteger(const QString& section, const QString& ident, int defaultValue);
    void WriteInteger(const QString& section, const QString& ident, int value);
    bool ReadBool(const QString& section, const QString& ident, bool defaultValue);
    void WriteBool(const QString& section, const QString& ident, bool value);
    double ReadFloat(const QString& section, const QString& ident, double defaultValue);
    void WriteFloat(const QString& section, const QString& ident, double value);
    // Dates as the locale's date and time texts (FormatSettings).
    double ReadDate(const QString& section, const QString& ident, double defaultValue);
    void WriteDate(const QString& section, const QString& ident, double value);
    double ReadDateTime(const QString& section, const QString& ident, double defaultValue);
    void WriteDateTime(const QString& section, const QString& ident, double value);
    double ReadTime(const QString& section, const QString& ident, double defaultValue);
    void WriteTime(const QString& section, const QString& ident, double value);
    // Bytes as hexadecimal pairs. Read writes at the stream's position, leaves
    // the position where it was and returns the number of bytes; Write takes
    // the stream from its position to its end.
    int ReadBinaryStream(const QString& section, const QString& ident, TStream& value);
    void WriteBinaryStream(const QString& section, const QString& ident, TStream& value);

    // The parsing rules, for callers that keep ini-like texts elsewhere.
    static bool parseInteger(const QString& text, int& value);
    static bool parseFloat(const QString& text, double& value);
    static QString floatText(double value);

private:
    QString m_fileName;
};

// Shared text model of TMemIniFile and TIniFile.
class TTextIniFile : public TCustomIniFile {
public:
    explicit TTextIniFile(QString fileName);
    ~TTextIniFile() override;

    QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) override;
    void WriteString(const QString& section, const QString& ident, const QString& value) override;
    void ReadSection(const QString& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void ReadSectionValues(const QString& section, TStrings& strings) override;
    void EraseSection(const QString& section) override;
    void DeleteKey(const QString& section, const QString& ident) override;
    bool SectionExists(const QString& section) override;
    bool ValueExists(const QString& section, const QString& ident) override;

    // The file's lines as they stand in memory.
    void GetStrings(TStrings& list);
    void SetStrings(const TStrings& list);
    void Clear();

protected:
    // Before every read and write (TIniFile picks up changes on disk).
    virtual void beforeAccess() {}
    // After every change (TIniFile saves).
    virtual void changed() {}
    void loadFromDisk();
    void saveToDisk();
    detail::IniLines& lines() { return *m_lines; }

private:
    std::unique_ptr<detail::IniLines> m_lines;
};

// Kept in memory; UpdateFile writes it.
class TMemIniFile : public TTextIniFile {
public:
    explicit TMemIniFile(const QString& fileName);
    ~TMemIniFile() override;
    void UpdateFile() override;
};

// Every write goes to disk at once; a change made to the file by someone
// else is picked up before the next read or write. A failed write raises
// EIniFileException "Unable to write to %s"; an unreadable file reads as empty.
class TIniFile : public TTextIniFile {
public:
    explicit TIniFile(const QString& fileName);
    ~TIniFile() override;
    void UpdateFile() override;

protected:
    void beforeAccess() override;
    void changed() override;

private:
    struct DiskStamp {
        quint64 inode = 0;
        qint64 size = -1;
        qint64 mtimeNs = 0;
        bool operator==(const DiskStamp&) const = default;
    };
    static DiskStamp stampOf(const QString& fileName);
    DiskStamp m_stamp;
};

} // namespace plat
