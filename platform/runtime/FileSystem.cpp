#include "platform/runtime/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"

namespace {

thread_local int gLastError = 0;

int Fail() {
  gLastError = errno;
  return -1;
}

// True for a system call result of 0; otherwise remembers the error.
bool Succeeded(int result) {
  if (result == 0) return true;
  gLastError = errno;
  return false;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `part` apart from letter case, or `part` itself.
std::string MatchEntry(const std::string& dir, const std::string& part) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return part;
  const AnsiString wanted = AnsiUpperCase(orv::Utf8ToAnsi(part));
  std::string found = part;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (AnsiUpperCase(orv::Utf8ToAnsi(name)) == wanted) {
      found = name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

int LockFor(Cardinal mode) {
  return (mode & 0xF0) == fmShareExclusive ? LOCK_EX : LOCK_SH;
}

// Opens the resolved name with POSIX flags and takes the advisory lock of the share mode.
Integer OpenLocked(const AnsiString& fileName, int flags, int lock) {
  const std::string path = orv::ResolveFileName(fileName);
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return Fail();
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    gLastError = EISDIR;
    ::close(fd);
    return -1;
  }
  if (::flock(fd, lock | LOCK_NB) != 0) {
    gLastError = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string orv::ResolveFileName(const AnsiString& fileName) {
  std::string path = AnsiToUtf8(fileName);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.empty() || Exists(path)) return path;

  // Walk the parts: keep each that exists, otherwise look for it in another letter case.
  std::string result;
  std::size_t start = 0;
  if (path[0] == '/') {
    result = "/";
    start = 1;
  }
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (!part.empty()) {
      const std::string dir = result;
      std::string candidate = dir + part;
      if (part != "." && part != ".." && !Exists(candidate)) candidate = dir + MatchEntry(dir, part);
      result = candidate;
    }
    if (end < path.size()) result += '/';
    start = end + 1;
  }
  return result;
}

Integer FileOpen(const AnsiString& fileName, Cardinal mode) {
  int access = O_RDONLY;
  if ((mode & 3) == fmOpenWrite) access = O_WRONLY;
  if ((mode & 3) == fmOpenReadWrite) access = O_RDWR;
  return OpenLocked(fileName, access, LockFor(mode));
}

Integer FileCreate(const AnsiString& fileName, Cardinal shareMode) {
  // Take the lock before emptying the file, so that creating over a file someone holds fails
  // without destroying it.
  const Integer fd = OpenLocked(fileName, O_RDWR | O_CREAT, LockFor(shareMode));
  if (fd < 0) return fd;
  if (::ftruncate(fd, 0) != 0) {
    Fail();
    ::close(fd);
    return -1;
  }
  return fd;
}

namespace {

// Repeats a read or write until `count` bytes moved, the end is reached or it fails.
template <class Op>
Integer Transfer(Integer count, Op op) {
  if (count < 0) return -1;
  Integer total = 0;
  while (total < count) {
    const ssize_t n = op(total, count - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return total > 0 ? total : Fail();
    }
    if (n == 0) break;
    total += static_cast<Integer>(n);
  }
  return total;
}

}  // namespace

Integer FileRead(Integer handle, void* buffer, Integer count) {
  return Transfer(count, [&](Integer done, Integer left) {
    return ::read(handle, static_cast<char*>(buffer) + done, left);
  });
}

Integer FileWrite(Integer handle, const void* buffer, Integer count) {
  return Transfer(count, [&](Integer done, Integer left) {
    return ::write(handle, static_cast<const char*>(buffer) + done, left);
  });
}

Int64 FileSeek(Integer handle, Int64 offset, Integer origin) {
  const int whence = origin == FILE_CURRENT ? SEEK_CUR : origin == FILE_END ? SEEK_END : SEEK_SET;
  const off_t r = ::lseek(handle, offset, whence);
  return r < 0 ? Fail() : r;
}

void FileClose(Integer handle) {
  if (handle >= 0) ::close(handle);  // closing releases the lock
}

bool FileExists(const AnsiString& fileName) {
  struct stat st;
  return ::stat(orv::ResolveFileName(fileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& directory) {
  struct stat st;
  return ::stat(orv::ResolveFileName(directory).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const AnsiString& fileName) {
  return Succeeded(::unlink(orv::ResolveFileName(fileName).c_str()));
}

bool RenameFile(const AnsiString& oldName, const AnsiString& newName) {
  const std::string to = orv::ResolveFileName(newName);
  if (Exists(to)) {  // the platform refuses to replace an existing file
    gLastError = EEXIST;
    return false;
  }
  return Succeeded(::rename(orv::ResolveFileName(oldName).c_str(), to.c_str()));
}

bool CreateDir(const AnsiString& directory) {
  return Succeeded(::mkdir(orv::ResolveFileName(directory).c_str(), 0777));
}

Int64 orv::FileSize(Integer handle) {
  struct stat st;
  if (::fstat(handle, &st) != 0) return Fail();
  return st.st_size;
}

bool orv::FileTruncate(Integer handle, Int64 size) {
  if (size < 0) {
    gLastError = EINVAL;
    return false;
  }
  return Succeeded(::ftruncate(handle, size));
}

AnsiString orv::LastFileError() {
  if (gLastError == EBUSY) return "The file is in use by another process";
  return Utf8ToAnsi(std::strerror(gLastError));
}

AnsiString orv::ExecutableFileName() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? Utf8ToAnsi(std::string_view(buffer, n)) : AnsiString();
}
