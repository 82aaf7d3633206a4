// Objects the filter cannot write as text or paths (pictures, barcodes,
// fills, rich text) are painted by themselves into a bitmap and placed as
// JPEG images, with an 8-bit soft mask when transparency is wanted.
// Identical images on one page are written once.
//
// Painting stays on the exporting thread (it reads the report's objects);
// a finished bitmap is a pure value, so its conversion, soft mask and JPEG
// encoding run on worker threads meanwhile. The objects are still written
// in the order the images came, with the same numbers, so the file is the
// same byte for byte however many threads there are.

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "JpegCodec.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_picture.h"
#include "zdClass_view.h"
#include "zdUtils.h"

#include <QImage>
#include <QThread>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

// One rasterised image on its way to JPEG bytes. The exporting thread hands
// over the pixels and plain values; the encoder (a worker, or the exporting
// thread itself) fills in the rest. Nothing here points into the report.
struct TzdPDFImageJob {
    QImage image;
    bool alpha = false;    // soft mask wanted
    bool colorKey = false; // mask from the key colour
    QRgb key = 0;
    int quality = 0;
    int width = 0, height = 0;
    qint64 waitingBytes = 0; // the pixels held until the encoder takes them
    // Results.
    QByteArray jpeg;
    QByteArray alphaBytes; // the soft mask's bytes, when alpha
    QByteArray maskDigest;
    QByteArray digest; // what the colour image is known again by on the page
    // A failure, raised again on the exporting thread.
    std::unique_ptr<plat::Exception> error;
    bool outOfMemory = false;
    QString failure;
    bool done = false; // under the workers' lock while there are workers
    std::atomic<bool> dropped{false};
};

// The worker threads of one export. Images wait in a queue; a worker is
// woken only when a few have gathered and then takes all it finds, since
// waking a thread for every small image costs about as much as encoding
// it. Whoever waits for an image encodes the ones queued before it itself.
class TzdPDFImageWorkers {
public:
    explicit TzdPDFImageWorkers(int count) : m_count(count) {}
    ~TzdPDFImageWorkers() { stop(); }
    TzdPDFImageWorkers(const TzdPDFImageWorkers&) = delete;
    TzdPDFImageWorkers& operator=(const TzdPDFImageWorkers&) = delete;

    void start(std::shared_ptr<TzdPDFImageJob> job);
    bool isDone(const TzdPDFImageJob& job)
    {
        std::lock_guard lock(m_mutex);
        return job.done;
    }
    // Returns once the job is done; the queue's jobs before it are encoded
    // on this thread when no worker has taken them.
    void waitFor(const TzdPDFImageJob& job);
    qint64 waitingBytes()
    {
        std::lock_guard lock(m_mutex);
        return m_waitingBytes;
    }
    // Drops the queued jobs and waits for the running ones.
    void stop();
    // An encoded image's pixels of that size to paint the next one into, or
    // a null image. Reusing them spares the allocator a large block that is
    // allocated on one thread and freed on another, which costs more than
    // the encoding itself.
    QImage takeSpare(int width, int height);

private:
    void wakeWorker(); // under the lock
    void work();
    void finish(TzdPDFImageJob& job); // under the lock

    int m_count = 1;
    std::vector<std::thread> m_threads; // started as they are needed
    int m_idle = 0;                     // threads waiting for work
    bool m_stopping = false;
    std::condition_variable m_work;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    std::deque<std::shared_ptr<TzdPDFImageJob>> m_queue;
    std::vector<QImage> m_spare;
    qint64 m_spareBytes = 0;
    qint64 m_waitingBytes = 0;
};

namespace {

using State = TzdPDFExport::State;

// No object may ask for more pixels than this (a 10,000-pixel object at
// three times the resolution would need gigabytes).
constexpr qint64 kMaxImagePixels = 25'000'000; // an A3 page at three times the resolution fits
constexpr int kBarcodeShift = 2;
// Pixels waiting for the encoder beyond this make the exporting thread wait
// for the page's images so far (a page of large pictures would otherwise
// hold them all).
constexpr qint64 kMaxWaitingBytes = 128LL * 1024 * 1024;
// Images queued before a worker is woken.
constexpr size_t kImagesPerWakeUp = 2;
// Encoded images kept to be painted over again.
constexpr qint64 kMaxSpareBytes = 32LL * 1024 * 1024;

int I(long double v)
{
    return int(std::nearbyint(v));
}

struct Raster {
    long double rw = 0, rh = 0, dx = 0, dy = 0;
    int f = 1, shift = 0;
    int width = 0, height = 0;
    bool alpha = false;   // soft mask wanted
    bool colorKey = false; // mask from the key colour
    plat::TColor key = plat::clWhite;
};

// The shift between the real bounds and the object's own box on one axis.
long double boundsShift(long double realSize, long double size, long double pos, long double realLow,
                        long double realHigh)
{
    if (realSize == size || pos == realLow)
        return 0;
    return realHigh != pos + size ? (realSize - size) / 2 : realSize - size;
}

plat::TGraphic* graphicOf(TzdPictureView* p)
{
    return p && p->Picture() ? p->Picture()->Graphic() : nullptr;
}

bool isHatch(plat::TBrushStyle style)
{
    return style > plat::bsClear;
}

// The JPEG bytes of the bitmap's colours.
QByteArray jpegOf(const QImage& image, int quality)
{
    return plat::EncodeJpeg(image, std::min(quality, 100));
}

// Writes an object into the file buffer while the page content is being built.
struct FileBuffer {
    State& s;
    explicit FileBuffer(State& state) : s(state) { std::swap(s.out, s.content); }
    ~FileBuffer() { std::swap(s.out, s.content); }
};

int findImage(const State& s, const QByteArray& digest)
{
    for (size_t k = 0; k < s.imageTable.size(); ++k)
        if (s.imageTable[k].number != 0 && s.imageTable[k].digest == digest)
            return int(k);
    return -1;
}

// The writers below write into out, which must be the file.
int writeSoftMask(State& s, const QByteArray& alpha, const QByteArray& digest, int width, int height)
{
    if (const int k = findImage(s, digest); k >= 0)
        return s.imageTable[size_t(k)].number;
    const int sm = s.allocate();
    s.imageTable.push_back({sm, digest});
    s.header(sm);
    s.line("<< /Type /XObject");
    s.line("/Subtype /Image");
    s.line("/Width " + QByteArray::number(width));
    s.line("/Height " + QByteArray::number(height));
    s.line("/ColorSpace /DeviceGray/Matte[ 0 0 0] ");
    s.line("/BitsPerComponent 8");
    s.line("/Interpolate false");
    s.line(" /Length " + QByteArray::number(alpha.size()) + " >>");
    s.line("stream");
    s.put(s.encrypt(alpha, sm));
    s.put("\r\nendstream\r\n");
    s.line("endobj");
    return sm;
}

int writeColorImage(State& s, const QByteArray& jpeg, const QByteArray& digest, int width, int height, int mask)
{
    if (const int k = findImage(s, digest); k >= 0)
        return k;
    const int im = s.allocate();
    s.imageTable.push_back({im, digest});
    s.header(im);
    s.line("<<");
    s.line("/Type /XObject");
    s.line("/Subtype /Image");
    s.line("/ColorSpace /DeviceRGB");
    s.line("/BitsPerComponent 8");
    s.line("/Filter /DCTDecode");
    s.line("/Width " + QByteArray::number(width));
    s.line("/Height " + QByteArray::number(height));
    if (mask)
        s.line("/SMask " + zd::ref(mask));
    s.line("/Length " + QByteArray::number(jpeg.size()));
    s.line(">>");
    s.put("stream\r\n");
    s.put(s.encrypt(jpeg, im));
    s.put("\r\nendstream\r\n");
    s.line("endobj");
    return int(s.imageTable.size()) - 1;
}

// The alpha bytes, rows top to bottom; the colours premultiplied with
// black, as the mask's matte says.
QByteArray alphaOf(QImage& image, QRgb key, bool colorKey)
{
    const int width = image.width(), height = image.height();
    QByteArray alpha(qsizetype(width) * height, Qt::Uninitialized);
    char* out = alpha.data();
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb& p = row[x];
            int a = qAlpha(p);
            if (colorKey)
                a = (p | 0xFF000000u) == key ? 0 : 255;
            *out++ = char(a);
            p = qRgb(qRed(p) * a / 255, qGreen(p) * a / 255, qBlue(p) * a / 255);
        }
    }
    return alpha;
}

// Whether every pixel of a 32-bit image has full alpha. Its rows have no
// padding, so the pixels are read as one array, two at a time, with the
// alpha bytes at the same bits in either byte order.
bool isOpaque(const QImage& image)
{
    constexpr quint64 kAlphas = 0xFF000000FF000000ull;
    const uchar* bits = image.constBits();
    const qsizetype bytes = image.sizeInBytes();
    const qsizetype pairs = bytes / 8;
    quint64 a = ~0ull, b = ~0ull, c = ~0ull, d = ~0ull, pair = 0;
    qsizetype i = 0;
    for (; i + 4 <= pairs; i += 4) {
        std::memcpy(&pair, bits + i * 8, 8);
        a &= pair;
        std::memcpy(&pair, bits + i * 8 + 8, 8);
        b &= pair;
        std::memcpy(&pair, bits + i * 8 + 16, 8);
        c &= pair;
        std::memcpy(&pair, bits + i * 8 + 24, 8);
        d &= pair;
    }
    for (; i < pairs; ++i) {
        std::memcpy(&pair, bits + i * 8, 8);
        a &= pair;
    }
    if (bytes % 8 != 0) {
        quint32 last = 0;
        std::memcpy(&last, bits + bytes - 4, 4);
        a &= quint64(last) | 0xFFFFFFFF00000000ull;
    }
    return ((a & b & c & d) & kAlphas) == kAlphas;
}

// What follows the painting of an image, on whichever thread: its bytes
// and the keys it is known again by. Never throws; a failure is kept for
// the exporting thread.
void encode(TzdPDFImageJob& j) noexcept
{
    try {
        try {
            // Opaque premultiplied pixels are plain ones already.
            if (j.image.format() == QImage::Format_ARGB32_Premultiplied && isOpaque(j.image))
                j.image.reinterpretAsFormat(QImage::Format_ARGB32);
            else if (j.image.format() != QImage::Format_ARGB32)
                j.image.convertTo(QImage::Format_ARGB32);
            if (j.alpha) {
                j.alphaBytes = alphaOf(j.image, j.key, j.colorKey);
                j.maskDigest = zd::md5(j.alphaBytes);
            }
            j.jpeg = jpegOf(j.image, j.quality);
            // An opaque image is known again by its JPEG bytes themselves
            // (shared, not copied; compared by size first), which costs less
            // than hashing every image; no digest of 16 bytes equals a JPEG
            // stream.
            j.digest = j.alpha ? zd::md5(j.alphaBytes + j.jpeg) : j.jpeg;
        } catch (const plat::Exception& e) {
            j.error = e.clone();
        } catch (const std::bad_alloc&) {
            j.outOfMemory = true;
        } catch (const std::exception& e) {
            j.failure = QString::fromLocal8Bit(e.what());
        } catch (...) {
            j.failure = QStringLiteral("Unknown error while encoding an image");
        }
    } catch (...) {
        j.outOfMemory = true; // not even the error could be kept
    }
}

// Raises on the exporting thread what the encoding of the image raised.
void raiseFailure(const TzdPDFImageJob& j)
{
    if (j.error)
        j.error->raise();
    if (j.outOfMemory)
        throw std::bad_alloc();
    if (!j.failure.isEmpty())
        throw std::runtime_error(j.failure.toStdString());
}

void numberAnnot(State& s, size_t k)
{
    TzdPDFAnnot& a = s.annots[k];
    a.Number = s.allocate();
    // Annotation objects are written at the end; their lines go with the page.
    s.pageAnnotRefs += zd::ref(a.Number) + "\r\n";
}

void writeImage(State& s, const TzdPDFImageJob& j, qsizetype contentOffset)
{
    int mask = 0;
    if (j.alpha)
        mask = writeSoftMask(s, j.alphaBytes, j.maskDigest, j.width, j.height);
    const int index = writeColorImage(s, j.jpeg, j.digest, j.width, j.height, mask);
    if (std::find(s.pageImages.begin(), s.pageImages.end(), index) == s.pageImages.end())
        s.pageImages.push_back(index);
    s.imageUses.push_back({contentOffset, index});
}

int workerCount(const State& s)
{
    if (s.imageWorkers >= 0)
        return s.imageWorkers;
    return std::max(0, QThread::idealThreadCount() - 1);
}

// Hands the image to the encoder; its name goes into the content at
// contentOffset once it is written.
void queueImage(State& s, const std::shared_ptr<TzdPDFImageJob>& job, qsizetype contentOffset)
{
    // One image alone is not worth a thread; the second decides.
    if (++s.imagesEncoded == 2) {
        if (const int count = workerCount(s); count > 0)
            s.workers = std::make_unique<TzdPDFImageWorkers>(count);
    }
    s.pendingObjects.push_back({job, 0, contentOffset});
    if (s.workers) {
        s.workers->start(job);
    } else {
        encode(*job);
        job->done = true;
    }
    FileBuffer file(s);
    s.writePendingObjects(s.workers && s.workers->waitingBytes() > kMaxWaitingBytes);
}

} // namespace

void TzdPDFImageWorkers::start(std::shared_ptr<TzdPDFImageJob> job)
{
    std::lock_guard lock(m_mutex);
    m_waitingBytes += job->waitingBytes;
    m_queue.push_back(std::move(job));
    if (m_queue.size() >= kImagesPerWakeUp)
        wakeWorker();
}

void TzdPDFImageWorkers::wakeWorker()
{
    if (m_idle > 0) {
        m_work.notify_one();
        return;
    }
    if (int(m_threads.size()) >= m_count)
        return; // all busy: they come back for the queue
    try {
        m_threads.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // No thread to be had: the exporting thread encodes the images
        // itself when it waits for them.
    }
}

void TzdPDFImageWorkers::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        while (!m_queue.empty()) {
            // The worker owns the job it took: a dropped export leaves it
            // nothing dangling.
            const std::shared_ptr<TzdPDFImageJob> job = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            if (!job->dropped.load())
                encode(*job);
            lock.lock();
            finish(*job);
        }
        if (m_stopping)
            return;
        ++m_idle;
        m_work.wait(lock);
        --m_idle;
    }
}

void TzdPDFImageWorkers::finish(TzdPDFImageJob& job)
{
    if (!job.image.isNull() && m_spareBytes + job.image.sizeInBytes() <= kMaxSpareBytes) {
        m_spareBytes += job.image.sizeInBytes();
        m_spare.push_back(std::move(job.image));
    }
    job.image = QImage();
    job.done = true;
    m_waitingBytes -= job.waitingBytes;
    m_finished.notify_all();
}

void TzdPDFImageWorkers::waitFor(const TzdPDFImageJob& job)
{
    std::unique_lock lock(m_mutex);
    // A few images left over: a worker shares them with this thread.
    if (m_queue.size() > 1)
        wakeWorker();
    while (!job.done) {
        if (m_queue.empty()) {
            m_finished.wait(lock);
            continue;
        }
        const std::shared_ptr<TzdPDFImageJob> next = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        encode(*next);
        lock.lock();
        finish(*next);
    }
}

QImage TzdPDFImageWorkers::takeSpare(int width, int height)
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_spare.begin(); it != m_spare.end(); ++it)
        if (it->width() == width && it->height() == height) {
            QImage image = std::move(*it);
            m_spare.erase(it);
            m_spareBytes -= image.sizeInBytes();
            return image;
        }
    return QImage();
}

void TzdPDFImageWorkers::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_work.notify_all();
    for (std::thread& t : m_threads)
        t.join();
    m_threads.clear();
}

TzdPDFExport::State::State() = default;

TzdPDFExport::State::~State()
{
    dropPendingObjects();
}

void TzdPDFExport::State::addAnnot(TzdPDFAnnot annot)
{
    annots.push_back(std::move(annot));
    if (pendingDone < pendingObjects.size())
        pendingObjects.push_back({nullptr, annots.size() - 1, 0});
    else
        numberAnnot(*this, annots.size() - 1);
}

void TzdPDFExport::State::writePendingObjects(bool wait)
{
    while (pendingDone < pendingObjects.size()) {
        PendingObject& p = pendingObjects[pendingDone];
        if (!p.image) {
            ++pendingDone;
            numberAnnot(*this, p.annot);
            continue;
        }
        if (workers && !workers->isDone(*p.image)) {
            if (!wait)
                return;
            workers->waitFor(*p.image);
        }
        // Passed before a failure is raised: a failed image is not written.
        ++pendingDone;
        const std::shared_ptr<TzdPDFImageJob> job = std::move(p.image);
        if (!failedImage && (job->error || job->outOfMemory || !job->failure.isEmpty()))
            failedImage = job;
        raiseFailure(*job);
        writeImage(*this, *job, p.contentOffset);
    }
    pendingObjects.clear();
    pendingDone = 0;
}

void TzdPDFExport::State::raiseImageFailure() const
{
    if (failedImage)
        raiseFailure(*failedImage);
}

void TzdPDFExport::State::placeImageNames()
{
    if (imageUses.empty())
        return;
    QByteArray named;
    named.reserve(content.size() + qsizetype(imageUses.size()) * 16);
    qsizetype from = 0;
    for (const ImageUse& use : imageUses) {
        named.append(content.constData() + from, use.contentOffset - from);
        named += "/Im";
        named += QByteArray::number(use.index);
        named += " Do\r\n";
        from = use.contentOffset;
    }
    named.append(content.constData() + from, content.size() - from);
    content = std::move(named);
    imageUses.clear();
}

void TzdPDFExport::State::dropPendingObjects()
{
    for (PendingObject& p : pendingObjects)
        if (p.image)
            p.image->dropped = true;
    workers.reset();
    pendingObjects.clear();
    pendingDone = 0;
    imageUses.clear();
    imagesEncoded = 0;
    failedImage.reset();
}

void TzdPDFExport::rasterObject(TzdView* View)
{
    State& s = *d;
    auto* picture = dynamic_cast<TzdPictureView*>(View);
    plat::TGraphic* graphic = graphicOf(picture);
    const long double L = View->GetAbsLeft(), T = View->GetAbsTop(), W = View->Width(), H = View->Height();
    const TzdExtRect real = View->GetRealBounds();
    Raster r;
    r.rw = real.Right - real.Left;
    r.rh = real.Bottom - real.Top;
    r.dx = boundsShift(r.rw, W, L, real.Left, real.Right);
    r.dy = boundsShift(r.rh, H, T, real.Top, real.Bottom);
    const bool drawable = !(picture && (!graphic || graphic->Empty())) && r.rw >= 1 && r.rh >= 1;
    if (drawable) {
        // The frame is drawn as lines afterwards, never into the bitmap.
        TzdFrame* frame = View->Frame();
        const TzdFrameTypes sides = frame->Typ;
        const bool shadow = frame->DropShadow;
        frame->Typ = {};
        frame->DropShadow = false;
        struct RestoreFrame {
            TzdFrame* f;
            TzdFrameTypes sides;
            bool shadow;
            ~RestoreFrame()
            {
                f->Typ = sides;
                f->DropShadow = shadow;
            }
        } restore{frame, sides, shadow};
        paintImage(View, r.rw, r.rh, r.dx, r.dy);
    }
    zdPDFDrawFrameLines(s, View);
}

void TzdPDFExport::paintImage(TzdView* View, long double rw, long double rh, long double dx, long double dy)
{
    State& s = *d;
    auto* picture = dynamic_cast<TzdPictureView*>(View);
    plat::TGraphic* graphic = graphicOf(picture);
    const bool barcode = View->ClassName() == QLatin1String("TzdBarCodeView");
    const long double L = View->GetAbsLeft(), T = View->GetAbsTop();
    Raster r;
    r.rw = rw;
    r.rh = rh;
    if (PrintOptimized || dynamic_cast<TzdCustomMemoView*>(View))
        r.f = isHatch(View->BrushStyle()) ? 1 : 3;
    if (barcode && !PrintOptimized) {
        r.f = 2;
        r.shift = kBarcodeShift;
    }
    const bool ownScale = picture && ((picture->Transparent() && Transparency) || picture->Center);
    if (picture && !ownScale) {
        const int pw = graphic->Width(), ph = graphic->Height();
        r.width = picture->Stretched || rw >= pw ? pw : I(r.f * rw);
        r.height = picture->Stretched || rh >= ph ? ph : I(r.f * rh);
    } else {
        r.width = I(r.f * rw);
        r.height = I(r.f * rh);
    }
    r.alpha = View->Color() == plat::clNone && Transparency;
    if (picture) {
        r.key = picture->TransparentColor;
        r.alpha = picture->Transparent() && Transparency;
        r.colorKey = r.alpha && picture->TransparentColor != plat::clNone;
    } else {
        r.colorKey = r.alpha;
    }
    if (r.width < 1 || r.height < 1)
        return;
    if (qint64(r.width) * r.height > kMaxImagePixels) {
        addMessage(QStringLiteral("%1: the object is too large to be drawn as a picture (%2 x %3 pixels)")
                       .arg(View->Name())
                       .arg(r.width)
                       .arg(r.height));
        return;
    }

    // An opaque start is painted premultiplied: the painter's fast routes
    // work on that format only (others go pixel by pixel through a
    // conversion, in pieces handed to worker threads), and for opaque
    // pixels both formats hold the same bytes. The result is turned back
    // into plain ARGB below, so what follows sees the same image.
    const bool transparentStart = r.alpha && !r.colorKey;
    const QImage::Format format = transparentStart ? QImage::Format_ARGB32 : QImage::Format_ARGB32_Premultiplied;
    QImage image = s.workers ? s.workers->takeSpare(r.width, r.height) : QImage();
    // A spare image holds plain ARGB32; the fill below sets every pixel.
    if (image.isNull() || !image.reinterpretAsFormat(format))
        image = QImage(r.width, r.height, format);
    if (image.isNull()) {
        addMessage(QStringLiteral("%1: not enough memory to draw the object as a picture").arg(View->Name()));
        return;
    }
    if (transparentStart)
        image.fill(Qt::transparent);
    else {
        const plat::TColor k = plat::ColorToRGB(r.alpha ? r.key : plat::clWhite);
        image.fill(QColor(k & 0xFF, (k >> 8) & 0xFF, (k >> 16) & 0xFF));
    }
    try {
        plat::TCanvas canvas(&image);
        if (picture && !ownScale)
            graphic->Draw(canvas, 0, 0, graphic->Width(), graphic->Height());
        else if (picture && r.alpha && !r.colorKey && !picture->Center)
            // The picture's own alpha: the view would flatten it onto white.
            // The placement below keeps the proportions.
            graphic->Draw(canvas, 0, 0, r.width, r.height);
        else
            View->Draw(&canvas, r.f, r.f, r.shift - I((L - dx) * r.f), -I((T - dy) * r.f));
    } catch (const plat::Exception& e) {
        // What was painted stays; the report learns why the rest is missing.
        addMessage(QStringLiteral("%1: %2").arg(View->Name(), e.message()));
    } catch (const std::exception& e) {
        addMessage(QStringLiteral("%1: %2").arg(View->Name(), QString::fromLocal8Bit(e.what())));
    }

    auto job = std::make_shared<TzdPDFImageJob>();
    job->waitingBytes = image.sizeInBytes();
    job->image = std::move(image);
    job->alpha = r.alpha;
    job->colorKey = r.colorKey;
    const plat::TColor keyRgb = plat::ColorToRGB(r.key);
    job->key = qRgb(keyRgb & 0xFF, (keyRgb >> 8) & 0xFF, (keyRgb >> 16) & 0xFF);
    job->quality = barcode ? Quality + 5 : Quality;
    job->width = r.width;
    job->height = r.height;

    long double w = rw, h = rh;
    if (picture && !picture->Center) {
        const long double pw = graphic->Width(), ph = graphic->Height();
        if (picture->KeepAspectRatio && picture->Stretched) {
            const long double ax = pw != 0 ? rw / pw : 0, ay = ph != 0 ? rh / ph : 0;
            if (ax < ay)
                h = ph * ax;
            else
                w = pw * ay;
        } else if (!picture->Stretched) {
            if (rw > pw)
                w = pw;
            if (rh > ph)
                h = ph;
        }
    }
    s.line("q");
    s.line(zd::pdfNum(w * 0.75L) + " 0 0 " + zd::pdfNum(h * 0.75L) + ' ' + zd::pdfNum(s.X(L - dx)) + ' ' +
           zd::pdfNum(s.Y(T - dy + h)) + " cm");
    // out is the content here; the image's name follows once it is written.
    queueImage(s, job, s.out.size());
    s.line("Q");
}
