#include "zs_ipascal.h"

#include "zs_iinterpreter.h"

QString zs::pascalScriptGrammar()
{
    return QString::fromLatin1(kPascalScriptGrammar);
}

void zsRegisterPascalScript()
{
    zsRegisterLanguage(QStringLiteral("PascalScript"), zs::pascalScriptGrammar());
}
