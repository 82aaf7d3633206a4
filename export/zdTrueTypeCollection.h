#pragma once
// The font data the platform gives for a font: one TrueType font file or a
// whole TrueType collection, with its faces. An OpenType font with
// PostScript outlines is accepted and has no face.

#include "TTFHelpers.h"

#include <QList>

#include <memory>
#include <vector>

class TrueTypeFont;

namespace plat {
class TFont;
}

class TrueTypeCollection : public TTF_Helpers {
public:
    TrueTypeCollection();
    ~TrueTypeCollection();
    TrueTypeCollection(const TrueTypeCollection&) = delete;
    TrueTypeCollection& operator=(const TrueTypeCollection&) = delete;

    // Reads the header and creates the faces (not parsed yet).
    void Load(const QByteArray& data);

    int FaceCount() const { return int(m_faces.size()); }
    // The face at an index, parsed; none when the index is out of range.
    // A caller that knows which face the font engine resolved asks for it here.
    TrueTypeFont* Face(int index);
    // The face whose full name is the report font's (after the name
    // substitutions, with " Bold" and " Italic" for its style); the first face
    // when none matches; none when there are no faces.
    TrueTypeFont* FindFace(const plat::TFont& font);
    // The face's font file reduced to the used glyphs (added to those of
    // earlier reductions).
    QByteArray Reduce(TrueTypeFont* face, const QList<quint16>& usedGlyphs);

    const QByteArray& Data() const { return m_data; }

private:
    QByteArray m_data;
    std::vector<std::unique_ptr<TrueTypeFont>> m_faces;
};
