// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/WordLibFile.h"

#include <QFileInfo>
#include <QtEndian>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using namespace WordLibLayout;

// 8 code units need at most 24 bytes of UTF-8; the rest keeps a NUL.
const int textBufferSize = 160;
const char signature[] = {'\x94', '\x19', '\x09', '\x14'};

using HeaderBytes = std::array<char, headerSize>;

/**
 * Reads the first bytes of the regular file at @p path into @p bytes,
 * zero-padded when the file is shorter.
 * @return false when it is not a regular file (errno 0) or cannot be
 * opened (errno says why).
 */
bool readHeaderBytes(const QString &path, HeaderBytes &bytes)
{
    const QByteArray name = encodeFileName(path);
    struct stat status;
    if (stat(name.constData(), &status) != 0)
        return false;
    // Checked before opening: opening a FIFO blocks until a writer comes.
    if (!S_ISREG(status.st_mode)) {
        errno = 0; // not unreadable: no library
        return false;
    }
    // O_NONBLOCK and fstat(): the path may have been swapped since stat().
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    bytes.fill(0);
    size_t done = 0;
    while (regular && done < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (n == 0 || errno != EINTR)
            break; // a read error leaves zeros, as past the end of the file
    }
    close(fd);
    if (!regular)
        errno = 0;
    return regular;
}

bool hasSignature(const HeaderBytes &bytes)
{
    return std::memcmp(bytes.data(), signature, sizeof signature) == 0;
}

QString decodeTextField(HeaderBytes &bytes, int offset)
{
    char text[textBufferSize];
    // A failed conversion still shows the text converted before the fault.
    utf16toutf8(bytes.data() + offset, textFieldSize, text, sizeof text);
    return QString::fromUtf8(text);
}

const ushort escapeBase = 0xDC00;

/// The length of the valid UTF-8 sequence at @p text, or 0 when none
/// starts there. A sequence cut short meets the terminating NUL of the
/// text, which continues none, so nothing past the end is read.
int validUtf8Length(const uchar *text)
{
    const uchar lead = text[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    uint least = 0;
    if ((lead & 0xE0) == 0xC0)
        length = 2, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, least = 0x10000;
    if (length == 0)
        return 0;
    uint codePoint = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (text[i] & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint >= least && codePoint <= 0x10FFFF && !surrogate ? length
                                                                     : 0;
}

/// A lone surrogate that decodeFileName() made of a byte.
bool isEscapedByte(const QString &name, int i)
{
    const ushort unit = name.at(i).unicode();
    return unit >= escapeBase + 0x80 && unit <= escapeBase + 0xFF &&
           (i == 0 || !name.at(i - 1).isHighSurrogate());
}

} // namespace

QString decodeFileName(const QByteArray &name)
{
    QString decoded;
    const auto *bytes = reinterpret_cast<const uchar *>(name.constData());
    // Valid text is decoded a run at a time: a string per character made
    // this a tenth of listing the libraries.
    int runStart = 0;
    for (int i = 0; i <= name.size();) {
        const int length = i < name.size() ? validUtf8Length(bytes + i) : 0;
        if (length > 0) {
            i += length;
            continue;
        }
        decoded += QString::fromUtf8(name.constData() + runStart, i - runStart);
        if (i < name.size())
            decoded.append(QChar(ushort(escapeBase + bytes[i])));
        runStart = ++i;
    }
    return decoded;
}

QByteArray encodeFileName(const QString &name)
{
    QByteArray encoded;
    int runStart = 0;
    for (int i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isEscapedByte(name, i))
            continue;
        encoded += name.mid(runStart, i - runStart).toUtf8();
        if (i < name.size())
            encoded += char(name.at(i).unicode() - escapeBase);
        runStart = i + 1;
    }
    return encoded;
}

bool hasUndecodableBytes(const QString &name)
{
    for (int i = 0; i < name.size(); ++i) {
        if (isEscapedByte(name, i))
            return true;
    }
    return false;
}

QString displayFileName(const QString &name)
{
    QString shown = name;
    for (int i = 0; i < shown.size(); ++i) {
        if (isEscapedByte(name, i))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

int utf16toutf8(char *in, unsigned long inLength, char *out,
                unsigned long outLength)
{
    std::memset(out, 0, outLength);
    // "utf-16": a byte-order mark picks the order, none means little-endian.
    iconv_t converter = iconv_open("utf-8", "utf-16");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return -1;
    size_t inLeft = inLength;
    size_t outLeft = outLength;
    const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    return converted == size_t(-1) ? -1 : 0;
}

bool isValidWordLibFile(const QFileInfo &file)
{
    HeaderBytes bytes;
    return readHeaderBytes(file.absoluteFilePath(), bytes) &&
           hasSignature(bytes);
}

WordLibReadResult readWordLibHeader(const QString &path, WordLibHeader &header)
{
    HeaderBytes bytes;
    if (!readHeaderBytes(path, bytes))
        return WordLibReadResult::OpenFailed;
    if (!hasSignature(bytes))
        return WordLibReadResult::BadSignature;
    header.name = decodeTextField(bytes, nameOffset);
    header.author = decodeTextField(bytes, authorOffset);
    header.entryCount =
        qFromLittleEndian<qint32>(bytes.data() + entryCountOffset);
    return WordLibReadResult::HeaderRead;
}
