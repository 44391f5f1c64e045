// Files of one run that replace their targets together or not at all.
#pragma once

#include <sys/types.h>

#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumaveil {

// A file that could not be written; the message is one line that names it
// and says that every target is as it was.
struct OutputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A file a run reads, by what it is ("the font"), that no target may replace.
struct NamedInput {
    std::string what;
    std::string path;
};

// Each target gets a temporary of this run's own beside it, created
// exclusively and never through an existing link, once its content is ready:
// the first write() makes them all, so that nothing is left behind by a run
// that is killed before (by SIGKILL too). commit() flushes them to disk and
// renames them over their targets together: runs that commit to the same
// targets at once take turns, and if any rename fails the ones before it are
// undone (where the folder system can exchange two files, as Linux's local
// ones can), so every target holds this run's file or its previous one.
// Until then, and on any exception, the temporaries are removed, and so are
// they when the process ends by a signal (see removeTemporariesOnSignals).
// The signals are held back on the calling thread from just before a
// temporary is made until the handler knows it: write while no other thread
// could take a signal in between (the tools write once their rendering
// threads have ended).
class OutputFiles {
public:
    // Checks what can be checked before anything is written: the folder
    // exists, is a folder and takes new files, no target is a folder, and no
    // target is one of the inputs, by its file rather than its name (a link
    // or hard link to an input is one). All targets share one folder. Throws
    // OutputError.
    explicit OutputFiles(const std::vector<std::string>& targets,
                         const std::vector<NamedInput>& inputs = {});
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // Writes target i's content through `encode`, which is handed the open
    // temporary and throws std::runtime_error with the reason on failure.
    template <class Encode>
    void write(std::size_t i, Encode&& encode) {
        createTemporaries();
        try {
            encode(files_.at(i).descriptor);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& error) {
            fail(i, error.what());
        }
    }

    // Flushes every temporary and its folder to disk and renames them all
    // over their targets. Throws OutputError, leaving every target as it was.
    void commit();

private:
    struct File {
        std::string target;     // as given, for messages
        std::string name;       // the target's name in the folder
        std::string temporary;  // the temporary's name in the folder
        int descriptor = -1;
        int slot = -1;  // where the signal handler finds it
        dev_t device = 0;
        ino_t inode = 0;
    };
    // A file an input's path names, or leads to.
    struct InputIdentity {
        const NamedInput* input;
        dev_t device;
        ino_t inode;
    };
    void createTemporaries();
    // Throws OutputError if target i is an input.
    void refuseInput(std::size_t i) const;
    [[noreturn]] void fail(std::size_t i, const std::string& reason) const;
    void removeTemporaries();
    void closeAll();  // removing the temporaries unless committed

    int folder_ = -1;
    std::string folderName_;
    long longestName_ = -1;
    std::vector<File> files_;
    std::vector<NamedInput> inputs_;
    std::vector<InputIdentity> inputIdentities_;
    bool committed_ = false;
};

// From now on SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE and SIGXCPU (the
// CPU-time limit's) remove the temporaries of every OutputFiles still open,
// then end the process by the signal as it would have; a signal the process
// was started ignoring stays ignored. SIGXFSZ is ignored, so that a write past the file-size limit
// fails as a write error instead of killing the process.
void removeTemporariesOnSignals();

// Which of the standard streams the process was started without.
struct ClosedStreams {
    bool input = false;
    bool output = false;
    bool error = false;
};

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that
// no file opened later takes a standard stream's number and gets what is
// printed. Call it first, before anything is opened; says which were
// closed, so that a command whose output is all it does can fail, or
// nothing if one cannot be opened.
std::optional<ClosedStreams> openClosedStandardStreams();

}  // namespace lumaveil
