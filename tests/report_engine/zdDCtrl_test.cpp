// The dialog controls as report objects: their platform controls follow the
// object, and every one of them round-trips through a template.

#include "EngineFixture.h"

#include "Handles.h"
#include "StdCtrls.h"
#include "TypeInfo.h"
#include "zdDCtrl.h"
#include "zdDsgnIntf.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace enginetest;

namespace {

// The dialog controls' unit starts before the report makes its script.
struct ControlUnits {
    ControlUnits()
    {
        static const bool units = [] {
            Fixture::started();
            zd::startDialogControlsUnit();
            return true;
        }();
        (void)units;
    }
};

struct ControlsFixture : ControlUnits, Fixture {
    TzdDialogPage* dialog = nullptr;
    ControlsFixture()
    {
        dialog = new TzdDialogPage(&report);
        dialog->SetParent(&report);
        dialog->SetName(QStringLiteral("DialogPage1"));
    }
};

const std::vector<const plat::TClass*>& allControls()
{
    static const std::vector<const plat::TClass*> classes{
        TzdLabelControl::StaticClass(),      TzdEditControl::StaticClass(),
        TzdMemoControl::StaticClass(),       TzdButtonControl::StaticClass(),
        TzdCheckBoxControl::StaticClass(),   TzdRadioButtonControl::StaticClass(),
        TzdListBoxControl::StaticClass(),    TzdComboBoxControl::StaticClass(),
        TzdPanelControl::StaticClass(),      TzdGroupBoxControl::StaticClass(),
        TzdDateEditControl::StaticClass(),   TzdImageControl::StaticClass(),
        TzdBevelControl::StaticClass(),      TzdBitBtnControl::StaticClass(),
        TzdSpeedButtonControl::StaticClass(), TzdMaskEditControl::StaticClass(),
        TzdCheckListBoxControl::StaticClass()};
    return classes;
}

// Every published property as text, for comparing two objects.
QStringList propertyTexts(plat::TObject* o)
{
    QStringList out;
    for (const plat::TPropInfo* p : o->ClassType()->Properties()) {
        if (p->PropType()->Kind() == plat::tkClass) {
            plat::TObject* sub = plat::VariantToObject(plat::GetPropValue(o, p));
            if (auto* list = dynamic_cast<plat::TStrings*>(sub))
                out << p->Name() + u'=' + list->Text();
            continue;
        }
        out << p->Name() + u'=' + plat::GetPropValue(o, p).toString();
    }
    return out;
}

} // namespace

TEST(DialogControls, EveryControlRoundTripsThroughATemplateWithDefaultsLeftOut)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("all.zd3"));
    std::vector<QStringList> before;
    {
        ControlsFixture f;
        int i = 0;
        for (const plat::TClass* cls : allControls()) {
            auto* c = dynamic_cast<TzdDialogControl*>(cls->CreateComponent(&f.report));
            ASSERT_NE(c, nullptr) << cls->ClassName().toStdString();
            c->SetParent(f.dialog);
            c->CreateUniqueName();
            c->SetLeft(8 + (i % 4) * 150);
            c->SetTop(8 + (i / 4) * 110);
            ++i;
        }
        // A few values away from the defaults.
        auto* edit = dynamic_cast<TzdEditControl*>(f.report.FindObject(QStringLiteral("Edit1")));
        ASSERT_NE(edit, nullptr);
        edit->Ctl()->SetText(QStringLiteral("Příliš žluťoučký"));
        edit->Ctl()->SetMaxLength(20);
        auto* box = dynamic_cast<TzdCheckBoxControl*>(f.report.FindObject(QStringLiteral("CheckBox1")));
        ASSERT_NE(box, nullptr);
        box->Ctl()->SetAlignment(plat::taLeftJustify);
        box->Ctl()->SetAllowGrayed(true);
        box->Ctl()->SetState(plat::cbGrayed);
        auto* list = dynamic_cast<TzdCheckListBoxControl*>(f.report.FindObject(QStringLiteral("CheckListBox1")));
        ASSERT_NE(list, nullptr);
        list->Ctl()->Items()->SetText(QStringLiteral("jedna\r\ndvě"));
        auto* memo = dynamic_cast<TzdMemoControl*>(f.report.FindObject(QStringLiteral("Memo1")));
        ASSERT_NE(memo, nullptr);
        memo->Ctl()->Lines()->SetText(QStringLiteral("a\r\nb"));
        memo->OnKeyDown = QStringLiteral("MemoKeyDown");
        auto* speed = dynamic_cast<TzdSpeedButtonControl*>(f.report.FindObject(QStringLiteral("SpeedButton1")));
        ASSERT_NE(speed, nullptr);
        speed->SetGroupIndex(3);
        speed->Ctl()->SetDown(true);
        for (TzdComponent* c : f.dialog->Children())
            before.push_back(propertyTexts(c));
        f.report.SaveToFile(file);
    }
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), file});
    ASSERT_TRUE(lint.waitForFinished(30000));
    EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();

    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(raw.readAll());
    for (const char* absent : {" ParentFont=", " Enabled=", " Visible=", " TabStop=", " ReadOnly=", " WordWrap=\"0\"",
                               " Style=\"csDropDown\"", " Kind=\"bkCustom\"", " Margin=", " Spacing=",
                               " Alignment=\"taRightJustify\"", " Shape=", " BevelOuter=", " Color="})
        EXPECT_FALSE(xml.contains(QString::fromLatin1(absent))) << absent;
    for (const char* present : {"Alignment=\"taLeftJustify\"", "State=\"cbGrayed\"", "MaxLength=\"20\"",
                                "OnKeyDown=\"MemoKeyDown\"", "GroupIndex=\"3\""})
        EXPECT_TRUE(xml.contains(QString::fromLatin1(present))) << present;

    ControlsFixture g;
    ASSERT_TRUE(g.report.LoadFromFile(file, true));
    TzdDialogPage* page = nullptr;
    for (int i = 0; i < g.report.GetPageCount(); ++i)
        if (auto* d = dynamic_cast<TzdDialogPage*>(g.report.GetPageByIndex(i)); d && d->ChildCount() > 0)
            page = d;
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->ChildCount(), static_cast<int>(allControls().size()));
    for (int i = 0; i < page->ChildCount(); ++i)
        EXPECT_EQ(propertyTexts(page->Children()[size_t(i)]), before[size_t(i)])
            << page->Children()[size_t(i)]->ClassName().toStdString();
}

TEST(DialogControls, ThePlatformControlFollowsTheObject)
{
    ControlsFixture f;
    auto* button = new TzdButtonControl(&f.report);
    QWidget* w = button->Control()->Widget();
    EXPECT_EQ(button->Control()->Parent(), zdParentForm()) << "no page yet: the hidden parent form";
    button->SetParent(f.dialog);
    EXPECT_EQ(button->Control()->Parent(), f.dialog->Form());
    struct Case {
        long double left;
        int expected;
    };
    for (const Case c : {Case{10.5L, 10}, Case{11.5L, 12}, Case{-0.5L, 0}, Case{7.4L, 7}}) {
        button->SetLeft(c.left);
        EXPECT_EQ(w->x(), c.expected) << double(c.left);
    }
    button->SetVisible(false);
    EXPECT_FALSE(button->Control()->Visible());
    button->Font()->SetSize(14);
    EXPECT_EQ(button->Control()->Font()->Size(), 14);
    EXPECT_FALSE(button->ParentFont());
    button->SetParent(nullptr);
    EXPECT_EQ(button->Control()->Parent(), zdParentForm());
    delete button;
    EXPECT_EQ(zdParentForm()->ControlCount(), 0);
}

TEST(DialogControls, ACaptionFollowsRenamesUntilItIsEdited)
{
    ControlsFixture f;
    auto* button = new TzdButtonControl(&f.report);
    button->SetParent(f.dialog);
    button->CreateUniqueName();
    EXPECT_EQ(button->Name(), QStringLiteral("Button1")) << "the name stem drops Tzd and Control";
    EXPECT_EQ(button->Caption(), QStringLiteral("Button1"));
    button->SetName(QStringLiteral("Tlacitko"));
    EXPECT_EQ(button->Caption(), QStringLiteral("Tlacitko"));
    button->SetCaption(QStringLiteral("OK"));
    button->SetName(QStringLiteral("OkB"));
    EXPECT_EQ(button->Caption(), QStringLiteral("OK"));
    auto* list = new TzdListBoxControl(&f.report);
    list->SetParent(f.dialog);
    list->SetName(QStringLiteral("Seznam"));
    EXPECT_TRUE(list->Caption().isEmpty()) << "a list shows no caption";
}

TEST(DialogControls, NewControlsTakeTheirSizesAndDefaults)
{
    ControlsFixture f;
    struct Case {
        const plat::TClass* cls;
        int width, height;
    };
    for (const Case c : {Case{TzdEditControl::StaticClass(), 121, 21}, Case{TzdMemoControl::StaticClass(), 185, 89},
                         Case{TzdButtonControl::StaticClass(), 75, 25}, Case{TzdCheckBoxControl::StaticClass(), 97, 17},
                         Case{TzdSpeedButtonControl::StaticClass(), 22, 22},
                         Case{TzdBevelControl::StaticClass(), 50, 50}, Case{TzdLabelControl::StaticClass(), 0, 0}}) {
        std::unique_ptr<plat::TComponent> o(c.cls->CreateComponent(nullptr));
        auto* dc = dynamic_cast<TzdDialogControl*>(o.get());
        EXPECT_EQ(int(dc->Width()), c.width) << c.cls->ClassName().toStdString();
        EXPECT_EQ(int(dc->Height()), c.height) << c.cls->ClassName().toStdString();
    }
    TzdCheckBoxControl box(nullptr);
    EXPECT_EQ(box.Ctl()->Alignment(), plat::taRightJustify);
    TzdRadioButtonControl radio(nullptr);
    EXPECT_EQ(radio.Ctl()->Alignment(), plat::taRightJustify);
    // A label without AutoSize follows the object's size.
    TzdLabelControl label(nullptr);
    label.Ctl()->SetAutoSize(false);
    label.SetWidth(77);
    label.SetHeight(19);
    label.BeforePrint();
    EXPECT_EQ(label.Ctl()->Width(), 77);
    EXPECT_EQ(label.Ctl()->Height(), 19);
    // The bevel has no events.
    for (const plat::TPropInfo* p : TzdBevelControl::StaticClass()->Properties())
        EXPECT_FALSE(p->Name().startsWith(QStringLiteral("On"))) << p->Name().toStdString();
}

TEST(DialogControls, ThePaletteListsTheSeventeenInOrderForDialogPages)
{
    ControlsFixture f;
    TzdObjectCollection* reg = zdGetObjectRegistry();
    std::vector<const plat::TClass*> seen;
    for (int i = 0; i < reg->Count(); ++i)
        if (reg->GetItem(i).ClassRef && reg->GetItem(i).ClassRef->InheritsFrom(TzdDialogControl::StaticClass()))
            seen.push_back(reg->GetItem(i).ClassRef);
    EXPECT_EQ(seen, allControls());
    for (int i = 0; i < reg->Count(); ++i)
        if (reg->GetItem(i).ClassRef == TzdPanelControl::StaticClass())
            EXPECT_EQ(reg->GetItem(i).ImageIndex, 44);
}

TEST(DialogControls, AKeyDownHandlerSettingKeyToZeroCancelsTheKey)
{
    ControlsFixture f;
    auto* edit = new TzdEditControl(&f.report);
    edit->SetParent(f.dialog);
    edit->SetName(QStringLiteral("Edit1"));
    EXPECT_EQ(edit->Ctl()->Text(), QStringLiteral("Edit1")) << "an edit's text follows its name, as a caption";
    edit->Ctl()->SetText(QString());
    edit->OnKeyDown = QStringLiteral("NoDigits");
    f.report.ScriptText()->SetText(QStringLiteral("procedure NoDigits(Sender: TObject; var Key: Word; Shift: Integer);\n"
                                                  "begin\n  if (Key >= 48) and (Key <= 57) then Key := 0;\nend;\n"
                                                  "begin\nend."));
    ASSERT_TRUE(f.report.CompileScript());
    f.dialog->Form()->Dialog()->show();
    QTest::keyClicks(edit->Control()->Widget(), QStringLiteral("a1b2"));
    EXPECT_EQ(edit->Ctl()->Text(), QStringLiteral("ab"));
    f.dialog->Form()->Dialog()->hide();
}
