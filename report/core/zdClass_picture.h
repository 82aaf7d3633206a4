#pragma once
// The picture object: a picture kept in the report file, read from a file
// named by an expression, or taken from a blob field of a dataset; drawn
// stretched, in proportion, centred or at its natural size, optionally
// with one colour see-through.

#include "zdClass_view.h"

namespace plat {
class TPicture;
class TStream;
} // namespace plat

class TzdPictureView : public TzdView {
    PLAT_CLASS(TzdPictureView, TzdView)
public:
    explicit TzdPictureView(plat::TComponent* AOwner);
    ~TzdPictureView() override;

    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    void GetData() override;
    // Hands a changed picture to the prepared pages' picture cache first,
    // which sets ImageIndex.
    QString DiffAttributes(TzdComponent* Reference) override;
    QString ClassDisplayName() const override;

    // Loads the picture by recognising its format, from the stream's start
    // or its current position (past a database graphic header); 0 when a
    // format was recognised, kInvalidArgument when not (the picture is then
    // emptied). A picture that fails while loading raises.
    static constexpr qint32 kInvalidArgument = qint32(0x80070057);
    qint32 LoadGraphicFromStream(plat::TStream& Stream, bool FromStart);

    plat::TPicture* Picture() const { return m_picture; }
    void SetPicture(plat::TPicture* Value);
    bool AutoSize() const { return m_autoSize; }
    // True sizes the object to the picture at once.
    void SetAutoSize(bool Value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool Value) { m_transparent = Value; }

    bool Center = false;
    QString FileLink;
    qint32 ImageIndex = 0;
    bool KeepAspectRatio = true;
    bool Stretched = true;
    bool HightQuality = false;
    plat::TColor TransparentColor = plat::clWhite;
    // Switched by the designer's undo buffer, which keeps pictures by index.
    bool ImageIndexStored = false;
    bool PictureStored = true;
    // Set whenever the picture changes; cleared when it went to the cache.
    bool PictureChanged = false;

private:
    void handlePictureChange();

    plat::TPicture* m_picture;
    bool m_autoSize = false;
    bool m_transparent = false;
};
