#include "failing_sqlite_vfs.hpp"

#include <stdexcept>

namespace test_support {
namespace {

using Call = FailingSqliteVfs::Call;

FailingSqliteVfs* active = nullptr;
sqlite3_vfs* real_vfs = nullptr;

// Our file: the method table below, then the real VFS's file right behind it.
struct WrappedFile {
  sqlite3_file base;
  sqlite3_file* real;
};

int fault(Call call) { return active->next(call); }

sqlite3_file* real_of(sqlite3_file* file) { return reinterpret_cast<WrappedFile*>(file)->real; }

int file_close(sqlite3_file* file) { return real_of(file)->pMethods->xClose(real_of(file)); }

int file_read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  if (const int error = fault(Call::kRead)) return error;
  return real_of(file)->pMethods->xRead(real_of(file), buffer, amount, offset);
}

int file_write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
  if (const int error = fault(Call::kWrite)) return error;
  return real_of(file)->pMethods->xWrite(real_of(file), data, amount, offset);
}

int file_truncate(sqlite3_file* file, sqlite3_int64 size) {
  if (const int error = fault(Call::kTruncate)) return error;
  return real_of(file)->pMethods->xTruncate(real_of(file), size);
}

int file_sync(sqlite3_file* file, int flags) {
  if (const int error = fault(Call::kSync)) return error;
  return real_of(file)->pMethods->xSync(real_of(file), flags);
}

int file_size(sqlite3_file* file, sqlite3_int64* size) {
  if (const int error = fault(Call::kFileSize)) return error;
  return real_of(file)->pMethods->xFileSize(real_of(file), size);
}

int file_lock(sqlite3_file* file, int level) {
  if (const int error = fault(Call::kLock)) return error;
  return real_of(file)->pMethods->xLock(real_of(file), level);
}

// Releasing never fails here: SQLite treats a failed unlock as unrecoverable.
int file_unlock(sqlite3_file* file, int level) { return real_of(file)->pMethods->xUnlock(real_of(file), level); }

int file_check_reserved_lock(sqlite3_file* file, int* reserved) {
  return real_of(file)->pMethods->xCheckReservedLock(real_of(file), reserved);
}

int file_control(sqlite3_file* file, int operation, void* argument) {
  return real_of(file)->pMethods->xFileControl(real_of(file), operation, argument);
}

int file_sector_size(sqlite3_file* file) { return real_of(file)->pMethods->xSectorSize(real_of(file)); }

int file_device_characteristics(sqlite3_file* file) {
  return real_of(file)->pMethods->xDeviceCharacteristics(real_of(file));
}

int file_shm_map(sqlite3_file* file, int region, int size, int extend, void volatile** mapped) {
  if (const int error = fault(Call::kShmMap)) return error;
  return real_of(file)->pMethods->xShmMap(real_of(file), region, size, extend, mapped);
}

int file_shm_lock(sqlite3_file* file, int offset, int count, int flags) {
  // Like unlocking, releasing a lock of the shared memory always succeeds.
  if ((flags & SQLITE_SHM_LOCK) != 0)
    if (const int error = fault(Call::kShmLock)) return error;
  return real_of(file)->pMethods->xShmLock(real_of(file), offset, count, flags);
}

void file_shm_barrier(sqlite3_file* file) { real_of(file)->pMethods->xShmBarrier(real_of(file)); }

int file_shm_unmap(sqlite3_file* file, int delete_flag) {
  return real_of(file)->pMethods->xShmUnmap(real_of(file), delete_flag);
}

int file_fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** page) {
  return real_of(file)->pMethods->xFetch(real_of(file), offset, amount, page);
}

int file_unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
  return real_of(file)->pMethods->xUnfetch(real_of(file), offset, page);
}

const sqlite3_io_methods kFileMethods = {3,
                                         file_close,
                                         file_read,
                                         file_write,
                                         file_truncate,
                                         file_sync,
                                         file_size,
                                         file_lock,
                                         file_unlock,
                                         file_check_reserved_lock,
                                         file_control,
                                         file_sector_size,
                                         file_device_characteristics,
                                         file_shm_map,
                                         file_shm_lock,
                                         file_shm_barrier,
                                         file_shm_unmap,
                                         file_fetch,
                                         file_unfetch};

int vfs_open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* out_flags) {
  auto* wrapped = reinterpret_cast<WrappedFile*>(file);
  wrapped->base.pMethods = nullptr;
  wrapped->real = reinterpret_cast<sqlite3_file*>(wrapped + 1);
  if (const int error = fault(Call::kOpen)) return error;
  const int opened = real_vfs->xOpen(real_vfs, name, wrapped->real, flags, out_flags);
  if (opened == SQLITE_OK) wrapped->base.pMethods = &kFileMethods;
  return opened;
}

int vfs_delete(sqlite3_vfs*, const char* name, int sync_directory) {
  if (const int error = fault(Call::kDelete)) return error;
  return real_vfs->xDelete(real_vfs, name, sync_directory);
}

int vfs_access(sqlite3_vfs*, const char* name, int flags, int* result) {
  if (const int error = fault(Call::kAccess)) return error;
  return real_vfs->xAccess(real_vfs, name, flags, result);
}

int vfs_full_pathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return real_vfs->xFullPathname(real_vfs, name, size, out);
}

}  // namespace

FailingSqliteVfs& FailingSqliteVfs::instance() {
  static FailingSqliteVfs* const vfs = new FailingSqliteVfs();
  return *vfs;
}

FailingSqliteVfs::FailingSqliteVfs() {
  real_vfs = sqlite3_vfs_find(nullptr);
  if (real_vfs == nullptr || real_vfs->iVersion < 3) throw std::runtime_error("no default SQLite VFS of version 3");
  vfs_ = *real_vfs;
  vfs_.szOsFile = static_cast<int>(sizeof(WrappedFile)) + real_vfs->szOsFile;
  vfs_.zName = kName;
  vfs_.pNext = nullptr;
  vfs_.xOpen = vfs_open;
  vfs_.xDelete = vfs_delete;
  vfs_.xAccess = vfs_access;
  vfs_.xFullPathname = vfs_full_pathname;
  active = this;
  if (sqlite3_vfs_register(&vfs_, 0) != SQLITE_OK) throw std::runtime_error("cannot register the failing VFS");
}

void FailingSqliteVfs::fail(Call call, int nth, int error, bool persistent) {
  reset_counts();
  error_ = error;
  persistent_ = persistent;
  failing_from_ = nth;
  failing_kind_ = static_cast<int>(call);
}

void FailingSqliteVfs::heal() { failing_kind_ = -1; }

void FailingSqliteVfs::reset_counts() {
  for (auto& count : counts_) count = 0;
}

int FailingSqliteVfs::next(Call call) {
  const int number = ++counts_[static_cast<std::size_t>(call)];
  if (failing_kind_ != static_cast<int>(call)) return SQLITE_OK;
  const bool hit = persistent_ ? number >= failing_from_ : number == failing_from_;
  return hit ? error_.load() : SQLITE_OK;
}

}  // namespace test_support
