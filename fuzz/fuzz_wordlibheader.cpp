// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as a word-library file: the validity test, the header
// read and the UTF-16 conversion of a text field must agree with each other
// and never read or write out of bounds.
#include "fuzz/FuzzSupport.h"
#include "pages/WordLibFile.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdint>
#include <cstring>

namespace
{
using namespace WordLibLayout;
const int textBufferSize = 160;

/// The header's bytes, zero-padded like a short file reads.
QByteArray paddedHeader(const QByteArray &input)
{
    QByteArray header = input.left(headerSize);
    header.append(headerSize - header.size(), '\0');
    return header;
}

void checkConversion(const QByteArray &field)
{
    char in[textFieldSize];
    std::memcpy(in, field.constData(), textFieldSize);
    char out[textBufferSize];
    std::memset(out, 'x', sizeof out);
    utf16toutf8(in, textFieldSize, out, sizeof out);
    require(std::memchr(out, '\0', sizeof out) != nullptr);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceDebugOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.qlb"));
    const QByteArray input(reinterpret_cast<const char *>(data),
                           static_cast<int>(size));
    writeTo(path, input);

    const QByteArray header = paddedHeader(input);
    checkConversion(header.mid(nameOffset, textFieldSize));
    checkConversion(header.mid(authorOffset, textFieldSize));

    const bool valid = isValidWordLibFile(QFileInfo(path));
    require(valid == header.startsWith(QByteArray("\x94\x19\x09\x14", 4)));
    WordLibHeader decoded;
    const WordLibReadResult result = readWordLibHeader(path, decoded);
    require(result == (valid ? WordLibReadResult::HeaderRead
                             : WordLibReadResult::BadSignature));
    if (valid) {
        qint32 count;
        std::memcpy(&count, header.constData() + entryCountOffset,
                    sizeof count);
        require(decoded.entryCount == qFromLittleEndian(count));
        require(decoded.name.size() <= 8 && decoded.author.size() <= 8);
    }
    return 0;
}
