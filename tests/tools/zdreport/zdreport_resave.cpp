// zdreport resave IN OUT [--password P]
//
// A prepared report ("zp3", plain or compressed) is loaded into a store of
// prepared pages and saved again in the same form. A template is loaded
// and saved again through the report document, so
// compression, encryption and the password are kept. Elements the library
// has no class for are held as they were read. A file whose root is not a
// report (a test template of the object model) is resaved element by
// element as before.

#include "zdreport_commands.h"
#include "zdreport_template.h"

#include "Exceptions.h"
#include "Files.h"
#include "Streams.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdCrypt.h"
#include "zdPreviewPages.h"
#include "zdXML.h"
#include "zdZLib.h"
#include "zdXMLSerializer.h"

#include <QFile>

#include <cstdio>

namespace zdtool {

namespace {

QString g_password;

bool givenPassword(QString& password)
{
    password = g_password;
    return !g_password.isEmpty();
}

// The report with the tool's holders for unknown elements around its XML.
class ToolReport : public TzdReport {
    PLAT_CLASS(ToolReport, TzdReport)
public:
    explicit ToolReport(plat::TComponent* AOwner = nullptr) : TzdReport(AOwner) {}
    bool Unreadable = false;

protected:
    // The document is read and written as a tree here, not through a
    // second text pass, so character references stay as they were.
    void ReadTemplateXML(plat::TStream& Plain) override
    {
        TzdXMLDocument document;
        try {
            document.LoadFromStream(Plain);
        } catch (const plat::Exception&) {
            Unreadable = true;
            throw;
        }
        wrapUnknownElements(document.Root());
        Clear();
        TzdXMLSerializer serializer(nullptr);
        serializer.HandleNestedProperties = true;
        serializer.Owner = this;
        serializer.OnGetCustomData = OnGetCustomData;
        TzdXMLSerializer* previous = CurrentSerializer();
        SetCurrentSerializer(&serializer);
        try {
            serializer.ReadRootComponent(this, document.Root());
        } catch (...) {
            SetCurrentSerializer(previous);
            passErrors(serializer);
            throw;
        }
        SetCurrentSerializer(previous);
        passErrors(serializer);
    }
    void WriteTemplateXML(plat::TStream& Plain, bool SaveChildren, bool SaveDefaultValues,
                          bool IgnoreAncestry) override
    {
        TzdXMLDocument document;
        document.AutoIndent = true;
        TzdXMLSerializer serializer(nullptr);
        serializer.HandleNestedProperties = true;
        serializer.SerializeDefaultValues = SaveDefaultValues;
        serializer.Owner = this;
        serializer.OnGetAncestor = [this](const QString& name) { return FindAncestorObject(name); };
        TzdXMLSerializer* previous = CurrentSerializer();
        SetCurrentSerializer(&serializer);
        try {
            serializer.WriteRootComponent(this, SaveChildren, document.Root(), IgnoreAncestry);
        } catch (...) {
            SetCurrentSerializer(previous);
            throw;
        }
        SetCurrentSerializer(previous);
        document.Root()->Name = QByteArrayLiteral("TzdReport");
        unwrapElements(document.Root());
        document.SaveToStream(Plain);
    }

private:
    void passErrors(TzdXMLSerializer& serializer)
    {
        QStringList errors;
        for (int i = 0; i < serializer.Errors().Count(); ++i)
            errors += serializer.Errors().Strings(i);
        AddErrors(errors);
    }
};

// A plain XML file whose root element is not a report.
bool isOtherXML(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4096);
    if (head.startsWith("\x1f\x8b") || head.startsWith("rij"))
        return false;
    const qsizetype root = head.indexOf("<Tzd");
    return root >= 0 && !head.mid(root).startsWith("<TzdReport");
}

// Plain XML whose root is "preparedreport", or a gzip member stored as
// "1.zp3". Sets Compressed to the file's form.
bool isPreparedReport(const QString& fileName, bool& Compressed)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4096);
    Compressed = head.startsWith("\x1f\x8b");
    if (Compressed)
        return head.size() > 3 && (quint8(head[3]) & 8) != 0 && head.mid(10, 6) == QByteArray("1.zp3\0", 6);
    const qsizetype root = head.indexOf('<', head.startsWith("<?") ? head.indexOf("?>") : 0);
    return root >= 0 && head.mid(root + 1, 14).toLower() == "preparedreport";
}

int resavePrepared(const QString& in, const QString& out, bool compressed)
{
    TzdGZipCompressor compressor(nullptr);
    TzdReport report;
    report.EngineOptions()->NewSilentMode = simSilent;
    TzdPreviewPages pages(&report);
    if (!pages.LoadFromFile(in, true) || !report.ErrorList().isEmpty()) {
        for (const QString& error : report.ErrorList())
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(error));
        throw plat::Exception(QStringLiteral("Cannot read the prepared report %1").arg(in));
    }
    report.ReportOptions()->Compressed = compressed;
    pages.SaveToFile(out);
    return 0;
}

int resaveElements(const QString& in, const QString& out)
{
    Template report;
    report.Load(in);
    for (const QString& error : report.Errors())
        std::fprintf(stderr, "zdreport: %s\n", qPrintable(error));
    report.Save(out);
    return 0;
}

} // namespace

int resaveCommand(const ToolCommandLine& cl)
{
    if (cl.positional.size() != 2)
        return -1;
    const QString& in = cl.positional[0];
    const QString& out = cl.positional[1];
    const QString password = cl.value(QStringLiteral("password"));
    startLibrary();
    if (!plat::FileExists(in))
        throw plat::EFOpenError(QStringLiteral("Cannot open file \"%1\"").arg(in));
    bool compressed = false;
    if (isPreparedReport(in, compressed))
        return resavePrepared(in, out, compressed);
    if (isOtherXML(in))
        return resaveElements(in, out);
    g_password = password;
    zd::setPasswordPrompt(givenPassword);
    // As in the program, a compressor and a crypter are at hand.
    TzdGZipCompressor compressor(nullptr);
    TzdCrypt crypter(nullptr);
    ToolReport report;
    report.EngineOptions()->NewSilentMode = simSilent;
    report.LoadFromFile(in, true);
    for (const QString& error : report.ErrorList())
        std::fprintf(stderr, "zdreport: %s\n", qPrintable(error));
    if (report.Unreadable)
        throw plat::Exception(QStringLiteral("Invalid file format"));
    if (report.ErrorList().contains(QStringLiteral("Invalid password")))
        throw plat::Exception(QStringLiteral("Invalid password"));
    if (report.GetPageCount() == 0)
        throw plat::Exception(QStringLiteral("Nothing could be read from %1").arg(in));
    // The tool's error mode is no part of the template.
    report.EngineOptions()->NewSilentMode = simMessageBoxes;
    report.SaveToFile(out);
    return 0;
}

} // namespace zdtool

PLAT_DEFINE_CLASS(zdtool::ToolReport, c) {}
