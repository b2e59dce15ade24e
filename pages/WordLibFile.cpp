// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/WordLibFile.h"

#include <QFile>
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
 * @return false when it is not a regular file or cannot be opened.
 */
bool readHeaderBytes(const QString &path, HeaderBytes &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    // Checked before opening: opening a FIFO blocks until a writer comes.
    if (stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
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

} // namespace

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
