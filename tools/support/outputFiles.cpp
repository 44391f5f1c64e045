#include "outputFiles.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace lumaveil {

namespace {

constexpr int cleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXCPU};

// The temporaries a signal handler removes: only plain data and lock-free
// atomics, as a handler may read them at any moment. A slot is claimed
// (state 1), filled, then published (state 2).
struct TemporarySlot {
    std::atomic<int> state{0};
    int folder = -1;
    char name[256] = {};
    dev_t device = 0;
    ino_t inode = 0;
};
TemporarySlot temporarySlots[8];

// Removes the folder's entry of that name only while it is still the file
// this run created: whatever has since taken its place stays.
void removeIfOurs(int folder, const char* name, dev_t device, ino_t inode) {
    struct stat entry {};
    if (fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) == 0 && entry.st_dev == device &&
        entry.st_ino == inode) {
        unlinkat(folder, name, 0);
    }
}

extern "C" void removeTemporariesAndReraise(int signal) {
    for (TemporarySlot& slot : temporarySlots) {
        if (slot.state.load() == 2) {
            removeIfOurs(slot.folder, slot.name, slot.device, slot.inode);
        }
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);  // delivered, by the default action, once the handler returns
}

int publishTemporary(int folder, const std::string& name, dev_t device, ino_t inode) {
    for (int i = 0; i < static_cast<int>(std::size(temporarySlots)); ++i) {
        TemporarySlot& slot = temporarySlots[i];
        int free = 0;
        if (name.size() < sizeof slot.name && slot.state.compare_exchange_strong(free, 1)) {
            slot.folder = folder;
            std::memcpy(slot.name, name.c_str(), name.size() + 1);
            slot.device = device;
            slot.inode = inode;
            slot.state.store(2);
            return i;
        }
    }
    return -1;  // more files than slots: not removed by a signal
}

void withdrawTemporary(int slot) {
    if (slot >= 0) {
        temporarySlots[slot].state.store(0);
    }
}

// A name no other run is likely to pick: hidden, after the target, with
// random letters, and no longer than the folder takes (the target cut short
// where it must). It is only ever created exclusively.
std::string temporaryName(const std::string& target, long longestName) {
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr long added = 18;  // ".", ".", 8 letters, ".partial"
    std::size_t kept = 200;
    if (longestName > 0) {  // else no limit
        kept = std::min(kept, static_cast<std::size_t>(std::max(longestName - added, 1L)));
    }
    std::random_device random;
    std::string name = "." + target.substr(0, kept) + ".";
    for (int i = 0; i < 8; ++i) {
        name += letters[random() % (sizeof letters - 1)];
    }
    return name + ".partial";
}

std::string inQuotes(const std::string& text) {
    return "'" + text + "'";
}

// Why the folder's entry of that name cannot be replaced by a file: a folder,
// or a link to one, which would stand for a folder wherever the file is
// looked for; empty when it can.
std::string notReplaceable(int folder, const char* name) {
    struct stat entry {};
    if (fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        return {};
    }
    if (S_ISDIR(entry.st_mode)) {
        return "it is a folder";
    }
    if (S_ISLNK(entry.st_mode) && fstatat(folder, name, &entry, 0) == 0 && S_ISDIR(entry.st_mode)) {
        return "it is a link to a folder";
    }
    return {};
}

// Holds back the signals that would end the process: while the temporaries
// are created and published, and while the targets are replaced, so that
// they are never left half replaced.
class SignalsHeldBack {
public:
    SignalsHeldBack() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : cleanedSignals) {
            sigaddset(&held, signal);
        }
        pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeldBack() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeldBack(const SignalsHeldBack&) = delete;
    SignalsHeldBack& operator=(const SignalsHeldBack&) = delete;

private:
    sigset_t previous_;
};

// Why the folder takes no new files, or empty if it does. An unnamed file
// tells for certain and leaves nothing, whatever ends the run; where the
// folder system makes none, the permissions tell.
std::string takesNoFiles(int folder) {
    const int probe = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (probe >= 0) {
        close(probe);
        return {};
    }
    int error = errno;
    if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL) {
        error = faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
    }
    return error == 0 ? std::string() : std::strerror(error);
}

}  // namespace

OutputFiles::OutputFiles(const std::vector<std::string>& targets,
                         const std::vector<NamedInput>& inputs)
    : inputs_(inputs) {
    const std::filesystem::path first(targets.at(0));
    folderName_ = first.has_parent_path() ? first.parent_path().string() : std::string(".");
    folder_ = open(folderName_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) {
        const int error = errno;
        const std::string reason =
            error == ENOENT ? "the folder " + inQuotes(folderName_) + " does not exist"
            : error == ENOTDIR
                ? inQuotes(folderName_) + " is not a folder"
                : "cannot open the folder " + inQuotes(folderName_) + ": " + std::strerror(error);
        throw OutputError("cannot write " + first.string() + ": " + reason);
    }
    // An input is known by its file: by the entry its path names and by the
    // file that entry leads to, so that a link to it, or the link it was
    // named by, counts as it.
    for (const NamedInput& input : inputs_) {
        struct stat entry {};
        if (lstat(input.path.c_str(), &entry) == 0) {
            inputIdentities_.push_back({&input, entry.st_dev, entry.st_ino});
        }
        if (stat(input.path.c_str(), &entry) == 0) {
            inputIdentities_.push_back({&input, entry.st_dev, entry.st_ino});
        }
    }
    // Every target is checked before anything is rendered: a name longer
    // than the folder takes would fail only at the rename.
    longestName_ = fpathconf(folder_, _PC_NAME_MAX);
    try {
        for (const std::string& target : targets) {
            File file;
            file.target = target;
            file.name = std::filesystem::path(target).filename().string();
            if (longestName_ > 0 && file.name.size() > static_cast<std::size_t>(longestName_)) {
                throw OutputError("cannot write " + target + ": its name is " +
                                  std::to_string(file.name.size()) + " bytes long; the folder " +
                                  inQuotes(folderName_) + " takes names of at most " +
                                  std::to_string(longestName_));
            }
            if (const std::string reason = notReplaceable(folder_, file.name.c_str());
                !reason.empty()) {
                throw OutputError("cannot write " + target + ": " + reason);
            }
            files_.push_back(std::move(file));
            refuseInput(files_.size() - 1);
        }
        if (const std::string reason = takesNoFiles(folder_); !reason.empty()) {
            throw OutputError("cannot write " + files_[0].target + ": cannot create a file in " +
                              inQuotes(folderName_) + ": " + reason);
        }
    } catch (...) {
        close(folder_);
        throw;
    }
}

void OutputFiles::refuseInput(std::size_t i) const {
    const File& file = files_[i];
    for (const int follow : {AT_SYMLINK_NOFOLLOW, 0}) {
        struct stat entry {};
        if (fstatat(folder_, file.name.c_str(), &entry, follow) != 0) {
            continue;
        }
        for (const InputIdentity& input : inputIdentities_) {
            if (input.device == entry.st_dev && input.inode == entry.st_ino) {
                throw OutputError("cannot write " + file.target + ": it is " + input.input->what +
                                  " " + input.input->path + ", which this run reads");
            }
        }
    }
}

void OutputFiles::createTemporaries() {
    if (files_.empty() || files_[0].descriptor >= 0) {
        return;
    }
    // Signals wait from just before the first temporary is made until every
    // one is published to the handler, so that one arriving in between
    // cannot leave a temporary behind.
    const SignalsHeldBack held;
    try {
        for (File& file : files_) {
            file.temporary = temporaryName(file.name, longestName_);
            for (int attempt = 0;; ++attempt) {
                file.descriptor =
                    openat(folder_, file.temporary.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
                if (file.descriptor >= 0) {
                    break;
                }
                const int error = errno;
                if (error != EEXIST || attempt == 100) {
                    throw OutputError("cannot write " + file.target + ": cannot create a file in " +
                                      inQuotes(folderName_) + ": " + std::strerror(error));
                }
                file.temporary = temporaryName(file.name, longestName_);
            }
            struct stat created {};
            fstat(file.descriptor, &created);
            file.device = created.st_dev;
            file.inode = created.st_ino;
        }
        for (File& file : files_) {
            file.slot = publishTemporary(folder_, file.temporary, file.device, file.inode);
        }
    } catch (...) {
        removeTemporaries();
        throw;
    }
}

OutputFiles::~OutputFiles() {
    closeAll();
}

void OutputFiles::closeAll() {
    if (!committed_) {
        removeTemporaries();
    }
    for (const File& file : files_) {
        if (file.descriptor >= 0) {
            close(file.descriptor);
        }
    }
    close(folder_);  // also lets other runs commit
}

void OutputFiles::removeTemporaries() {
    for (File& file : files_) {
        if (file.descriptor >= 0) {
            removeIfOurs(folder_, file.temporary.c_str(), file.device, file.inode);
            withdrawTemporary(file.slot);
            file.slot = -1;
        }
    }
}

void OutputFiles::fail(std::size_t i, const std::string& reason) const {
    std::string targets;
    for (std::size_t k = 0; k < files_.size(); ++k) {
        targets += (k == 0 ? "" : k + 1 == files_.size() ? " and " : ", ") + files_[k].target;
    }
    throw OutputError("cannot write " + files_.at(i).target + ": " + reason + " (" + targets +
                      (files_.size() == 1 ? " is" : " are") + " left as " +
                      (files_.size() == 1 ? "it was)" : "they were)"));
}

void OutputFiles::commit() {
    createTemporaries();
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (fsync(files_[i].descriptor) != 0) {
            fail(i, std::strerror(errno));
        }
    }
    // Runs committing in this folder take turns, so that each one's targets
    // are renamed without another's in between. A folder system that has no
    // such locks still gets each pair whole, only not the last run's.
    while (flock(folder_, LOCK_EX) != 0 && errno == EINTR) {
    }
    // An input may have been linked in a target's place since the check.
    for (std::size_t i = 0; i < files_.size(); ++i) {
        refuseInput(i);
    }
    // Each target is exchanged with its temporary, so that the previous file
    // can be put back if a later rename fails. Without a target it is a plain
    // rename, undone by renaming back; on a folder system that cannot
    // exchange, a plain rename over the target, which cannot be undone.
    enum class Undo { exchangeBack, moveBack, none };
    std::vector<Undo> done;
    {
        SignalsHeldBack held;
        std::string failure;
        for (const File& file : files_) {
            const char* name = file.name.c_str();
            const char* temporary = file.temporary.c_str();
            if (std::string reason = notReplaceable(folder_, name); !reason.empty()) {
                failure = std::move(reason);
                break;
            }
            struct stat existing {};
            const bool exists = fstatat(folder_, name, &existing, AT_SYMLINK_NOFOLLOW) == 0;
            if (exists && renameat2(folder_, temporary, folder_, name, RENAME_EXCHANGE) == 0) {
                done.push_back(Undo::exchangeBack);
            } else if (renameat(folder_, temporary, folder_, name) == 0) {
                done.push_back(exists ? Undo::none : Undo::moveBack);
            } else {
                failure = std::strerror(errno);
                break;
            }
        }
        if (done.size() < files_.size()) {
            for (std::size_t k = done.size(); k-- > 0;) {
                const char* name = files_[k].name.c_str();
                const char* temporary = files_[k].temporary.c_str();
                if (done[k] == Undo::exchangeBack) {
                    renameat2(folder_, temporary, folder_, name, RENAME_EXCHANGE);
                } else if (done[k] == Undo::moveBack) {
                    renameat(folder_, name, folder_, temporary);
                }
            }
            fail(done.size(), failure);
        }
        // The previous files now sit at the temporaries' names.
        for (std::size_t k = 0; k < files_.size(); ++k) {
            if (done[k] == Undo::exchangeBack) {
                unlinkat(folder_, files_[k].temporary.c_str(), 0);
            }
            withdrawTemporary(files_[k].slot);
            files_[k].slot = -1;
        }
        committed_ = true;
    }
    // The renames are made lasting; the targets are already in place, so a
    // failure here has nothing left to undo.
    fsync(folder_);
}

std::optional<ClosedStreams> openClosedStandardStreams() {
    ClosedStreams closed;
    bool* const wasClosed[] = {&closed.input, &closed.output, &closed.error};
    for (int stream = 0; stream <= 2; ++stream) {
        if (fcntl(stream, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free number: this one, as the ones below are open.
            const int opened = open("/dev/null", O_RDWR);
            if (opened != stream) {
                return std::nullopt;
            }
            *wasClosed[stream] = true;
        }
    }
    return closed;
}

void removeTemporariesOnSignals() {
    for (const int signal : cleanedSignals) {
        struct sigaction previous {};
        sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndReraise;
        sigemptyset(&action.sa_mask);
        for (const int other : cleanedSignals) {
            sigaddset(&action.sa_mask, other);
        }
        sigaction(signal, &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

}  // namespace lumaveil
