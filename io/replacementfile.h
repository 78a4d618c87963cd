#pragma once

#include <QFile>

// A file written under a name of its own beside its target and renamed over the target only
// when complete. Whatever stands under the target's name (a link to a file of the user, a pipe,
// a device) is replaced, never written through or truncated, and a write that is given up
// leaves the target as it was.
class ReplacementFile : public QFile
{
    Q_OBJECT

public:
    explicit ReplacementFile(const QString &target, QObject *parent = nullptr);
    // Removes the new file when it was not committed.
    ~ReplacementFile() override;

    QString targetName() const { return m_target; }

    using QFile::open;
    // Creates the new file (never through a link or onto anything already there) and opens it
    // with mode, which must be write-only. On failure fileName() is the target again, so that
    // a message names the file the user knows.
    bool open(OpenMode mode) override;
    // Closes the new file and puts it in the target's place; false, with errorString(), when
    // that failed, and the new file is gone.
    bool commit();
    // Closes and removes the new file; the target stays as it was.
    void discard();

private:
    QString m_target;
    bool m_created = false;
};
