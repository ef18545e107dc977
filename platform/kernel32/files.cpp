// Files. Each handle has its own file position. Share modes are honoured between the openers in this
// process: a file is known by its device and inode, and a new opener must allow every access the
// present openers hold, and they must allow the access it asks for.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/kernel32/cp932.h"
#include "platform/kernel32/handle_table.h"

namespace platform::kernel {
namespace {

using FileKey = std::pair<dev_t, ino_t>;

struct FileObject;

struct ShareTable {
  std::mutex mutex;
  std::map<FileKey, std::vector<const FileObject*>> openers;
};

ShareTable& Shares() {
  static auto* shares = new ShareTable;
  return *shares;
}

struct FileObject : KernelObject {
  static constexpr ObjectKind kKind = ObjectKind::File;
  FileObject(int fd, FileKey key, DWORD access, DWORD share)
      : KernelObject(kKind), fd(fd), key(key), access(access), share(share) {}
  ~FileObject() override {
    {
      ShareTable& shares = Shares();
      std::lock_guard<std::mutex> lock(shares.mutex);
      auto it = shares.openers.find(key);
      if (it != shares.openers.end()) {
        std::erase(it->second, this);
        if (it->second.empty()) shares.openers.erase(it);
      }
    }
    close(fd);
  }
  const int fd;
  const FileKey key;
  const DWORD access;  // GENERIC_READ and GENERIC_WRITE
  const DWORD share;   // FILE_SHARE_*
};

// Whether an opener asking for `access` and allowing `share` may join one that holds `other`.
bool Compatible(DWORD access, DWORD share, const FileObject& other) {
  if ((access & GENERIC_READ) && !(other.share & FILE_SHARE_READ)) return false;
  if ((access & GENERIC_WRITE) && !(other.share & FILE_SHARE_WRITE)) return false;
  if ((other.access & GENERIC_READ) && !(share & FILE_SHARE_READ)) return false;
  if ((other.access & GENERIC_WRITE) && !(share & FILE_SHARE_WRITE)) return false;
  return true;
}

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_INVALID_PARAMETER;
  }
}

// A Windows path in CP932 as a host path: UTF-8, with '/' for '\'. The conversion comes first, so a
// trail byte 0x5C of a double-byte character is never taken for a separator.
std::string HostPath(LPCSTR path) {
  std::string host = Cp932ToUtf8(path, std::char_traits<char>::length(path));
  std::replace(host.begin(), host.end(), '\\', '/');
  return host;
}

// Whether the directory that would hold the file exists (Windows tells a missing file from a missing
// directory).
bool ParentExists(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;
  struct stat info;
  return stat(slash == 0 ? "/" : path.substr(0, slash).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Opens (or creates) the host file as the disposition says; tells whether the file was there
// before. Returns -1 with errno set on failure. Never truncates.
int OpenHost(const std::string& path, DWORD access, DWORD disposition, bool* existed) {
  int flags = O_CLOEXEC;
  bool read = access & GENERIC_READ, write = access & GENERIC_WRITE;
  flags |= (read && write) ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  if (disposition == CREATE_NEW) {
    *existed = false;
    return open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
  }
  bool mayCreate = disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
  for (;;) {
    int fd = open(path.c_str(), flags);
    if (fd >= 0 || errno != ENOENT || !mayCreate) {
      *existed = fd >= 0;
      return fd;
    }
    fd = open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    if (fd >= 0 || errno != EEXIST) {
      *existed = false;
      return fd;
    }
    // Made by someone else between the two calls: open it as existing.
  }
}

std::shared_ptr<FileObject> GetFile(HANDLE handle, DWORD neededAccess) {
  std::shared_ptr<FileObject> file = HandleGet<FileObject>(handle);
  if (file && neededAccess && !(file->access & neededAccess)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return file;
}

}  // namespace
}  // namespace platform::kernel

using namespace platform::kernel;

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  (void)lpSecurityAttributes;
  (void)dwFlagsAndAttributes;
  (void)hTemplateFile;
  if (!lpFileName || !*lpFileName) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING ||
      (dwCreationDisposition == TRUNCATE_EXISTING && !(dwDesiredAccess & GENERIC_WRITE))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  DWORD access = dwDesiredAccess & (GENERIC_READ | GENERIC_WRITE);
  DWORD share = dwShareMode & (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  std::string path = HostPath(lpFileName);

  // Opening, checking the share modes and registering happen under one lock, so two openers cannot
  // both pass the check; truncation waits until the check has passed.
  std::shared_ptr<FileObject> file;
  bool existed = false;
  {
    ShareTable& shares = Shares();
    std::lock_guard<std::mutex> lock(shares.mutex);
    int fd = OpenHost(path, access, dwCreationDisposition, &existed);
    if (fd < 0) {
      SetLastError(errno == ENOENT && !ParentExists(path) ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
      return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
      close(fd);
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    FileKey key{info.st_dev, info.st_ino};
    auto found = shares.openers.find(key);
    if (found != shares.openers.end()) {
      for (const FileObject* other : found->second) {
        if (!Compatible(access, share, *other)) {
          close(fd);
          SetLastError(ERROR_SHARING_VIOLATION);
          return INVALID_HANDLE_VALUE;
        }
      }
    }
    bool truncate = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING;
    if (truncate && existed && ftruncate(fd, 0) != 0) {
      int error = errno;
      close(fd);
      SetLastError(ErrorFromErrno(error));
      return INVALID_HANDLE_VALUE;
    }
    file = std::make_shared<FileObject>(fd, key, access, share);
    shares.openers[key].push_back(file.get());
  }
  // Outside the lock: should the table be full, the object's destructor unregisters it.
  HANDLE handle = HandleInsert(file);
  if (!handle) return INVALID_HANDLE_VALUE;
  bool reportExisting = existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

namespace {

// The file of a ReadFile or WriteFile call, opened with `access`, if the call's other arguments are
// valid; null with the error code otherwise.
std::shared_ptr<FileObject> GetFileForTransfer(HANDLE hFile, DWORD access, LPCVOID buffer, DWORD count,
                                               LPOVERLAPPED overlapped) {
  std::shared_ptr<FileObject> file = GetFile(hFile, access);
  if (file && (overlapped || (!buffer && count))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return file;
}

}  // namespace

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  std::shared_ptr<FileObject> file = GetFileForTransfer(hFile, GENERIC_READ, lpBuffer, nNumberOfBytesToRead, lpOverlapped);
  if (!file) return FALSE;
  // Reads until the count is met or the file ends; a read at the end succeeds with 0 bytes.
  DWORD total = 0;
  while (total < nNumberOfBytesToRead) {
    ssize_t got = read(file->fd, static_cast<char*>(lpBuffer) + total, nNumberOfBytesToRead - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      SetLastError(ErrorFromErrno(errno));
      if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
      return FALSE;
    }
    if (got == 0) break;
    total += static_cast<DWORD>(got);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
  return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  std::shared_ptr<FileObject> file =
      GetFileForTransfer(hFile, GENERIC_WRITE, lpBuffer, nNumberOfBytesToWrite, lpOverlapped);
  if (!file) return FALSE;
  DWORD total = 0;
  while (total < nNumberOfBytesToWrite) {
    ssize_t put = write(file->fd, static_cast<const char*>(lpBuffer) + total, nNumberOfBytesToWrite - total);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      SetLastError(put < 0 && errno == ENOSPC ? ERROR_DISK_FULL : ErrorFromErrno(errno));
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
      return FALSE;
    }
    total += static_cast<DWORD>(put);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
  return TRUE;
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  std::shared_ptr<FileObject> file = GetFile(hFile, 0);
  if (!file) return INVALID_SET_FILE_POINTER;
  // Without a high part the distance is a signed 32-bit value; with one, the two form 64 bits.
  int64_t distance = lpDistanceToMoveHigh
                         ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                                static_cast<uint32_t>(lDistanceToMove))
                         : lDistanceToMove;
  int64_t base;
  switch (dwMoveMethod) {
    case FILE_BEGIN: base = 0; break;
    case FILE_CURRENT: base = lseek(file->fd, 0, SEEK_CUR); break;
    case FILE_END: {
      struct stat info;
      base = fstat(file->fd, &info) == 0 ? info.st_size : -1;
      break;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_SET_FILE_POINTER;
  }
  if (base < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_SET_FILE_POINTER;
  }
  if ((distance < 0 && base + distance < 0) || (distance > 0 && base > INT64_MAX - distance)) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  int64_t target = base + distance;
  if (!lpDistanceToMoveHigh && target > static_cast<int64_t>(UINT32_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(file->fd, static_cast<off_t>(target), SEEK_SET) < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  // A position whose low part is 0xFFFFFFFF is told apart from failure by the last error.
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(target);
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  std::shared_ptr<FileObject> file = GetFile(hFile, 0);
  if (!file) return INVALID_FILE_SIZE;
  struct stat info;
  if (fstat(file->fd, &info) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_FILE_SIZE;
  }
  uint64_t size = static_cast<uint64_t>(info.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}
