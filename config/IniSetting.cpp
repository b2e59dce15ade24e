// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/IniSetting.h"

#include "config/Logging.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

const char IniSettingLine::s_kind[] = "IniSettingLine";
const char IniCommentLine::s_kind[] = "IniCommentLine";

/// The parsed file. Lines before the first header belong to no section;
/// they are kept, and written back first.
struct IniDocument {
    IniSection leading{QByteArray()};
    std::vector<std::unique_ptr<IniSection>> sections;
};

namespace
{
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isHash(char c)
{
    return c == '#';
}

template <typename Predicate>
QByteArray withoutLeading(const QByteArray &text, Predicate skip)
{
    int begin = 0;
    while (begin < text.size() && skip(text.at(begin)))
        ++begin;
    return text.mid(begin);
}

QByteArray trimBlanks(const QByteArray &text)
{
    const QByteArray tail = withoutLeading(text, isBlank);
    int end = tail.size();
    while (end > 0 && isBlank(tail.at(end - 1)))
        --end;
    return tail.left(end);
}

enum class LineKind { Header, Comment, Setting, Dropped };

LineKind kindOf(const QByteArray &line)
{
    if (line.startsWith('[') && line.endsWith(']'))
        return LineKind::Header;
    if (line.startsWith('#'))
        return LineKind::Comment;
    if (line.contains('='))
        return LineKind::Setting;
    return LineKind::Dropped;
}

template <typename Line> std::unique_ptr<IniLine> parsed(const QByteArray &text)
{
    auto line = std::make_unique<Line>();
    line->parse(text);
    return line;
}

std::unique_ptr<IniDocument> read(QIODevice *in)
{
    auto document = std::make_unique<IniDocument>();
    IniSection *current = &document->leading;
    // readLine() takes a physical line of any length, and is empty only at
    // the end: every line read holds at least its "\n".
    for (QByteArray line = in->readLine(); !line.isEmpty();
         line = in->readLine()) {
        if (line.endsWith('\n'))
            line.chop(1);
        switch (kindOf(line)) {
        case LineKind::Header:
            document->sections.push_back(
                std::make_unique<IniSection>(line.mid(1, line.size() - 2)));
            current = document->sections.back().get();
            break;
        case LineKind::Comment:
            current->append(parsed<IniCommentLine>(line));
            break;
        case LineKind::Setting:
            current->append(parsed<IniSettingLine>(line));
            break;
        case LineKind::Dropped:
            break;
        }
    }
    return document;
}

/// Whether "[section]" and "key=value" read back as that same entry. A line
/// break in a value, for one, would otherwise inject lines of its own.
bool readsBack(const QByteArray &section, const QByteArray &key,
               const QByteArray &value)
{
    const QByteArray line = key + '=' + value;
    return !section.contains('\n') && !line.contains('\n') &&
           !key.contains('=') && kindOf(line) == LineKind::Setting;
}

IniSection &sectionNamed(IniDocument &document, const QByteArray &name)
{
    auto &sections = document.sections;
    const auto found = std::find_if(
        sections.begin(), sections.end(),
        [&name](const auto &section) { return section->name() == name; });
    if (found != sections.end())
        return **found;
    sections.push_back(std::make_unique<IniSection>(name));
    return *sections.back();
}
} // namespace

IniSettingLine::IniSettingLine(const QByteArray &key, const QByteArray &value)
    : IniLine(s_kind), m_key(key), m_value(value)
{
}

void IniSettingLine::assign(const QByteArray &key, const QByteArray &value)
{
    m_key = key;
    m_value = value;
}

void IniSettingLine::parse(const QByteArray &text)
{
    const int equals = text.indexOf('=');
    if (equals >= 0)
        assign(text.left(equals), text.mid(equals + 1));
}

void IniSettingLine::write(QIODevice *out) const
{
    out->write(m_key + '=' + m_value);
}

bool IniSettingLine::matches(const QByteArray &name) const
{
    return trimBlanks(m_key) == name;
}

IniCommentLine::IniCommentLine() : IniLine(s_kind) {}

void IniCommentLine::parse(const QByteArray &text)
{
    m_text = text;
}

void IniCommentLine::write(QIODevice *out) const
{
    out->write(m_text);
}

bool IniCommentLine::matches(const QByteArray &name) const
{
    const QByteArray body =
        withoutLeading(withoutLeading(m_text, isHash), isBlank);
    return body.startsWith(name) &&
           withoutLeading(body.mid(name.size()), isBlank).startsWith('=');
}

void IniSection::append(std::unique_ptr<IniLine> line)
{
    m_lines.push_back(std::move(line));
}

void IniSection::assign(const QByteArray &key, const QByteArray &value)
{
    const auto found =
        std::find_if(m_lines.begin(), m_lines.end(),
                     [&key](const auto &line) { return line->matches(key); });
    if (found == m_lines.end())
        m_lines.push_back(std::make_unique<IniSettingLine>(key, value));
    else if ((*found)->kind() == IniSettingLine::s_kind)
        static_cast<IniSettingLine &>(**found).assign(key, value);
    else
        *found = std::make_unique<IniSettingLine>(key, value);
}

void IniSection::write(QIODevice *out) const
{
    out->write('[' + m_name + "]\n");
    writeLines(out);
}

void IniSection::writeLines(QIODevice *out) const
{
    for (const auto &line : m_lines) {
        line->write(out);
        out->putChar('\n');
    }
}

IniSetting::IniSetting(const QString &path) : m_path(path)
{
    load();
}

IniSetting::~IniSetting() = default;

bool IniSetting::load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_document = read(&file);
    return true;
}

void IniSetting::set(const QString &key, const QString &value)
{
    m_pending.insert(key, value);
}

bool IniSetting::save()
{
    // QSaveFile would create a missing file; this editor only edits.
    if (!m_document || !QFileInfo(m_path).isFile())
        return false;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    merge();
    m_document->leading.writeLines(&file);
    for (const auto &section : m_document->sections)
        section->write(&file);
    // Qt 5's commit() misses a failure of its own final flush (a full disk)
    // and puts the truncated file in place; flushing first catches it.
    if (!file.flush())
        file.cancelWriting();
    // On failure the old file stays and the document keeps the merged
    // lines; merging the same values again changes nothing, so a retry
    // writes what this attempt would have.
    if (!file.commit())
        return false;
    releaseDocument();
    return true;
}

void IniSetting::merge()
{
    for (auto entry = m_pending.cbegin(); entry != m_pending.cend(); ++entry) {
        const QByteArray key = entry.key().toUtf8();
        const int slash = key.indexOf('/');
        if (slash < 0)
            continue;
        const QByteArray section = key.left(slash);
        const QByteArray name = trimBlanks(key.mid(slash + 1));
        const QByteArray value = entry.value().toUtf8();
        if (readsBack(section, name, value))
            sectionNamed(*m_document, section).assign(name, value);
    }
}

void IniSetting::releaseDocument()
{
    // "Destory" and "destory" are spelt so on purpose, as they always were.
    for (auto &section : m_document->sections) {
        section.reset();
        qCDebug(quilmoLog) << "Destory";
    }
    m_document.reset();
    qCDebug(quilmoLog) << "destory";
}
