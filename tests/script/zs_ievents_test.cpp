// Event bridges: a host object's events run script procedures in each of
// the four languages, and what the procedures assign to their var
// parameters reaches the host's var arguments.

#include "ControlEvents.h"
#include "Handles.h"
#include "ScriptedServices.h"
#include "zs_ievents.h"
#include "zs_sysfuncs_runner.h"

#include <gtest/gtest.h>

namespace {

class TBridgeHost : public plat::TComponent {
    PLAT_CLASS(TBridgeHost, plat::TComponent)
public:
    explicit TBridgeHost(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}
    QString Answer;
    plat::TNotifyEvent OnClick;
    plat::TMouseEvent OnMouseDown;
    plat::TMouseMoveEvent OnMouseMove;
    plat::TKeyEvent OnKeyDown;
    plat::TKeyPressEvent OnKeyPress;
    plat::TCloseEvent OnClose;
    plat::TCloseQueryEvent OnCloseQuery;
    plat::TCanResizeEvent OnCanResize;
};

PLAT_DEFINE_CLASS(TBridgeHost, c)
{
    c.property("Answer", &TBridgeHost::Answer);
    c.property("OnClick", &TBridgeHost::OnClick);
    c.property("OnMouseDown", &TBridgeHost::OnMouseDown);
    c.property("OnMouseMove", &TBridgeHost::OnMouseMove);
    c.property("OnKeyDown", &TBridgeHost::OnKeyDown);
    c.property("OnKeyPress", &TBridgeHost::OnKeyPress);
    c.property("OnClose", &TBridgeHost::OnClose);
    c.property("OnCloseQuery", &TBridgeHost::OnCloseQuery);
    c.property("OnCanResize", &TBridgeHost::OnCanResize);
}

struct Language {
    const char* name;
    const char* program;
};

// Each program hooks the same handlers: the mouse handlers print what they
// receive, the key, close and resize handlers write back what Host.Answer
// says (KeyPress) or a fixed value, and OnCanResize changes nothing.
const Language kLanguages[] = {
    {"PascalScript", R"(
procedure Click(Sender: TObject);
begin
  Print('click ' + TComponent(Sender).Name);
end;
procedure Down(Sender: TObject; Button: Integer; Shift: Integer; X, Y: Integer);
begin
  Print('down ' + IntToStr(Button) + ' ' + IntToStr(Shift) + ' ' + IntToStr(X) + ' ' + IntToStr(Y));
end;
procedure Move(Sender: TObject; Shift: Integer; X, Y: Integer);
begin
  Print('move ' + IntToStr(Shift) + ' ' + IntToStr(X) + ' ' + IntToStr(Y));
end;
procedure KeyDown(Sender: TObject; var Key: Integer; Shift: Integer);
begin
  Print('keydown ' + IntToStr(Key) + ' ' + IntToStr(Shift));
  Key := 0;
end;
procedure KeyPress(Sender: TObject; var Key: Char);
begin
  Print('keypress ' + Key);
  Key := Host.Answer;
end;
procedure Close(Sender: TObject; var Action: Integer);
begin
  Action := 2;
end;
procedure CloseQuery(Sender: TObject; var CanClose: Boolean);
begin
  CanClose := False;
end;
procedure CanResize(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean);
begin
  Print('resize ' + IntToStr(NewWidth) + ' ' + IntToStr(NewHeight));
end;
begin
  Host.OnClick := 'Click';
  Host.OnMouseDown := 'Down';
  Host.OnMouseMove := 'Move';
  Host.OnKeyDown := 'KeyDown';
  Host.OnKeyPress := 'KeyPress';
  Host.OnClose := 'Close';
  Host.OnCloseQuery := 'CloseQuery';
  Host.OnCanResize := 'CanResize';
end.
)"},
    {"C++Script", R"(
void Click(TObject Sender)
{
  Print("click " + TComponent(Sender).Name);
}
void Down(TObject Sender, int Button, int Shift, int X, int Y)
{
  Print("down " + IntToStr(Button) + " " + IntToStr(Shift) + " " + IntToStr(X) + " " + IntToStr(Y));
}
void Move(TObject Sender, int Shift, int X, int Y)
{
  Print("move " + IntToStr(Shift) + " " + IntToStr(X) + " " + IntToStr(Y));
}
void KeyDown(TObject Sender, int &Key, int Shift)
{
  Print("keydown " + IntToStr(Key) + " " + IntToStr(Shift));
  Key = 0;
}
void KeyPress(TObject Sender, char &Key)
{
  Print("keypress " + Key);
  Key = Host.Answer;
}
void Close(TObject Sender, int &Action)
{
  Action = 2;
}
void CloseQuery(TObject Sender, bool &CanClose)
{
  CanClose = false;
}
void CanResize(TObject Sender, int &NewWidth, int &NewHeight, bool &Resize)
{
  Print("resize " + IntToStr(NewWidth) + " " + IntToStr(NewHeight));
}
{
  Host.OnClick = "Click";
  Host.OnMouseDown = "Down";
  Host.OnMouseMove = "Move";
  Host.OnKeyDown = "KeyDown";
  Host.OnKeyPress = "KeyPress";
  Host.OnClose = "Close";
  Host.OnCloseQuery = "CloseQuery";
  Host.OnCanResize = "CanResize";
}
)"},
    {"BasicScript", R"(
Sub Click(Sender)
  Print("click " + TComponent(Sender).Name)
End Sub
Sub Down(Sender, Button, Shift, X, Y)
  Print("down " + IntToStr(Button) + " " + IntToStr(Shift) + " " + IntToStr(X) + " " + IntToStr(Y))
End Sub
Sub Move(Sender, Shift, X, Y)
  Print("move " + IntToStr(Shift) + " " + IntToStr(X) + " " + IntToStr(Y))
End Sub
Sub KeyDown(Sender, ByRef Key, Shift)
  Print("keydown " + IntToStr(Key) + " " + IntToStr(Shift))
  Key = 0
End Sub
Sub KeyPress(Sender, ByRef Key)
  Print("keypress " + Key)
  Key = Host.Answer
End Sub
Sub Close(Sender, ByRef Action)
  Action = 2
End Sub
Sub CloseQuery(Sender, ByRef CanClose)
  CanClose = False
End Sub
Sub CanResize(Sender, ByRef NewWidth, ByRef NewHeight, ByRef Resize)
  Print("resize " + IntToStr(NewWidth) + " " + IntToStr(NewHeight))
End Sub
Host.OnClick = "Click"
Host.OnMouseDown = "Down"
Host.OnMouseMove = "Move"
Host.OnKeyDown = "KeyDown"
Host.OnKeyPress = "KeyPress"
Host.OnClose = "Close"
Host.OnCloseQuery = "CloseQuery"
Host.OnCanResize = "CanResize"
)"},
    {"JScript", R"(
function Click(Sender)
{
  Print("click " + TComponent(Sender).Name);
}
function Down(Sender, Button, Shift, X, Y)
{
  Print("down " + IntToStr(Button) + " " + IntToStr(Shift) + " " + IntToStr(X) + " " + IntToStr(Y));
}
function Move(Sender, Shift, X, Y)
{
  Print("move " + IntToStr(Shift) + " " + IntToStr(X) + " " + IntToStr(Y));
}
function KeyDown(Sender, &Key, Shift)
{
  Print("keydown " + IntToStr(Key) + " " + IntToStr(Shift));
  Key = 0;
}
function KeyPress(Sender, &Key)
{
  Print("keypress " + Key);
  Key = Host.Answer;
}
function Close(Sender, &Action)
{
  Action = 2;
}
function CloseQuery(Sender, &CanClose)
{
  CanClose = false;
}
function CanResize(Sender, &NewWidth, &NewHeight, &Resize)
{
  Print("resize " + IntToStr(NewWidth) + " " + IntToStr(NewHeight));
}
Host.OnClick = "Click";
Host.OnMouseDown = "Down";
Host.OnMouseMove = "Move";
Host.OnKeyDown = "KeyDown";
Host.OnKeyPress = "KeyPress";
Host.OnClose = "Close";
Host.OnCloseQuery = "CloseQuery";
Host.OnCanResize = "CanResize";
)"},
};

void registerHost(TzsScript& script)
{
    TzsClassVariable* cls = script.AddClass(TBridgeHost::StaticClass(), QStringLiteral("TComponent"));
    cls->AddEvent(QStringLiteral("OnClick"), zsEventClass<TzsNotifyEvent>());
    cls->AddEvent(QStringLiteral("OnMouseDown"), zsEventClass<TzsMouseEvent>());
    cls->AddEvent(QStringLiteral("OnMouseMove"), zsEventClass<TzsMouseMoveEvent>());
    cls->AddEvent(QStringLiteral("OnKeyDown"), zsEventClass<TzsKeyEvent>());
    cls->AddEvent(QStringLiteral("OnKeyPress"), zsEventClass<TzsKeyPressEvent>());
    cls->AddEvent(QStringLiteral("OnClose"), zsEventClass<TzsCloseEvent>());
    cls->AddEvent(QStringLiteral("OnCloseQuery"), zsEventClass<TzsCloseQueryEvent>());
    cls->AddEvent(QStringLiteral("OnCanResize"), zsEventClass<TzsCanResizeEvent>());
}

class Bridges : public ::testing::Test {
protected:
    // Compiles and runs a program that hooks Host's events.
    void hook(const QString& language, const QString& program)
    {
        script.reset();
        owner = std::make_unique<plat::TComponent>(nullptr);
        script = zstest::newSystemScript(language, owner.get(), &output);
        registerHost(*script);
        host = new TBridgeHost(owner.get());
        host->SetName(QStringLiteral("Host"));
        script->AddObject(QStringLiteral("Host"), host);
        script->Lines.SetText(program);
        ASSERT_TRUE(script->Compile()) << script->ErrorPosition.toStdString() << " "
                                       << script->ErrorMessage.toStdString();
        script->Execute();
    }

    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    std::unique_ptr<plat::TComponent> owner;
    QString output;
    TBridgeHost* host = nullptr;
    std::unique_ptr<TzsScript> script;

    void TearDown() override
    {
        script.reset();
        owner.reset();
    }
};

TEST_F(Bridges, HandValuesToTheProcedureAndWriteVarArgumentsBack)
{
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.name);
        output.clear();
        hook(QLatin1String(l.name), QLatin1String(l.program));

        host->OnClick(host);
        host->OnMouseDown(host, plat::mbRight, plat::TShiftState{plat::ssShift, plat::ssCtrl}, 10, 20);
        host->OnMouseMove(host, plat::TShiftState{plat::ssLeft}, 3, 4);

        quint16 key = 65;
        host->OnKeyDown(host, key, plat::TShiftState{plat::ssAlt});
        EXPECT_EQ(key, 0);

        // An empty text hands back #0, a longer one its first character.
        QChar ch(u'a');
        host->Answer = QString();
        host->OnKeyPress(host, ch);
        EXPECT_EQ(ch, QChar(0));
        ch = u'b';
        host->Answer = QStringLiteral("xy");
        host->OnKeyPress(host, ch);
        EXPECT_EQ(ch, QChar(u'x'));

        plat::TCloseAction action = plat::caHide;
        host->OnClose(host, action);
        EXPECT_EQ(action, plat::caFree);

        bool canClose = true;
        host->OnCloseQuery(host, canClose);
        EXPECT_FALSE(canClose);

        int width = 200, height = 100;
        bool resize = true;
        host->OnCanResize(host, width, height, resize);
        EXPECT_EQ(width, 200);
        EXPECT_EQ(height, 100);
        EXPECT_TRUE(resize);

        EXPECT_EQ(output, QStringLiteral("click Host\n"
                                         "down 1 5 10 20\n"
                                         "move 8 3 4\n"
                                         "keydown 65 2\n"
                                         "keypress a\n"
                                         "keypress b\n"
                                         "resize 200 100\n"));
        EXPECT_TRUE(ui.Calls().empty());
    }
}

TEST_F(Bridges, SenderArrivesAsAHandleOfTheObject)
{
    hook(QStringLiteral("PascalScript"), QStringLiteral("procedure Click(Sender: TObject);\n"
                                                       "begin Print(Sender) end;\n"
                                                       "begin Host.OnClick := 'Click' end."));
    host->OnClick(host);
    EXPECT_EQ(output.trimmed(), QString::number(plat::ObjectToHandle(host)));
}

TEST_F(Bridges, ProcedureWithFewerParametersLeavesTheVarArgumentsAlone)
{
    hook(QStringLiteral("PascalScript"), QStringLiteral("procedure KeyPress(Sender: TObject);\n"
                                                       "begin Print('pressed') end;\n"
                                                       "procedure Resize(Sender: TObject; var NewWidth: Integer);\n"
                                                       "begin NewWidth := 7 end;\n"
                                                       "begin Host.OnKeyPress := 'KeyPress';\n"
                                                       "  Host.OnCanResize := 'Resize' end."));
    QChar ch(u'q');
    host->OnKeyPress(host, ch);
    EXPECT_EQ(ch, QChar(u'q'));
    EXPECT_EQ(output, QStringLiteral("pressed\n"));
    int width = 1, height = 2;
    bool resize = false;
    host->OnCanResize(host, width, height, resize);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 2);
    EXPECT_FALSE(resize);
}

TEST_F(Bridges, HandlerExceptionIsReportedAndKeepsTheHostsArguments)
{
    hook(QStringLiteral("PascalScript"), QStringLiteral("procedure CloseQuery(Sender: TObject; var CanClose: Boolean);\n"
                                                       "begin CanClose := False; RaiseException('no way') end;\n"
                                                       "procedure KeyDown(Sender: TObject; var Key: Integer; Shift: Integer);\n"
                                                       "var v: Variant;\n"
                                                       "begin v := 'abc'; Key := v end;\n"
                                                       "begin Host.OnCloseQuery := 'CloseQuery';\n"
                                                       "  Host.OnKeyDown := 'KeyDown' end."));
    bool canClose = true;
    EXPECT_NO_THROW(host->OnCloseQuery(host, canClose));
    EXPECT_TRUE(canClose);
    quint16 key = 13;
    EXPECT_NO_THROW(host->OnKeyDown(host, key, {}));
    EXPECT_EQ(key, 13);
    const std::vector<plat::ServiceCall> boxes = ui.CallsOf(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("no way"))) << boxes[0].text.toStdString();
}

TEST_F(Bridges, AHandlerKeptAfterItsScriptIsFreedRunsNothing)
{
    hook(QStringLiteral("PascalScript"), QStringLiteral("procedure KeyPress(Sender: TObject; var Key: Char);\n"
                                                       "begin Key := 'z' end;\n"
                                                       "begin Host.OnKeyPress := 'KeyPress' end."));
    const plat::TKeyPressEvent kept = host->OnKeyPress;
    script.reset();
    EXPECT_FALSE(host->OnKeyPress.IsAssigned());
    QChar ch(u'a');
    kept(host, ch);
    EXPECT_EQ(ch, QChar(u'a'));
}

TEST_F(Bridges, AHandlerMayReplaceItsOwnEventWhileItRuns)
{
    hook(QStringLiteral("PascalScript"), QStringLiteral("procedure Second(Sender: TObject; var Key: Char);\n"
                                                       "begin Key := '2' end;\n"
                                                       "procedure First(Sender: TObject; var Key: Char);\n"
                                                       "begin Host.OnKeyPress := 'Second'; Key := '1' end;\n"
                                                       "begin Host.OnKeyPress := 'First' end."));
    QChar ch(u'a');
    const plat::TKeyPressEvent first = host->OnKeyPress;
    first(host, ch);
    EXPECT_EQ(ch, QChar(u'1'));
    host->OnKeyPress(host, ch);
    EXPECT_EQ(ch, QChar(u'2'));
}

} // namespace
