#include "PropStream.h"

#include "CodePage.h"
#include "Collections.h"
#include "Exceptions.h"
#include "Streams.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace plat {

// ---------------------------------------------------------------------------
// 80-bit extended: sign and 15-bit biased exponent in the top two bytes,
// then a 64-bit mantissa with an explicit integer bit.

namespace {
constexpr int kExtendedBias = 16383;
constexpr int kMaxNesting = 256; // lists inside lists; deeper input is refused

void putLE(unsigned char* out, quint64 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(v >> (8 * i));
}

quint64 getLE(const unsigned char* in, int bytes)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<quint64>(in[i]) << (8 * i);
    return v;
}

[[noreturn]] void raiseInvalidValue()
{
    throw EReadError(QStringLiteral("Invalid property value"));
}

struct IntegerConsts {
    const TTypeInfo* type;
    TIdentToInt identToInt;
    TIntToIdent intToIdent;
};

std::vector<IntegerConsts>& integerConsts()
{
    static std::vector<IntegerConsts> table;
    return table;
}

const IntegerConsts* findIntegerConsts(const TTypeInfo* type)
{
    for (const IntegerConsts& c : integerConsts()) {
        if (c.type == type)
            return &c;
    }
    return nullptr;
}
} // namespace

void RegisterIntegerConsts(const TTypeInfo* intType, TIdentToInt identToInt, TIntToIdent intToIdent)
{
    for (IntegerConsts& c : integerConsts()) {
        if (c.type == intType) {
            c = IntegerConsts{intType, identToInt, intToIdent};
            return;
        }
    }
    integerConsts().push_back(IntegerConsts{intType, identToInt, intToIdent});
}

void encodeExtended(long double value, unsigned char out[10]) noexcept
{
    quint64 mantissa = 0;
    unsigned exponent = 0;
    const bool negative = std::signbit(value);
    const long double a = std::fabs(value);
    if (std::isnan(value)) {
        exponent = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(value)) {
        exponent = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (a != 0) {
        int e = 0;
        const long double m = std::frexp(a, &e); // a = m * 2^e, m in [0.5, 1)
        int biased = e - 1 + kExtendedBias;
        if (biased >= 0x7FFF) {
            exponent = 0x7FFF;
            mantissa = 0x8000000000000000ull;
        } else if (biased <= 0) {
            // Denormal: the integer bit is 0 and the exponent field is 0.
            mantissa = static_cast<quint64>(std::ldexp(a, kExtendedBias - 1 + 63));
            exponent = 0;
        } else {
            mantissa = static_cast<quint64>(std::ldexp(m, 64));
            exponent = static_cast<unsigned>(biased);
        }
    }
    putLE(out, mantissa, 8);
    const unsigned top = exponent | (negative ? 0x8000u : 0u);
    out[8] = static_cast<unsigned char>(top);
    out[9] = static_cast<unsigned char>(top >> 8);
}

long double decodeExtended(const unsigned char in[10]) noexcept
{
    const quint64 mantissa = getLE(in, 8);
    const unsigned top = in[8] | (unsigned(in[9]) << 8);
    const bool negative = (top & 0x8000u) != 0;
    const int exponent = static_cast<int>(top & 0x7FFFu);
    long double v;
    if (exponent == 0x7FFF) {
        v = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                 : std::numeric_limits<long double>::quiet_NaN();
    } else if (exponent == 0) {
        v = std::ldexp(static_cast<long double>(mantissa), 1 - kExtendedBias - 63);
    } else {
        v = std::ldexp(static_cast<long double>(mantissa), exponent - kExtendedBias - 63);
    }
    return negative ? -v : v;
}

// ---------------------------------------------------------------------------
// TFiler

TFiler::TFiler(TStream& stream) : m_stream(stream) {}
TFiler::~TFiler() = default;

// ---------------------------------------------------------------------------
// TWriter

TWriter::TWriter(TStream& stream) : TFiler(stream) {}
TWriter::~TWriter() = default;

void TWriter::Write(const void* buffer, qint64 count)
{
    m_stream.WriteBuffer(buffer, count);
}

void TWriter::WriteValue(TValueType value)
{
    const quint8 b = value;
    Write(&b, 1);
}

void TWriter::WriteInteger(qint64 value)
{
    unsigned char buf[8];
    if (value >= -128 && value <= 127) {
        WriteValue(vaInt8);
        putLE(buf, static_cast<quint64>(value), 1);
        Write(buf, 1);
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(vaInt16);
        putLE(buf, static_cast<quint64>(value), 2);
        Write(buf, 2);
    } else if (value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max()) {
        WriteValue(vaInt32);
        putLE(buf, static_cast<quint64>(value), 4);
        Write(buf, 4);
    } else {
        WriteValue(vaInt64);
        putLE(buf, static_cast<quint64>(value), 8);
        Write(buf, 8);
    }
}

void TWriter::WriteBoolean(bool value)
{
    WriteValue(value ? vaTrue : vaFalse);
}

void TWriter::WriteFloat(long double value)
{
    unsigned char buf[10];
    encodeExtended(value, buf);
    WriteValue(vaExtended);
    Write(buf, 10);
}

namespace {
void writeLength(TWriter& w, qint64 n)
{
    if (n > std::numeric_limits<qint32>::max())
        throw EWriteError(QStringLiteral("Stream write error"));
    unsigned char buf[4];
    putLE(buf, static_cast<quint64>(n), 4);
    w.Write(buf, 4);
}
} // namespace

void TWriter::WriteString(const QString& value)
{
    const QByteArray bytes = unicodeToCp1250(value);
    if (bytes.size() <= 255) {
        WriteValue(vaString);
        const quint8 n = static_cast<quint8>(bytes.size());
        Write(&n, 1);
    } else {
        WriteValue(vaLString);
        writeLength(*this, bytes.size());
    }
    Write(bytes.constData(), bytes.size());
}

void TWriter::WriteWideString(const QString& value)
{
    WriteValue(vaWString);
    writeLength(*this, value.size());
    QByteArray bytes(value.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        bytes[2 * i] = static_cast<char>(c & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(c >> 8);
    }
    Write(bytes.constData(), bytes.size());
}

void TWriter::WriteIdent(const QString& ident)
{
    if (sameName(ident, u"False"))
        WriteValue(vaFalse);
    else if (sameName(ident, u"True"))
        WriteValue(vaTrue);
    else if (sameName(ident, u"Null"))
        WriteValue(vaNull);
    else if (sameName(ident, u"nil"))
        WriteValue(vaNil);
    else {
        WriteValue(vaIdent);
        WriteStr(ident);
    }
}

void TWriter::WriteStr(const QString& value)
{
    const QByteArray bytes = unicodeToCp1250(value);
    if (bytes.size() > 255)
        throw EWriteError(QStringLiteral("Stream write error"));
    const quint8 n = static_cast<quint8>(bytes.size());
    Write(&n, 1);
    Write(bytes.constData(), bytes.size());
}

void TWriter::WriteSet(quint32 mask, const TTypeInfo* setType)
{
    WriteValue(vaSet);
    const TTypeInfo* comp = setType ? setType->CompType() : nullptr;
    if (comp) {
        const int count = std::min(comp->EnumCount(), 32);
        for (int i = 0; i < count; ++i)
            if (mask & (quint32(1) << i))
                WriteStr(comp->EnumNames()[static_cast<size_t>(i)]);
    }
    WriteStr(QString());
}

void TWriter::WriteBinary(const QByteArray& data)
{
    WriteValue(vaBinary);
    writeLength(*this, data.size());
    Write(data.constData(), data.size());
}

void TWriter::WriteCollection(TCollection* value)
{
    WriteValue(vaCollection);
    if (value) {
        const QString savedPath = m_propPath;
        TPersistent* savedAncestor = m_ancestor;
        m_propPath.clear();
        m_ancestor = nullptr;
        try {
            for (TCollectionItem* item : value->items()) {
                WriteListBegin();
                WriteProperties(item);
                WriteListEnd();
            }
        } catch (...) {
            m_propPath = savedPath;
            m_ancestor = savedAncestor;
            throw;
        }
        m_propPath = savedPath;
        m_ancestor = savedAncestor;
    }
    WriteListEnd();
}

void TWriter::writePropName(const QString& name)
{
    WriteStr(m_propPath + name);
}

void TWriter::DefineProperty(const QString& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData)
{
    if (HasData && WriteData) {
        writePropName(Name);
        WriteData(*this);
    }
}

void TWriter::DefineBinaryProperty(const QString& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData)
{
    if (HasData && WriteData) {
        writePropName(Name);
        TMemoryStream data;
        WriteData(data);
        WriteBinary(data.bytes());
    }
}

void TWriter::WriteProperties(TPersistent* instance)
{
    if (!instance)
        return;
    for (const TPropInfo* prop : instance->ClassType()->Properties())
        if (prop->IsStored(instance))
            WriteProperty(instance, prop);
    instance->DefineProperties(*this);
}

namespace {
// The ancestor's value of the same property, when the ancestor has it.
const TPropInfo* ancestorProp(TPersistent* ancestor, const TPropInfo* prop)
{
    if (!ancestor)
        return nullptr;
    if (ancestor->ClassType()->InheritsFrom(prop->OwnerClass()))
        return prop;
    return ancestor->ClassType()->FindProperty(prop->Name());
}

QByteArray collectionBytes(TWriter& model, TCollection* c)
{
    TMemoryStream s;
    TWriter w(s);
    w.SetRoot(model.Root());
    w.SetLookupRoot(model.LookupRoot());
    w.WriteCollection(c);
    return s.bytes();
}
} // namespace

bool TWriter::isDefault(TPersistent* instance, const TPropInfo* prop) const
{
    const TPropInfo* ap = ancestorProp(m_ancestor, prop);
    const TTypeKind kind = prop->Kind();
    if (prop->PropType()->IsOrdinal()) {
        const qint64 v = GetOrdProp(instance, prop);
        if (ap && ap->PropType()->IsOrdinal())
            return v == GetOrdProp(m_ancestor, ap);
        return prop->HasDefault() && v == prop->Default();
    }
    switch (kind) {
    case tkFloat: {
        const long double v = GetFloatProp(instance, prop);
        if (ap && ap->Kind() == tkFloat)
            return v == GetFloatProp(m_ancestor, ap);
        return v == 0;
    }
    case tkString:
    case tkLString:
    case tkWString: {
        const QString v = GetStrProp(instance, prop);
        if (ap && ap->accessor().category() == PropCategory::String)
            return v == GetStrProp(m_ancestor, ap);
        return v.isEmpty();
    }
    case tkVariant: {
        const Variant v = GetVariantProp(instance, prop);
        if (ap && ap->Kind() == tkVariant)
            return VarSameValue(v, GetVariantProp(m_ancestor, ap)) && v.type() == GetVariantProp(m_ancestor, ap).type();
        return v.isEmpty();
    }
    default:
        return true;
    }
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo* prop)
{
    const TTypeInfo* type = prop->PropType();
    switch (prop->Kind()) {
    case tkMethod:
        return; // handlers are bound at run time, never streamed
    case tkClass: {
        TObject* value = GetObjectProp(instance, prop);
        const TPropInfo* ap = ancestorProp(m_ancestor, prop);
        TObject* ancestorValue = ap && ap->Kind() == tkClass ? GetObjectProp(m_ancestor, ap) : nullptr;
        if (auto* component = dynamic_cast<TComponent*>(value)) {
            auto* ancestorComponent = dynamic_cast<TComponent*>(ancestorValue);
            if (ancestorComponent && sameName(ancestorComponent->Name(), component->Name()))
                return;
            QString name;
            TComponent* root = LookupRoot();
            if (component == root)
                name = QStringLiteral("Owner");
            else if (component->Owner() && component->Owner() != root && !component->Owner()->Name().isEmpty())
                name = component->Owner()->Name() + u'.' + component->Name();
            else
                name = component->Name();
            if (component->Name().isEmpty() && component != root)
                return; // an unnamed component cannot be found again
            writePropName(prop->Name());
            WriteIdent(name);
            return;
        }
        if (auto* collection = dynamic_cast<TCollection*>(value)) {
            if (auto* ac = dynamic_cast<TCollection*>(ancestorValue)) {
                if (collectionBytes(*this, collection) == collectionBytes(*this, ac))
                    return;
            }
            writePropName(prop->Name());
            WriteCollection(collection);
            return;
        }
        if (auto* persistent = dynamic_cast<TPersistent*>(value)) {
            writeNested(prop, persistent);
            return;
        }
        if (!value && ancestorValue) {
            writePropName(prop->Name());
            WriteValue(vaNil);
        }
        return;
    }
    default:
        break;
    }
    // A value that could not be read back is not written.
    if (!prop->IsWritable() || isDefault(instance, prop))
        return;
    switch (prop->Kind()) {
    case tkInteger:
    case tkInt64: {
        writePropName(prop->Name());
        const qint64 value = GetOrdProp(instance, prop);
        QString ident;
        const IntegerConsts* consts = findIntegerConsts(type);
        if (consts && consts->intToIdent(value, ident))
            WriteIdent(ident);
        else
            WriteInteger(value);
        break;
    }
    case tkChar:
    case tkWChar: {
        writePropName(prop->Name());
        const qint64 code = GetOrdProp(instance, prop);
        if (prop->Kind() == tkWChar)
            WriteWideString(QString(QChar(static_cast<char16_t>(code))));
        else
            WriteString(cp1250ToUnicode(QByteArray(1, static_cast<char>(code))));
        break;
    }
    case tkEnumeration:
        writePropName(prop->Name());
        WriteIdent(type->EnumName(GetOrdProp(instance, prop)));
        break;
    case tkSet:
        writePropName(prop->Name());
        WriteSet(static_cast<quint32>(GetOrdProp(instance, prop)), type);
        break;
    case tkFloat:
        writePropName(prop->Name());
        WriteFloat(GetFloatProp(instance, prop));
        break;
    case tkString:
    case tkLString:
        writePropName(prop->Name());
        WriteString(GetStrProp(instance, prop));
        break;
    case tkWString:
        writePropName(prop->Name());
        WriteWideString(GetStrProp(instance, prop));
        break;
    case tkVariant:
        writePropName(prop->Name());
        writeVariant(GetVariantProp(instance, prop));
        break;
    default:
        break;
    }
}

void TWriter::writeVariant(const Variant& v)
{
    switch (v.type()) {
    case varEmpty:
        WriteValue(vaNil);
        break;
    case varNull:
        WriteValue(vaNull);
        break;
    case varBoolean:
        WriteBoolean(v.toBoolean());
        break;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64:
        WriteInteger(v.toInt64());
        break;
    case varOleStr:
        WriteWideString(v.rawString());
        break;
    case varString:
        WriteString(v.rawString());
        break;
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
        WriteFloat(v.toDouble());
        break;
    default:
        throw EWriteError(QStringLiteral("Invalid property value"));
    }
}

void TWriter::writeNested(const TPropInfo* prop, TPersistent* value)
{
    const TPropInfo* ap = ancestorProp(m_ancestor, prop);
    TPersistent* ancestorValue =
        ap && ap->Kind() == tkClass ? dynamic_cast<TPersistent*>(GetObjectProp(m_ancestor, ap)) : nullptr;
    const QString savedPath = m_propPath;
    TPersistent* savedAncestor = m_ancestor;
    m_propPath = savedPath + prop->Name() + u'.';
    m_ancestor = ancestorValue;
    try {
        WriteProperties(value);
    } catch (...) {
        m_propPath = savedPath;
        m_ancestor = savedAncestor;
        throw;
    }
    m_propPath = savedPath;
    m_ancestor = savedAncestor;
}

// ---------------------------------------------------------------------------
// TReader

TReader::TReader(TStream& stream) : TFiler(stream) {}
TReader::~TReader() = default;

void TReader::Read(void* buffer, qint64 count)
{
    m_stream.ReadBuffer(buffer, count);
}

bool TReader::AtEnd()
{
    return m_stream.Position() >= m_stream.Size();
}

TValueType TReader::ReadValue()
{
    quint8 b = 0;
    Read(&b, 1);
    return static_cast<TValueType>(b);
}

TValueType TReader::NextValue()
{
    const TValueType v = ReadValue();
    m_stream.Seek(-1, soCurrent);
    return v;
}

void TReader::CheckValue(TValueType value)
{
    if (ReadValue() != value) {
        m_stream.Seek(-1, soCurrent);
        raiseInvalidValue();
    }
}

namespace {
qint64 readLength(TReader& r, TStream& s, qint64 unit)
{
    unsigned char buf[4];
    r.Read(buf, 4);
    const qint64 n = static_cast<qint32>(getLE(buf, 4));
    // A length beyond the stream is a broken record, not a reason to
    // allocate gigabytes.
    if (n < 0 || n * unit > s.Size() - s.Position())
        throw EReadError(QStringLiteral("Stream read error"));
    return n;
}

QByteArray readBytes(TReader& r, qint64 n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    if (n > 0)
        r.Read(bytes.data(), n);
    return bytes;
}
} // namespace

qint64 TReader::ReadInteger()
{
    unsigned char buf[8];
    switch (ReadValue()) {
    case vaInt8:
        Read(buf, 1);
        return static_cast<qint8>(buf[0]);
    case vaInt16:
        Read(buf, 2);
        return static_cast<qint16>(getLE(buf, 2));
    case vaInt32:
        Read(buf, 4);
        return static_cast<qint32>(getLE(buf, 4));
    case vaInt64:
        Read(buf, 8);
        return static_cast<qint64>(getLE(buf, 8));
    default:
        m_stream.Seek(-1, soCurrent);
        raiseInvalidValue();
    }
}

bool TReader::ReadBoolean()
{
    switch (ReadValue()) {
    case vaTrue:
        return true;
    case vaFalse:
        return false;
    default:
        m_stream.Seek(-1, soCurrent);
        raiseInvalidValue();
    }
}

long double TReader::ReadFloat()
{
    unsigned char buf[10];
    switch (NextValue()) {
    case vaExtended:
        ReadValue();
        Read(buf, 10);
        return decodeExtended(buf);
    case vaSingle: {
        ReadValue();
        Read(buf, 4);
        const quint32 bits = static_cast<quint32>(getLE(buf, 4));
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    case vaDate: {
        ReadValue();
        Read(buf, 8);
        const quint64 bits = getLE(buf, 8);
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    case vaCurrency:
        ReadValue();
        Read(buf, 8);
        return static_cast<long double>(static_cast<qint64>(getLE(buf, 8))) / 10000.0L;
    default:
        return static_cast<long double>(ReadInteger());
    }
}

QString TReader::ReadString()
{
    switch (ReadValue()) {
    case vaString: {
        quint8 n = 0;
        Read(&n, 1);
        return cp1250ToUnicode(readBytes(*this, n));
    }
    case vaLString:
        return cp1250ToUnicode(readBytes(*this, readLength(*this, m_stream, 1)));
    case vaUTF8String:
        return QString::fromUtf8(readBytes(*this, readLength(*this, m_stream, 1)));
    case vaWString: {
        const QByteArray bytes = readBytes(*this, readLength(*this, m_stream, 2) * 2);
        QString s(bytes.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < s.size(); ++i)
            s[i] = QChar(static_cast<char16_t>(static_cast<quint8>(bytes[2 * i]) |
                                               (static_cast<quint8>(bytes[2 * i + 1]) << 8)));
        return s;
    }
    default:
        m_stream.Seek(-1, soCurrent);
        raiseInvalidValue();
    }
}

QString TReader::ReadIdent()
{
    switch (ReadValue()) {
    case vaIdent:
        return ReadStr();
    case vaFalse:
        return QStringLiteral("False");
    case vaTrue:
        return QStringLiteral("True");
    case vaNil:
        return QStringLiteral("nil");
    case vaNull:
        return QStringLiteral("Null");
    default:
        m_stream.Seek(-1, soCurrent);
        raiseInvalidValue();
    }
}

QString TReader::ReadStr()
{
    quint8 n = 0;
    Read(&n, 1);
    return cp1250ToUnicode(readBytes(*this, n));
}

quint32 TReader::ReadSet(const TTypeInfo* setType)
{
    CheckValue(vaSet);
    const TTypeInfo* comp = setType ? setType->CompType() : nullptr;
    quint32 mask = 0;
    for (;;) {
        const QString name = ReadStr();
        if (name.isEmpty())
            break;
        const int value = comp ? comp->EnumValue(name) : -1;
        if (value < 0 || value >= 32)
            raiseInvalidValue();
        mask |= quint32(1) << value;
    }
    return mask;
}

QByteArray TReader::ReadBinary()
{
    CheckValue(vaBinary);
    return readBytes(*this, readLength(*this, m_stream, 1));
}

Variant TReader::ReadVariant()
{
    switch (NextValue()) {
    case vaNil:
        ReadValue();
        return Variant();
    case vaNull:
        ReadValue();
        return Variant::null();
    case vaFalse:
    case vaTrue:
        return Variant(ReadBoolean());
    case vaInt8:
    case vaInt16:
    case vaInt32:
        return Variant(static_cast<int>(ReadInteger()));
    case vaInt64:
        return Variant(static_cast<long long>(ReadInteger()));
    case vaExtended:
    case vaSingle:
        return Variant(static_cast<double>(ReadFloat()));
    case vaCurrency:
        return Variant::fromCurrency(static_cast<double>(ReadFloat()));
    case vaDate:
        return Variant::fromDate(static_cast<double>(ReadFloat()));
    case vaWString:
        return Variant::fromOleStr(ReadString());
    case vaString:
    case vaLString:
    case vaUTF8String:
        return Variant(ReadString());
    default:
        raiseInvalidValue();
    }
}

void TReader::ReadCollection(TCollection* value)
{
    CheckValue(vaCollection);
    if (!value) {
        m_stream.Seek(-1, soCurrent);
        SkipValue();
        return;
    }
    value->BeginUpdate();
    try {
        value->Clear();
        while (!EndOfList()) {
            const TValueType next = NextValue();
            if (next == vaInt8 || next == vaInt16 || next == vaInt32)
                ReadInteger(); // the item's original index; the order is the stream's
            TCollectionItem* item = value->Add();
            ReadListBegin();
            while (!EndOfList())
                ReadProperty(item);
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        value->EndUpdate();
        throw;
    }
    value->EndUpdate();
}

void TReader::SkipValue()
{
    skipValue(0);
}

void TReader::skipValue(int depth)
{
    if (depth > kMaxNesting)
        raiseInvalidValue();
    unsigned char buf[10];
    switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
        return;
    case vaList:
        while (!EndOfList())
            skipValue(depth + 1);
        ReadValue();
        return;
    case vaInt8:
        Read(buf, 1);
        return;
    case vaInt16:
        Read(buf, 2);
        return;
    case vaInt32:
    case vaSingle:
        Read(buf, 4);
        return;
    case vaInt64:
    case vaCurrency:
    case vaDate:
        Read(buf, 8);
        return;
    case vaExtended:
        Read(buf, 10);
        return;
    case vaString:
    case vaIdent:
        ReadStr();
        return;
    case vaBinary:
    case vaLString:
    case vaUTF8String:
        readBytes(*this, readLength(*this, m_stream, 1));
        return;
    case vaWString:
        readBytes(*this, readLength(*this, m_stream, 2) * 2);
        return;
    case vaSet:
        while (!ReadStr().isEmpty()) {
        }
        return;
    case vaCollection:
        while (!EndOfList()) {
            const TValueType next = NextValue();
            if (next == vaInt8 || next == vaInt16 || next == vaInt32)
                ReadInteger();
            CheckValue(vaList);
            while (!EndOfList())
                skipProperty(depth + 1);
            ReadValue();
        }
        ReadValue();
        return;
    default:
        m_stream.Seek(-1, soCurrent);
        raiseInvalidValue();
    }
}

void TReader::skipProperty(int depth)
{
    ReadStr();
    skipValue(depth);
}

void TReader::DefineProperty(const QString& Name, const TReaderProc& ReadData, const TWriterProc&, bool)
{
    if (!m_propFound && ReadData && sameName(Name, m_propName)) {
        // The data may hold properties of its own (a collection): reading
        // them must not make this record look unread.
        const QString name = m_propName;
        ReadData(*this);
        m_propName = name;
        m_propFound = true;
    }
}

void TReader::DefineBinaryProperty(const QString& Name, const TStreamProc& ReadData, const TStreamProc&, bool)
{
    if (!m_propFound && ReadData && sameName(Name, m_propName)) {
        m_propFound = true;
        TMemoryStream data(ReadBinary());
        ReadData(data);
    }
}

void TReader::ReadProperty(TPersistent* instance)
{
    const QString path = ReadStr();
    if (!instance)
        raiseInvalidValue();
    TPersistent* target = instance;
    const QList<QStringView> parts = QStringView(path).split(u'.');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const TPropInfo* prop = target->ClassType()->FindProperty(parts[i]);
        TPersistent* next = nullptr;
        if (prop && prop->Kind() == tkClass)
            next = dynamic_cast<TPersistent*>(GetObjectProp(target, prop));
        if (!next || dynamic_cast<TComponent*>(next))
            throw EReadError(QStringLiteral("Invalid property path"));
        target = next;
    }
    const QString name = parts.last().toString();
    m_propName = name;
    m_propFound = false;
    target->DefineProperties(*this);
    const bool found = m_propFound;
    m_propName.clear();
    m_propFound = false;
    if (found)
        return;
    const TPropInfo* prop = target->ClassType()->FindProperty(name);
    if (!prop)
        throw EReadError(QStringLiteral("Property %1 does not exist").arg(path));
    readPropValue(target, prop);
}

void TReader::ReadProperties(TPersistent* instance)
{
    while (!AtEnd())
        ReadProperty(instance);
}

void TReader::readPropValue(TPersistent* instance, const TPropInfo* prop)
{
    const TTypeInfo* type = prop->PropType();
    const TValueType next = NextValue();
    switch (prop->Kind()) {
    case tkInteger:
    case tkInt64:
        if (next == vaIdent) {
            const IntegerConsts* consts = findIntegerConsts(type);
            qint64 value = 0;
            if (!consts || !consts->identToInt(ReadIdent(), value))
                raiseInvalidValue();
            SetOrdProp(instance, prop, value);
            return;
        }
        SetOrdProp(instance, prop, ReadInteger());
        return;
    case tkChar:
    case tkWChar:
        if (next == vaString || next == vaLString || next == vaWString || next == vaUTF8String) {
            const QString s = ReadString();
            if (s.size() != 1)
                raiseInvalidValue();
            if (prop->Kind() == tkChar) {
                const QByteArray b = unicodeToCp1250(s);
                SetOrdProp(instance, prop, static_cast<quint8>(b.at(0)));
            } else {
                SetOrdProp(instance, prop, s.at(0).unicode());
            }
        } else {
            SetOrdProp(instance, prop, ReadInteger());
        }
        return;
    case tkEnumeration: {
        if (next == vaInt8 || next == vaInt16 || next == vaInt32) {
            SetOrdProp(instance, prop, ReadInteger());
            return;
        }
        const int value = type->EnumValue(ReadIdent());
        if (value < 0)
            raiseInvalidValue();
        SetOrdProp(instance, prop, value);
        return;
    }
    case tkSet:
        if (next == vaInt8 || next == vaInt16 || next == vaInt32)
            SetOrdProp(instance, prop, ReadInteger());
        else
            SetOrdProp(instance, prop, ReadSet(type));
        return;
    case tkFloat:
        SetFloatProp(instance, prop, ReadFloat());
        return;
    case tkString:
    case tkLString:
    case tkWString:
        SetStrProp(instance, prop, ReadString());
        return;
    case tkVariant:
        SetVariantProp(instance, prop, ReadVariant());
        return;
    case tkMethod:
        // Handlers are bound at run time; only an explicit nil clears one.
        if (ReadIdent() == QLatin1String("nil"))
            SetMethodProp(instance, prop, TMethod());
        return;
    case tkClass:
        if (next == vaNil) {
            ReadValue();
            SetObjectProp(instance, prop, nullptr);
        } else if (next == vaIdent) {
            m_fixups.push_back(Fixup{instance, prop, ReadIdent()});
        } else if (next == vaCollection) {
            auto* collection = dynamic_cast<TCollection*>(GetObjectProp(instance, prop));
            if (!collection)
                raiseInvalidValue();
            ReadCollection(collection);
        } else {
            raiseInvalidValue();
        }
        return;
    default:
        SkipValue();
        return;
    }
}

TComponent* TReader::findComponent(const QString& name) const
{
    TComponent* root = LookupRoot();
    if (!root || name.isEmpty())
        return nullptr;
    if (sameName(name, u"Owner"))
        return root;
    const QList<QStringView> parts = QStringView(name).split(u'.');
    TComponent* current = nullptr;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i == 0) {
            current = root->FindComponent(parts[0]);
            if (!current && parts.size() > 1 && sameName(root->Name(), parts[0]))
                current = root;
            if (!current && parts.size() == 1 && sameName(root->Name(), parts[0]))
                current = root;
        } else if (sameName(parts[i], u"Owner")) {
            current = current->Owner();
        } else {
            current = current->FindComponent(parts[i]);
        }
        if (!current)
            return nullptr;
    }
    return current;
}

void TReader::BeginReferences()
{
    m_fixups.clear();
}

void TReader::FixupReferences()
{
    std::vector<Fixup> pending;
    pending.swap(m_fixups);
    for (const Fixup& f : pending) {
        TComponent* component = findComponent(f.name);
        if (!component)
            continue;
        try {
            SetObjectProp(f.instance, f.prop, component);
        } catch (const Exception&) {
            // A reference of the wrong class stays unset, like an unknown name.
        }
    }
}

void TReader::EndReferences()
{
    m_fixups.clear();
}

} // namespace plat
