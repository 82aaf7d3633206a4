#include "PrintJob.h"

#include "Exceptions.h"

#include <cups/cups.h>

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryFile>

#include <vector>

namespace plat {

namespace {

constexpr qint64 kChunk = 64 * 1024;

QString serverError(const QString& printer)
{
    const char* text = cupsLastErrorString();
    const QString reason = text && *text ? QString::fromUtf8(text) : QStringLiteral("The print server did not answer");
    return QStringLiteral("%1: %2").arg(printer, reason);
}

std::unique_ptr<QTemporaryFile> newTemporaryFile(const char* suffix)
{
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/zdPrint-XXXXXX") +
                                                 QLatin1String(suffix));
    if (!file->open())
        throw EPrinter(QStringLiteral("Cannot create a temporary file for printing: %1").arg(file->errorString()));
    return file;
}

// The job's options, as the server's option strings.
class Options {
public:
    explicit Options(const JobSettings& s)
    {
        const int copies = std::max(1, s.Copies);
        add("copies", QByteArray::number(copies));
        if (copies > 1)
            add("multiple-document-handling", s.Collate ? "separate-documents-collated-copies"
                                                        : "separate-documents-uncollated-copies");
        if (!s.Sides.isEmpty())
            add("sides", s.Sides);
        // The source travels inside the media collection: that is where the
        // server looks for it when it maps the job onto a driver's trays.
        QByteArray col;
        if (s.PaperWidth > 0 && s.PaperHeight > 0)
            col += "media-size={x-dimension=" + QByteArray::number(s.PaperWidth) +
                   " y-dimension=" + QByteArray::number(s.PaperHeight) + '}';
        if (!s.Bin.isEmpty())
            col += (col.isEmpty() ? "" : " ") + QByteArray("media-source=") + s.Bin;
        if (!col.isEmpty())
            add("media-col", '{' + col + '}');
    }
    ~Options() { cupsFreeOptions(m_count, m_options); }
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
    int count() const { return m_count; }
    cups_option_t* options() const { return m_options; }

private:
    void add(const char* name, const QByteArray& value)
    {
        m_count = cupsAddOption(name, value.constData(), m_count, &m_options);
    }
    int m_count = 0;
    cups_option_t* m_options = nullptr;
};

struct DestHolder {
    cups_dest_t* dest = nullptr;
    cups_dinfo_t* info = nullptr;
    ~DestHolder()
    {
        if (info)
            cupsFreeDestInfo(info);
        if (dest)
            cupsFreeDests(1, dest);
    }
};

// Sends one file as one job; false and the server's reason when it fails.
bool submit(const QString& printer, const QString& title, QIODevice& data, const char* format,
            const JobSettings& settings, QString& error)
{
    DestHolder h;
    const QByteArray name = printer.toUtf8();
    h.dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!h.dest) {
        error = serverError(printer);
        return false;
    }
    h.info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, h.dest);
    const Options options(settings);
    const QByteArray jobTitle = title.toUtf8();
    int jobId = 0;
    if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, h.dest, h.info, &jobId, jobTitle.constData(), options.count(),
                          options.options()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        error = serverError(printer);
        return false;
    }
    auto fail = [&] {
        error = serverError(printer);
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, h.dest, jobId);
        return false;
    };
    if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, h.dest, h.info, jobId, jobTitle.constData(), format, 0, nullptr, 1) !=
        HTTP_STATUS_CONTINUE)
        return fail();
    if (!data.seek(0)) {
        error = QStringLiteral("%1: %2").arg(printer, data.errorString());
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, h.dest, jobId);
        return false;
    }
    std::vector<char> buffer(kChunk);
    for (;;) {
        const qint64 n = data.read(buffer.data(), kChunk);
        if (n < 0) {
            cupsFinishDestDocument(CUPS_HTTP_DEFAULT, h.dest, h.info);
            cupsCancelDestJob(CUPS_HTTP_DEFAULT, h.dest, jobId);
            error = QStringLiteral("%1: %2").arg(printer, data.errorString());
            return false;
        }
        if (n == 0)
            break;
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer.data(), size_t(n)) != HTTP_STATUS_CONTINUE) {
            cupsFinishDestDocument(CUPS_HTTP_DEFAULT, h.dest, h.info);
            return fail();
        }
    }
    if (cupsFinishDestDocument(CUPS_HTTP_DEFAULT, h.dest, h.info) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return fail();
    return true;
}

QPageLayout pageLayout(const PageGeometry& page)
{
    const bool landscape = page.Width > page.Height;
    const QSizeF portrait = landscape ? QSizeF(page.Height, page.Width) : QSizeF(page.Width, page.Height);
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

} // namespace

// ---------------------------------------------------------------- PDF jobs

// One PDF: a job of its own, or the whole output file.
struct PdfSegment {
    JobSettings settings;
    std::unique_ptr<QIODevice> file; // a temporary file, or the save file
    std::unique_ptr<QPdfWriter> writer;
    std::unique_ptr<QPainter> painter;
    int pages = 0;

    void finish()
    {
        if (painter && painter->isActive())
            painter->end();
        painter.reset();
        writer.reset();
    }
};

struct PdfPrintJob::Impl {
    QString printer, title, outputFile;
    std::vector<PdfSegment> segments;
    bool pageOpen = false;
    bool ended = false;

    PdfSegment& newSegment(const JobSettings& settings, const PageGeometry& page)
    {
        PdfSegment seg;
        seg.settings = settings;
        if (outputFile.isEmpty()) {
            seg.file = newTemporaryFile(".pdf");
        } else {
            auto save = std::make_unique<QSaveFile>(outputFile);
            if (!save->open(QIODevice::WriteOnly))
                throw EPrinter(QStringLiteral("Cannot create file \"%1\": %2").arg(outputFile, save->errorString()));
            seg.file = std::move(save);
        }
        seg.writer = std::make_unique<QPdfWriter>(seg.file.get());
        seg.writer->setResolution(page.Dpi);
        seg.writer->setTitle(title);
        seg.writer->setCreator(QStringLiteral("Sorvamet"));
        seg.writer->setPageLayout(pageLayout(page));
        seg.painter = std::make_unique<QPainter>();
        if (!seg.painter->begin(seg.writer.get()))
            throw EPrinter(QStringLiteral("Cannot start the print document"));
        segments.push_back(std::move(seg));
        return segments.back();
    }

    void discard()
    {
        for (PdfSegment& s : segments) {
            s.finish();
            if (auto* save = qobject_cast<QSaveFile*>(s.file.get()))
                save->cancelWriting();
        }
        segments.clear();
        pageOpen = false;
    }
};

PdfPrintJob::PdfPrintJob(const QString& printer, const QString& title, const QString& outputFile)
    : d(std::make_unique<Impl>())
{
    d->printer = printer;
    d->title = title;
    d->outputFile = outputFile;
}

PdfPrintJob::~PdfPrintJob()
{
    if (!d->ended)
        Abort();
}

QPainter* PdfPrintJob::BeginPage(const JobSettings& settings, const PageGeometry& page)
{
    if (d->pageOpen)
        EndPage();
    PdfSegment* seg = d->segments.empty() ? nullptr : &d->segments.back();
    // A file holds the whole document; job settings only split what goes to the server.
    const bool newJob = !seg || (d->outputFile.isEmpty() && !(seg->settings == settings));
    if (newJob) {
        if (seg)
            seg->finish();
        seg = &d->newSegment(settings, page);
    } else {
        seg->writer->setPageLayout(pageLayout(page));
        if (seg->pages > 0)
            seg->writer->newPage();
    }
    QPainter& p = *seg->painter;
    p.resetTransform();
    p.setClipping(false);
    const double unitsPerMm = page.Dpi / 25.4;
    p.translate(page.OriginX * unitsPerMm, page.OriginY * unitsPerMm);
    d->pageOpen = true;
    return &p;
}

void PdfPrintJob::EndPage()
{
    if (!d->pageOpen)
        return;
    d->pageOpen = false;
    ++d->segments.back().pages;
}

bool PdfPrintJob::End(QString& error)
{
    EndPage();
    d->ended = true;
    for (PdfSegment& s : d->segments)
        s.finish();
    bool ok = true;
    if (!d->outputFile.isEmpty()) {
        if (!d->segments.empty()) {
            auto* save = static_cast<QSaveFile*>(d->segments.front().file.get());
            if (!save->commit()) {
                error = QStringLiteral("Cannot write file \"%1\": %2").arg(d->outputFile, save->errorString());
                ok = false;
            }
        }
    } else {
        for (PdfSegment& s : d->segments) {
            auto* file = static_cast<QFileDevice*>(s.file.get());
            if (!file->flush() || file->error() != QFileDevice::NoError) {
                // A document cut short (a full disk) is not sent at all.
                error = QStringLiteral("Cannot write the print data: %1").arg(file->errorString());
                ok = false;
                break;
            }
            if (s.pages > 0 && !submit(d->printer, d->title, *s.file, CUPS_FORMAT_PDF, s.settings, error)) {
                ok = false;
                break;
            }
        }
    }
    d->segments.clear();
    return ok;
}

void PdfPrintJob::Abort()
{
    d->ended = true;
    d->discard();
}

int PdfPrintJob::PageCount() const
{
    int n = 0;
    for (const PdfSegment& s : d->segments)
        n += s.pages;
    return n;
}

int PdfPrintJob::JobCount() const { return int(d->segments.size()); }

// ---------------------------------------------------------------- raw jobs

struct RawPrintJob::Impl {
    QString printer, title;
    std::unique_ptr<QTemporaryFile> file;
    bool ended = false;
};

RawPrintJob::RawPrintJob(const QString& printer, const QString& title) : d(std::make_unique<Impl>())
{
    d->printer = printer;
    d->title = title;
}

RawPrintJob::~RawPrintJob()
{
    if (!d->ended)
        Abort();
}

void RawPrintJob::Write(const QByteArray& bytes)
{
    if (!d->file)
        d->file = newTemporaryFile(".prn");
    if (d->file->write(bytes) != bytes.size())
        throw EPrinter(QStringLiteral("Cannot write the print data: %1").arg(d->file->errorString()));
}

bool RawPrintJob::End(QString& error)
{
    d->ended = true;
    if (!d->file)
        return true; // nothing was written: there is nothing to print
    if (!d->file->flush() || d->file->error() != QFileDevice::NoError) {
        error = QStringLiteral("Cannot write the print data: %1").arg(d->file->errorString());
        d->file.reset();
        return false;
    }
    const bool ok = submit(d->printer, d->title, *d->file, CUPS_FORMAT_RAW, JobSettings{}, error);
    d->file.reset();
    return ok;
}

void RawPrintJob::Abort()
{
    d->ended = true;
    d->file.reset();
}

} // namespace plat
