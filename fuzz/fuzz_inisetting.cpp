// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as an INI file: load, merge a few keys, save. Beyond the
// sanitizers, a second load and save of the result must write the very same
// bytes: every line written reads back as itself, and merging is idempotent.
#include "config/IniSetting.h"
#include "fuzz/FuzzSupport.h"

#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceDebugOutput(); // every save logs a line per section
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    const QByteArray input(reinterpret_cast<const char *>(data),
                           static_cast<int>(size));
    writeTo(path, input);

    IniSetting ini(path);
    // The seeds hold "#CandidateWordNumber=5" in [Output], to be revived.
    ini.set(QStringLiteral("Output/CandidateWordNumber"), QStringLiteral("9"));
    ini.set(QStringLiteral("CandidateWordNumber"), QStringLiteral("7"));
    ini.set(QStringLiteral("Fuzz New Section/key"), QStringLiteral("value"));
    ini.set(QStringLiteral("Output/Injected"), QStringLiteral("1\n[Evil]"));
    // A key taken from the input itself: arbitrary sections and names.
    ini.set(QString::fromLatin1(input.left(input.indexOf('\n'))),
            QStringLiteral("fuzz"));
    require(ini.save());
    const QByteArray saved = contentsOf(path);

    require(ini.load());
    require(ini.save());
    require(contentsOf(path) == saved);
    return 0;
}
