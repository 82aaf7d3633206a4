#include "Dialogy.h"

#include "Modal.h"
#include "ScriptedServices.h"
#include "StringList.h"

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace plat;

namespace {

// Runs the application's modal windows through a callback instead of exec().
class ModalSpy {
public:
    explicit ModalSpy(std::function<void(QDialog&)> inspect)
        : m_previous(plat::SetModalRunner([inspect](QDialog& d) {
              inspect(d);
              return int(QDialog::Accepted);
          }))
    {
    }
    ~ModalSpy() { plat::SetModalRunner(m_previous); }

private:
    plat::ModalRunner m_previous;
};

QStringList items(const QString& line, QChar separator = u'|')
{
    TStringList list;
    list.Add(QStringLiteral("stale"));
    if (separator == u'|')
        RozdelitCarou(line, list);
    else
        RozdelitZnakem(line, separator, list);
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.Strings(i);
    return out;
}

} // namespace

TEST(Dialogy, DoplnitNulamiPadsByModeAndCutsLongTexts)
{
    struct Case {
        const char* text;
        int length, mode;
        const char* expected;
    };
    const Case cases[] = {
        {"42", 5, 2, "00042"}, {"42", 5, 0, "42000"}, {"42", 5, 1, "04200"}, {"42", 5, 7, "42"},
        {"123456", 3, 0, "123"}, {"123456", 3, 1, "123"}, {"123456", 3, 2, "123"}, {"", 2, 2, "00"},
        {"7", 1, 2, "7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DoplnitNulami(QString::fromLatin1(c.text), c.length, c.mode), QString::fromLatin1(c.expected))
            << c.text << " " << c.length << " " << c.mode;
}

TEST(Dialogy, TextFunctions)
{
    EXPECT_EQ(OpakovatZnak(u'x', 3), "xxx");
    EXPECT_EQ(OpakovatZnak(u'x', 0), "");
    EXPECT_EQ(OpakovatZnak(u'x', -2), "");
    EXPECT_EQ(NahraditZnak(QStringLiteral("a.b.c"), u'.', u','), "a,b,c");
    EXPECT_TRUE(JenCislice(QStringLiteral("0123456789")));
    EXPECT_TRUE(JenCislice(QString()));
    EXPECT_FALSE(JenCislice(QStringLiteral("12.5")));
    EXPECT_FALSE(JenCislice(QString::fromUtf8("١٢"))); // other scripts' digits are no digits here
    EXPECT_EQ(BezDiakritiky(QString::fromUtf8("Číslo účtu Ťažký ŽŮŘ őöűü ß")),
              QString::fromUtf8("Cislo uctu Tazky ZŮR oouu ß"));
}

TEST(Dialogy, BezDiakritikyCoversItsWholeTable)
{
    EXPECT_EQ(BezDiakritiky(QString::fromUtf8("ŠŤŽšťžÁČÉĚÍĎŇÓŘÚÝáäčéëěíďňóőöřůúűüý")),
              QStringLiteral("STZstzACEEIDNORUYaaceeeidnoooruuuuy"));
}

TEST(Dialogy, RozdelitKeepsEmptyItems)
{
    EXPECT_EQ(items(QStringLiteral("a||b|")), (QStringList{"a", "", "b", ""}));
    EXPECT_EQ(items(QStringLiteral("abc")), QStringList{"abc"});
    EXPECT_EQ(items(QString()), QStringList{""});
    EXPECT_EQ(items(QStringLiteral("1\t\t2"), u'\t'), (QStringList{"1", "", "2"}));
}

TEST(Dialogy, MessageBoxesUseTheApplicationTitleAndTheirFlags)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    ZpravaInfo(QStringLiteral("Hotovo"));
    ZpravaInfoTitulek(QStringLiteral("Titulek"), QStringLiteral("Text"));
    ZpravaInfoTitulek(QString(), QStringLiteral("Bez titulku"));
    const auto calls = ui.CallsOf(QStringLiteral("MessageBox"));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].caption, "Sorvamet");
    EXPECT_EQ(calls[0].flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(calls[1].caption, "Titulek");
    EXPECT_EQ(calls[2].caption, "Sorvamet");
}

TEST(Dialogy, DotazKindsChooseButtonsIconAndNoAsDefault)
{
    struct Case {
        int kind;
        unsigned flags;
        QStringList buttons;
    };
    const Case cases[] = {
        {1, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, {"Yes", "No*"}},
        {2, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, {"Yes", "No*"}},
        {3, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, {"Yes", "No*", "Cancel"}},
        {4, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2, {"Yes", "No*", "Cancel"}},
    };
    for (const Case& c : cases) {
        ScriptedServices ui;
        ScopedServices use(ui);
        ui.AnswerMessage(IDYES);
        EXPECT_EQ(Dotaz(QStringLiteral("Otázka"), QStringLiteral("Opravdu?"), c.kind), IDYES);
        ASSERT_EQ(ui.Calls().size(), 1u);
        EXPECT_EQ(ui.Calls()[0].flags, c.flags) << c.kind;
        EXPECT_EQ(ui.Calls()[0].buttons, c.buttons) << c.kind;
        EXPECT_EQ(ui.Calls()[0].caption, QStringLiteral("Otázka"));
    }
    ScriptedServices ui;
    ScopedServices use(ui);
    EXPECT_EQ(Dotaz(QString(), QStringLiteral("?"), 5), 0);
    EXPECT_TRUE(ui.Calls().empty());
}

TEST(Dialogy, AboutBoxRowsAndButtonFollowTheModuleText)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    for (const bool withModule : {false, true}) {
        QList<int> rows;
        int buttonY = 0, height = 0, width = 0, valueX = 0;
        QString title;
        ModalSpy spy([&](QDialog& d) {
            title = d.windowTitle();
            for (QLabel* l : d.findChildren<QLabel*>())
                if (l->x() == 80)
                    rows << l->y();
                else if (l->text().startsWith(u'3'))
                    valueX = l->x();
            std::sort(rows.begin(), rows.end());
            buttonY = d.findChild<QPushButton*>(QStringLiteral("Tl_Ok"))->y();
            height = d.height();
            width = d.width();
        });
        OknoOProgramu(QStringLiteral("3.0"), QStringLiteral("2021-07-10"),
                      withModule ? QStringLiteral("ZD02  ZD02 2018-06-06") : QString());
        EXPECT_EQ(title, "O programu Sorvamet");
        EXPECT_EQ(width, 520);
        if (withModule) {
            EXPECT_EQ(rows, (QList<int>{16, 40, 64, 88, 112, 136}));
            EXPECT_EQ(buttonY, 164);
            EXPECT_EQ(valueX, 240);
        } else {
            EXPECT_EQ(rows, (QList<int>{16, 40, 64, 88, 112}));
            EXPECT_EQ(buttonY, 140);
            EXPECT_EQ(valueX, 216);
        }
        EXPECT_EQ(height, buttonY + 65);
    }
}

TEST(Dialogy, AboutBoxLinkOpensTheWebAddressAndDropsItsUnderlineUnderTheMouse)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    ui.AnswerShellOpen(true);
    ModalSpy spy([&](QDialog& d) {
        d.show();
        auto* link = d.findChild<QLabel*>(QStringLiteral("La_Web"));
        ASSERT_NE(link, nullptr);
        EXPECT_TRUE(link->font().underline());
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(link, &enter);
        EXPECT_FALSE(link->font().underline());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
        EXPECT_TRUE(link->font().underline());
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    });
    OknoOProgramu(QStringLiteral("3.0"), QStringLiteral("2021-07-10"), QString());
    const auto calls = ui.CallsOf(QStringLiteral("ShellOpen"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("http://") + QString::fromLatin1(zd::kWebAddress));
}

TEST(Dialogy, AWebPageThatCannotBeOpenedIsReported)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    ui.AnswerShellOpen(true);
    EXPECT_TRUE(zd::OtevritStranku(QStringLiteral("https://a.example/")));
    EXPECT_TRUE(ui.CallsOf(QStringLiteral("MessageBox")).empty());
    ui.AnswerShellOpen(false);
    ui.AnswerMessage(IDOK);
    EXPECT_FALSE(zd::OtevritStranku(QStringLiteral("https://a.example/")));
    const auto boxes = ui.CallsOf(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QString::fromUtf8("Stránku https://a.example/ se nepodařilo otevřít.")));
    EXPECT_EQ(boxes[0].caption, "Sorvamet");
}

TEST(Dialogy, TextWindowsTakeTheirParameters)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    struct Seen {
        QString title, text;
        QSize size;
        bool readOnly = false;
        QPlainTextEdit::LineWrapMode wrap = QPlainTextEdit::NoWrap;
        Qt::ScrollBarPolicy h = Qt::ScrollBarAsNeeded, v = Qt::ScrollBarAsNeeded;
        QString family;
    } seen;
    ModalSpy spy([&](QDialog& d) {
        auto* memo = d.findChild<QPlainTextEdit*>(QStringLiteral("Memo"));
        seen = {d.windowTitle(), memo->toPlainText(), d.size(), memo->isReadOnly(), memo->lineWrapMode(),
                memo->horizontalScrollBarPolicy(), memo->verticalScrollBarPolicy(), memo->font().family()};
    });
    TextoveOkno(QString(), QStringLiteral("řádek"), true);
    EXPECT_EQ(seen.title, "Sorvamet");
    EXPECT_EQ(seen.size, QSize(450, 250));
    EXPECT_TRUE(seen.readOnly);
    EXPECT_EQ(seen.wrap, QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(seen.v, Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(seen.h, Qt::ScrollBarAlwaysOff);

    TextoveOknoParam(QStringLiteral("Výpis chyb"), QStringLiteral("a\nb"), 850, 650, false, 0, true, false);
    EXPECT_EQ(seen.title, "Výpis chyb");
    EXPECT_EQ(seen.text, "a\nb");
    EXPECT_EQ(seen.size, QSize(850, 650));
    EXPECT_FALSE(seen.readOnly);
    EXPECT_EQ(seen.wrap, QPlainTextEdit::NoWrap);
    EXPECT_EQ(seen.h, Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(seen.v, Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(seen.family, "Courier New");

    TextoveOknoParam(QStringLiteral("x"), QString(), 100, 100, true, 1, false, true);
    EXPECT_EQ(seen.h, Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(seen.v, Qt::ScrollBarAlwaysOff);
}

TEST(Dialogy, VersionComesFromTheBuildAndYearFromTheClock)
{
    const QStringList parts = QStringLiteral(SORVAMET_VERSION).split(u'.');
    EXPECT_EQ(VerzeProgramu(), parts[0] + u'.' + parts[1]);
    EXPECT_EQ(AktualniRok(), QDate::currentDate().year());
}

TEST(Dialogy, OtevritDokumentReportsTheShellsAnswer)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    ui.AnswerShellOpen(false);
    EXPECT_FALSE(OtevritDokument(QStringLiteral("/tmp/a b.txt"), QString()));
    ASSERT_EQ(ui.CallsOf(QStringLiteral("ShellOpen")).size(), 1u);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("ShellOpen"))[0].text, "/tmp/a b.txt");
}
