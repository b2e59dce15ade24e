// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_WORDLIBBUILDER_H
#define QUILMO_TESTS_WORDLIBBUILDER_H

#include <QByteArray>
#include <QString>

/// How a text field of a word-library header is encoded.
enum class TextByteOrder {
    LittleEndian,       ///< no byte-order mark
    LittleEndianMarked, ///< FF FE first
    BigEndianMarked,    ///< FE FF first
};

/// The 16 bytes of a header text field: @p text as UTF-16 in @p order,
/// cut or zero-padded to 16 bytes (so a long text loses its terminator).
QByteArray wordLibTextField(const QString &text,
                            TextByteOrder order = TextByteOrder::LittleEndian);

/// The 72 header bytes of a word library; the fields the tool does not
/// read (bytes 20-35 and 52-67) are filled with 0xAA.
QByteArray wordLibHeader(const QString &name, const QString &author,
                         qint32 entryCount,
                         TextByteOrder order = TextByteOrder::LittleEndian);

/// Writes a word library (header only) to @p path.
bool writeWordLib(const QString &path, const QString &name,
                  const QString &author = QString(), qint32 entryCount = 0);

/**
 * The system word-library directory, emptied or created, when the build
 * points it into the build tree (configure with
 * -DQUILMO_DATA_DIR=<build>/...): a suite killed earlier may have left
 * libraries there.
 * @return an empty string and the reason in @p whyNot otherwise: tests
 * must never write to the real system directory.
 */
QString emptySystemWordLibDir(QString *whyNot);

#endif
