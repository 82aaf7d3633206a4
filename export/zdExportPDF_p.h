#pragma once
// The working state of one PDF export, shared by the units of the filter
// (document structure, drawing of objects, fonts).

#include "zdExportPDF.h"

#include <QSaveFile>

#include <algorithm>
#include <memory>
#include <vector>

class TzdPDFFont;
struct TzdPDFImageJob;
class TzdPDFImageWorkers;

struct TzdPDFAnnot {
    int Number = 0;
    QByteArray Rect;        // left bottom right top
    QByteArray Hyperlink;   // ready PDF string; empty for a page link
    QByteArray HyperlinkBytes; // the string's bytes, unescaped (encrypted files)
    int TargetPageIndex = 0; // prepared page index
    int TargetTop = 0;
};

struct TzdPDFExport::State {
    State();
    ~State();

    // The file is written front to back: out holds what was written since
    // the last hand-over (flushOut), earlier pieces went to the temporary
    // file beside the destination or wait in pieces for an output stream.
    // Offsets count from the start of the whole file.
    QByteArray out;                       // the file since the last hand-over
    qint64 handedOver = 0;                // bytes of the file before out
    std::vector<QByteArray> pieces;       // handed-over bytes kept for an output stream
    bool keepWhole = false;               // out holds the whole file until the commit (memory output)
    QString writeFailed;                  // the message of the first failed write
    std::vector<qint64> objectOffsets;    // entry k-1: offset of object k
    std::vector<int> pageObjects;         // per exported page
    std::vector<long double> pageHeights; // per exported page, points
    std::vector<int> pagePrepared;        // prepared index of each exported page
    std::vector<std::unique_ptr<TzdPDFFont>> fonts;
    std::vector<TzdPDFAnnot> annots;
    QByteArray pageAnnotRefs;
    QByteArray content; // the current page's content stream
    QByteArray fileID;
    bool encrypting = false;
    // Security values of an encrypted file.
    QByteArray encKey;     // 16 bytes
    QByteArray ownerEntry; // O, 32 bytes
    QByteArray userEntry;  // U, 32 bytes
    int currentObject = 0; // the object whose header was written last
    // Images written on the current page, shared by digest (an opaque
    // image's digest is its JPEG bytes).
    struct ImageRecord {
        int number = 0;
        QByteArray digest;
    };
    std::vector<ImageRecord> imageTable;
    std::vector<int> pageImages; // indices into imageTable, in first-use order
    // Images are encoded on worker threads while the page goes on. Object
    // numbers are handed out in the order the objects came, so an image
    // still being encoded holds back the numbers of the images and links
    // after it; they are written as soon as it is done, at the latest when
    // the page closes, and the content gets the images' names then.
    struct PendingObject {
        std::shared_ptr<TzdPDFImageJob> image; // null: the link annots[annot]
        size_t annot = 0;
        qsizetype contentOffset = 0; // where the image's "/ImN Do" goes
    };
    std::vector<PendingObject> pendingObjects;
    size_t pendingDone = 0; // pendingObjects before this are written
    struct ImageUse {
        qsizetype contentOffset = 0;
        int index = 0; // into imageTable
    };
    std::vector<ImageUse> imageUses; // of the open page, in content order
    std::unique_ptr<TzdPDFImageWorkers> workers;
    // The image whose encoding failed: the export is failed, its file is
    // not committed.
    std::shared_ptr<const TzdPDFImageJob> failedImage;
    int imagesEncoded = 0; // images of this export handed to the encoder
    // Worker threads for the encoding: negative, one fewer than the cores
    // the process may run on (none with one core); 0: the exporting thread
    // encodes each image at once.
    int imageWorkers = -1;
    QStringList messages;        // non-fatal problems of this export
    // PDF/A objects the catalog refers to.
    int metadataObject = 0;
    int structTreeRootObject = 0;
    int outputIntentObject = 0;
    bool compressed = true;
    bool embedFonts = false;
    bool pageOpen = false;
    bool started = false;
    int pageIndex = 0; // prepared index of the open page
    plat::TColor lastColor = 0;
    QByteArray lastColorText = "0 0 0";
    long double pageWidthPt = 0;
    long double pageHeightPt = 0;
    long double marginShiftX = 0;
    long double marginShiftY = 0;
    std::unique_ptr<QSaveFile> file; // the destination when no output stream is set

    // The offset in the file of the next byte written (out is the file).
    qint64 offset() const { return handedOver + out.size(); }
    int allocate()
    {
        objectOffsets.push_back(offset());
        return int(objectOffsets.size());
    }
    void place(int number) { objectOffsets[size_t(number) - 1] = offset(); }
    // Hands what out holds on to the destination (out is the file, between
    // objects); the first failing write raises EWriteError.
    void flushOut(const QString& fileName);
    // Room for n more bytes. The buffer doubles by reallocation in place,
    // which keeps what was written where it is; a plain append would copy
    // the whole file into a new block each time it grows.
    void reserveMore(qsizetype n)
    {
        const qsizetype need = out.size() + n;
        if (need > out.capacity())
            out.reserve(std::max(need, out.capacity() * 2));
    }
    void put(const QByteArray& text)
    {
        reserveMore(text.size());
        out += text;
    }
    void line(const QByteArray& text)
    {
        reserveMore(text.size() + 2);
        out += text;
        out += "\r\n";
    }
    void header(int number)
    {
        currentObject = number;
        line(QByteArray::number(number) + " 0 obj");
    }
    // Data RC4-encrypted with the key of object number when encrypting.
    QByteArray encrypt(const QByteArray& data, int number) const;
    // A string of bytes for a dictionary of object number: "(...)", its
    // bytes encrypted when encrypting, escaped after.
    QByteArray literal(const QByteArray& bytes, int number) const;
    // A document text: UTF-16 hex when not encrypting, else an encrypted literal.
    QByteArray textString(const QString& text, int number) const;
    // The rest of a stream object after its header and leading entries.
    void streamObject(const QByteArray& data, bool openDict, bool compress);

    // Page mapping of report pixels (absolute on the page) to points.
    long double X(long double x) const { return x * 0.75L + marginShiftX; }
    long double Y(long double y) const { return pageHeightPt - marginShiftY - y * 0.75L; }
    QByteArray colorText(plat::TColor color);

    // A link annotation of the open page; numbered now, or after the images
    // before it when one of those is still being encoded.
    void addAnnot(TzdPDFAnnot annot);
    // Writes the objects of the open page that wait for an image, waiting
    // for the encoding when wait is set, else only those whose turn has
    // come. out must be the file. Raises what the encoding of an image
    // raised.
    void writePendingObjects(bool wait);
    // Raises again what the failed image raised, if one did.
    void raiseImageFailure() const;
    // The open page's content with the images' names in place.
    void placeImageNames();
    // Forgets the work of an unfinished export; encodings not yet started
    // are dropped, running ones are waited for.
    void dropPendingObjects();
};

namespace zd {
inline QByteArray ref(int n)
{
    return QByteArray::number(n) + " 0 R";
}
QByteArray pdfDashPattern(int style, long double width);
} // namespace zd

// The frame of a text or rasterised object.
void zdPDFDrawFrameLines(TzdPDFExport::State& s, TzdView* v);
// The object's hyperlink as a link annotation.
void zdPDFHyperlink(TzdPDFExport::State& s, TzdView* v, int pageCount);
