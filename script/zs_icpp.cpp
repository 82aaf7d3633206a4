#include "zs_icpp.h"

#include "zs_iinterpreter.h"

QString zs::cppScriptGrammar()
{
    return QString::fromLatin1(kCppScriptGrammar);
}

void zsRegisterCppScript()
{
    zsRegisterLanguage(QStringLiteral("C++Script"), zs::cppScriptGrammar());
}
