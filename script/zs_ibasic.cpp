#include "zs_ibasic.h"

#include "zs_iinterpreter.h"

QString zs::basicScriptGrammar()
{
    return QString::fromLatin1(kBasicScriptGrammar);
}

void zsRegisterBasicScript()
{
    zsRegisterLanguage(QStringLiteral("BasicScript"), zs::basicScriptGrammar());
}
