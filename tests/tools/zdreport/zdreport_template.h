#pragma once
// A report template read into a root of the tool's own, for as long as the
// report document is not part of the library. The report objects the
// library knows are read and written through the serializer; every other
// element (the report itself, pages, bands, datasets, variables) is held as
// it stands, with its children, so that saving gives it back unchanged.

#include "zdClass.h"

#include <QByteArray>
#include <QString>

#include <memory>

class TzdXMLItem;

namespace zdtool {

class TemplateRoot;

class Template {
public:
    Template();
    ~Template();
    Template(const Template&) = delete;
    Template& operator=(const Template&) = delete;

    // Raises plat::Exception with a message for a missing or damaged file.
    void Load(const QString& FileName);
    // Writes through a temporary file, so a failed save keeps the old one.
    void Save(const QString& FileName);

    TzdComponent* Root() const;
    // Problems the serializer met while reading (unknown properties, ...).
    QStringList Errors() const;

private:
    std::unique_ptr<TemplateRoot> m_root;
};

// Elements below root without a class of the library become holders, and
// holders become their elements again.
void wrapUnknownElements(TzdXMLItem* root);
void unwrapElements(TzdXMLItem* root);

// Starts the report library's units as the program does.
void startLibrary();

// The quality the tool's page pictures are saved with: they are for tests
// and comparisons, and zlib's fastest level (Qt maps quality 89 to level 1)
// writes them in a fraction of the default's time, in files not much larger.
constexpr int kFastPng = 89;

} // namespace zdtool
