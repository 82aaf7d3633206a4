#pragma once
// The platform's binary property stream: property records (a name as a
// length-prefixed 8-bit string, then a tagged value), as custom property
// data (DefineProperties) and collections are stored.
//
// Value tags and their payloads (all numbers little-endian):
//   0 end of list         1 list begin
//   2 int8, 3 int16, 4 int32 (the smallest that holds the value)
//   5 extended (10-byte 80-bit float)
//   6 string (1-byte length, 8-bit text)   7 ident (1-byte length, name)
//   8 false, 9 true       10 binary (4-byte length, bytes)
//   11 set (element names as short strings, ended by an empty one)
//   12 long string (4-byte length, 8-bit text)   13 nil
//   14 collection (items as lists of properties, each optionally preceded by
//      an integer, ended by 0)
//   18 wide string (4-byte length in characters, UTF-16LE)
// The reader also accepts 15 single, 16 currency, 17 date, 19 int64 and
// 20 UTF-8 string; the writer uses 19 only for integers beyond 32 bits.
// 8-bit text is code page 1250.

#include "TypeInfo.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace plat {

class TStream;
class TReader;
class TWriter;
class TCollection;

enum TValueType : quint8 {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20
};

using TReaderProc = std::function<void(TReader&)>;
using TWriterProc = std::function<void(TWriter&)>;
using TStreamProc = std::function<void(TStream&)>;

// Integer types whose values stream as identifiers where they have one (the
// platform's RegisterIntegerConsts): the writer writes the identifier of a
// value that has one, the reader accepts the identifiers as well as numbers.
using TIdentToInt = bool (*)(const QString& ident, qint64& value);
using TIntToIdent = bool (*)(qint64 value, QString& ident);
void RegisterIntegerConsts(const TTypeInfo* intType, TIdentToInt identToInt, TIntToIdent intToIdent);

// 80-bit extended floats, independent of the compiler's long double.
void encodeExtended(long double value, unsigned char out[10]) noexcept;
long double decodeExtended(const unsigned char in[10]) noexcept;

class TFiler {
public:
    explicit TFiler(TStream& stream);
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;
    virtual ~TFiler();

    // Called from TPersistent::DefineProperties: the reader calls ReadData
    // when the record of that name is read; the writer calls WriteData when
    // HasData is true.
    virtual void DefineProperty(const QString& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    // Binary records: the data travels as tag 10 with its length.
    virtual void DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

    TComponent* Root() const { return m_root; }
    void SetRoot(TComponent* Value) { m_root = Value; }
    // The component in which referenced names are looked up (default Root).
    TComponent* LookupRoot() const { return m_lookupRoot ? m_lookupRoot : m_root; }
    void SetLookupRoot(TComponent* Value) { m_lookupRoot = Value; }
    // The object whose values decide what is left out when writing; and,
    // for definers, what the current object is compared with.
    TPersistent* Ancestor() const { return m_ancestor; }
    void SetAncestor(TPersistent* Value) { m_ancestor = Value; }
    TStream& Stream() const { return m_stream; }

protected:
    TStream& m_stream;
    TComponent* m_root = nullptr;
    TComponent* m_lookupRoot = nullptr;
    TPersistent* m_ancestor = nullptr;
};

class TWriter : public TFiler {
public:
    explicit TWriter(TStream& stream);
    ~TWriter() override;

    void DefineProperty(const QString& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    void Write(const void* buffer, qint64 count);
    void WriteValue(TValueType value);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // Tag 2, 3 or 4 by magnitude (19 beyond 32 bits).
    void WriteInteger(qint64 value);
    void WriteBoolean(bool value);
    void WriteFloat(long double value); // tag 5
    // Tag 6 when the 8-bit text fits in 255 bytes, else 12.
    void WriteString(const QString& value);
    void WriteWideString(const QString& value); // tag 18
    // "False", "True", "nil" and "Null" (any case) become tags 8, 9, 13, 0.
    void WriteIdent(const QString& ident);
    void WriteSet(quint32 mask, const TTypeInfo* setType);
    void WriteBinary(const QByteArray& data); // tag 10
    void WriteCollection(TCollection* value);
    // A raw short string (property names, set elements): 1-byte length.
    void WriteStr(const QString& value);

    // Every stored published property that differs from its default (or
    // from the Ancestor's value), then the object's own records. Properties
    // without setter are written only when they hold an object (nested
    // properties, collections), since nothing else could be read back.
    void WriteProperties(TPersistent* instance);
    void WriteProperty(TPersistent* instance, const TPropInfo* prop);

private:
    void writePropName(const QString& name);
    void writeNested(const TPropInfo* prop, TPersistent* value);
    bool isDefault(TPersistent* instance, const TPropInfo* prop) const;
    void writeVariant(const Variant& v);

    QString m_propPath; // "Font." while nested objects are written
};

class TReader : public TFiler {
public:
    explicit TReader(TStream& stream);
    ~TReader() override;

    void DefineProperty(const QString& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // Raw bytes; EReadError "Stream read error" at the end of the stream.
    void Read(void* buffer, qint64 count);
    TValueType ReadValue();
    TValueType NextValue();
    bool EndOfList() { return NextValue() == vaNull; }
    // The next value must carry the expected tag; otherwise EReadError
    // "Invalid property value".
    void CheckValue(TValueType value);
    void ReadListBegin() { CheckValue(vaList); }
    void ReadListEnd() { CheckValue(vaNull); }
    qint64 ReadInteger();
    qint64 ReadInt64() { return ReadInteger(); }
    bool ReadBoolean();
    long double ReadFloat(); // also integers
    QString ReadString();    // tags 6, 12, 18, 20
    QString ReadWideString() { return ReadString(); }
    // Tag 7, or "False", "True", "nil", "Null" for tags 8, 9, 13, 0.
    QString ReadIdent();
    quint32 ReadSet(const TTypeInfo* setType);
    QByteArray ReadBinary();
    Variant ReadVariant();
    // Reads tag 14 and the items into value (cleared first).
    void ReadCollection(TCollection* value);
    QString ReadStr();
    // Skips one value of any kind.
    void SkipValue();

    // One record: its name (dotted names walk into nested objects), then
    // the value into the defined record or the published property of that
    // name. An unknown name raises EReadError "Property %s does not exist".
    void ReadProperty(TPersistent* instance);
    // Records until the end of the stream.
    void ReadProperties(TPersistent* instance);

    // Component references read as names are set once every record is read
    // and FixupReferences runs; unresolved names leave the property as it was.
    void BeginReferences();
    void FixupReferences();
    void EndReferences();

    bool AtEnd();

private:
    void readPropValue(TPersistent* instance, const TPropInfo* prop);
    void skipValue(int depth);
    void skipProperty(int depth);
    TComponent* findComponent(const QString& name) const;

    struct Fixup {
        TPersistent* instance;
        const TPropInfo* prop;
        QString name;
    };
    std::vector<Fixup> m_fixups;
    // While ReadProperty asks the object for its definitions.
    QString m_propName;
    bool m_propFound = false;
};

} // namespace plat
