// Property editors and the inspector's property list: texts, value lists,
// typed values, sub-rows, common properties of a selection, the inspector's
// suspension around multi-object writes, and objects freed under an editor.

#include "Exceptions.h"
#include "FormatSettings.h"
#include "Graphics.h"
#include "ScriptedServices.h"
#include "StringList.h"
#include "TypeInfo.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdDesignerDouble.h"
#include "zdDsgnIntf_prop.h"
#include "zdModelFixture.h"

#include <gtest/gtest.h>

namespace {

enum TProbeKind { pkFirst, pkSecond, pkThird };
using TProbeKinds = plat::TSet<TProbeKind>;
PLAT_DECLARE_ENUM(TProbeKind)
PLAT_DECLARE_SET(TProbeKinds)
PLAT_DEFINE_ENUM(TProbeKind, "pkFirst", "pkSecond", "pkThird")
PLAT_DEFINE_SET(TProbeKinds, TProbeKind)

// One published property of every kind the standard editors handle; the
// setter of Fragile raises when Broken is set.
class TzdEditorProbe : public TzdComponent {
    PLAT_CLASS(TzdEditorProbe, TzdComponent)
public:
    explicit TzdEditorProbe(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
    QChar Letter = u'A';
    qint32 Number = 0;
    double Ratio = 0;
    QString Caption;
    TProbeKind Kind = pkFirst;
    TProbeKinds Kinds;
    qint32 Color = plat::clBlack;
    qint16 Cursor = 0;
    qint32 Modal = 0;
    quint16 Keys = 0;
    double Stamp = 0;
    qint32 Fragile = 0;
    bool Broken = false;
    int fragile() const { return Fragile; }
    void setFragile(int v)
    {
        if (Broken)
            throw plat::Exception(QStringLiteral("setter failed"));
        Fragile = v;
    }
};

PLAT_DEFINE_CLASS(TzdEditorProbe, c)
{
    c.property("Letter", &TzdEditorProbe::Letter);
    c.property("Number", &TzdEditorProbe::Number);
    c.property("Ratio", &TzdEditorProbe::Ratio);
    c.property("Caption", &TzdEditorProbe::Caption);
    c.property("Kind", &TzdEditorProbe::Kind);
    c.property("Kinds", &TzdEditorProbe::Kinds);
    c.property<plat::ti::TColor>("Color", &TzdEditorProbe::Color);
    c.property<plat::ti::TCursor>("Cursor", &TzdEditorProbe::Cursor);
    c.property<plat::ti::TModalResult>("Modal", &TzdEditorProbe::Modal);
    c.property<plat::ti::TShortCut>("Keys", &TzdEditorProbe::Keys);
    c.property<plat::ti::TDateTime>("Stamp", &TzdEditorProbe::Stamp);
    c.property("Fragile", &TzdEditorProbe::fragile, &TzdEditorProbe::setFragile);
}

// A class of its own for hiding rows, so that no other test sees them hidden.
class TzdHiddenProbe : public TzdEditorProbe {
    PLAT_CLASS(TzdHiddenProbe, TzdEditorProbe)
public:
    explicit TzdHiddenProbe(plat::TComponent* AOwner) : TzdEditorProbe(AOwner) {}
};
PLAT_DEFINE_CLASS(TzdHiddenProbe, c) { (void)c; }

const QString kInvalid = QStringLiteral("Neplatná hodnota vlastnosti");

struct EditorFixture : ::testing::Test {
    TzdReport report;
    TzdReportPage* page;
    TzdEditorProbe* probe;
    std::unique_ptr<zdtest::TestDesigner> designer;
    plat::ScriptedServices services;
    plat::ScopedServices useServices{services};

    EditorFixture()
    {
        zdtest::startReportLibrary();
        page = new TzdReportPage(&report);
        page->SetParent(&report);
        probe = new TzdEditorProbe(&report);
        probe->SetParent(page);
        probe->SetName(QStringLiteral("Probe1"));
        designer = std::make_unique<zdtest::TestDesigner>(&report);
    }

    std::unique_ptr<TzdPropertyList> listOf(std::vector<plat::TObject*> objects)
    {
        return zdCreatePropertyList(objects, designer.get());
    }
    TzdPropertyEditor& editor(TzdPropertyList& list, const QString& name)
    {
        TzdPropertyItem* item = list.Find(name);
        if (!item)
            throw std::runtime_error(("no row " + name).toStdString());
        return *item->Editor;
    }
    static QStringList values(TzdPropertyEditor& e)
    {
        e.GetValues();
        QStringList out;
        for (int i = 0; i < e.Values().Count(); ++i)
            out << e.Values().Strings(i);
        return out;
    }
};

// ---------------------------------------------------------------------------
// Texts and typed values, one row per case.

struct TextCase {
    const char* property;
    const char* typed;    // typed into SetValue
    const char* shown;    // GetValue afterwards
    qint64 stored;        // the ordinal stored (-999: not checked)
};

TEST_F(EditorFixture, TypedTextsAreStoredAndShown)
{
    const TextCase cases[] = {
        {"Letter", "#65", "A", 65},
        {"Letter", "#9", "#9", 9},
        {"Letter", "", "#0", 0},
        {"Letter", "z", "z", 'z'},
        {"Number", "$10", "16", 16},
        {"Number", "-7", "-7", -7},
        {"Kind", "PKTHIRD", "pkThird", 2},
        {"Color", "clred", "clRed", 0xFF},
        {"Color", "CLRED", "clRed", 0xFF},
        {"Color", "$00123456", "$00123456", 0x123456},
        {"Cursor", "crSize", "crSizeAll", -22},
        {"Cursor", "crHandPoint", "crHandPoint", -21},
        {"Cursor", "-99", "-99", -99},
        {"Modal", "mrCancel", "mrCancel", 2},
        {"Modal", "", "mrNone", 0},
        {"Modal", "11", "11", 11},
        {"Modal", "-1", "-1", -1},
        {"Keys", "Ctrl+A", "Ctrl+A", 0x4041},
        {"Keys", "shift+ctrl+f1", "Shift+Ctrl+F1", 0x6070},
        {"Keys", "(none)", "(None)", 0},
        {"Keys", "Nonsense+Q", "(None)", 0},
    };
    auto list = listOf({probe});
    for (const TextCase& c : cases) {
        SCOPED_TRACE(std::string(c.property) + " <- '" + c.typed + "'");
        TzdPropertyEditor& e = editor(*list, QString::fromLatin1(c.property));
        e.SetValue(QString::fromUtf8(c.typed));
        EXPECT_EQ(e.GetValue(), QString::fromUtf8(c.shown));
        if (c.stored != -999)
            EXPECT_EQ(e.GetOrdinalValue(), c.stored);
    }
}

TEST_F(EditorFixture, FloatsTakeEitherSeparatorAndBlanks)
{
    auto list = listOf({probe});
    TzdPropertyEditor& e = editor(*list, QStringLiteral("Ratio"));
    for (const char* typed : {"1,5", "1.5", "  1.5 "}) {
        probe->Ratio = 0;
        e.SetValue(QString::fromLatin1(typed));
        EXPECT_DOUBLE_EQ(probe->Ratio, 1.5) << typed;
    }
    EXPECT_THROW(e.SetValue(QStringLiteral("1,5x")), plat::EConvertError);
    EXPECT_DOUBLE_EQ(probe->Ratio, 1.5); // nothing written before the text converted
}

TEST_F(EditorFixture, RejectedTextsRaiseAndKeepTheValue)
{
    const std::pair<const char*, const char*> bad[] = {
        {"Letter", "ab"}, {"Kind", "pkFourth"}, {"Number", "12a"}, {"Color", "clNotAColour"}, {"Cursor", "crNope"},
    };
    auto list = listOf({probe});
    for (const auto& [property, typed] : bad) {
        TzdPropertyEditor& e = editor(*list, QString::fromLatin1(property));
        const QString before = e.GetValue();
        try {
            e.SetValue(QString::fromLatin1(typed));
            ADD_FAILURE() << property << " accepted " << typed;
        } catch (const plat::Exception& ex) {
            if (QString::fromLatin1(property) == u"Letter" || QString::fromLatin1(property) == u"Kind")
                EXPECT_EQ(ex.message(), kInvalid);
        }
        EXPECT_EQ(e.GetValue(), before) << property;
    }
}

TEST_F(EditorFixture, SetsShowBracketsAndElementsToggleBits)
{
    auto list = listOf({probe});
    TzdPropertyItem* kinds = list->Find(QStringLiteral("Kinds"));
    ASSERT_NE(kinds, nullptr);
    EXPECT_EQ(kinds->Editor->GetValue(), QStringLiteral("[]"));
    EXPECT_EQ(kinds->Editor->GetAttributes(), (TzdPropertyAttributes{fpaMultiSelect, fpaSubProperties, fpaReadOnly}));
    ASSERT_NE(kinds->SubProperty, nullptr);
    ASSERT_EQ(kinds->SubProperty->Count(), 3);
    QStringList names;
    for (int i = 0; i < 3; ++i)
        names << kinds->SubProperty->GetItem(i).Editor->GetName();
    EXPECT_EQ(names, (QStringList{"pkFirst", "pkSecond", "pkThird"}));
    kinds->SubProperty->GetItem(0).Editor->SetValue(QStringLiteral("true"));
    kinds->SubProperty->GetItem(2).Editor->SetValue(QStringLiteral("TRUE"));
    EXPECT_EQ(kinds->Editor->GetValue(), QStringLiteral("[pkFirst,pkThird]"));
    EXPECT_EQ(kinds->SubProperty->GetItem(1).Editor->GetValue(), QStringLiteral("False"));
    kinds->SubProperty->GetItem(0).Editor->SetValue(QStringLiteral("False"));
    EXPECT_EQ(kinds->Editor->GetValue(), QStringLiteral("[pkThird]"));
    EXPECT_THROW(kinds->SubProperty->GetItem(1).Editor->SetValue(QStringLiteral("yes")), plat::Exception);
}

TEST_F(EditorFixture, ValueListsOfTheStandardEditors)
{
    auto list = listOf({probe});
    EXPECT_EQ(values(editor(*list, "Kind")), (QStringList{"pkFirst", "pkSecond", "pkThird"}));
    const QStringList colours = values(editor(*list, "Color"));
    ASSERT_EQ(colours.size(), 52);
    EXPECT_EQ(colours.front(), QStringLiteral("clBlack")); // table order, not sorted
    EXPECT_EQ(colours.back(), QStringLiteral("clWindowText"));
    const QStringList cursors = values(editor(*list, "Cursor"));
    EXPECT_EQ(cursors.size(), 21);
    EXPECT_FALSE(cursors.contains(QStringLiteral("crSize")));
    EXPECT_EQ(cursors.front(), QStringLiteral("crAppStart")); // sorted
    const QStringList modal = values(editor(*list, "Modal"));
    EXPECT_EQ(modal.size(), 11);
    EXPECT_EQ(modal.at(10), QStringLiteral("mrYesToAll"));
    const QStringList keys = values(editor(*list, "Keys"));
    ASSERT_EQ(keys.size(), 109);
    EXPECT_EQ(keys.at(0), QStringLiteral("(None)"));
    EXPECT_EQ(keys.at(1), QStringLiteral("Ctrl+A"));
    EXPECT_EQ(keys.at(27), QStringLiteral("Ctrl+Alt+A"));
    EXPECT_EQ(keys.at(53), QStringLiteral("F1"));
    EXPECT_EQ(keys.back(), QStringLiteral("Shift+Alt+BkSp"));
    EXPECT_TRUE(values(editor(*list, "Number")).isEmpty());
}

TEST_F(EditorFixture, EditStepsThroughTheSortedList)
{
    auto list = listOf({probe});
    TzdPropertyEditor& kind = editor(*list, "Kind");
    probe->Kind = pkSecond;
    EXPECT_TRUE(kind.Edit());
    EXPECT_EQ(probe->Kind, pkThird);
    EXPECT_TRUE(kind.Edit());
    EXPECT_EQ(probe->Kind, pkFirst); // from the last back to the first
    TzdPropertyEditor& number = editor(*list, "Number");
    probe->Number = 5;
    EXPECT_FALSE(number.Edit());
    EXPECT_EQ(probe->Number, 5);
}

TEST_F(EditorFixture, ColourDialogWritesOnlyWhenAccepted)
{
    auto list = listOf({probe});
    TzdPropertyEditor& e = editor(*list, "Color");
    services.AnswerColor(plat::clBlue);
    EXPECT_TRUE(e.Edit());
    EXPECT_EQ(probe->Color, plat::clBlue);
    services.Cancel(QStringLiteral("ColorDialog"));
    EXPECT_FALSE(e.Edit());
    EXPECT_EQ(probe->Color, plat::clBlue);
}

// ---------------------------------------------------------------------------
// The property list of report objects

TEST_F(EditorFixture, MemoRowsAreSortedWithSubListsAndNoHiddenRows)
{
    auto* memo = new TzdMemoView(&report);
    memo->SetParent(page);
    memo->SetName(QStringLiteral("Memo1"));
    auto list = listOf({memo});
    QStringList names;
    for (int i = 0; i < list->Count(); ++i)
        names << list->GetItem(i).Editor->GetName();
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(names, sorted);
    TzdPropertyItem* font = list->Find(QStringLiteral("Font"));
    ASSERT_NE(font, nullptr);
    EXPECT_NE(dynamic_cast<TzdFontProperty*>(font->Editor.get()), nullptr);
    EXPECT_EQ(font->Editor->GetValue(), QStringLiteral("(TFont)"));
    ASSERT_NE(font->SubProperty, nullptr);
    EXPECT_EQ(font->SubProperty->Parent, list.get());
    EXPECT_NE(font->SubProperty->Find(QStringLiteral("Style")), nullptr);
    EXPECT_NE(dynamic_cast<TzdFontNameProperty*>(font->SubProperty->Find(QStringLiteral("Name"))->Editor.get()),
              nullptr);
    EXPECT_NE(dynamic_cast<TzdFontCharsetProperty*>(font->SubProperty->Find(QStringLiteral("Charset"))->Editor.get()),
              nullptr);
    TzdPropertyItem* frame = list->Find(QStringLiteral("Frame"));
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(frame->SubProperty, nullptr);
    TzdPropertyItem* typ = frame->SubProperty->Find(QStringLiteral("Typ"));
    ASSERT_NE(typ, nullptr);
    ASSERT_NE(typ->SubProperty, nullptr);
    EXPECT_EQ(typ->SubProperty->Count(), 4); // one row per frame line
    EXPECT_NE(dynamic_cast<TzdNameProperty*>(list->Find(QStringLiteral("Name"))->Editor.get()), nullptr);
    EXPECT_NE(dynamic_cast<TzdColorProperty*>(list->Find(QStringLiteral("Color"))->Editor.get()), nullptr);
}

TEST_F(EditorFixture, HiddenSetHidesItsElements)
{
    zdHideProperties(TzdHiddenProbe::StaticClass(), QStringLiteral("Kinds;Caption"));
    auto* hidden = new TzdHiddenProbe(&report);
    hidden->SetParent(page);
    auto list = listOf({hidden});
    EXPECT_EQ(list->Find(QStringLiteral("Kinds")), nullptr);
    EXPECT_EQ(list->Find(QStringLiteral("Caption")), nullptr);
    EXPECT_NE(list->Find(QStringLiteral("Kind")), nullptr);
    // The ancestor keeps its rows.
    EXPECT_NE(listOf({probe})->Find(QStringLiteral("Kinds")), nullptr);
}

TEST_F(EditorFixture, EmptySelectionGivesNoList)
{
    EXPECT_EQ(zdCreatePropertyList({}, designer.get()), nullptr);
    auto one = listOf({probe});
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->Component(), probe);
}

struct TwoMemos : EditorFixture {
    TzdMemoView* a = new TzdMemoView(&report);
    TzdMemoView* b = new TzdMemoView(&report);
    TwoMemos()
    {
        a->SetParent(page);
        b->SetParent(page);
        a->SetName(QStringLiteral("Memo1"));
        b->SetName(QStringLiteral("Memo2"));
        a->SetLeft(10);
        b->SetLeft(20);
    }
};

TEST_F(TwoMemos, SharedRowsHoldBothObjectsButNeverTheName)
{
    auto list = listOf({a, b});
    EXPECT_EQ(list->Find(QStringLiteral("Name")), nullptr);
    TzdPropertyItem* left = list->Find(QStringLiteral("Left"));
    ASSERT_NE(left, nullptr);
    ASSERT_EQ(left->Editor->ObjectCount(), 2);
    EXPECT_EQ(left->Editor->GetObject(0), a);
    EXPECT_EQ(left->Editor->GetObject(1), b);
    TzdPropertyItem* font = list->Find(QStringLiteral("Font"));
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->SubProperty, nullptr);
    EXPECT_EQ(font->SubProperty->Find(QStringLiteral("Size"))->Editor->ObjectCount(), 2);
}

TEST_F(TwoMemos, FontStyleReachesBothMemosWithOneRefresh)
{
    auto list = listOf({a, b});
    TzdPropertyList* font = list->Find(QStringLiteral("Font"))->SubProperty.get();
    ASSERT_NE(font, nullptr);
    TzdPropertyItem* style = font->Find(QStringLiteral("Style"));
    ASSERT_NE(style, nullptr);
    TzdPropertyItem* bold = style->SubProperty->Find(QStringLiteral("fsBold"));
    ASSERT_NE(bold, nullptr);
    bold->Editor->SetValue(QStringLiteral("True"));
    designer->RefreshInspector(); // what the inspector does after a commit
    EXPECT_TRUE(a->Font()->HasStyle(plat::fsBold));
    EXPECT_TRUE(b->Font()->HasStyle(plat::fsBold));
    EXPECT_EQ(designer->Suspends, 1);
    EXPECT_EQ(designer->Resumes, 1);
    EXPECT_EQ(designer->Refreshes, 1);
}

TEST_F(TwoMemos, ObjectReferenceClassMismatchDropsTheRow)
{
    auto* picture = new TzdPictureView(&report);
    picture->SetParent(page);
    auto list = listOf({a, picture});
    // Frame: both hold a TzdFrame, kept; Memo exists on the memo only.
    EXPECT_NE(list->Find(QStringLiteral("Frame")), nullptr);
    EXPECT_EQ(list->Find(QStringLiteral("Memo")), nullptr);
}

TEST_F(EditorFixture, RaisingSetterLeavesTheInspectorWorking)
{
    auto* second = new TzdEditorProbe(&report);
    second->SetParent(page);
    auto* third = new TzdEditorProbe(&report);
    third->SetParent(page);
    second->Broken = true;
    auto list = listOf({probe, second, third});
    TzdPropertyEditor& fragile = editor(*list, "Fragile");
    EXPECT_THROW(fragile.SetValue(QStringLiteral("4")), plat::Exception);
    EXPECT_FALSE(designer->Suspended);
    EXPECT_EQ(designer->Suspends, designer->Resumes);
    designer->RefreshInspector();
    EXPECT_EQ(designer->Refreshes, 1);
    EXPECT_EQ(probe->Fragile, 4); // written before the failure
}

TEST_F(EditorFixture, FreedObjectRaisesInsteadOfCrashing)
{
    auto* doomed = new TzdEditorProbe(&report);
    doomed->SetParent(page);
    auto list = listOf({doomed});
    TzdPropertyEditor& number = editor(*list, "Number");
    delete doomed;
    EXPECT_THROW(number.GetValue(), plat::EAccessViolation);
    EXPECT_THROW(number.SetValue(QStringLiteral("3")), plat::EAccessViolation);
    EXPECT_EQ(list->Component(), nullptr);
}

TEST_F(EditorFixture, ComponentReferenceListsOwnPageButAcceptsAnyReportName)
{
    // The memo's FlowTo points at another memo: listed from the memo's page,
    // the memo itself left out; a memo of another page is found by name.
    auto* memo = new TzdMemoView(&report);
    memo->SetParent(page);
    memo->SetName(QStringLiteral("Memo1"));
    auto* neighbour = new TzdMemoView(&report);
    neighbour->SetParent(page);
    neighbour->SetName(QStringLiteral("Memo2"));
    auto* page2 = new TzdReportPage(&report);
    page2->SetParent(&report);
    auto* far = new TzdMemoView(&report);
    far->SetParent(page2);
    far->SetName(QStringLiteral("Memo3"));
    auto list = listOf({memo});
    TzdPropertyEditor& flow = editor(*list, "FlowTo");
    const QStringList offered = values(flow);
    EXPECT_TRUE(offered.contains(QStringLiteral("Memo2")));
    EXPECT_FALSE(offered.contains(QStringLiteral("Memo1")));
    EXPECT_FALSE(offered.contains(QStringLiteral("Memo3")));
    flow.SetValue(QStringLiteral("Memo3"));
    EXPECT_EQ(flow.GetValue(), QStringLiteral("Memo3"));
    EXPECT_THROW(flow.SetValue(QStringLiteral("Nobody")), plat::Exception);
    flow.SetValue(QString());
    EXPECT_EQ(flow.GetValue(), QString());
}

TEST_F(EditorFixture, FontDialogWritesToEveryObject)
{
    auto* a = new TzdMemoView(&report);
    a->SetParent(page);
    auto* b = new TzdMemoView(&report);
    b->SetParent(page);
    auto list = listOf({a, b});
    TzdPropertyEditor& font = editor(*list, "Font");
    services.AnswerFont([](plat::TFont& f) { f.SetSize(23); });
    EXPECT_TRUE(font.Edit());
    EXPECT_EQ(a->Font()->Size(), 23);
    EXPECT_EQ(b->Font()->Size(), 23);
    services.Cancel(QStringLiteral("FontDialog"));
    EXPECT_FALSE(font.Edit());
}

} // namespace
