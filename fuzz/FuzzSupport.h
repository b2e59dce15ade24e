// SPDX-License-Identifier: GPL-2.0-or-later
// Small helpers shared by the fuzz targets: a broken invariant aborts, so
// libFuzzer keeps the input that broke it.
#ifndef QUILMO_FUZZ_FUZZSUPPORT_H
#define QUILMO_FUZZ_FUZZSUPPORT_H

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdlib>

inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

inline QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    require(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

inline void writeTo(const QString &path, const QByteArray &content)
{
    QFile file(path);
    require(file.open(QIODevice::WriteOnly) &&
            file.write(content) == content.size());
}

/// Debug lines at fuzzing rates are only noise.
inline void silenceDebugOutput()
{
    qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &) {});
}

#endif
