#include "Application.h"
#include "Controls.h"
#include "Exceptions.h"
#include "ScriptedServices.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace plat;

TEST(Application, ProcessMessagesGoesThroughTheOneHook)
{
    int calls = 0;
    bool inside = false;
    auto previous = Application().SetProcessMessagesHook([&] {
        ++calls;
        inside = Application().InProcessMessages();
    });
    Application().ProcessMessages();
    Application().ProcessMessages();
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(inside);
    EXPECT_FALSE(Application().InProcessMessages());
    Application().SetProcessMessagesHook(previous);
}

TEST(Application, ProgramFileAndFolder)
{
    EXPECT_TRUE(Application().ExeName().endsWith(QStringLiteral("/ui_tests")));
    EXPECT_TRUE(Application().ProgramFolder().endsWith(QLatin1Char('/')));
    EXPECT_TRUE(Application().ExeName().startsWith(Application().ProgramFolder()));
}

TEST(Application, ErrorBoxAddsAFullStopUnlessTheTextEndsInPunctuation)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    Application().SetTitle(QStringLiteral("T"));
    for (const char* msg : {"Bad value", "Bad value.", "Done!", "Soubor \"a.xml\"", "Chyba 5"})
        Application().Guard([&] { throw EConvertError(QString::fromUtf8(msg)); });
    ASSERT_EQ(ui.Calls().size(), 5u);
    EXPECT_EQ(ui.Calls()[0].text, QStringLiteral("Bad value."));
    EXPECT_EQ(ui.Calls()[1].text, QStringLiteral("Bad value."));
    EXPECT_EQ(ui.Calls()[2].text, QStringLiteral("Done!"));
    EXPECT_EQ(ui.Calls()[3].text, QStringLiteral("Soubor \"a.xml\""));
    EXPECT_EQ(ui.Calls()[4].text, QStringLiteral("Chyba 5."));
}

TEST(Application, GuardHandlesEveryKindOfExceptionAndAbortIsSilent)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    EXPECT_TRUE(Application().Guard([] {}));
    EXPECT_FALSE(Application().Guard([] { throw EAbort(QStringLiteral("stop")); }));
    EXPECT_TRUE(ui.Calls().empty());
    EXPECT_FALSE(Application().Guard([] { throw std::runtime_error("low level"); }));
    EXPECT_FALSE(Application().Guard([] { throw 42; }));
    ASSERT_EQ(ui.Calls().size(), 2u);
    EXPECT_EQ(ui.Calls()[0].text, QStringLiteral("low level."));
    QString seen;
    Application().OnException = [&](const Exception& e) { seen = e.className(); };
    Application().Guard([] { throw EZeroDivide(QStringLiteral("Floating point division by zero")); });
    Application().OnException = nullptr;
    EXPECT_EQ(seen, QStringLiteral("EZeroDivide"));
    EXPECT_EQ(ui.Calls().size(), 2u);
}

TEST(Application, HourglassNestsAndRestoresOnEveryPath)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    try {
        THourglass outer;
        EXPECT_EQ(Application().Cursor(), crHourGlass);
        {
            THourglass inner;
            EXPECT_TRUE(ui.BusyCursor());
        }
        EXPECT_EQ(Application().Cursor(), crHourGlass);
        throw EAbort(QString());
    } catch (const EAbort&) {
    }
    EXPECT_EQ(Application().Cursor(), crDefault);
    EXPECT_FALSE(ui.BusyCursor());
    EXPECT_EQ(ui.CallsOf(QStringLiteral("BusyCursor")).size(), 2u); // on once, off once
}

TEST(Timer, FiresWhileEnabledAndGuardsItsHandler)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(5);
    timer.SetOnTimer(TNotifyEvent([&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        if (++ticks == 2)
            throw EConvertError(QStringLiteral("tick failed"));
    }, &timer, nullptr));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 2000));
    EXPECT_GE(ticks, 3);
    ASSERT_GE(ui.Calls().size(), 1u);
    EXPECT_EQ(ui.Calls()[0].text, QStringLiteral("tick failed."));
    timer.SetEnabled(false);
    const int stopped = ticks;
    QTest::qWait(30);
    EXPECT_EQ(ticks, stopped);
}

TEST(Timer, PublishesItsProperties)
{
    TTimer timer(nullptr);
    for (const char* name : {"Enabled", "Interval", "OnTimer"})
        EXPECT_NE(GetPropInfo(TTimer::StaticClass(), QString::fromLatin1(name)), nullptr) << name;
    SetOrdProp(&timer, FindPropInfo(&timer, u"Interval"), 250);
    EXPECT_EQ(timer.Interval(), 250);
}

TEST(Controls, CursorTable)
{
    const auto& t = CursorIdents();
    ASSERT_EQ(t.size(), 23u);
    EXPECT_STREQ(t[0].name, "crDefault");
    EXPECT_STREQ(t[5].name, "crSize");
    EXPECT_EQ(t[5].value, -22);
    EXPECT_STREQ(t.back().name, "crSizeAll");
    for (const auto& e : t)
        EXPECT_NE(e.value, -5);
    TCursor c = 0;
    EXPECT_TRUE(IdentToCursor(QStringLiteral("CRHANDPOINT"), c));
    EXPECT_EQ(c, crHandPoint);
    EXPECT_EQ(CursorToString(-22), QStringLiteral("crSizeAll"));
    EXPECT_EQ(CursorShape(crHourGlass), Qt::WaitCursor);
}

TEST(Controls, VirtualKeyTableAndMapping)
{
    const auto& t = VirtualKeyIdents();
    EXPECT_EQ(t.front().name, QStringLiteral("VK_RBUTTON"));
    EXPECT_EQ(t.back().name, QStringLiteral("VK_SCROLL"));
    EXPECT_EQ(t.back().value, 145);
    for (const auto& e : t)
        EXPECT_NE(e.name, QStringLiteral("VK_LBUTTON"));
    struct Case {
        int qt;
        Qt::KeyboardModifiers mods;
        int vk;
    };
    const Case cases[] = {{Qt::Key_A, {}, 'A'},        {Qt::Key_5, {}, '5'},
                          {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD0 + 5},
                          {Qt::Key_F12, {}, 123},      {Qt::Key_Return, {}, VK_RETURN},
                          {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
                          {Qt::Key_PageUp, {}, VK_PRIOR}, {Qt::Key_Delete, {}, VK_DELETE},
                          {Qt::Key_Plus, Qt::KeypadModifier, VK_ADD}, {Qt::Key_Plus, {}, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromQt(c.qt, c.mods), c.vk) << c.qt;
}

TEST(Controls, ShiftStateBits)
{
    EXPECT_EQ(ShiftStateFromQt(Qt::ShiftModifier).mask(), 1u);
    EXPECT_EQ(ShiftStateFromQt(Qt::AltModifier).mask(), 2u);
    EXPECT_EQ(ShiftStateFromQt(Qt::ControlModifier).mask(), 4u);
    EXPECT_EQ(ShiftStateFromQt({}, Qt::LeftButton).mask(), 8u);
    EXPECT_EQ(ShiftStateFromQt({}, Qt::RightButton).mask(), 16u);
    EXPECT_EQ(ShiftStateFromQt({}, Qt::MiddleButton).mask(), 32u);
    EXPECT_EQ(ShiftStateFromQt({}, {}, true).mask(), 64u);
}
