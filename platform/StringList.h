#pragma once
// TStringList: an ordered list of text lines with "Name=Value" access, used
// for query texts (one clause per line) and for connection parameters.
#include <QString>
#include <QStringList>
#include <functional>

class TStringList {
public:
    TStringList() = default;
    TStringList(std::initializer_list<QString> lines) : m_lines(lines) {}
    explicit TStringList(const QStringList& lines) : m_lines(lines) {}
    TStringList(const TStringList& other) : m_lines(other.m_lines) {}
    TStringList& operator=(const TStringList& other) { Assign(other); return *this; }

    int Count() const { return int(m_lines.size()); }
    const QString& operator[](int i) const { return m_lines.at(i); }
    QString Strings(int i) const { return m_lines.at(i); }
    void SetStrings(int i, const QString& s);
    QString Last() const { return m_lines.isEmpty() ? QString() : m_lines.last(); }

    int Add(const QString& s);
    void Insert(int index, const QString& s);
    void Delete(int index);
    void Clear();
    void Assign(const TStringList& other);
    void Assign(const QStringList& lines);

    // Lines joined, each followed by CR LF (the last one too).
    QString Text() const;
    void SetText(const QString& text);

    // Searches ignore case.
    int IndexOf(const QString& s) const;
    int IndexOfName(const QString& name) const;
    QString Names(int i) const;
    QString Values(const QString& name) const;
    // Setting an empty value removes the line.
    void SetValue(const QString& name, const QString& value);

    const QStringList& Lines() const { return m_lines; }

    // Called after every change (query texts close their query on change).
    std::function<void()> OnChange;

private:
    void changed() { if (OnChange) OnChange(); }
    QStringList m_lines;
};
