// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_INISETTING_H
#define QUILMO_INISETTING_H

#include <QByteArray>
#include <QMap>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;

/**
 * @brief One stored line of an INI file, as raw bytes without its line end.
 *
 * The kind name ("IniSettingLine" or "IniCommentLine") tells the kinds
 * apart at run time.
 */
class IniLine
{
public:
    virtual ~IniLine() = default;

    const QByteArray &kind() const { return m_kind; }

    /// Fills the line's fields from its bytes.
    virtual void parse(const QByteArray &text) = 0;
    /// Writes the line's bytes, without a line end.
    virtual void write(QIODevice *out) const = 0;
    /// Whether this line stands for the key @p name (without its section).
    virtual bool matches(const QByteArray &name) const = 0;

protected:
    explicit IniLine(const char *kind) : m_kind(kind) {}

private:
    QByteArray m_kind;
};

/**
 * @brief "key=value". Blanks around "=" belong to the key and the value, so
 * an unchanged line is written back byte for byte.
 */
class IniSettingLine : public IniLine
{
public:
    static const char s_kind[];

    explicit IniSettingLine(const QByteArray &key = QByteArray(),
                            const QByteArray &value = QByteArray());

    void assign(const QByteArray &key, const QByteArray &value);

    /// Splits at the first "="; text without one changes nothing.
    void parse(const QByteArray &text) override;
    void write(QIODevice *out) const override;
    /// True when the key, blanks at either end ignored, is @p name.
    bool matches(const QByteArray &name) const override;

private:
    QByteArray m_key;
    QByteArray m_value;
};

/**
 * @brief A line starting with "#", kept whole. It stands for a key when it
 * is that key commented out: "#" characters, blanks, the key name, blanks,
 * "=". Prose that merely starts with the key name stands for nothing.
 */
class IniCommentLine : public IniLine
{
public:
    static const char s_kind[];

    IniCommentLine();

    void parse(const QByteArray &text) override;
    void write(QIODevice *out) const override;
    bool matches(const QByteArray &name) const override;

private:
    QByteArray m_text;
};

/// A section: its name without brackets and the lines it owns, in order.
class IniSection
{
public:
    explicit IniSection(const QByteArray &name) : m_name(name) {}

    const QByteArray &name() const { return m_name; }
    void append(std::unique_ptr<IniLine> line);
    /// The first line that stands for @p key takes @p value in its place (a
    /// commented-out setting comes back); without one, a line is appended.
    void assign(const QByteArray &key, const QByteArray &value);
    /// "[name]" and the lines, each ended by "\n".
    void write(QIODevice *out) const;
    /// The lines alone, each ended by "\n".
    void writeLines(QIODevice *out) const;

private:
    QByteArray m_name;
    std::vector<std::unique_ptr<IniLine>> m_lines;
};

struct IniDocument;

/**
 * @brief Edits an existing INI file in place, keeping its comments.
 *
 * set() collects assignments "section/key" = value; save() merges them into
 * the loaded lines and replaces the file. Only "\n" ends a line (a "\r"
 * before it stays part of the line); blank and unclassified lines are not
 * written back. Text is converted as UTF-8.
 */
class IniSetting
{
public:
    /// Loads @p path at once; a failed load leaves no document.
    explicit IniSetting(const QString &path);
    ~IniSetting();
    IniSetting(const IniSetting &) = delete;
    IniSetting &operator=(const IniSetting &) = delete;

    /// Replaces the document with the file's lines. False, and the document
    /// kept, when the file is missing or unreadable.
    bool load();
    /// Records a pending value; a later set() of the same key replaces it.
    /// Pending values are kept by save() and merged again by the next one.
    void set(const QString &key, const QString &value);
    /**
     * Merges the pending values in ascending key order, replaces the file
     * atomically and releases the document. Blanks around the key name are
     * dropped; a key without "/" and an entry that would not read back as
     * itself (a line break in it, "=" in the key name) are skipped.
     * False, with the file unchanged,
     * when there is no document (none loaded, or released by an earlier
     * save()), when the file does not exist (it is never created) or when
     * it cannot be replaced.
     */
    bool save();

private:
    void merge();
    void releaseDocument();

    QString m_path;
    std::unique_ptr<IniDocument> m_document;
    QMap<QString, QString> m_pending;
};

#endif
