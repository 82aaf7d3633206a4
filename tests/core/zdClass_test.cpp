// The component base: tree, names, fonts that follow the parent, geometry
// restrictions, alignment of child views, difference texts and copying.

#include "zdModelFixture.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "Streams.h"
#include "zdRes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zdtest;

namespace zdtest {

// Stand-ins whose class names carry the roles the base recognises by name.
class TzdMemoView : public TzdComponent {
    PLAT_CLASS(TzdMemoView, TzdComponent)
public:
    explicit TzdMemoView(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
};

class TzdView : public TzdComponent {
    PLAT_CLASS(TzdView, TzdComponent)
public:
    explicit TzdView(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
    int Align = 0;
};

class TzdCustomMemoView : public TzdView {
    PLAT_CLASS(TzdCustomMemoView, TzdView)
public:
    explicit TzdCustomMemoView(plat::TComponent* AOwner) : TzdView(AOwner) {}
    bool AutoWidth = false;
};

class TzdBand : public TzdComponent {
    PLAT_CLASS(TzdBand, TzdComponent)
public:
    explicit TzdBand(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
};

class TzdPage : public TzdComponent {
    PLAT_CLASS(TzdPage, TzdComponent)
public:
    explicit TzdPage(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
};

class TzdDialogPage : public TzdPage {
    PLAT_CLASS(TzdDialogPage, TzdPage)
public:
    explicit TzdDialogPage(plat::TComponent* AOwner) : TzdPage(AOwner) {}
};

// Records whether DesignMode was already set while its constructor ran.
class TDesignProbe : public TzdComponent {
    PLAT_CLASS(TDesignProbe, TzdComponent)
public:
    explicit TDesignProbe(plat::TComponent* AOwner) : TzdComponent(AOwner), SeenInConstructor(DesignMode) {}
    void ApplyDesignFlags(quint16 Flags) override { AppliedFlags = Flags; }
    bool SeenInConstructor;
    int AppliedFlags = -1;
};

} // namespace zdtest

PLAT_DEFINE_CLASS(zdtest::TzdMemoView, c) {}
PLAT_DEFINE_CLASS(zdtest::TzdView, c)
{
    c.property("Align", &zdtest::TzdView::Align);
}
PLAT_DEFINE_CLASS(zdtest::TzdCustomMemoView, c)
{
    c.property("AutoWidth", &zdtest::TzdCustomMemoView::AutoWidth);
}
PLAT_DEFINE_CLASS(zdtest::TzdBand, c) {}
PLAT_DEFINE_CLASS(zdtest::TzdPage, c) {}
PLAT_DEFINE_CLASS(zdtest::TzdDialogPage, c) {}
PLAT_DEFINE_CLASS(zdtest::TDesignProbe, c) {}

namespace {
enum { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient, baHidden };

TzdView* view(TzdComponent* parent, long double left, long double top, long double width, long double height,
              int align)
{
    auto* v = new TzdView(parent);
    v->SetBounds(left, top, width, height);
    v->Align = align;
    return v;
}
} // namespace

// --- names ------------------------------------------------------------------

TEST(Component, RenamingOnlyTheLetterCaseChangesNothing)
{
    TzdTestReport report;
    auto* memo = new TzdTestMemo(&report);
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetName(QStringLiteral("memo1"));
    EXPECT_EQ(memo->Name(), QStringLiteral("Memo1"));
}

TEST(Component, NamesAreUniqueWithinAReportIgnoringCase)
{
    TzdTestReport report;
    auto* page = new TzdTestPage(&report);
    auto* a = new TzdTestMemo(page);
    auto* b = new TzdTestMemo(page);
    a->SetName(QStringLiteral("Memo1"));
    b->SetName(QStringLiteral("Memo2"));
    try {
        b->SetName(QStringLiteral("MEMO1"));
        FAIL() << "no exception";
    } catch (const plat::EDuplicateName& e) {
        EXPECT_EQ(e.message(), zdGetResources()->GetText(QStringLiteral("prDupl")));
    }
    EXPECT_EQ(b->Name(), QStringLiteral("Memo2"));

    // Objects outside any report are not compared.
    TzdTestMemo loose1(nullptr), loose2(nullptr);
    loose1.SetName(QStringLiteral("Same"));
    EXPECT_NO_THROW(loose2.SetName(QStringLiteral("Same")));
}

TEST(Component, AnObjectFromTheAncestorCannotBeRenamed)
{
    TzdTestReport report;
    auto* memo = new TzdTestMemo(&report);
    memo->SetName(QStringLiteral("Memo1"));
    memo->FromAncestor = true;
    try {
        memo->SetName(QStringLiteral("Other"));
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Could not rename Memo1, it was introduced in the ancestor report"));
    }
    EXPECT_EQ(memo->Name(), QStringLiteral("Memo1"));
}

TEST(Component, CreateUniqueNameFillsTheFirstGap)
{
    TzdTestReport report;
    auto* page = new TzdTestPage(&report);
    (new TzdMemoView(page))->SetName(QStringLiteral("Memo1"));
    (new TzdMemoView(page))->SetName(QStringLiteral("memo3"));
    auto* fresh = new TzdMemoView(page);
    fresh->CreateUniqueName();
    EXPECT_EQ(fresh->Name(), QStringLiteral("Memo2"));
    auto* other = new TzdTestMemo(page);
    other->CreateUniqueName();
    EXPECT_EQ(other->Name(), QStringLiteral("TestMemo1"));
    other->NameStem = QStringLiteral("Button");
    other->CreateUniqueName();
    EXPECT_EQ(other->Name(), QStringLiteral("Button1"));
}

// --- tree and fonts -----------------------------------------------------------

TEST(Component, ANewObjectIsTheLastChildAndFollowsItsParentsFont)
{
    TzdTestReport report;
    auto* page = new TzdTestPage(&report);
    auto* first = new TzdTestMemo(page);
    auto* child = new TzdTestMemo(page);
    ASSERT_EQ(page->Children().size(), 2u);
    EXPECT_EQ(page->Children().back(), child);
    EXPECT_EQ(child->Owner(), &report);
    EXPECT_TRUE(child->ParentFont());
    EXPECT_EQ(child->Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(child->Font()->Size(), 10);

    page->Font()->SetName(QStringLiteral("Tahoma"));
    EXPECT_FALSE(page->ParentFont());
    EXPECT_EQ(child->Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_TRUE(child->ParentFont());

    child->Font()->SetSize(14);
    EXPECT_FALSE(child->ParentFont());
    page->Font()->SetName(QStringLiteral("Verdana"));
    EXPECT_EQ(child->Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(first->Font()->Name(), QStringLiteral("Verdana"));
}

TEST(Component, MovingToAnotherParentTakesItsFont)
{
    TzdTestReport report;
    auto* a = new TzdTestPage(&report);
    auto* b = new TzdTestPage(&report);
    b->Font()->SetName(QStringLiteral("Courier New"));
    auto* memo = new TzdTestMemo(a);
    memo->SetParent(b);
    EXPECT_TRUE(a->Children().empty());
    EXPECT_EQ(b->Children().back(), memo);
    EXPECT_EQ(memo->Font()->Name(), QStringLiteral("Courier New"));
}

TEST(Component, AnObjectCannotBecomeItsOwnAncestor)
{
    TzdTestReport report;
    auto* page = new TzdTestPage(&report);
    auto* band = new TzdTestBand(page);
    EXPECT_THROW(page->SetParent(band), plat::EInvalidOperation);
    EXPECT_THROW(page->SetParent(page), plat::EInvalidOperation);
    EXPECT_EQ(page->Parent(), &report);
}

TEST(Component, AllObjectsIsDepthFirstAndFindObjectIgnoresCase)
{
    TzdTestReport report;
    auto* p1 = new TzdTestPage(&report);
    auto* b1 = new TzdTestBand(p1);
    auto* m1 = new TzdTestMemo(b1);
    auto* p2 = new TzdTestPage(&report);
    m1->SetName(QStringLiteral("Memo1"));
    const std::vector<TzdComponent*> expected{p1, b1, m1, p2};
    EXPECT_EQ(report.AllObjects(), expected);
    EXPECT_EQ(report.FindObject(QStringLiteral("MEMO1")), m1);
    EXPECT_EQ(report.FindObject(QStringLiteral("nothing")), nullptr);
    EXPECT_EQ(m1->GetReportComponent(), &report);
}

TEST(Component, AbsolutePositionStopsAtADialogPage)
{
    TzdTestReport report;
    auto* page = new TzdPage(&report);
    page->SetBounds(5, 7, 100, 100);
    auto* band = new TzdBand(page);
    band->SetBounds(0, 100, 100, 20);
    auto* memo = new TzdTestMemo(band);
    memo->SetBounds(10, 20, 5, 5);
    EXPECT_EQ(memo->GetAbsTop(), 127);
    EXPECT_EQ(memo->GetAbsLeft(), 15);
    EXPECT_EQ(memo->GetPage(), page);

    auto* dialog = new TzdDialogPage(&report);
    dialog->SetBounds(50, 60, 300, 200);
    auto* control = new TzdTestMemo(dialog);
    control->SetBounds(3, 4, 10, 10);
    EXPECT_EQ(control->GetAbsTop(), 4);
    EXPECT_EQ(control->GetAbsLeft(), 3);
}

TEST(Component, ClearKeepsInheritedObjectsAndFreesTheOthers)
{
    TzdTestReport report;
    auto* page = new TzdTestPage(&report);
    auto* inheritedBand = new TzdTestBand(page);
    auto* own = new TzdTestMemo(page);
    auto* inheritedMemo = new TzdTestMemo(inheritedBand);
    auto* ownInInherited = new TzdTestMemo(inheritedBand);
    inheritedBand->SetName(QStringLiteral("Band1"));
    own->SetName(QStringLiteral("Own"));
    inheritedMemo->SetName(QStringLiteral("Memo1"));
    ownInInherited->SetName(QStringLiteral("Own2"));
    inheritedBand->SetAncestor(true);
    inheritedMemo->SetAncestor(true);
    page->Clear();
    ASSERT_EQ(page->Children().size(), 1u);
    EXPECT_EQ(page->Children()[0], inheritedBand);
    ASSERT_EQ(inheritedBand->Children().size(), 1u);
    EXPECT_EQ(inheritedBand->Children()[0], inheritedMemo);
    EXPECT_EQ(report.FindComponent(QStringLiteral("Own")), nullptr);
    EXPECT_EQ(report.FindComponent(QStringLiteral("Own2")), nullptr);
}

TEST(Component, FreeingAParentFreesInheritedChildrenToo)
{
    TzdTestReport report;
    auto* page = new TzdTestPage(&report);
    auto* band = new TzdTestBand(page);
    band->SetName(QStringLiteral("Band1"));
    band->SetAncestor(true);
    delete page;
    EXPECT_EQ(report.FindComponent(QStringLiteral("Band1")), nullptr);
    EXPECT_TRUE(report.Children().empty());
}

// --- geometry -----------------------------------------------------------------

TEST(Component, RestrictionsApplyOnlyWhileDesigning)
{
    TzdTestMemo memo(nullptr);
    memo.SetRestrictions({rfDontMove, rfDontSize});
    memo.SetBounds(1, 2, 3, 4);
    EXPECT_EQ(memo.Left(), 1);
    memo.DesignMode = true;
    memo.SetBounds(10, 20, 30, 40);
    EXPECT_EQ(memo.Left(), 1);
    EXPECT_EQ(memo.Top(), 2);
    EXPECT_EQ(memo.Width(), 3);
    EXPECT_EQ(memo.Height(), 4);
    memo.SetRestrictions({rfDontSize});
    memo.SetBounds(10, 20, 30, 40);
    EXPECT_EQ(memo.Left(), 10);
    EXPECT_EQ(memo.Width(), 3);
}

TEST(Component, DesignCreateSetsDesignModeBeforeTheConstructorRuns)
{
    TzdTestReport report;
    TzdComponent* obj = TzdComponent::DesignCreate(TDesignProbe::StaticClass(), &report, 7);
    auto* probe = dynamic_cast<TDesignProbe*>(obj);
    ASSERT_NE(probe, nullptr);
    EXPECT_TRUE(probe->SeenInConstructor);
    EXPECT_TRUE(probe->DesignMode);
    EXPECT_EQ(probe->AppliedFlags, 7);
    EXPECT_EQ(probe->Parent(), &report);
    TDesignProbe plain(nullptr);
    EXPECT_FALSE(plain.SeenInConstructor);
}

TEST(Component, AlignChildrenLaysOutOneRow)
{
    auto* band = new TzdBand(nullptr);
    std::unique_ptr<TzdBand> owner(band);
    band->SetBounds(0, 0, 500, 40);
    TzdView* right = view(band, 400, 5, 50, 20, baRight);
    TzdView* left = view(band, 30, 5, 60, 20, baLeft);
    TzdView* middle = view(band, 150, 5, 100, 20, baWidth);
    TzdView* client = view(band, 70, 70, 10, 10, baClient);
    TzdView* hidden = view(band, 33, 3, 10, 10, baHidden);
    band->AlignChildren();
    EXPECT_EQ(left->Left(), 0);
    EXPECT_EQ(right->Left(), 450);
    EXPECT_EQ(middle->Left(), 60);
    EXPECT_EQ(middle->Width(), 390);
    EXPECT_EQ(client->Left(), 0);
    EXPECT_EQ(client->Top(), 0);
    EXPECT_EQ(client->Width(), 500);
    EXPECT_EQ(client->Height(), 40);
    EXPECT_EQ(hidden->Left(), 33);
}

TEST(Component, AlignChildrenCentresAndBottoms)
{
    TzdBand band(nullptr);
    band.SetBounds(0, 0, 200, 50);
    TzdView* centre = view(&band, 3, 0, 50, 10, baCenter);
    TzdView* bottom = view(&band, 3, 0, 50, 10, baBottom);
    bottom->SetVisible(false); // pass 3 takes invisible views too
    band.AlignChildren();
    EXPECT_EQ(centre->Left(), 75);
    EXPECT_EQ(bottom->Top(), 40);
}

// --- difference texts ----------------------------------------------------------

TEST(Component, DifferenceTexts)
{
    struct Case {
        const char* name;
        void (*change)(TzdComponent&);
        const char* expected;
    };
    const Case cases[] = {
        {"identical", [](TzdComponent&) {}, ""},
        {"position", [](TzdComponent& o) { o.SetLeft(10.5L); o.SetTop(3); }, " l=\"10.5\" t=\"3\""},
        {"below tolerance", [](TzdComponent& o) { o.SetWidth(100.00005L); }, ""},
        {"size", [](TzdComponent& o) { o.SetWidth(50); o.SetHeight(20); }, " w=\"50\" h=\"20\""},
        {"visible and tag", [](TzdComponent& o) { o.SetVisible(false); o.SetTag(4); }, " Visible=\"0\" Tag=\"4\""},
        {"font", [](TzdComponent& o) { o.Font()->SetName(QStringLiteral("A&B")); o.Font()->SetStyle({plat::fsBold, plat::fsStrikeOut}); },
         " Font.Name=\"A&#38;B\" Font.Style=\"9\" ParentFont=\"0\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TzdTestPage parent(nullptr);
        auto* reference = new TzdTestMemo(&parent);
        auto* obj = new TzdTestMemo(&parent);
        reference->SetBounds(0, 0, 100, 10);
        obj->SetBounds(0, 0, 100, 10);
        c.change(*obj);
        EXPECT_EQ(obj->DiffBasic(reference).toStdString(), std::string(c.expected));
    }
}

TEST(Component, ABandAlwaysNamesItsTopAndAnAutoWidthMemoNeverItsWidth)
{
    TzdBand a(nullptr), b(nullptr);
    EXPECT_EQ(a.DiffBasic(&b), QStringLiteral(" t=\"0\""));
    TzdCustomMemoView m(nullptr), r(nullptr);
    m.AutoWidth = true;
    m.SetWidth(30);
    EXPECT_EQ(m.DiffBasic(&r), QString());
    EXPECT_EQ(TzdComponent::DiffFont(m.Font(), r.Font(), QStringLiteral("Fill.")), QString());
}

// --- copying and streaming -------------------------------------------------------

TEST(Component, AssignCopiesPublishedStateAndAssignAllTheChildren)
{
    registerTestClasses();
    TzdTestReport source;
    auto* band = new TzdTestBand(&source);
    band->SetName(QStringLiteral("Band1"));
    band->SetBounds(1, 2, 3, 4);
    (new TzdTestMemo(band))->SetName(QStringLiteral("Memo1"));

    TzdTestReport target;
    auto* copy = new TzdTestBand(&target);
    copy->SetName(QStringLiteral("Copy"));
    auto* kept = new TzdTestMemo(copy);
    kept->SetName(QStringLiteral("Kept"));
    copy->Assign(band);
    EXPECT_EQ(copy->Name(), QStringLiteral("Copy"));
    EXPECT_EQ(copy->Top(), 2);
    ASSERT_EQ(copy->Children().size(), 1u) << "Assign copies no children and keeps its own";
    EXPECT_EQ(copy->Children()[0], kept);
    copy->AssignAll(band);
    ASSERT_EQ(copy->Children().size(), 1u);
    EXPECT_EQ(copy->Children()[0]->Name(), QStringLiteral("Memo1"));
    EXPECT_THROW(copy->Assign(copy->Font()), plat::EConvertError);
}

TEST(Component, ThreadSafeLoadsRunUnderTheClassLock)
{
    registerTestClasses();
    TzdTestReport source;
    (new TzdTestPage(&source))->SetName(QStringLiteral("Page1"));
    TzdTestReport target;
    target.ThreadSafe = true;
    QMutexLocker held(&zdClassLock()); // re-entrant: the load takes it again
    loadFromBytes(&target, saveToBytes(&source));
    EXPECT_NE(target.FindObject(QStringLiteral("Page1")), nullptr);
}

TEST(Component, Round8AndFloatDiff)
{
    EXPECT_EQ(zdRound8(1.000000004L), 1.0L);
    EXPECT_EQ(zdRound8(2.5e-8L), 2e-8L); // ties to even
    EXPECT_FALSE(zdFloatDiff(1.0L, 1.00009L));
    EXPECT_TRUE(zdFloatDiff(1.0L, 1.00011L));
}
