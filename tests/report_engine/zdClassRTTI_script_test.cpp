// Report scripts of the four languages over a small template reach the
// report classes: geometry constants, date functions, memo texts with their
// charsets, the page of a band, the outline and anchors while the engine
// runs, and a running report refuses to be loaded over.

#include "EngineFixture.h"

#include "Graphics.h"
#include "zdClass_report.h"

namespace {

using enginetest::Fixture;

struct Program {
    const char* language;
    const char* text;
};

// BandBefore runs for each row of MasterData1: it adds an outline entry and
// an anchor and shows the anchor's page in Anchor1. The main block fills
// Memo1 to Memo4 before the engine starts.
const Program kPrograms[] = {
    {"PascalScript", R"(
var n: Integer;
procedure BandBefore(Sender: TObject);
begin
  n := n + 1;
  Outline.AddItem('Row ' + IntToStr(n));
  Outline.LevelUp;
  Engine.AddAnchor('A' + IntToStr(n));
  Anchor1.Text := IntToStr(Engine.GetAnchorPage('A' + IntToStr(n))) + '/' + IntToStr(Engine.GetAnchorPage('none'));
end;
begin
  n := 0;
  Memo1.Text := FloatToStr(zd1cm) + ' ' + FloatToStr(zd01cm) + ' ' + FloatToStr(zd1in) + ' ' + FloatToStr(zd1CharY);
  Memo2.Text := IntToStr(DayOf(EncodeDate(2021, 7, 10))) + '.' + IntToStr(MonthOf(EncodeDate(2021, 7, 10))) + '.' + IntToStr(YearOf(EncodeDate(2021, 7, 10)));
  Memo3.Text := MasterData1.Page.Name + ' ' + Memo3.Page.ClassName;
  Memo4.Text := Chr(192);
  try
    Report.LoadFromFile('elsewhere.zd3');
  except
    Memo5.Text := ExceptionClassName;
  end;
end.
)"},
    {"C++Script", R"(
int n;
void BandBefore(TObject Sender)
{
  n = n + 1;
  Outline.AddItem("Row " + IntToStr(n));
  Outline.LevelUp;
  Engine.AddAnchor("A" + IntToStr(n));
  Anchor1.Text = IntToStr(Engine.GetAnchorPage("A" + IntToStr(n))) + "/" + IntToStr(Engine.GetAnchorPage("none"));
}
{
  n = 0;
  Memo1.Text = FloatToStr(zd1cm) + " " + FloatToStr(zd01cm) + " " + FloatToStr(zd1in) + " " + FloatToStr(zd1CharY);
  Memo2.Text = IntToStr(DayOf(EncodeDate(2021, 7, 10))) + "." + IntToStr(MonthOf(EncodeDate(2021, 7, 10))) + "." + IntToStr(YearOf(EncodeDate(2021, 7, 10)));
  Memo3.Text = MasterData1.Page.Name + " " + Memo3.Page.ClassName;
  Memo4.Text = Chr(192);
  try
  {
    Report.LoadFromFile("elsewhere.zd3");
  }
  except
  {
    Memo5.Text = ExceptionClassName;
  }
}
)"},
    {"BasicScript", R"(
Dim n
Sub BandBefore(Sender)
  n = n + 1
  Outline.AddItem("Row " + IntToStr(n))
  Outline.LevelUp
  Engine.AddAnchor("A" + IntToStr(n))
  Anchor1.Text = IntToStr(Engine.GetAnchorPage("A" + IntToStr(n))) + "/" + IntToStr(Engine.GetAnchorPage("none"))
End Sub
n = 0
Memo1.Text = FloatToStr(zd1cm) + " " + FloatToStr(zd01cm) + " " + FloatToStr(zd1in) + " " + FloatToStr(zd1CharY)
Memo2.Text = IntToStr(DayOf(EncodeDate(2021, 7, 10))) + "." + IntToStr(MonthOf(EncodeDate(2021, 7, 10))) + "." + IntToStr(YearOf(EncodeDate(2021, 7, 10)))
Memo3.Text = MasterData1.Page.Name + " " + Memo3.Page.ClassName
Memo4.Text = Chr(192)
Try
  Report.LoadFromFile("elsewhere.zd3")
Catch
  Memo5.Text = ExceptionClassName
End Try
)"},
    {"JScript", R"(
var n;
function BandBefore(Sender)
{
  n = n + 1;
  Outline.AddItem("Row " + IntToStr(n));
  Outline.LevelUp();
  Engine.AddAnchor("A" + IntToStr(n));
  Anchor1.Text = IntToStr(Engine.GetAnchorPage("A" + IntToStr(n))) + "/" + IntToStr(Engine.GetAnchorPage("none"));
}
n = 0;
Memo1.Text = FloatToStr(zd1cm) + " " + FloatToStr(zd01cm) + " " + FloatToStr(zd1in) + " " + FloatToStr(zd1CharY);
Memo2.Text = IntToStr(DayOf(EncodeDate(2021, 7, 10))) + "." + IntToStr(MonthOf(EncodeDate(2021, 7, 10))) + "." + IntToStr(YearOf(EncodeDate(2021, 7, 10)));
Memo3.Text = MasterData1.Page.Name + " " + Memo3.Page.ClassName;
Memo4.Text = Chr(192);
try
{
  Report.LoadFromFile("elsewhere.zd3");
}
except
{
  Memo5.Text = ExceptionClassName;
}
)"},
};

QString outlineText(TzdCustomOutline* outline)
{
    QStringList items;
    outline->LevelRoot();
    for (int i = 0; i < outline->ItemCount(); ++i) {
        QString text;
        int page = 0, top = 0;
        outline->ReadItem(i, text, page, top);
        items << QStringLiteral("%1@%2").arg(text).arg(page);
    }
    return items.join(u',');
}

// The text of the first prepared object named Name.
QString preparedText(TzdPreviewPages* store, const QString& Name)
{
    for (int p = 0; p < store->GetPageCount(); ++p)
        for (TzdComponent* obj : store->GetPage(p)->AllObjects())
            if (obj->Name() == Name)
                if (auto* memo = dynamic_cast<TzdCustomMemoView*>(obj))
                    return memo->Text().trimmed();
    return QStringLiteral("<no %1>").arg(Name);
}

TEST(ReportScriptAdapter, ScriptsOfEveryLanguageReachTheReportClasses)
{
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.language);
        Fixture f;
        TzdBand* title = f.band<TzdReportTitle>(QStringLiteral("ReportTitle1"), 0, 120);
        for (int i = 1; i <= 5; ++i)
            f.memo(title, QStringLiteral("Memo%1").arg(i), 0, (i - 1) * 20, 300, 20, QStringLiteral("-"));
        auto* cyrillic = dynamic_cast<TzdCustomMemoView*>(f.report.FindObject(QStringLiteral("Memo4")));
        cyrillic->Font()->SetCharset(plat::RUSSIAN_CHARSET);
        auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 150, 25);
        data->SetRowCount(2);
        data->OnBeforePrint = QStringLiteral("BandBefore");
        f.memo(data, QStringLiteral("Anchor1"), 0, 0, 100, 20, QStringLiteral("-"));
        f.report.SetScriptLanguage(QLatin1String(program.language));
        f.report.ScriptText()->SetText(QString::fromUtf8(program.text));

        ASSERT_TRUE(f.prepare()) << f.report.ErrorList().join(u'\n').toStdString();
        TzdPreviewPages* store = f.store();
        EXPECT_EQ(preparedText(store, QStringLiteral("Memo1")), QStringLiteral("37.7953 3.77953 96 17"));
        EXPECT_EQ(preparedText(store, QStringLiteral("Memo2")), QStringLiteral("10.7.2021"));
        EXPECT_EQ(preparedText(store, QStringLiteral("Memo3")), QStringLiteral("Page1 TzdReportPage"));
        // Byte 192 in the font's code page 1251 is the Cyrillic A.
        EXPECT_EQ(preparedText(store, QStringLiteral("Memo4")), QString(QChar(0x0410)));
        EXPECT_EQ(preparedText(store, QStringLiteral("Memo5")), QStringLiteral("EInvalidOperation"));
        EXPECT_EQ(preparedText(store, QStringLiteral("Anchor1")), QStringLiteral("1/1"));
        EXPECT_EQ(outlineText(store->Outline()), QStringLiteral("Row 1@0,Row 2@0"));
    }
}

} // namespace
