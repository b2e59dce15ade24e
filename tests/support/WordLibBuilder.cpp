// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/WordLibBuilder.h"

#include "config/Config.h"
#include "pages/WordLibFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QtEndian>

using WordLibLayout::textFieldSize;

QByteArray wordLibTextField(const QString &text, TextByteOrder order)
{
    QByteArray field;
    if (order == TextByteOrder::LittleEndianMarked)
        field.append("\xFF\xFE", 2);
    else if (order == TextByteOrder::BigEndianMarked)
        field.append("\xFE\xFF", 2);
    for (const QChar unit : text) {
        char bytes[2];
        if (order == TextByteOrder::BigEndianMarked)
            qToBigEndian<quint16>(unit.unicode(), bytes);
        else
            qToLittleEndian<quint16>(unit.unicode(), bytes);
        field.append(bytes, 2);
    }
    field.append(QByteArray(textFieldSize, '\0'));
    field.truncate(textFieldSize);
    return field;
}

QByteArray wordLibHeader(const QString &name, const QString &author,
                         qint32 entryCount, TextByteOrder order)
{
    char count[4];
    qToLittleEndian<qint32>(entryCount, count);
    const QByteArray unread(textFieldSize, '\xAA');
    return QByteArray("\x94\x19\x09\x14", 4) + wordLibTextField(name, order) +
           unread + wordLibTextField(author, order) + unread +
           QByteArray(count, 4);
}

bool writeWordLib(const QString &path, const QString &name,
                  const QString &author, qint32 entryCount)
{
    return writeFile(path, wordLibHeader(name, author, entryCount));
}

QString emptySystemWordLibDir(QString *whyNot)
{
    const QString buildDir =
        QDir::cleanPath(QStringLiteral(QUILMO_TEST_BUILD_DIR)) +
        QLatin1Char('/');
    const QString dir = Config::wordLibDirPath(WordLibDirPathSystem);
    if (!QDir::cleanPath(dir).startsWith(buildDir)) {
        *whyNot = QStringLiteral("the system word-library directory %1 is "
                                 "not in the build tree %2; configure with "
                                 "-DQUILMO_DATA_DIR=%2test-data/share/quilmo/")
                      .arg(dir, buildDir);
        return QString();
    }
    if (!QDir(dir).removeRecursively() || !QDir().mkpath(dir)) {
        *whyNot = QStringLiteral("cannot empty %1").arg(dir);
        return QString();
    }
    return dir;
}
