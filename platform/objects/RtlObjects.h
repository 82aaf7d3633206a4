#pragma once
// The run-time library's lists, streams and ini files as objects of the
// object model, so that they have handles and classes and scripts can hold
// them. Each is the library class itself with an object base: code that
// takes a plat::TStrings& or plat::TStream& takes these as they are.
// Their class names are the platform's ("TStringList", "TMemoryStream").

#include "IniFiles.h"
#include "List.h"
#include "Objects.h"
#include "StringList.h"
#include "Streams.h"

namespace plat::obj {

// The abstract classes carry no state: they name the script-visible class
// that a member is registered under.
class TStrings : public TPersistent {
    PLAT_CLASS(TStrings, TPersistent)
protected:
    TStrings() = default;
};

class TStringList : public TStrings, public ::plat::TStringList {
    PLAT_CLASS(TStringList, obj::TStrings)
public:
    TStringList() = default;
    using ::plat::TStringList::Assign;
    // From any object that is a string list.
    void Assign(TPersistent* Source) override;
};

class TList : public TObject, public ::plat::TList {
    PLAT_CLASS(TList, TObject)
};

class TStream : public TObject {
    PLAT_CLASS(TStream, TObject)
protected:
    TStream() = default;
};

class TMemoryStream : public TStream, public ::plat::TMemoryStream {
    PLAT_CLASS(TMemoryStream, obj::TStream)
};

class TFileStream : public TStream, public ::plat::TFileStream {
    PLAT_CLASS(TFileStream, obj::TStream)
public:
    TFileStream(const QString& fileName, quint16 mode) : ::plat::TFileStream(fileName, mode) {}
};

class TCustomIniFile : public TObject {
    PLAT_CLASS(TCustomIniFile, TObject)
protected:
    TCustomIniFile() = default;
};

class TMemIniFile : public TCustomIniFile, public ::plat::TMemIniFile {
    PLAT_CLASS(TMemIniFile, obj::TCustomIniFile)
public:
    explicit TMemIniFile(const QString& fileName) : ::plat::TMemIniFile(fileName) {}
};

class TIniFile : public TCustomIniFile, public ::plat::TIniFile {
    PLAT_CLASS(TIniFile, obj::TCustomIniFile)
public:
    explicit TIniFile(const QString& fileName) : ::plat::TIniFile(fileName) {}
};

} // namespace plat::obj
