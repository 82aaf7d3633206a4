#include "zdPreProgramClass.h"

void PreProgramClass::Load(const QByteArray& data)
{
    CheckRange(data, Offset(), Length());
    program = data.mid(Offset(), Length());
    program.append((4 - program.size() % 4) % 4, '\0');
}

qint64 PreProgramClass::Write(const QByteArray&, QByteArray& out) const
{
    out.append(program);
    return program.size();
}
