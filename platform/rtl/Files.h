#pragma once
// Files and folders: temporary files, the program's folder, path helpers.
//
// Paths read from files and templates may use '\' as the separator (they were
// written on Windows); every helper here accepts both '\' and
// '/' and the results use '/'.

#include <QString>

namespace plat {

// A fresh, empty file with a unique name beginning with prefix, in folder or
// in TempFolder() when folder is empty. The file exists when this returns, so
// the name stays taken; names never repeat within the process. Raises
// EFCreateError when the folder is not writable.
QString GetTempFileName(const QString& prefix, const QString& folder = {});
// The system's temporary folder ($TMPDIR or /tmp), with a trailing '/'.
QString TempFolder();
// The folder of the running executable, with a trailing '/'.
QString ProgramFolder();

// The path with every '\' turned into '/'.
QString nativePath(const QString& path);

QString ExtractFilePath(const QString& fileName);   // with the trailing '/'
QString ExtractFileDir(const QString& fileName);    // without it
QString ExtractFileName(const QString& fileName);
QString ExtractFileExt(const QString& fileName);    // with the dot; "" if none
QString ChangeFileExt(const QString& fileName, const QString& extension);
QString IncludeTrailingPathDelimiter(const QString& path);
QString ExcludeTrailingPathDelimiter(const QString& path);
QString ExpandFileName(const QString& fileName);    // absolute, "." and ".." resolved

bool FileExists(const QString& fileName);           // a file, not a folder
bool DirectoryExists(const QString& path);
bool ForceDirectories(const QString& path);
bool DeleteFile(const QString& fileName);
bool RenameFile(const QString& oldName, const QString& newName);

// Writes bytes over fileName atomically (temporary file + rename): a failed
// write leaves the old file as it was. Raises EFCreateError on failure.
void writeFileAtomic(const QString& fileName, const QByteArray& bytes);
// Reads a whole file; raises EFOpenError "Cannot open file \"%s\". %s".
QByteArray readFileBytes(const QString& fileName);

} // namespace plat
