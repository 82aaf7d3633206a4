// Damaged fonts: the reader refuses them with its own errors only, never
// reads outside the data, and what it accepts reduces to a font that it
// reads back cleanly.
#include "FontFixtures.h"

#include "../MutationTestUtil.h"

#include "zdTrueTypeCollection.h"
#include "zdTrueTypeFont.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "ScriptedServices.h"

#include <gtest/gtest.h>

using namespace fonts;

namespace {

const QStringList kReaderErrors{
    ttf::kFormatError,   ttf::kCollectionVersionError, ttf::kLocaFormatError, ttf::kLocaValueError,
    ttf::kNoGlyphTable,  ttf::kAlignError,             ttf::kCmapByteEncoding, ttf::kCmapHighByte,
    ttf::kCmapTrimmed,
};

std::vector<QByteArray> fontTokens()
{
    std::vector<QByteArray> tokens = mutation::binaryTokens();
    for (const char* t : {"ttcf", "OTTO", "glyf", "loca", "head", "hhea", "hmtx", "maxp", "DSIG"})
        tokens.emplace_back(t);
    tokens.emplace_back("\x00\x01\x00\x00", 4);
    tokens.emplace_back("\x00\x02\x00\x00", 4);
    tokens.emplace_back("\xFF\xF0", 2);
    tokens.emplace_back("\x80\x00", 2);
    return tokens;
}

// Reduces what it accepts and reads the result back: that must always work.
void readBack(const QByteArray& input, const QByteArray& reduced, const QList<quint16>& glyphs,
              plat::ScriptedServices& ui)
{
    ui.Reset();
    try {
        TrueTypeCollection again;
        again.Load(reduced);
        if (TrueTypeFont* face = again.Face(0))
            again.Reduce(face, glyphs);
        else
            ADD_FAILURE() << "the reduced font has no face, for input " << input.toHex().constData();
    } catch (const plat::Exception& e) {
        ADD_FAILURE() << "the reduced font is refused: " << e.what() << " for input " << input.toHex().constData();
    }
    EXPECT_TRUE(ui.CallsOf("MessageBox").empty())
        << "the reduced font has a checksum error, for input " << input.toHex().constData();
}

void reduceEveryFace(const QByteArray& input, plat::ScriptedServices& ui)
{
    static const QList<quint16> glyphs{0, 1, 2, 3, 5, 8, 9, 13, 21, 34, 0xFFFF};
    try {
        TrueTypeCollection collection;
        collection.Load(input);
        plat::TFont font;
        font.SetName(QStringLiteral("Marlett"));
        for (int i = 0; i < std::min(collection.FaceCount(), 3); ++i) {
            TrueTypeFont* face = i == 0 ? collection.FindFace(font) : collection.Face(i);
            const QByteArray reduced = collection.Reduce(face, glyphs);
            for (const quint16 g : glyphs) {
                if (const auto w = face->GlyphWidth(g)) {
                    EXPECT_GE(*w, 0);
                }
            }
            face->KerningValue(3, 5);
            readBack(input, reduced, glyphs, ui);
        }
    } catch (const plat::Exception& e) {
        if (!kReaderErrors.contains(e.message()) || QLatin1StringView(e.className()) != "Exception")
            ADD_FAILURE() << "not one of the reader's errors: " << e.className() << " " << e.what();
        throw;
    }
}

} // namespace

TEST(TrueTypeMutations, DamagedFontsRaiseOnlyTheReadersErrors)
{
    std::vector<QByteArray> fixtures{readFile(kWineFolder + "marlett.ttf")};
    ASSERT_FALSE(fixtures[0].isEmpty());
    if (haveOracle()) {
        fixtures.push_back(readFile(compositeSubset()));
        fixtures.push_back(readFile(smallCollection()));
    }
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    const auto outcome = mutation::runMutations(fixtures, 1500, 20261210, fontTokens(), [&](const QByteArray& input) {
        ui.Reset();
        reduceEveryFace(input, ui);
    });
    // Most damage lands in outlines and is passed over; headers and tables are refused.
    EXPECT_GT(outcome.accepted, 0);
    EXPECT_GT(outcome.refused, 0);
}
