#include "Printers.h"

#include <cups/cups.h>


#include <algorithm>
#include <cmath>
#include <memory>

namespace plat {

namespace {

struct DestsDeleter {
    int count;
    void operator()(cups_dest_t* dests) const { cupsFreeDests(count, dests); }
};
struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
struct InfoDeleter {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};

QString serverError()
{
    const char* text = cupsLastErrorString();
    return text && *text ? QString::fromUtf8(text) : QStringLiteral("The print server did not answer");
}

// Trays with a platform number of their own; "auto" is the automatic bin.
struct SourceNumber {
    const char* key;
    int number;
};
constexpr SourceNumber kSourceNumbers[] = {
    {"auto", DMBIN_AUTO},          {"top", DMBIN_UPPER},        {"bottom", DMBIN_LOWER},
    {"middle", DMBIN_MIDDLE},      {"manual", DMBIN_MANUAL},    {"envelope", DMBIN_ENVELOPE},
    {"large-capacity", DMBIN_LARGECAPACITY},
};

int sourceNumber(const QByteArray& key)
{
    for (const SourceNumber& s : kSourceNumbers)
        if (key == s.key)
            return s.number;
    return 0;
}

// "tray-2" -> "Tray 2" when the server has no localised name.
QString displayName(const char* localized, const QByteArray& key)
{
    QString name = localized && *localized && key != localized ? QString::fromUtf8(localized)
                                                                 : QString::fromUtf8(key).replace(u'-', u' ');
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

QString paperName(cups_dest_t* dest, cups_dinfo_t* info, cups_size_t& size)
{
    // The short names users know ("A4", "Letter") where the size has one.
    if (pwg_media_t* pwg = pwgMediaForPWG(size.media); pwg && pwg->ppd)
        return QString::fromUtf8(pwg->ppd);
    if (const char* name = cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size))
        return QString::fromUtf8(name);
    return QString::fromUtf8(size.media);
}

void readPapers(cups_dest_t* dest, cups_dinfo_t* info, PrinterCapabilities& caps)
{
    const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT);
    int own = kFirstOwnPaper;
    for (int i = 0; i < count; ++i) {
        cups_size_t size{};
        if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, info, i, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            continue;
        if (size.width <= 0 || size.length <= 0)
            continue;
        PrinterPaper paper;
        paper.Key = size.media;
        if (std::any_of(caps.Papers.begin(), caps.Papers.end(), [&](const PrinterPaper& p) { return p.Key == paper.Key; }))
            continue; // the same medium with other margins
        paper.Name = paperName(dest, info, size);
        paper.Width = size.width;
        paper.Height = size.length;
        paper.Left = size.left;
        paper.Right = size.right;
        paper.Top = size.top;
        paper.Bottom = size.bottom;
        paper.Number = PaperNumberForSize(int(std::lround(size.width / 10.0)), int(std::lround(size.length / 10.0)));
        if (paper.Number == 0 || caps.FindPaper(paper.Number))
            paper.Number = own++;
        caps.Papers.push_back(paper);
    }
    if (caps.Papers.empty()) {
        const TPaperInfo* a4 = FindPaperInfo(DMPAPER_A4);
        caps.Papers.push_back({DMPAPER_A4, QStringLiteral("A4"), QByteArrayLiteral("iso_a4_210x297mm"),
                               a4->Width * 10, a4->Height * 10, 0, 0, 0, 0});
    }
}

int defaultPaperIndex(cups_dest_t* dest, cups_dinfo_t* info, const PrinterCapabilities& caps)
{
    auto bySize = [&](int width, int height) {
        for (size_t i = 0; i < caps.Papers.size(); ++i)
            if (std::abs(caps.Papers[i].Width - width) <= 100 && std::abs(caps.Papers[i].Height - height) <= 100)
                return int(i);
        return -1;
    };
    // The collection default names the size the queue is set to; the plain
    // media default may follow the server's locale instead.
    if (ipp_attribute_t* col = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media-col")) {
        if (ipp_t* media = ippGetCollection(col, 0)) {
            if (ipp_attribute_t* sizeAttr = ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION)) {
                ipp_t* size = ippGetCollection(sizeAttr, 0);
                ipp_attribute_t* x = ippFindAttribute(size, "x-dimension", IPP_TAG_INTEGER);
                ipp_attribute_t* y = ippFindAttribute(size, "y-dimension", IPP_TAG_INTEGER);
                if (x && y) {
                    const int i = bySize(ippGetInteger(x, 0), ippGetInteger(y, 0));
                    if (i >= 0)
                        return i;
                }
            }
        }
    }
    cups_size_t size{};
    if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
        for (size_t i = 0; i < caps.Papers.size(); ++i)
            if (caps.Papers[i].Key == size.media)
                return int(i);
    }
    return 0;
}

QByteArray defaultKeyword(cups_dest_t* dest, cups_dinfo_t* info, const char* name)
{
    if (const char* value = cupsGetOption(name, dest->num_options, dest->options))
        return value;
    if (ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, name))
        if (const char* value = ippGetString(attr, 0, nullptr))
            return value;
    return {};
}

void readBins(cups_dest_t* dest, cups_dinfo_t* info, PrinterCapabilities& caps)
{
    ipp_attribute_t* supported = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "media-source");
    const int count = supported ? ippGetCount(supported) : 0;
    int own = kFirstOwnBin;
    for (int i = 0; i < count; ++i) {
        const QByteArray key = ippGetString(supported, i, nullptr);
        int number = sourceNumber(key);
        if (number == DMBIN_AUTO)
            continue; // the first entry of every bin list
        if (number == 0 || caps.FindBin(number))
            number = own++;
        const char* local = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest, info, "media-source", key.constData());
        caps.Bins.push_back({number, displayName(local, key), key});
    }
    const QByteArray def = defaultKeyword(dest, info, "media-source");
    for (const PrinterBin& b : caps.Bins)
        if (b.Key == def)
            caps.DefaultBin = b.Number;
}

int duplexOf(const QByteArray& sides)
{
    if (sides == "two-sided-long-edge")
        return DMDUP_VERTICAL;
    if (sides == "two-sided-short-edge")
        return DMDUP_HORIZONTAL;
    return DMDUP_SIMPLEX;
}

void readSides(cups_dest_t* dest, cups_dinfo_t* info, PrinterCapabilities& caps)
{
    if (ipp_attribute_t* supported = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "sides"))
        for (int i = 0; i < ippGetCount(supported); ++i)
            if (duplexOf(ippGetString(supported, i, nullptr)) != DMDUP_SIMPLEX)
                caps.CanDuplex = true;
    caps.DefaultDuplex = caps.CanDuplex ? duplexOf(defaultKeyword(dest, info, "sides")) : DMDUP_SIMPLEX;
}

void readResolution(cups_dest_t* dest, cups_dinfo_t* info, PrinterCapabilities& caps)
{
    ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution");
    if (!attr)
        attr = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution");
    if (attr && ippGetValueTag(attr) == IPP_TAG_RESOLUTION) {
        int y = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        int x = ippGetResolution(attr, 0, &y, &units);
        if (units == IPP_RES_PER_CM) {
            x = int(std::lround(x * 2.54));
            y = int(std::lround(y * 2.54));
        }
        caps.DpiX = x;
        caps.DpiY = y;
    }
    if (caps.DpiX <= 0 || caps.DpiY <= 0) {
        constexpr int kPlainResolution = 300;
        caps.DpiX = caps.DpiY = kPlainResolution;
    }
}

} // namespace

const PrinterPaper* PrinterCapabilities::FindPaper(int number) const
{
    for (const PrinterPaper& p : Papers)
        if (p.Number == number)
            return &p;
    return nullptr;
}

const PrinterBin* PrinterCapabilities::FindBin(int number) const
{
    for (const PrinterBin& b : Bins)
        if (b.Number == number)
            return &b;
    return nullptr;
}

std::vector<PrinterEntry> ListPrinters()
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::unique_ptr<cups_dest_t, DestsDeleter> owner(dests, DestsDeleter{count});
    std::vector<PrinterEntry> list;
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& d = dests[i];
        if (d.instance)
            continue;
        PrinterEntry entry;
        entry.Name = QString::fromUtf8(d.name);
        entry.Location = QString::fromUtf8(cupsGetOption("printer-location", d.num_options, d.options));
        entry.IsDefault = d.is_default != 0;
        list.push_back(entry);
    }
    return list;
}

QString DefaultPrinterName()
{
    for (const PrinterEntry& e : ListPrinters())
        if (e.IsDefault)
            return e.Name;
    return {};
}

std::optional<PrinterCapabilities> QueryPrinter(const QString& name, QString& error)
{
    const QByteArray utf8 = name.toUtf8();
    std::unique_ptr<cups_dest_t, DestDeleter> dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, utf8.constData(), nullptr));
    if (!dest) {
        error = serverError();
        return std::nullopt;
    }
    std::unique_ptr<cups_dinfo_t, InfoDeleter> info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    if (!info) {
        error = serverError();
        return std::nullopt;
    }
    PrinterCapabilities caps;
    readPapers(dest.get(), info.get(), caps);
    caps.DefaultPaper = defaultPaperIndex(dest.get(), info.get(), caps);
    readBins(dest.get(), info.get(), caps);
    readSides(dest.get(), info.get(), caps);
    readResolution(dest.get(), info.get(), caps);
    return caps;
}

QByteArray SidesKeyword(int duplex)
{
    switch (duplex) {
    case DMDUP_SIMPLEX: return QByteArrayLiteral("one-sided");
    case DMDUP_VERTICAL: return QByteArrayLiteral("two-sided-long-edge");
    case DMDUP_HORIZONTAL: return QByteArrayLiteral("two-sided-short-edge");
    default: return {};
    }
}

} // namespace plat
