// zsrun LANGUAGE FILE [ANSWER...]: compiles FILE as a script of LANGUAGE and
// runs it, with the platform's adapter modules (ini files, lists, streams,
// dialogs, graphics) and scripted user-interface services. Each ANSWER is
// queued before the run: "msg:N" answers the next message box or MessageDlg
// with N, "input:TEXT" the next input query, "cancel:KIND" cancels the next
// dialog of that kind ("InputQuery", "OpenDialog", ...). A call without an
// answer takes its default and is listed as "unexpected: KIND" at the end.
// Print(s) writes its argument as text on a line of its own. Exit 0 after a
// run; a compile error prints LINE:COLUMN: MESSAGE and exits 1; an exception
// that escapes the script prints its class name, ': ' and its message and
// exits 2.

#include "Exceptions.h"
#include "ScriptedServices.h"
#include "zs_iclassesrtti.h"
#include "zs_runfixture.h"
#include "zs_script.h"
#include "zs_sysfuncs.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: zsrun LANGUAGE FILE [msg:N|input:TEXT|cancel:KIND]...\n");
        return 2;
    }
    plat::ScriptedServices ui;
    plat::ScopedServices useUi(ui);
    for (int i = 3; i < argc; ++i) {
        const QString answer = QString::fromLocal8Bit(argv[i]);
        const QString value = answer.section(u':', 1);
        if (answer.startsWith(QLatin1String("msg:")))
            ui.AnswerMessage(value.toInt());
        else if (answer.startsWith(QLatin1String("input:")))
            ui.AnswerInput(value);
        else if (answer.startsWith(QLatin1String("cancel:")))
            ui.Cancel(value);
        else {
            std::fprintf(stderr, "zsrun: unknown answer %s\n", argv[i]);
            return 2;
        }
    }
    const auto reportUnexpected = [&ui] {
        for (const QString& kind : ui.Unexpected())
            std::printf("unexpected: %s\n", kind.toUtf8().constData());
    };
    const QString language = QString::fromLocal8Bit(argv[1]);
    bool ok = false;
    const QString text = zstest::readScriptFile(QString::fromLocal8Bit(argv[2]), &ok);
    if (!ok) {
        std::fprintf(stderr, "EFOpenError: Cannot open file \"%s\"\n", argv[2]);
        return 2;
    }
    auto print = [](const QString& s) {
        std::fputs(s.toUtf8().constData(), stdout);
        std::fputc('\n', stdout);
    };
    try {
        plat::TComponent owner(nullptr);
        auto script = std::make_unique<TzsScript>(nullptr);
        zstest::registerSystem(*script, print);
        zsRegisterSysFunctions();
        zsStartPlatformModules();
        script->AddRTTI();
        zstest::registerDemoClasses(*script, &owner);
        auto* demo = new zstest::TDemoItem(&owner);
        demo->SetName(QStringLiteral("Demo"));
        script->AddObject(QStringLiteral("Demo"), demo);
        script->SyntaxType = language;
        script->Lines.SetText(text);
        if (!script->Compile()) {
            std::printf("%s: %s\n", script->ErrorPosition.toUtf8().constData(),
                        script->ErrorMessage.toUtf8().constData());
            return 1;
        }
        script->Execute();
        std::fflush(stdout);
        script.reset();
        reportUnexpected();
    } catch (const plat::Exception& e) {
        std::fflush(stdout);
        reportUnexpected();
        std::printf("%s: %s\n", e.className(), e.message().toUtf8().constData());
        return 2;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::printf("Exception: %s\n", e.what());
        return 2;
    }
    return 0;
}
