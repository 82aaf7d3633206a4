#pragma once
// The command lines of the development tools under tests/tools: positional
// arguments, "--NAME VALUE" options and "--NAME" flags.

#include <QString>
#include <QStringList>

#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <vector>

struct ToolCommandLine {
    std::vector<QString> positional;
    std::map<QString, QString> options; // flags get "1"; a repeated option its last value
    std::map<QString, QStringList> repeated; // every value of each valued option, in order

    bool has(const QString& name) const { return options.count(name) > 0; }
    QString value(const QString& name, const QString& fallback = {}) const
    {
        auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
};

// args[0] is the program. An unknown option or one without its value is
// reported on standard error under the tool's name, and nothing is returned;
// the caller then prints its usage.
inline std::optional<ToolCommandLine> parseToolCommandLine(const QStringList& args, const std::set<QString>& flags,
                                                           const std::set<QString>& valued, const char* tool)
{
    ToolCommandLine cl;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QStringLiteral("--")) || a.size() == 2) {
            cl.positional.push_back(a);
            continue;
        }
        const QString name = a.mid(2);
        if (flags.count(name)) {
            cl.options[name] = QStringLiteral("1");
        } else if (valued.count(name) && i + 1 < args.size()) {
            cl.options[name] = args[++i];
            cl.repeated[name].append(args[i]);
        } else {
            std::fprintf(stderr, "%s: unknown option or missing value: %s\n", tool, qPrintable(a));
            return std::nullopt;
        }
    }
    return cl;
}
