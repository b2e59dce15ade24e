// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_WORDLIBFILE_H
#define QUILMO_WORDLIBFILE_H

#include <QString>

class QFileInfo;

/**
 * @brief The decoded header of a word-library (".qlb") file.
 *
 * Layout of the first 72 bytes, integers little-endian; the rest of the
 * file (the dictionary body) belongs to the engine and is never read here:
 *   0  4  signature 0x14091994 (bytes 94 19 09 14)
 *   4 16  name, UTF-16, at most 8 code units (a byte-order mark is one)
 *  36 16  author, same encoding
 *  68  4  number of entries, signed
 * Bytes 20-35 and 52-67 are the engine's. A file shorter than 72 bytes
 * reads as if it were padded with zeros.
 */
/// Byte offsets and sizes of the header.
namespace WordLibLayout
{
const int signatureSize = 4;
const int nameOffset = 4;
const int authorOffset = 36;
const int textFieldSize = 16;
const int entryCountOffset = 68;
const int headerSize = 72;
} // namespace WordLibLayout

struct WordLibHeader {
    QString name;
    QString author;
    int entryCount = 0;
};

enum class WordLibReadResult {
    OpenFailed,   ///< not a regular file (errno 0), or unreadable (errno set)
    BadSignature, ///< read, but the first four bytes are not the signature
    HeaderRead,   ///< the header was decoded
};

/**
 * Converts @p inLength bytes of UTF-16 (byte-order mark honoured, little-
 * endian without one) at @p in to UTF-8 in @p out, which is zero-filled
 * first, so a short text is NUL-terminated.
 * @return 0, or -1 when the converter is missing or the input is invalid
 * or cut (e.g. half a surrogate pair); @p out then holds what was converted
 * before the fault.
 */
int utf16toutf8(char *in, unsigned long inLength, char *out,
                unsigned long outLength);

/**
 * A file name (or path) from the file system as a string that keeps every
 * byte: UTF-8 is decoded, and each byte that is not part of valid UTF-8 is
 * kept as the lone surrogate U+DC00 + byte. QFile::decodeName() turns such
 * bytes into U+FFFD, and the file can then no longer be reached.
 */
QString decodeFileName(const QByteArray &name);
/// The bytes of a name made by decodeFileName(), or of any other path.
QByteArray encodeFileName(const QString &name);
/// Whether @p name holds bytes that are not UTF-8.
bool hasUndecodableBytes(const QString &name);
/// @p name for the user: undecodable bytes shown as U+FFFD.
QString displayFileName(const QString &name);

/// True when @p file is a regular file (or a link to one) that can be
/// read and starts with the signature. Nothing else is checked. Anything
/// else (a FIFO, a device) is refused without being opened, so a listing
/// or an add can never block on it.
bool isValidWordLibFile(const QFileInfo &file);

/// Reads the header of the file at @p path; @p header is filled only for
/// WordLibReadResult::HeaderRead. At most the first 72 bytes are read,
/// whatever the size of the file.
WordLibReadResult readWordLibHeader(const QString &path, WordLibHeader &header);

#endif
