#pragma once
// A file that takes the place of another only once it is written whole.
//
// The bytes go to a temporary file beside the target (in the same folder,
// so it can be renamed over it). The temporary file has no name while it is
// written, so nothing is left of it when the program ends without a commit,
// however it ends; Commit() gives it a short name of its own and renames it
// over the target, so any name the file system takes can be written. Where
// the file system has no unnamed files, the temporary file is named from the
// start (".kvsys-" and twelve letters or digits, then ".tmp", whatever the
// target is called) and locked while it is written; such a file that an
// earlier run left behind (an ordinary file of this user with no other
// name, no longer locked) is removed by the next write to that folder.
//
// Every write goes straight to the system, so a failure is seen at the write
// that meets it, with the system's reason (such as "No space left on
// device"). Commit() puts the file in the target's place only when every
// byte was written without error, the file has reached the disk and holds
// exactly those bytes, and an optional check of its contents agrees; the
// folder is flushed after, so the new file is what a power loss leaves.
// Otherwise, and whenever the object goes without a commit, the temporary
// file goes and a file already at the target keeps its bytes. A new file
// gets the usual permissions. A replaced one keeps its owner, group, rights,
// access control list and user extended attributes (each set only where the
// new file has another; a file system that keeps none of an owner or rights,
// such as FAT, shows every file alike and asks for none); the temporary
// file beside it grants nobody else anything until it has the old file's
// rights. A target that is a symbolic link is written through it, unless
// it is the path's last part and lies in a sticky folder that everyone may
// write and belongs to neither the writer nor the folder's owner. A target
// that is there and is not an ordinary file (a folder, a named pipe, a
// device, a socket) is refused and left as it is.
//
// A file is written in place instead where its folder may not be written
// (no file can be made beside it) while the file itself may be, where the
// writer may not give a new file the old one's owner, group, rights or
// attributes, or the file system refuses them, and where the file has more
// than one name (so every name shows the new bytes). The bytes then go to an
// unnamed file in the system's temporary folder until Commit(), which
// checks them there, holds the target against other programs, writes the
// part of them past the file's end first and only then copies the rest
// over the old bytes and cuts the file to their length. Any failure (a full
// disk, a failed check) leaves the file with its old bytes. A folder that
// cannot hold another file for want of room gets no direct write: that
// failure is reported.
//
// A file is held with either kind of lock programs take, for writing or
// reading (a file system that takes no locks is written unheld). One that
// another program holds is waited for up to five seconds, once for each
// write or read, and said to be read or written by another program as it
// is; one another program has held past that wait is tried at once, not
// waited for, for a minute or until it is found free. A file that is read, changed and
// written back (HoldToChange) is held from the read to the end of the
// commit, whichever way it is written, and read only through ReadWhole
// otherwise, so no change another program makes meanwhile is lost and none
// is read half written.
#include <QIODevice>
#include <QString>
#include <functional>
#include <sys/stat.h>

class TReplacementFile : public QIODevice {
    Q_OBJECT
public:
    explicit TReplacementFile(const QString& target, QObject* parent = nullptr);
    ~TReplacementFile() override;
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    QString FileName() const { return m_target; }  // the target, as given
    // Makes the temporary file; false, with the reason in errorString(), when
    // it cannot be made or the target cannot be replaced (not an ordinary
    // file, a file that may not be written).
    bool open(OpenMode mode = WriteOnly) override;
    // Holds the target (or, where there is none yet, its folder) against
    // other programs from here until the commit or discard, and reads what
    // it holds into `bytes` (empty when there is no file); open() then makes
    // the file that writes it anew. False, with the reason, as open().
    bool HoldToChange(QByteArray& bytes);
    // Reads the held target again, through an opening of its own.
    bool ReadAgain(QByteArray& bytes);
    // Looks at the complete file (its path given); returns why it is not
    // what it should be, or an empty text when it is.
    using Check = std::function<QString(const QString& path)>;
    // True when the file now stands at the target; false, with the reason in
    // errorString(), when it does not (the target is then as it was, but
    // for the case above).
    bool Commit(const Check& check = Check());
    // Gives up: the temporary file goes, the target is left as it was.
    void Discard();
    // After open(): the target itself is written.
    bool WritesInPlace() const { return m_inPlace; }
    bool isSequential() const override { return true; }

    // Whether temporary files are made without a name where the file system
    // offers it (the default); turned off, every one is named from the
    // start, as on a file system without unnamed files. Returns the setting
    // it replaces.
    static bool SetUnnamedFiles(bool enabled);
    // Whether room is reserved ahead on a disk that can reserve it (the
    // default); turned off, every write in place goes as on a disk that
    // cannot. Returns the setting it replaces.
    static bool SetRoomReservation(bool enabled);

    // Why a file that is there, links followed, cannot be written as a file
    // (a folder, a named pipe, a device, a socket); empty when it can or is
    // not there.
    static QString NotAFile(const QString& path);
    // Reads a whole file while it is held against writers (waiting for one,
    // as a writer waits), so never a writer's half-written bytes; one held
    // past the wait is read as it stands. False when it cannot be read.
    static bool ReadWhole(const QString& path, QByteArray& bytes);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool fail(int error);
    bool fail(const QString& reason);
    bool find(bool hold);
    bool make();
    int holdTarget(struct stat& existing, bool& replacing);
    bool openInPlace();
    void dropTemporary();
    bool writeInPlace(const Check& check);
    bool giveUp(int error);
    bool giveUp(const QString& reason);
    QString stagingReason(int error) const;

    QString m_target;
    QByteArray m_final;      // where the file goes (a link's target resolved)
    QByteArray m_folder;     // the folder it is in
    QByteArray m_temporary;  // the temporary file's name; empty while it has none
    QByteArray m_staging;    // the folder of the staged bytes of a file written in place
    int m_fd = -1;           // the file written: beside the target, or the staged bytes
    int m_targetFd = -1;     // the target, when it is written in place or held
    int m_folderFd = -1;     // its folder, when it is held while the file is made
    struct stat m_existing {};  // what stands at the target
    bool m_replacing = false;   // an ordinary file stands there, to be replaced
    qint64 m_written = 0;
    bool m_failed = false;
    bool m_inPlace = false;
    bool m_held = false;     // the target is held from the start
};
