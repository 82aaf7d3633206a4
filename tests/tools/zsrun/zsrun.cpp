// zsrun LANGUAGE FILE: compiles FILE as a script of LANGUAGE and runs it.
// Print(s) writes its argument as text on a line of its own. Exit 0 after a
// run; a compile error prints LINE:COLUMN: MESSAGE and exits 1; an exception
// that escapes the script prints its class name, ': ' and its message and
// exits 2.

#include "Exceptions.h"
#include "zs_runfixture.h"
#include "zs_script.h"
#include "zs_sysfuncs.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zsrun LANGUAGE FILE\n");
        return 2;
    }
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
        zsRegisterSysFunctions(); script->AddRTTI();
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
    } catch (const plat::Exception& e) {
        std::fflush(stdout);
        std::printf("%s: %s\n", e.className(), e.message().toUtf8().constData());
        return 2;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::printf("Exception: %s\n", e.what());
        return 2;
    }
    return 0;
}
