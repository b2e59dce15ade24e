// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_SETTINGSFILE_H
#define QUILMO_SETTINGSFILE_H

#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

/**
 * @brief The values of an INI file in QSettings' format, for reading.
 *
 * Only a regular file (or a link to one) of at most 16 MiB is opened:
 * anything else, such as a FIFO or a device in the file's place, reads as
 * an absent file and is never opened, so it cannot block the caller.
 */
class IniSnapshot
{
public:
    /// An empty @p path reads as an absent file.
    explicit IniSnapshot(const QString &path);
    IniSnapshot(IniSnapshot &&other) noexcept;
    ~IniSnapshot();

    /// The value stored under "group/key", or @p defaultValue.
    QVariant value(const QString &key,
                   const QVariant &defaultValue = QVariant()) const;

private:
    std::unique_ptr<QSettings> m_settings;
};

/// The outcome of a write of the settings file.
struct SaveResult {
    /// errno values, and these causes of the tool's own.
    enum Cause {
        Saved = 0,
        NoHome = -1,         ///< no home directory to put the file in
        NotRegularFile = -2, ///< a FIFO, device or socket in its place
        Locked = -3,         ///< another program holds the file's lock
        NotVerified = -4,    ///< what was written does not read back
        TooLarge = -5,       ///< far larger than any settings file of ours
    };

    int cause = Saved;

    bool saved() const { return cause == Saved; }
    /// Why the file was not written, as a sentence for the user.
    QString reason() const;
};

/// Group -> keys (without the group) -> values.
using SettingsGroups = QMap<QString, QMap<QString, QString>>;

/**
 * @brief The tool's settings file (Config::configFilePath()): its only
 * reader and writer.
 */
namespace SettingsFile
{
/// Everything stored in the settings file, read once.
IniSnapshot read();
/// Why read() cannot use the file, as its cause; Saved when it can, or
/// when there is none.
SaveResult readProblem();

/**
 * Stores the values of every group in @p groups, keeping everything else
 * the file holds, in one replace of the file. The file is replaced only by
 * complete content that has been written, synced and read back, with the
 * owner, group and mode of the file it replaces; otherwise it stays as it
 * was, byte for byte. Holds QSettings' lock file ("<file>.lock")
 * meanwhile, so no other QSettings user reads or writes a half-made file.
 */
SaveResult write(const SettingsGroups &groups);
} // namespace SettingsFile

#endif
