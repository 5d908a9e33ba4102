#pragma once

// A file layer for the engine that counts its I/O calls and, from a chosen
// call on, makes the disk fail: full, broken, or without power. For a power
// cut it models what had reached the disk: a file's writes since its last
// sync are lost, and so is the creation or deletion of a file unless its
// folder was synced after it. The unix layer syncs the folder on the first
// sync of a journal it created, and on a deletion when asked to (dirSync).
//
// Use: faultVfs().track(folder); setEngineFileLayer(kFaultVfs); open; arm(...);
// act; close everything; disarm(); setEngineFileLayer(nullptr);
// and for a power cut applyPowerCut() before the next open.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <map>
#include <optional>
#include <string>

inline constexpr const char* kFaultVfs = "kovanta-fault";

class FaultVfs {
public:
    enum class Mode { Count, PowerCut, DiskFull, IoError };

    // Every file now in the folder has reached the disk as it is.
    void track(const QString& folder)
    {
        files_.clear();
        const QDir dir(folder);
        for (const QString& name : dir.entryList(QDir::Files)) {
            const std::string path = QFile::encodeName(QFileInfo(dir.filePath(name)).absoluteFilePath()).toStdString();
            File& file = files_[path];
            file.durable = readAll(path);
        }
    }

    // Counts calls from now; from call number at (1-based) on, the fault.
    void arm(Mode mode, int at)
    {
        mode_ = mode;
        at_ = at;
        calls_ = 0;
    }
    // The fault is removed; calls go through (still counted).
    void disarm()
    {
        mode_ = Mode::Count;
        at_ = 0;
    }
    int calls() const { return calls_; }
    bool struck() const { return at_ > 0 && calls_ >= at_; }

    // Puts every tracked file back to what had reached the disk. Call with
    // every connection closed.
    void applyPowerCut()
    {
        for (auto& [path, file] : files_) {
            if (file.durable) {
                QFile out(QString::fromStdString(path));
                if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    out.write(file.durable->data(), qint64(file.durable->size()));
            } else {
                QFile::remove(QString::fromStdString(path));
            }
        }
        files_.clear();
    }

    static FaultVfs& instance()
    {
        static FaultVfs vfs;
        return vfs;
    }

private:
    struct File {
        // What the folder and the file hold after a power cut; none when the
        // file would not be there.
        std::optional<std::string> durable;
        // The folder still names an earlier, deleted file of this name.
        bool ghost = false;
        // The unix layer syncs the folder on the first sync of this file.
        bool dirSyncPending = false;
    };

    struct Handle {
        sqlite3_file base;
        sqlite3_file* real;
        File* file;  // null for the engine's nameless temporary files
        std::string* path;
    };

    FaultVfs()
    {
        real_ = sqlite3_vfs_find(nullptr);
        vfs_ = *real_;
        vfs_.zName = kFaultVfs;
        vfs_.szOsFile = int(sizeof(Handle)) + real_->szOsFile;
        vfs_.pNext = nullptr;
        vfs_.xOpen = &FaultVfs::open;
        vfs_.xDelete = &FaultVfs::remove;
        vfs_.xAccess = &FaultVfs::access;
        methods_ = {};
        methods_.iVersion = 1;
        methods_.xClose = &FaultVfs::closeFile;
        methods_.xRead = &FaultVfs::read;
        methods_.xWrite = &FaultVfs::write;
        methods_.xTruncate = &FaultVfs::truncate;
        methods_.xSync = &FaultVfs::sync;
        methods_.xFileSize = &FaultVfs::fileSize;
        methods_.xLock = &FaultVfs::lock;
        methods_.xUnlock = &FaultVfs::unlock;
        methods_.xCheckReservedLock = &FaultVfs::checkReservedLock;
        methods_.xFileControl = &FaultVfs::fileControl;
        methods_.xSectorSize = &FaultVfs::sectorSize;
        methods_.xDeviceCharacteristics = &FaultVfs::deviceCharacteristics;
        sqlite3_vfs_register(&vfs_, 0);
    }

    static std::optional<std::string> readAll(const std::string& path)
    {
        QFile in(QString::fromStdString(path));
        if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
        return in.readAll().toStdString();
    }

    // One faultable call: SQLITE_OK to go on, else the code to return.
    // A power cut fails this call and every later one; a full disk fails
    // writes; a broken disk fails every call, with the code for its kind.
    int fault(bool isWrite, int ioCode)
    {
        ++calls_;
        if (at_ == 0 || calls_ < at_) return SQLITE_OK;
        switch (mode_) {
        case Mode::Count:
            return SQLITE_OK;
        case Mode::PowerCut:
            return SQLITE_IOERR;
        case Mode::DiskFull:
            return isWrite ? SQLITE_FULL : SQLITE_OK;
        case Mode::IoError:
            return ioCode;
        }
        return SQLITE_OK;
    }

    static Handle* handle(sqlite3_file* f) { return reinterpret_cast<Handle*>(f); }

    static int open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags)
    {
        FaultVfs& self = instance();
        Handle* h = handle(f);
        h->base.pMethods = nullptr;
        h->real = reinterpret_cast<sqlite3_file*>(h + 1);
        h->file = nullptr;
        if (int rc = self.fault(false, SQLITE_CANTOPEN)) return rc;
        const bool existed = name && QFileInfo::exists(QString::fromUtf8(name));
        const int rc = self.real_->xOpen(self.real_, name, h->real, flags, outFlags);
        if (rc != SQLITE_OK) return rc;
        h->base.pMethods = &self.methods_;
        if (name) {
            const std::string path(name);
            auto known = self.files_.find(path);
            if (known == self.files_.end()) {
                known = self.files_.emplace(path, File{}).first;
                if (existed) known->second.durable = readAll(path);
            }
            File& file = known->second;
            if (!existed) {
                file.ghost = file.durable.has_value();
                file.dirSyncPending =
                    flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL);
            }
            h->file = &file;
            h->path = const_cast<std::string*>(&known->first);
        }
        return SQLITE_OK;
    }

    static int remove(sqlite3_vfs*, const char* name, int dirSync)
    {
        FaultVfs& self = instance();
        if (int rc = self.fault(true, SQLITE_IOERR_DELETE)) return rc;
        const int rc = self.real_->xDelete(self.real_, name, dirSync);
        if (rc != SQLITE_OK) return rc;
        auto known = self.files_.find(name);
        if (known != self.files_.end()) {
            if (dirSync) {
                known->second.durable.reset();
                known->second.ghost = false;
            } else {
                known->second.ghost = known->second.durable.has_value();
            }
            known->second.dirSyncPending = false;
        }
        return SQLITE_OK;
    }

    static int access(sqlite3_vfs*, const char* name, int flags, int* result)
    {
        FaultVfs& self = instance();
        if (int rc = self.fault(false, SQLITE_IOERR_ACCESS)) return rc;
        return self.real_->xAccess(self.real_, name, flags, result);
    }

    static int closeFile(sqlite3_file* f)
    {
        Handle* h = handle(f);
        const int rc = h->real->pMethods ? h->real->pMethods->xClose(h->real) : SQLITE_OK;
        h->base.pMethods = nullptr;
        return rc;
    }

    static int read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
    {
        if (int rc = instance().fault(false, SQLITE_IOERR_READ)) return rc;
        return handle(f)->real->pMethods->xRead(handle(f)->real, buffer, amount, offset);
    }

    static int write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset)
    {
        if (int rc = instance().fault(true, SQLITE_IOERR_WRITE)) return rc;
        return handle(f)->real->pMethods->xWrite(handle(f)->real, buffer, amount, offset);
    }

    static int truncate(sqlite3_file* f, sqlite3_int64 size)
    {
        if (int rc = instance().fault(true, SQLITE_IOERR_TRUNCATE)) return rc;
        return handle(f)->real->pMethods->xTruncate(handle(f)->real, size);
    }

    static int sync(sqlite3_file* f, int flags)
    {
        Handle* h = handle(f);
        if (int rc = instance().fault(true, SQLITE_IOERR_FSYNC)) return rc;
        const int rc = h->real->pMethods->xSync(h->real, flags);
        if (rc != SQLITE_OK || !h->file) return rc;
        File& file = *h->file;
        if (file.dirSyncPending) {
            file.dirSyncPending = false;
            file.ghost = false;
        }
        if (!file.ghost) {
            file.durable = readAll(*h->path);
        }
        return rc;
    }

    static int fileSize(sqlite3_file* f, sqlite3_int64* size)
    {
        if (int rc = instance().fault(false, SQLITE_IOERR_FSTAT)) return rc;
        return handle(f)->real->pMethods->xFileSize(handle(f)->real, size);
    }

    static int lock(sqlite3_file* f, int level)
    {
        if (int rc = instance().fault(false, SQLITE_IOERR_LOCK)) return rc;
        return handle(f)->real->pMethods->xLock(handle(f)->real, level);
    }

    // Letting go of a lock touches no data; it always goes through.
    static int unlock(sqlite3_file* f, int level) { return handle(f)->real->pMethods->xUnlock(handle(f)->real, level); }

    static int checkReservedLock(sqlite3_file* f, int* result)
    {
        if (int rc = instance().fault(false, SQLITE_IOERR_CHECKRESERVEDLOCK)) return rc;
        return handle(f)->real->pMethods->xCheckReservedLock(handle(f)->real, result);
    }

    static int fileControl(sqlite3_file* f, int op, void* arg)
    {
        return handle(f)->real->pMethods->xFileControl(handle(f)->real, op, arg);
    }
    static int sectorSize(sqlite3_file* f) { return handle(f)->real->pMethods->xSectorSize(handle(f)->real); }
    static int deviceCharacteristics(sqlite3_file* f)
    {
        return handle(f)->real->pMethods->xDeviceCharacteristics(handle(f)->real);
    }

    sqlite3_vfs* real_;
    sqlite3_vfs vfs_;
    sqlite3_io_methods methods_;
    std::map<std::string, File> files_;
    Mode mode_ = Mode::Count;
    int at_ = 0;
    int calls_ = 0;
};

inline FaultVfs& faultVfs()
{
    return FaultVfs::instance();
}
