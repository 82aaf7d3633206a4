#include "zs_ijs.h"

#include "zs_iinterpreter.h"

QString zs::jScriptGrammar()
{
    return QString::fromLatin1(kJScriptGrammar);
}

void zsRegisterJScript()
{
    zsRegisterLanguage(QStringLiteral("JScript"), zs::jScriptGrammar());
}
