// The file layer the engines stand on: open, create, read, write, seek, size and truncate files
// by handle, with the platform's open and share modes.
//
// File names are Windows-1251 text as the system holds them. On the way to the disk they become
// UTF-8, "\" separates folders like "/", and a name that differs only in letter case from the
// one on disk finds it (the table engine asks for "ORVANE.dbf" when "ORVANE.DBF" lies there).
//
// Share modes are advisory locks between everyone who opens files through this layer (this
// process and others): a file open with fmShareExclusive (or created) cannot be opened again
// until it is closed, and it cannot be opened exclusively while anyone holds it. fmShareDenyNone,
// fmShareDenyWrite, fmShareDenyRead and fmShareCompat all share with each other.
#pragma once

#include "platform/runtime/Types.h"

// Open modes: one access mode or'ed with one share mode.
inline constexpr Word fmOpenRead = 0x0000;
inline constexpr Word fmOpenWrite = 0x0001;
inline constexpr Word fmOpenReadWrite = 0x0002;
inline constexpr Word fmShareCompat = 0x0000;
inline constexpr Word fmShareExclusive = 0x0010;
inline constexpr Word fmShareDenyWrite = 0x0020;
inline constexpr Word fmShareDenyRead = 0x0030;
inline constexpr Word fmShareDenyNone = 0x0040;
// TFileStream: create the file (or empty an existing one), open for reading and writing.
inline constexpr Word fmCreate = 0xFF00;

// Seek origins of FileSeek.
inline constexpr Integer FILE_BEGIN = 0;
inline constexpr Integer FILE_CURRENT = 1;
inline constexpr Integer FILE_END = 2;

// Opens an existing file; the handle, or -1 (the reason in orv::LastFileError()).
Integer FileOpen(const AnsiString& fileName, Cardinal mode);
// Creates the file or empties an existing one, for reading and writing; -1 on failure.
Integer FileCreate(const AnsiString& fileName, Cardinal shareMode = fmShareExclusive);
// Bytes read or written (fewer at the end of the file or when the disk is full), or -1.
Integer FileRead(Integer handle, void* buffer, Integer count);
Integer FileWrite(Integer handle, const void* buffer, Integer count);
// The new position, or -1.
Int64 FileSeek(Integer handle, Int64 offset, Integer origin);
void FileClose(Integer handle);

bool FileExists(const AnsiString& fileName);
bool DirectoryExists(const AnsiString& directory);
bool DeleteFile(const AnsiString& fileName);
bool RenameFile(const AnsiString& oldName, const AnsiString& newName);
bool CreateDir(const AnsiString& directory);

namespace orv {

// The size of an open file, or -1.
Int64 FileSize(Integer handle);
// Cuts or extends (with zeros) an open file to `size` bytes.
bool FileTruncate(Integer handle, Int64 size);
// The operating system's text for the last failure of this layer (Windows-1251).
AnsiString LastFileError();

// The name on disk (UTF-8, "/" separators) for a file name of the system: every folder and the
// file itself are matched without regard to letter case when the exact name does not exist.
// A part that matches nothing is kept as written (so that a new file can be created there).
std::string ResolveFileName(const AnsiString& fileName);

// The full file name of the running program, as the system holds text (Windows-1251, "/").
AnsiString ExecutableFileName();

}  // namespace orv
