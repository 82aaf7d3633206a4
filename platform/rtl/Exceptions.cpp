#include "Exceptions.h"

#include <QHash>

namespace plat {

Exception::Exception(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toStdString())
{
}

Exception::~Exception() = default;

#define PLAT_DEFINE_EXCEPTION(Name, Parent)                                                 \
    Name::~Name() = default;                                                                \
    const char* Name::className() const noexcept { return #Name; }                          \
    std::unique_ptr<Exception> Name::clone() const { return std::make_unique<Name>(*this); } \
    void Name::raise() const { throw *this; }
PLAT_EXCEPTION_CLASSES(PLAT_DEFINE_EXCEPTION)
#undef PLAT_DEFINE_EXCEPTION

void Exception::setMessage(QString message)
{
    m_message = std::move(message);
    m_utf8 = m_message.toStdString();
}

namespace {

struct ClassEntry {
    QString parent;
    std::unique_ptr<Exception> (*make)(const QString&);
};

const QHash<QString, ClassEntry>& classTable()
{
    static const QHash<QString, ClassEntry> table = [] {
        QHash<QString, ClassEntry> t;
        t.insert(QStringLiteral("exception"),
                 {QString(), [](const QString& m) { return std::make_unique<Exception>(m); }});
#define PLAT_TABLE_ENTRY(Name, Parent)                                          \
        t.insert(QStringLiteral(#Name).toCaseFolded(),                          \
                 {QStringLiteral(#Parent).toCaseFolded(),                       \
                  [](const QString& m) -> std::unique_ptr<Exception> { return std::make_unique<Name>(m); }});
        PLAT_EXCEPTION_CLASSES(PLAT_TABLE_ENTRY)
#undef PLAT_TABLE_ENTRY
        return t;
    }();
    return table;
}

} // namespace

bool Exception::classInheritsFrom(const QString& className, const QString& ancestor)
{
    const QString target = ancestor.toCaseFolded();
    QString name = className.toCaseFolded();
    const auto& table = classTable();
    while (!name.isEmpty()) {
        if (name == target)
            return true;
        auto it = table.find(name);
        if (it == table.end())
            return false;
        name = it->parent;
    }
    return false;
}

bool Exception::isKnownClass(const QString& className)
{
    return classTable().contains(className.toCaseFolded());
}

std::unique_ptr<Exception> Exception::create(const QString& className, const QString& message)
{
    auto it = classTable().find(className.toCaseFolded());
    if (it == classTable().end())
        return std::make_unique<Exception>(message);
    return it->make(message);
}

} // namespace plat
