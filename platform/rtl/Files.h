#pragma once
// Files and folders: temporary files, the program's folder, path helpers.
//
// Paths read from files and templates may use '\' as the separator (they were
// written on Windows); every helper here accepts both '\' and
// '/' and the results use '/'.

#include <QByteArrayView>
#include <QString>

#include <functional>

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

// The user's configuration folder of this program: "sorvamet/" in
// $XDG_CONFIG_HOME (~/.config when that is unset or relative), with a
// trailing '/'.
QString UserConfigFolder();
// A settings file that an installed program cannot keep beside itself lives
// in UserConfigFolder(). Until the user has one, the copy beside the program
// (in programFolder) is read, so that existing settings keep working.
QString SettingsFileToRead(const QString& name, const QString& programFolder);
// The user's copy, which every write goes to. When it does not exist yet,
// its folder is made and the copy beside the program, if any, is copied in
// first, so that writing one section keeps the others. A failure here shows
// as the ini file's own write error.
QString SettingsFileToWrite(const QString& name, const QString& programFolder);

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
// Hands the whole file's bytes to use without copying them when the file can
// be mapped into memory (read whole otherwise); the view lives only during
// the call. Raises as readFileBytes does.
void readFileView(const QString& fileName, const std::function<void(QByteArrayView)>& use);

} // namespace plat
