#pragma once
// Runs a program or an expression in a script that has the system module
// (through AddRTTI), a Print procedure and the demo host classes, and
// returns what it printed: one line per Print, then "Class: message" for an
// exception that escaped, or "compile error LINE:COL: message".

#include "Exceptions.h"
#include "FormatSettings.h"
#include "zs_runfixture.h"
#include "zs_script.h"
#include "zs_sysfuncs.h"

#include <QString>
#include <memory>

namespace zstest {

inline void addPrint(TzsScript& script, QString* output)
{
    script.AddMethod(QStringLiteral("procedure Print(s: Variant)"),
                     [output](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                         *output += plat::VarToStr(c->GetParam(0)) + u'\n';
                         return plat::Null();
                     });
}

// A script with the modules, Print, the demo classes and a demo object
// "Demo" (as zsrun has them); owner owns the objects.
inline std::unique_ptr<TzsScript> newSystemScript(const QString& language, plat::TComponent* owner,
                                                  QString* output)
{
    zsRegisterSysFunctions();
    auto script = std::make_unique<TzsScript>(nullptr);
    script->AddRTTI();
    addPrint(*script, output);
    registerDemoClasses(*script, owner);
    auto* demo = new TDemoItem(owner);
    demo->SetName(QStringLiteral("Demo"));
    script->AddObject(QStringLiteral("Demo"), demo);
    script->SyntaxType = language;
    return script;
}

inline QString runProgram(const QString& language, const QString& text)
{
    QString output;
    plat::TComponent owner(nullptr);
    std::unique_ptr<TzsScript> script = newSystemScript(language, &owner, &output);
    script->Lines.SetText(text);
    if (!script->Compile())
        return output + QStringLiteral("compile error %1: %2\n").arg(script->ErrorPosition, script->ErrorMessage);
    try {
        script->Execute();
    } catch (const plat::Exception& e) {
        output += QStringLiteral("%1: %2\n").arg(QString::fromLatin1(e.className()), e.message());
    }
    return output;
}

// Sets the process-wide format settings for a scope.
class ScopedFormatSettings {
public:
    explicit ScopedFormatSettings(const plat::TFormatSettings& settings) : m_saved(plat::FormatSettings())
    {
        plat::FormatSettings() = settings;
    }
    ~ScopedFormatSettings() { plat::FormatSettings() = m_saved; }
    ScopedFormatSettings(const ScopedFormatSettings&) = delete;
    ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

private:
    plat::TFormatSettings m_saved;
};

} // namespace zstest
