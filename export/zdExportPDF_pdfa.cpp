// PDF/A output: the role map and structure tree root, the XMP metadata
// stream and the sRGB output intent. The conformance declared is "B": the
// structure tree is empty, so "A" would claim tagging that is not there.

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"

#include "zdrcExports.h"

#include <QDateTime>

namespace {

QByteArray xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped().replace(u'\'', QStringLiteral("&apos;")).toUtf8();
}

// 2024-03-05T14:07:09+01:00
QByteArray xmpTime(const QDateTime& time)
{
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + (offset < 0 ? '-' : '+') +
           QByteArray::number(minutes / 60).rightJustified(2, '0') + ':' +
           QByteArray::number(minutes % 60).rightJustified(2, '0');
}

} // namespace

namespace zd {

QByteArray pdfXmpPacket(const QByteArray& Template, const PdfXmpValues& v)
{
    const std::pair<const char*, QByteArray> values[] = {
        {"{10}", xmlEscaped(v.Author)},   {"{0}", xmlEscaped(v.Creator)},  {"{1}", xmlEscaped(v.Subject)},
        {"{2}", xmlEscaped(v.Title)},     {"{3}", xmpTime(v.Time)},        {"{4}", xmlEscaped(v.Keywords)},
        {"{5}", xmlEscaped(v.Producer)},  {"{6}", v.FileID},               {"{7}", v.FileID},
        {"{8}", "2"},                     {"{9}", "B"},
    };
    // One pass, so that a value holding "{2}" stays as it is.
    QByteArray out;
    out.reserve(Template.size() + 256);
    for (qsizetype i = 0; i < Template.size();) {
        bool replaced = false;
        if (Template[i] == '{')
            for (const auto& [key, value] : values) {
                const QByteArray k(key);
                if (Template.mid(i, k.size()) == k) {
                    out += value;
                    i += k.size();
                    replaced = true;
                    break;
                }
            }
        if (!replaced)
            out += Template[i++];
    }
    return out;
}

} // namespace zd

void TzdPDFExport::writePdfAObjects()
{
    State& s = *d;
    const int r = s.allocate();
    s.header(r);
    s.line("<<");
    for (const char* pair :
         {"/Footnote /Note", "/Endnote /Note", "/Textbox /Sect", "/Header /Sect", "/Footer /Sect",
          "/InlineShape /Sect", "/Annotation /Sect", "/Artifact /Sect", "/Workbook /Document", "/Worksheet /Part",
          "/Macrosheet /Part", "/Chartsheet /Part", "/Dialogsheet /Part", "/Slide /Part", "/Chart /Sect",
          "/Diagram /Figure"})
        s.line(pair);
    s.line(">>");
    s.line("endobj");

    s.structTreeRootObject = s.allocate();
    s.header(s.structTreeRootObject);
    s.line("<<");
    s.line("/Type /StructTreeRoot");
    s.line("/RoleMap " + zd::ref(r));
    s.line(">>");
    s.line("endobj");

    zd::PdfXmpValues values;
    values.Title = Title;
    values.Author = Author;
    values.Subject = Subject;
    values.Keywords = Keywords;
    values.Creator = Creator;
    values.Producer = Producer;
    values.Time = Clock ? Clock() : QDateTime::currentDateTime();
    values.FileID = s.fileID;
    const QByteArray xmp = zd::pdfXmpPacket(zd::exportResource(QStringLiteral("Metafile")), values) + "\r\n";
    s.metadataObject = s.allocate();
    s.header(s.metadataObject);
    s.line("<< /Type /Metadata /Subtype /XML ");
    s.put("/Length " + QByteArray::number(xmp.size()));
    s.line(">>");
    s.line("stream");
    s.put(s.encrypt(xmp, s.metadataObject)); // never compressed: readers look for it as it is
    s.put("\n");
    s.line("endstream");
    s.line("endobj");

    const int c = s.allocate();
    s.header(c);
    s.line("<<");
    s.line("/N 3");
    s.streamObject(zd::exportResource(QStringLiteral("Profile")), false, s.compressed);

    s.outputIntentObject = s.allocate();
    s.header(s.outputIntentObject);
    s.line("<<");
    s.line("/Type /OutputIntent");
    s.line("/S /GTS_PDFA1");
    s.line("/OutputCondition (sRGB IEC61966-2.1)");
    s.line("/OutputConditionIdentifier (sRGB IEC61966-2.1)");
    s.line("/Info (sRGB IEC61966-2.1)");
    s.line("/DestOutputProfile " + zd::ref(c));
    s.line(">>");
    s.line("endobj");
}
