#include "SqlDialect.h"
#include "Exceptions.h"
#include <QSet>
#include <QVector>
#include <algorithm>
#include <iterator>
#include <memory>

namespace {

struct Token {
    enum Kind { Space, Comment, String, QuotedName, BracketName, Number, Word, Punct };
    Kind kind;
    QString text;
};

QVector<Token> tokenize(const QString& s)
{
    QVector<Token> out;
    int i = 0;
    const int n = int(s.size());
    auto isWordStart = [](QChar c) { return c.isLetter() || c == QChar('_') || c == QChar('@') || c == QChar('#'); };
    auto isWordChar = [](QChar c) { return c.isLetterOrNumber() || c == QChar('_') || c == QChar('@') || c == QChar('#') || c == QChar('$'); };
    while (i < n) {
        const QChar c = s[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            out.push_back({Token::Space, s.mid(start, i - start)});
        } else if (c == QChar('-') && i + 1 < n && s[i + 1] == QChar('-')) {
            while (i < n && s[i] != QChar('\n'))
                ++i;
            out.push_back({Token::Comment, s.mid(start, i - start)});
        } else if (c == QChar('/') && i + 1 < n && s[i + 1] == QChar('*')) {
            const int end = s.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            out.push_back({Token::Comment, s.mid(start, i - start)});
        } else if (c == QChar('\'') || ((c == QChar('N') || c == QChar('n')) && i + 1 < n && s[i + 1] == QChar('\''))) {
            if (c != QChar('\''))
                ++i;  // the N of N'...'
            ++i;
            while (i < n) {
                if (s[i] == QChar('\'')) {
                    if (i + 1 < n && s[i + 1] == QChar('\'')) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({Token::String, s.mid(start, i - start)});
        } else if (c == QChar('"')) {
            ++i;
            while (i < n && s[i] != QChar('"'))
                ++i;
            i = qMin(i + 1, n);
            out.push_back({Token::QuotedName, s.mid(start, i - start)});
        } else if (c == QChar('[')) {
            while (i < n && s[i] != QChar(']'))
                ++i;
            i = qMin(i + 1, n);
            out.push_back({Token::BracketName, s.mid(start, i - start)});
        } else if (c.isDigit() || (c == QChar('.') && i + 1 < n && s[i + 1].isDigit())) {
            while (i < n && s[i].isDigit())
                ++i;
            if (i < n && s[i] == QChar('.')) {
                ++i;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            // An exponent only when digits follow it; "12E" before a keyword
            // stays a number and a word.
            if (i + 1 < n && (s[i] == QChar('e') || s[i] == QChar('E'))) {
                int j = i + 1;
                if (j < n && (s[j] == QChar('+') || s[j] == QChar('-')))
                    ++j;
                if (j < n && s[j].isDigit()) {
                    i = j;
                    while (i < n && s[i].isDigit())
                        ++i;
                }
            }
            out.push_back({Token::Number, s.mid(start, i - start)});
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(s[i]))
                ++i;
            out.push_back({Token::Word, s.mid(start, i - start)});
        } else {
            // Two-character operators stay one token.
            static const QStringList two = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                            QStringLiteral("!="), QStringLiteral("||")};
            if (i + 1 < n && two.contains(s.mid(i, 2)))
                i += 2;
            else
                ++i;
            out.push_back({Token::Punct, s.mid(start, i - start)});
        }
    }
    return out;
}

bool isWord(const Token& t, const char* w)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}
bool isPunct(const Token& t, const char* p)
{
    return t.kind == Token::Punct && t.text == QLatin1String(p);
}

// A parse node: a token, or a parenthesised group of nodes.
struct Node {
    Token tok{Token::Space, QString()};
    bool group = false;
    QVector<Node> children;  // without the parentheses
    // Worked out once, when first asked (-1: not yet): whether the group's
    // expression, or one of its comma-separated arguments, is a string; for
    // CASE and END words, the index of the partner word in the same list.
    mutable signed char stringy = -1;
    mutable signed char argStringy = -1;
    mutable int partner = -1;
};

// Deeper nesting (parentheses, CASE inside CASE, joins inside joins) is
// refused rather than followed: the statements the program writes nest a few
// levels, and the translation's own stack stays small.
constexpr int kMaxDepth = 200;

[[noreturn]] void tooDeep()
{
    throw EDatabaseError(QStringLiteral("The statement nests more than %1 levels deep").arg(kMaxDepth));
}

// The tree of groups, built without recursion. The tokens are balanced.
QVector<Node> buildTree(const QVector<Token>& toks)
{
    QVector<QVector<Node>> stack(1);
    for (const Token& t : toks) {
        if (isPunct(t, "(")) {
            if (stack.size() > kMaxDepth)
                tooDeep();
            stack.push_back({});
        } else if (isPunct(t, ")")) {
            Node g;
            g.group = true;
            g.children = std::move(stack.back());
            stack.pop_back();
            stack.back().push_back(std::move(g));
        } else {
            Node leaf;
            leaf.tok = t;
            stack.back().push_back(std::move(leaf));
        }
    }
    return std::move(stack.front());
}

void render(const QVector<Node>& list, QString& out)
{
    for (const Node& nd : list) {
        if (nd.group) {
            out += QChar('(');
            render(nd.children, out);
            out += QChar(')');
        } else {
            out += nd.tok.text;
        }
    }
}

bool isSpace(const Node& n)
{
    return !n.group && (n.tok.kind == Token::Space || n.tok.kind == Token::Comment);
}

Node leafOf(Token::Kind k, const QString& text)
{
    Node n;
    n.tok = {k, text};
    return n;
}

Node groupOf(QVector<Node> children)
{
    Node g;
    g.group = true;
    g.children = std::move(children);
    return g;
}

// A stretch [from, to) of one list.
struct Range {
    int from;
    int to;
};

// The list split at its top-level commas.
QVector<Range> argRanges(const QVector<Node>& list)
{
    QVector<Range> out;
    int from = 0;
    for (int i = 0; i < list.size(); ++i) {
        if (!list[i].group && isPunct(list[i].tok, ",")) {
            out.push_back({from, i});
            from = i + 1;
        }
    }
    out.push_back({from, int(list.size())});
    return out;
}

QVector<Node> slice(const QVector<Node>& list, Range r)
{
    return list.mid(r.from, r.to - r.from);
}

QVector<Node> joinArgs(const QVector<QVector<Node>>& args)
{
    QVector<Node> out;
    for (int i = 0; i < args.size(); ++i) {
        if (i)
            out.push_back(leafOf(Token::Punct, QStringLiteral(",")));
        out += args[i];
    }
    return out;
}

int nextNonSpace(const QVector<Node>& list, int i, int to)
{
    while (i < to && isSpace(list[i]))
        ++i;
    return i;
}
int prevNonSpace(const QVector<Node>& list, int i, int from)
{
    while (i >= from && isSpace(list[i]))
        --i;
    return i;
}
int nextNonSpace(const QVector<Node>& list, int i)
{
    return nextNonSpace(list, i, int(list.size()));
}

const QSet<QString>& stringFunctions()
{
    static const QSet<QString> s = {QStringLiteral("substr"), QStringLiteral("rtrim"), QStringLiteral("ltrim"),
                                    QStringLiteral("trim"), QStringLiteral("upper"), QStringLiteral("lower"),
                                    QStringLiteral("replace"), QStringLiteral("char"), QStringLiteral("nchar"),
                                    QStringLiteral("space"), QStringLiteral("replicate")};
    return s;
}

// Pairs every CASE of the list with its END (the words' `partner`), so a
// CASE expression is crossed in one step. Unpaired words keep -1.
void linkCases(const QVector<Node>& list)
{
    QVector<int> open;
    for (int i = 0; i < list.size(); ++i) {
        const Node& n = list[i];
        n.partner = -1;
        if (n.group)
            continue;
        if (isWord(n.tok, "CASE")) {
            if (open.size() >= kMaxDepth)
                tooDeep();
            open.push_back(i);
        } else if (isWord(n.tok, "END") && !open.isEmpty()) {
            const int c = open.takeLast();
            list[c].partner = i;
            n.partner = c;
        }
    }
}

bool exprStringy(const QVector<Node>& list, Range r);
bool groupStringy(const Node& g);

// Stringiness of the primary [first, last] of the list.
bool primaryStringy(const QVector<Node>& list, int first, int last)
{
    const Node& end = list[last];
    if (!end.group && end.tok.kind == Token::String)
        return true;
    if (end.group) {
        if (first < last) {
            // function call: name ( ... )
            const QString fn = list[first].tok.text.toLower();
            if (stringFunctions().contains(fn))
                return true;
            if (fn == QLatin1String("cast") || fn == QLatin1String("convert")) {
                for (const Node& c : end.children)
                    if (!c.group && c.tok.kind == Token::Word &&
                        (c.tok.text.contains(QLatin1String("char"), Qt::CaseInsensitive) ||
                         c.tok.text.compare(QLatin1String("text"), Qt::CaseInsensitive) == 0))
                        return true;
                return false;
            }
            if (fn == QLatin1String("ifnull") || fn == QLatin1String("coalesce") || fn == QLatin1String("nullif")) {
                if (end.argStringy < 0) {
                    bool any = false;
                    for (const Range& a : argRanges(end.children))
                        any = any || exprStringy(end.children, a);
                    end.argStringy = any ? 1 : 0;
                }
                return end.argStringy == 1;
            }
            return false;
        }
        return groupStringy(end);
    }
    if (isWord(end.tok, "END") && end.partner == first) {
        // CASE ... END: a string when one of its results is.
        if (end.stringy < 0) {
            bool result = false;
            bool found = false;
            int branchFrom = first + 1;
            for (int i = first + 1; i <= last && !found; ++i) {
                const Node& c = list[i];
                if (c.group)
                    continue;
                if (isWord(c.tok, "CASE") && c.partner > i) {
                    i = c.partner;  // a nested CASE is one primary of the branch
                    continue;
                }
                const bool keyword = isWord(c.tok, "WHEN") || isWord(c.tok, "ELSE") || isWord(c.tok, "THEN") || i == last;
                if (!keyword)
                    continue;
                if (result && exprStringy(list, {branchFrom, i}))
                    found = true;
                result = isWord(c.tok, "THEN") || isWord(c.tok, "ELSE");
                branchFrom = i + 1;
            }
            end.stringy = found ? 1 : 0;
        }
        return end.stringy == 1;
    }
    return false;
}

bool isChainStop(const Node& w)
{
    return isWord(w.tok, "AND") || isWord(w.tok, "OR") || isWord(w.tok, "NOT") || isWord(w.tok, "IN") ||
           isWord(w.tok, "THEN") || isWord(w.tok, "ELSE") || isWord(w.tok, "WHEN") || isWord(w.tok, "AS") ||
           isWord(w.tok, "ON") || isWord(w.tok, "SELECT") || isWord(w.tok, "WHERE") || isWord(w.tok, "FROM");
}

// Start index of the primary ending at `last` (not before `from`).
int primaryStart(const QVector<Node>& list, int last, int from)
{
    const Node& end = list[last];
    if (end.group) {
        const int p = prevNonSpace(list, last - 1, from);
        if (p >= from && !list[p].group && list[p].tok.kind == Token::Word && !isChainStop(list[p]))
            return p;
        return last;
    }
    if (isWord(end.tok, "END"))
        return end.partner >= from && end.partner < last ? end.partner : last;
    // qualified names: a.b.c
    int i = last;
    while (true) {
        const int dot = prevNonSpace(list, i - 1, from);
        if (dot < from || list[dot].group || !isPunct(list[dot].tok, "."))
            break;
        const int name = prevNonSpace(list, dot - 1, from);
        if (name < from || list[name].group)
            break;
        i = name;
    }
    return i;
}

// End index of the primary that starts at `first` (before `to`).
int primaryEnd(const QVector<Node>& list, int first, int to)
{
    const Node& st = list[first];
    if (st.group)
        return first;
    if (isWord(st.tok, "CASE"))
        return st.partner > first && st.partner < to ? st.partner : to - 1;
    if (st.tok.kind == Token::Word) {
        const int nx = nextNonSpace(list, first + 1, to);
        if (nx < to && list[nx].group)
            return nx;  // function call
    }
    int i = first;
    while (true) {
        const int dot = nextNonSpace(list, i + 1, to);
        if (dot >= to || list[dot].group || !isPunct(list[dot].tok, "."))
            break;
        const int name = nextNonSpace(list, dot + 1, to);
        if (name >= to || list[name].group)
            break;
        i = name;
    }
    return i;
}

bool isOperand(const Node& n)
{
    if (n.group)
        return true;
    switch (n.tok.kind) {
    case Token::String:
    case Token::Number:
    case Token::QuotedName:
    case Token::BracketName:
    case Token::Word:
        return true;
    default:
        return false;
    }
}

// Finds the "+" chains of a stretch of one level and tells whether one holds
// a string; with `convert`, the plusses of those chains are collected.
bool plusChains(const QVector<Node>& list, Range r, QVector<int>* convert)
{
    bool anyStringy = false;
    int i = r.from;
    while (i < r.to) {
        if (list[i].group || !isPunct(list[i].tok, "+")) {
            ++i;
            continue;
        }
        const int l = prevNonSpace(list, i - 1, r.from);
        if (l < r.from || !isOperand(list[l])) {
            ++i;
            continue;  // unary plus
        }
        // The chain's first operand: the one before this "+" (chains are
        // met from their first "+", so nothing before it belongs).
        const int chainStart = primaryStart(list, l, r.from);
        QVector<int> plusses;
        bool stringy = false;
        int pos = chainStart;
        int next = i + 1;
        while (true) {
            const int e = primaryEnd(list, pos, r.to);
            if (primaryStringy(list, pos, e))
                stringy = true;
            next = e + 1;
            const int op = nextNonSpace(list, e + 1, r.to);
            if (op >= r.to || list[op].group || !isPunct(list[op].tok, "+"))
                break;
            const int nx = nextNonSpace(list, op + 1, r.to);
            if (nx >= r.to || !isOperand(list[nx])) {
                next = op + 1;
                break;
            }
            plusses.push_back(op);
            pos = nx;
        }
        if (stringy && convert)
            *convert += plusses;
        anyStringy = anyStringy || stringy;
        i = qMax(next, i + 1);
    }
    return anyStringy;
}

bool exprStringy(const QVector<Node>& list, Range r)
{
    if (plusChains(list, r, nullptr))
        return true;
    const int first = nextNonSpace(list, r.from, r.to);
    if (first >= r.to)
        return false;
    const int end = primaryEnd(list, first, r.to);
    if (nextNonSpace(list, end + 1, r.to) < r.to)
        return false;  // more than one primary and no "+" chain: not a string value we know of
    return primaryStringy(list, first, end);
}

bool groupStringy(const Node& g)
{
    if (g.stringy < 0)
        g.stringy = exprStringy(g.children, {0, int(g.children.size())}) ? 1 : 0;
    return g.stringy == 1;
}

bool isClauseEnd(const Node& n)
{
    return !n.group && (isWord(n.tok, "WHERE") || isWord(n.tok, "GROUP") || isWord(n.tok, "ORDER") ||
                        isWord(n.tok, "HAVING") || isWord(n.tok, "UNION") || isPunct(n.tok, ";"));
}

// SQL Server lets joins nest without parentheses: "A JOIN B JOIN C ON c ON b"
// (the last ON belongs to the join of B). SQLite needs the inner joins in
// parentheses: "A JOIN (B JOIN C ON c) ON b". Each ON belongs to the nearest
// JOIN still without one; when later JOINs came after that one, its table and
// those joins are wrapped together. One pass: the list is rebuilt as it is
// read, and a wrap takes the nodes after its JOIN (an inner wrap already
// counts as one node).
void nestJoins(QVector<Node>& list)
{
    bool any = false;
    for (const Node& n : list)
        any = any || (!n.group && isWord(n.tok, "JOIN"));
    if (!any)
        return;
    QVector<Node> out;
    out.reserve(list.size());
    struct Open {
        int at;       // position in `out` just after the JOIN word
        int joinsAt;  // the number of JOINs seen when it was met
    };
    QVector<Open> open;
    int joins = 0;
    for (Node& n : list) {
        if (isClauseEnd(n)) {
            open.clear();
        } else if (!n.group && isWord(n.tok, "JOIN")) {
            out.push_back(std::move(n));
            if (open.size() >= kMaxDepth)
                tooDeep();
            open.push_back({int(out.size()), ++joins});
            continue;
        } else if (!n.group && isWord(n.tok, "ON") && !open.isEmpty()) {
            const Open j = open.takeLast();
            if (j.joinsAt != joins) {
                // The join's table and the joins after it, without the blanks
                // around them, become one group.
                int from = j.at;
                while (from < out.size() && isSpace(out[from]))
                    ++from;
                int to = int(out.size());
                while (to > from && isSpace(out[to - 1]))
                    --to;
                QVector<Node> inner;
                inner.reserve(to - from);
                for (int k = from; k < to; ++k)
                    inner.push_back(std::move(out[k]));
                QVector<Node> tail;
                for (int k = to; k < out.size(); ++k)
                    tail.push_back(std::move(out[k]));
                out.resize(from);
                out.push_back(groupOf(std::move(inner)));
                out += tail;
                // Joins wrapped here are done with; the JOIN counter now
                // stands for this JOIN again.
                joins = j.joinsAt;
            }
        }
        out.push_back(std::move(n));
    }
    list = std::move(out);
}

// A value RIGHT(x, n) may name twice: a number, a name or a qualified name.
bool isSimple(const QVector<Node>& arg)
{
    int count = 0;
    for (const Node& n : arg) {
        if (isSpace(n))
            continue;
        if (n.group || !(n.tok.kind == Token::Number || n.tok.kind == Token::Word || n.tok.kind == Token::BracketName ||
                         n.tok.kind == Token::QuotedName || isPunct(n.tok, ".")))
            return false;
        if (++count > 5)
            return false;
    }
    return count > 0;
}

// The parenthesised list of a table's lock hints ("(UPDLOCK, HOLDLOCK)"):
// hint words and commas only.
bool isLockHints(const Node& g)
{
    static const char* const hints[] = {"HOLDLOCK", "NOLOCK", "NOWAIT", "PAGLOCK", "READCOMMITTED",
                                        "READCOMMITTEDLOCK", "READPAST", "READUNCOMMITTED", "REPEATABLEREAD",
                                        "ROWLOCK", "SERIALIZABLE", "TABLOCK", "TABLOCKX", "UPDLOCK", "XLOCK"};
    if (!g.group)
        return false;
    bool any = false;
    bool wantHint = true;
    for (const Node& c : g.children) {
        if (isSpace(c))
            continue;
        if (c.group)
            return false;
        if (wantHint) {
            const bool hint = std::any_of(std::begin(hints), std::end(hints),
                                          [&c](const char* h) { return isWord(c.tok, h); });
            if (!hint)
                return false;
            any = true;
        } else if (!isPunct(c.tok, ",")) {
            return false;
        }
        wantHint = !wantHint;
    }
    return any && !wantHint;
}

// "SELECT [DISTINCT|ALL] TOP n ..." becomes "SELECT [DISTINCT|ALL] ... LIMIT n"
// (n as a number or in parentheses). Only a level that is one SELECT: with
// UNION and the like SQL Server's TOP limits the first part alone, and
// PERCENT or WITH TIES have no LIMIT of their own; those stay as written.
void topToLimit(QVector<Node>& list)
{
    const int n = int(list.size());
    const int select = nextNonSpace(list, 0);
    if (select >= n || list[select].group || !isWord(list[select].tok, "SELECT"))
        return;
    int top = nextNonSpace(list, select + 1);
    if (top < n && !list[top].group && (isWord(list[top].tok, "DISTINCT") || isWord(list[top].tok, "ALL")))
        top = nextNonSpace(list, top + 1);
    if (top >= n || list[top].group || !isWord(list[top].tok, "TOP"))
        return;
    const int count = nextNonSpace(list, top + 1);
    if (count >= n)
        return;
    const Node* number = &list[count];
    if (number->group) {
        const int only = nextNonSpace(number->children, 0);
        if (only >= number->children.size() || nextNonSpace(number->children, only + 1) < number->children.size())
            return;
        number = &number->children[only];
    }
    if (number->group || number->tok.kind != Token::Number || number->tok.text.contains(QChar('.')))
        return;
    const QString rows = number->tok.text;
    const int after = nextNonSpace(list, count + 1);
    if (after < n && !list[after].group && (isWord(list[after].tok, "PERCENT") || isWord(list[after].tok, "WITH")))
        return;
    const int end = prevNonSpace(list, n - 1, 0);
    for (int i = 0; i < n; ++i) {
        const Node& x = list[i];
        if (!x.group && (isWord(x.tok, "UNION") || isWord(x.tok, "INTERSECT") || isWord(x.tok, "EXCEPT") ||
                         isWord(x.tok, "LIMIT") || (isPunct(x.tok, ";") && i != end)))
            return;
    }
    // TOP, its number and the blanks after them go; LIMIT follows the last
    // word of the statement (before a closing semicolon and comments).
    list.remove(top, after - top);
    int last = prevNonSpace(list, int(list.size()) - 1, 0);
    if (last >= 0 && !list[last].group && isPunct(list[last].tok, ";"))
        last = prevNonSpace(list, last - 1, 0);
    const Node limit[] = {leafOf(Token::Space, QStringLiteral(" ")), leafOf(Token::Word, QStringLiteral("LIMIT")),
                          leafOf(Token::Space, QStringLiteral(" ")), leafOf(Token::Number, rows)};
    for (int k = 0; k < 4; ++k)
        list.insert(last + 1 + k, limit[k]);
}

void translateLevel(QVector<Node>& list, int depth)
{
    if (depth > 2 * kMaxDepth)
        tooDeep();
    // Inner levels first, so function rewrites below see translated arguments.
    for (Node& n : list)
        if (n.group)
            translateLevel(n.children, depth + 1);

    QVector<Node> out;
    out.reserve(list.size());
    for (int i = 0; i < list.size(); ++i) {
        Node n = list[i];
        if (!n.group && n.tok.kind == Token::Word) {
            // dbo. qualifier
            if (n.tok.text.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0 && i + 1 < list.size() &&
                !list[i + 1].group && isPunct(list[i + 1].tok, ".")) {
                ++i;
                continue;
            }
        }
        if (!n.group && n.tok.kind == Token::BracketName &&
            n.tok.text.compare(QLatin1String("[dbo]"), Qt::CaseInsensitive) == 0 && i + 1 < list.size() &&
            !list[i + 1].group && isPunct(list[i + 1].tok, ".")) {
            ++i;  // [dbo]. as well
            continue;
        }
        if (!n.group && isWord(n.tok, "WITH")) {
            // A table's lock hints: SQLite locks the whole file for a
            // transaction that writes, so they have nothing to say there.
            const int nx = nextNonSpace(list, i + 1);
            if (nx < list.size() && isLockHints(list[nx])) {
                i = nx;
                continue;
            }
        }
        if (!n.group && n.tok.kind == Token::Word) {
            // DELETE without FROM
            if (isWord(n.tok, "DELETE")) {
                const int nx = nextNonSpace(list, i + 1);
                if (nx < list.size() && !list[nx].group &&
                    (list[nx].tok.kind == Token::Word || list[nx].tok.kind == Token::BracketName ||
                     list[nx].tok.kind == Token::QuotedName) &&
                    !isWord(list[nx].tok, "FROM")) {
                    out.push_back(n);
                    out.push_back(leafOf(Token::Space, QStringLiteral(" ")));
                    out.push_back(leafOf(Token::Word, QStringLiteral("FROM")));
                    continue;
                }
            }
            // Function calls
            const int nx = nextNonSpace(list, i + 1);
            if (nx < list.size() && list[nx].group) {
                const QString fn = n.tok.text.toUpper();
                const QVector<Node>& children = list[nx].children;
                const QVector<Range> ranges = argRanges(children);
                auto arg = [&](int k) { return slice(children, ranges[k]); };
                auto call = [&](const QString& name, const QVector<QVector<Node>>& a) {
                    out.push_back(leafOf(Token::Word, name));
                    out.push_back(groupOf(joinArgs(a)));
                    i = nx;
                };
                auto textArg = [](const QString& t) {
                    return QVector<Node>{leafOf(Token::Number, t)};
                };
                if (fn == QLatin1String("LEFT") && ranges.size() == 2) {
                    call(QStringLiteral("substr"), {arg(0), textArg(QStringLiteral("1")), arg(1)});
                    continue;
                }
                if (fn == QLatin1String("RIGHT") && ranges.size() == 2) {
                    // The last n characters: start -n, length n (n = 0 gives '').
                    if (isSimple(arg(1))) {
                        QVector<Node> start{leafOf(Token::Punct, QStringLiteral("-")), groupOf(arg(1))};
                        call(QStringLiteral("substr"), {arg(0), start, arg(1)});
                    } else {
                        // n named once, so nested RIGHTs grow the text only
                        // by a constant each.
                        QVector<Node> inner{
                            leafOf(Token::Word, QStringLiteral("SELECT")), leafOf(Token::Space, QStringLiteral(" ")),
                            leafOf(Token::Word, QStringLiteral("substr")),
                            groupOf({leafOf(Token::Word, QStringLiteral("kv_x")), leafOf(Token::Punct, QStringLiteral(",")),
                                     leafOf(Token::Punct, QStringLiteral("-")), leafOf(Token::Word, QStringLiteral("kv_n")),
                                     leafOf(Token::Punct, QStringLiteral(",")), leafOf(Token::Word, QStringLiteral("kv_n"))}),
                            leafOf(Token::Space, QStringLiteral(" ")), leafOf(Token::Word, QStringLiteral("FROM")),
                            leafOf(Token::Space, QStringLiteral(" "))};
                        QVector<Node> values{leafOf(Token::Word, QStringLiteral("SELECT")),
                                             leafOf(Token::Space, QStringLiteral(" "))};
                        values += arg(0);
                        values += {leafOf(Token::Space, QStringLiteral(" ")), leafOf(Token::Word, QStringLiteral("AS")),
                                   leafOf(Token::Space, QStringLiteral(" ")), leafOf(Token::Word, QStringLiteral("kv_x")),
                                   leafOf(Token::Punct, QStringLiteral(","))};
                        values += arg(1);
                        values += {leafOf(Token::Space, QStringLiteral(" ")), leafOf(Token::Word, QStringLiteral("AS")),
                                   leafOf(Token::Space, QStringLiteral(" ")), leafOf(Token::Word, QStringLiteral("kv_n"))};
                        inner.push_back(groupOf(values));
                        Node sub = groupOf(inner);
                        sub.stringy = 1;
                        out.push_back(sub);
                        i = nx;
                    }
                    continue;
                }
                if (fn == QLatin1String("SUBSTRING") && ranges.size() == 3) {
                    call(QStringLiteral("substr"), {arg(0), arg(1), arg(2)});
                    continue;
                }
                if (fn == QLatin1String("LEN") && ranges.size() == 1) {
                    // LEN ignores trailing blanks.
                    call(QStringLiteral("length"), {{leafOf(Token::Word, QStringLiteral("rtrim")), groupOf(arg(0))}});
                    continue;
                }
                if (fn == QLatin1String("ISNULL") && ranges.size() == 2) {
                    call(QStringLiteral("ifnull"), {arg(0), arg(1)});
                    continue;
                }
                if (fn == QLatin1String("GETDATE") && ranges.size() == 1 &&
                    nextNonSpace(children, 0) >= children.size()) {
                    call(QStringLiteral("datetime"),
                         {{leafOf(Token::String, QStringLiteral("'now'"))}, {leafOf(Token::String, QStringLiteral("'localtime'"))}});
                    continue;
                }
            }
        }
        // N'...' (Unicode literal): SQLite's literals are Unicode already. A
        // literal right before it stays a literal of its own.
        if (!n.group && n.tok.kind == Token::String && !n.tok.text.startsWith(QChar('\''))) {
            n.tok.text.remove(0, 1);
            if (!out.isEmpty() && !out.last().group && out.last().tok.kind == Token::String)
                out.push_back(leafOf(Token::Space, QStringLiteral(" ")));
            out.push_back(n);
            continue;
        }
        // A number glued to a word: "12AND" -> "12 AND".
        if (!n.group && n.tok.kind == Token::Number && i + 1 < list.size() && !list[i + 1].group &&
            list[i + 1].tok.kind == Token::Word) {
            out.push_back(n);
            out.push_back(leafOf(Token::Space, QStringLiteral(" ")));
            continue;
        }
        out.push_back(n);
    }
    list = std::move(out);
    nestJoins(list);
    linkCases(list);
    QVector<int> plusses;
    plusChains(list, {0, int(list.size())}, &plusses);
    for (int p : plusses)
        list[p].tok.text = QStringLiteral("||");
    topToLimit(list);
}

// True when every literal, name and comment is closed and the parentheses
// pair up: only such a text is translated.
bool wellFormed(const QString& text, const QVector<Token>& toks)
{
    int depth = 0;
    for (const Token& t : toks) {
        const QString& x = t.text;
        switch (t.kind) {
        case Token::String:
            if (x.size() < (x.startsWith(QChar('\'')) ? 2 : 3) || !x.endsWith(QChar('\'')))
                return false;
            break;
        case Token::QuotedName:
            if (x.size() < 2 || !x.endsWith(QChar('"')))
                return false;
            break;
        case Token::BracketName:
            if (!x.endsWith(QChar(']')))
                return false;
            break;
        case Token::Comment:
            if (x.startsWith(QStringLiteral("/*")) && (x.size() < 4 || !x.endsWith(QStringLiteral("*/"))))
                return false;
            break;
        case Token::Punct:
            if (x == QLatin1String("("))
                ++depth;
            else if (x == QLatin1String(")") && --depth < 0)
                return false;
            break;
        default:
            break;
        }
    }
    // A line comment that runs to the end would swallow what a rewrite adds
    // after it.
    Q_UNUSED(text);
    return depth == 0 && (toks.isEmpty() || toks.last().kind != Token::Comment ||
                          !toks.last().text.startsWith(QStringLiteral("--")));
}

}  // namespace

namespace SqlDialect {
QString ToSqlite(const QString& text)
{
    const QVector<Token> toks = tokenize(text);
    // A text with an open literal, name or comment, or with parentheses that
    // do not pair, goes to the server as written: it reports the error on
    // the text the program wrote.
    if (!wellFormed(text, toks))
        return text;
    QVector<Node> tree = buildTree(toks);
    translateLevel(tree, 0);
    QString out;
    out.reserve(text.size() + text.size() / 8);
    render(tree, out);
    return out;
}
}  // namespace SqlDialect

namespace SqlDialect {
QString WithoutTrailingOrderBy(const QString& text)
{
    const QVector<Token> toks = tokenize(text);
    int depth = 0;
    int cutAt = -1;
    int offset = 0;
    for (int i = 0; i < toks.size(); ++i) {
        const Token& t = toks[i];
        if (isPunct(t, "("))
            ++depth;
        else if (isPunct(t, ")"))
            --depth;
        else if (depth == 0 && isWord(t, "ORDER")) {
            int j = i + 1;
            while (j < toks.size() && (toks[j].kind == Token::Space || toks[j].kind == Token::Comment))
                ++j;
            if (j < toks.size() && isWord(toks[j], "BY"))
                cutAt = offset;
        }
        offset += int(t.text.size());
    }
    return cutAt < 0 ? text : text.left(cutAt);
}
}  // namespace SqlDialect

namespace SqlDialect {
QString WithRowLimit(const QString& text, int rows)
{
    const QVector<Token> toks = tokenize(text);
    int i = 0;
    auto skipBlanks = [&] {
        while (i < toks.size() && (toks[i].kind == Token::Space || toks[i].kind == Token::Comment))
            ++i;
    };
    skipBlanks();
    if (i >= toks.size() || !isWord(toks[i], "SELECT"))
        return QString();
    ++i;
    int insertAt = i;  // token index after which TOP goes
    skipBlanks();
    if (i < toks.size() && (isWord(toks[i], "DISTINCT") || isWord(toks[i], "ALL"))) {
        ++i;
        insertAt = i;
        skipBlanks();
    }
    if (i < toks.size() && isWord(toks[i], "TOP"))
        return QString();  // limited already
    // One SELECT without set operators, INTO or a second statement.
    int depth = 0;
    for (int k = i; k < toks.size(); ++k) {
        const Token& t = toks[k];
        if (isPunct(t, "("))
            ++depth;
        else if (isPunct(t, ")"))
            --depth;
        else if (depth == 0 && (isWord(t, "UNION") || isWord(t, "INTERSECT") || isWord(t, "EXCEPT") ||
                                isWord(t, "INTO") || isPunct(t, ";")))
            return QString();
    }
    int offset = 0;
    for (int k = 0; k < insertAt; ++k)
        offset += int(toks[k].text.size());
    return text.left(offset) + QStringLiteral(" TOP ") + QString::number(rows) + text.mid(offset);
}
}  // namespace SqlDialect
