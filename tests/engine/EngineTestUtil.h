#pragma once
// Helpers the engine's tests share: a settings file in a temporary folder.

#include "IniFiles.h"
#include "../TestUtil.h"

#include <QTemporaryDir>

#include <memory>

namespace enginetest {

class TempSettings {
public:
    TempSettings() : m_path(m_dir.filePath(QStringLiteral("ZazaDuzudi.ini"))) {}
    const QString& Path() const { return m_path; }
    // A fresh object on the file, as the report hands out for each use;
    // kept in memory until UpdateFile (writing through at every value is slow).
    std::unique_ptr<plat::TMemIniFile> Open() const { return std::make_unique<plat::TMemIniFile>(m_path); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace enginetest
