#pragma once
// A file that takes the place of another only once it is written whole.
//
// The bytes go to a temporary file beside the target (in the same folder,
// so it can be renamed over it). Every write goes straight to the system,
// so a failure is seen at the write that meets it, with the system's reason
// (such as "No space left on device"). Commit() puts the file in the
// target's place only when every byte was written without error, the file
// has reached the disk and holds exactly those bytes, and an optional check
// of its contents agrees; otherwise, and whenever the object goes without a
// commit, the temporary file is removed and a file already at the target
// keeps its bytes. A new file gets the usual permissions, a replaced one
// keeps its own; a target that is a symbolic link is written through it.
//
// With the direct-write fallback, a file whose folder may not be written
// (no file can be made beside it) while the file itself may be is written
// in place instead: the bytes are kept in memory until Commit(), which
// first reserves the room they need and writes only when it has it, so a
// full disk still leaves the file as it was. A failure after that (a disk
// that cannot reserve room ahead) is still seen and reported, but the file
// may then hold part of the new bytes. A folder that cannot hold another
// file for want of room gets no direct write: that failure is reported.
#include <QIODevice>
#include <QString>
#include <functional>

class TReplacementFile : public QIODevice {
    Q_OBJECT
public:
    explicit TReplacementFile(const QString& target, QObject* parent = nullptr);
    ~TReplacementFile() override;
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    QString FileName() const { return m_target; }  // the target, as given
    // Makes the temporary file; false, with the reason in errorString(), when
    // it cannot be made or the target cannot be replaced (a folder, a file
    // that may not be written).
    bool open(OpenMode mode = WriteOnly) override;
    // Looks at the complete temporary file (its path given); returns why it
    // is not what it should be, or an empty text when it is.
    using Check = std::function<QString(const QString& path)>;
    // True when the file now stands at the target; false, with the reason in
    // errorString(), when it does not (the target is then as it was).
    // (In place, the check looks at the target, already written.)
    bool Commit(const Check& check = Check());
    // Gives up: the temporary file is removed, the target left as it was.
    void Discard();
    // Before open(): whether a file that cannot be written beside may be
    // written in place (see above). Meant for small files.
    void SetDirectWriteFallback(bool enabled) { m_directFallback = enabled; }
    // After open(): the target itself is written.
    bool WritesInPlace() const { return m_inPlace; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool fail(int error);
    bool fail(const QString& reason);
    bool openInPlace();
    bool writeInPlace();

    QString m_target;
    QByteArray m_final;      // where the file goes (a link's target resolved)
    QByteArray m_temporary;  // empty when there is none
    int m_fd = -1;
    qint64 m_written = 0;
    bool m_failed = false;
    bool m_directFallback = false;
    bool m_inPlace = false;
    QByteArray m_pending;  // the bytes for a file written in place
};
