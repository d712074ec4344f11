#include "SqlDialect.h"
#include <QSet>
#include <QVector>
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
    bool closed = true;      // false for a "(" the text never closes
    QVector<Node> children;  // without the parentheses
};

// Reads nodes up to the ")" that closes this level (consumed; closed := true)
// or the end of the text (closed := false).
QVector<Node> buildTree(const QVector<Token>& toks, int& pos, bool& closed)
{
    QVector<Node> list;
    closed = false;
    while (pos < toks.size()) {
        const Token& t = toks[pos];
        if (isPunct(t, "(")) {
            ++pos;
            Node g;
            g.group = true;
            g.children = buildTree(toks, pos, g.closed);
            list.push_back(std::move(g));
        } else if (isPunct(t, ")")) {
            ++pos;
            closed = true;
            return list;
        } else {
            Node leaf;
            leaf.tok = t;
            list.push_back(std::move(leaf));
            ++pos;
        }
    }
    return list;
}

void render(const QVector<Node>& list, QString& out)
{
    for (const Node& nd : list) {
        if (nd.group) {
            out += QChar('(');
            render(nd.children, out);
            if (nd.closed)
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

// Splits a group's children at top-level commas.
QVector<QVector<Node>> splitArgs(const QVector<Node>& children)
{
    QVector<QVector<Node>> args(1);
    for (const Node& c : children) {
        if (!c.group && isPunct(c.tok, ","))
            args.push_back({});
        else
            args.back().push_back(c);
    }
    return args;
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

int nextNonSpace(const QVector<Node>& list, int i)
{
    while (i < list.size() && isSpace(list[i]))
        ++i;
    return i;
}
int prevNonSpace(const QVector<Node>& list, int i)
{
    while (i >= 0 && isSpace(list[i]))
        --i;
    return i;
}

const QSet<QString>& stringFunctions()
{
    static const QSet<QString> s = {QStringLiteral("substr"), QStringLiteral("rtrim"), QStringLiteral("ltrim"),
                                    QStringLiteral("trim"), QStringLiteral("upper"), QStringLiteral("lower"),
                                    QStringLiteral("replace"), QStringLiteral("char"), QStringLiteral("nchar"),
                                    QStringLiteral("space"), QStringLiteral("replicate")};
    return s;
}

bool exprStringy(const QVector<Node>& list);

// Stringiness of the primary that ends at index `last` (inclusive) and starts
// at `first`.
bool primaryStringy(const QVector<Node>& list, int first, int last)
{
    const Node& end = list[last];
    if (!end.group && end.tok.kind == Token::String)
        return true;
    if (end.group) {
        if (first < last) {
            // function call: name ( ... )
            const Node& name = list[first];
            const QString fn = name.tok.text.toLower();
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
                for (const auto& a : splitArgs(end.children))
                    if (exprStringy(a))
                        return true;
                return false;
            }
            return false;
        }
        return exprStringy(end.children);
    }
    if (isWord(end.tok, "END")) {
        // CASE ... END: a string when one of its results is.
        bool afterResult = false;
        QVector<Node> branch;
        for (int i = first + 1; i < last; ++i) {
            const Node& c = list[i];
            if (!c.group && (isWord(c.tok, "WHEN") || isWord(c.tok, "ELSE") || isWord(c.tok, "THEN"))) {
                if (afterResult && exprStringy(branch))
                    return true;
                branch.clear();
                afterResult = isWord(c.tok, "THEN") || isWord(c.tok, "ELSE");
                continue;
            }
            branch.push_back(c);
        }
        return afterResult && exprStringy(branch);
    }
    return false;
}

// Start index of the primary ending at `last`.
int primaryStart(const QVector<Node>& list, int last)
{
    const Node& end = list[last];
    if (end.group) {
        const int p = prevNonSpace(list, last - 1);
        if (p >= 0 && !list[p].group && list[p].tok.kind == Token::Word &&
            !isWord(list[p].tok, "AND") && !isWord(list[p].tok, "OR") && !isWord(list[p].tok, "NOT") &&
            !isWord(list[p].tok, "IN") && !isWord(list[p].tok, "THEN") && !isWord(list[p].tok, "ELSE") &&
            !isWord(list[p].tok, "WHEN") && !isWord(list[p].tok, "AS") && !isWord(list[p].tok, "ON") &&
            !isWord(list[p].tok, "SELECT") && !isWord(list[p].tok, "WHERE") && !isWord(list[p].tok, "FROM"))
            return p;
        return last;
    }
    if (isWord(end.tok, "END")) {
        int depth = 0;
        for (int i = last; i >= 0; --i) {
            if (list[i].group)
                continue;
            if (isWord(list[i].tok, "END"))
                ++depth;
            else if (isWord(list[i].tok, "CASE") && --depth == 0)
                return i;
        }
        return last;
    }
    // qualified names: a.b.c
    int i = last;
    while (true) {
        const int dot = prevNonSpace(list, i - 1);
        if (dot < 0 || list[dot].group || !isPunct(list[dot].tok, "."))
            break;
        const int name = prevNonSpace(list, dot - 1);
        if (name < 0 || list[name].group)
            break;
        i = name;
    }
    return i;
}

// End index of the primary that starts at `first`.
int primaryEnd(const QVector<Node>& list, int first)
{
    const Node& st = list[first];
    if (st.group)
        return first;
    if (isWord(st.tok, "CASE")) {
        int depth = 0;
        for (int i = first; i < list.size(); ++i) {
            if (list[i].group)
                continue;
            if (isWord(list[i].tok, "CASE"))
                ++depth;
            else if (isWord(list[i].tok, "END") && --depth == 0)
                return i;
        }
        return int(list.size()) - 1;
    }
    if (st.tok.kind == Token::Word) {
        const int nx = nextNonSpace(list, first + 1);
        if (nx < list.size() && list[nx].group)
            return nx;  // function call
    }
    int i = first;
    while (true) {
        const int dot = nextNonSpace(list, i + 1);
        if (dot >= list.size() || list[dot].group || !isPunct(list[dot].tok, "."))
            break;
        const int name = nextNonSpace(list, dot + 1);
        if (name >= list.size() || list[name].group)
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

// Finds the "+" chains of one level; converts those that hold a string.
// Returns whether the level's expression is a string.
bool convertPlusChains(QVector<Node>& list, bool apply)
{
    bool anyStringy = false;
    QVector<bool> done(list.size(), false);
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].group || !isPunct(list[i].tok, "+") || done[i])
            continue;
        const int l = prevNonSpace(list, i - 1);
        if (l < 0 || !isOperand(list[l]))
            continue;  // unary plus
        // Walk to the chain's first operand.
        int chainStart = primaryStart(list, l);
        QVector<int> plusses;
        while (true) {
            const int op = prevNonSpace(list, chainStart - 1);
            if (op < 0 || list[op].group || !isPunct(list[op].tok, "+"))
                break;
            const int pl = prevNonSpace(list, op - 1);
            if (pl < 0 || !isOperand(list[pl]))
                break;
            chainStart = primaryStart(list, pl);
        }
        // Walk forward over operands and plusses.
        bool stringy = false;
        int pos = chainStart;
        while (true) {
            const int e = primaryEnd(list, pos);
            if (primaryStringy(list, pos, e))
                stringy = true;
            const int op = nextNonSpace(list, e + 1);
            if (op >= list.size() || list[op].group || !isPunct(list[op].tok, "+"))
                break;
            const int nx = nextNonSpace(list, op + 1);
            if (nx >= list.size() || !isOperand(list[nx]))
                break;
            plusses.push_back(op);
            pos = nx;
        }
        for (int p : plusses) {
            done[p] = true;
            if (stringy && apply)
                list[p].tok.text = QStringLiteral("||");
        }
        anyStringy = anyStringy || stringy;
    }
    return anyStringy;
}

bool exprStringy(const QVector<Node>& list)
{
    QVector<Node> copy = list;
    if (convertPlusChains(copy, false))
        return true;
    const int first = nextNonSpace(list, 0);
    if (first >= list.size())
        return false;
    const int end = primaryEnd(list, first);
    if (nextNonSpace(list, end + 1) < list.size())
        return false;  // more than one primary and no "+" chain: not a string value we know of
    return primaryStringy(list, first, end);
}

bool isClauseEnd(const Node& n)
{
    return !n.group && (isWord(n.tok, "WHERE") || isWord(n.tok, "GROUP") || isWord(n.tok, "ORDER") ||
                        isWord(n.tok, "HAVING") || isWord(n.tok, "UNION") || isPunct(n.tok, ";"));
}

// SQL Server lets joins nest without parentheses: "A JOIN B JOIN C ON c ON b"
// (the last ON belongs to the join of B). SQLite needs the inner joins in
// parentheses: "A JOIN (B JOIN C ON c) ON b". Each ON belongs to the nearest
// JOIN still without one; when that is not the latest JOIN, the joins after
// it are wrapped together with its table.
void nestJoins(QVector<Node>& list)
{
    bool changed = true;
    while (changed) {
        changed = false;
        QVector<int> open;    // JOINs still without their ON
        int lastJoin = -1;    // the latest JOIN seen
        for (int i = 0; i < list.size(); ++i) {
            const Node& n = list[i];
            if (isClauseEnd(n)) {
                open.clear();
                lastJoin = -1;
                continue;
            }
            if (n.group)
                continue;
            if (isWord(n.tok, "JOIN")) {
                open.push_back(i);
                lastJoin = i;
            } else if (isWord(n.tok, "ON") && !open.isEmpty()) {
                const int join = open.takeLast();
                if (join != lastJoin) {
                    const int from = nextNonSpace(list, join + 1);
                    int to = i;  // up to the ON, without the blanks before it
                    while (to > from && isSpace(list[to - 1]))
                        --to;
                    Node g;
                    g.group = true;
                    g.children = list.mid(from, to - from);
                    list.remove(from, to - from);
                    list.insert(from, g);
                    changed = true;
                    break;
                }
            }
        }
    }
}

void translateLevel(QVector<Node>& list)
{
    // Inner levels first, so function rewrites below see translated arguments.
    for (Node& n : list)
        if (n.group)
            translateLevel(n.children);

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
                auto args = splitArgs(list[nx].children);
                auto call = [&](const QString& name, const QVector<QVector<Node>>& a) {
                    out.push_back(leafOf(Token::Word, name));
                    Node g;
                    g.group = true;
                    g.children = joinArgs(a);
                    out.push_back(g);
                    i = nx;
                };
                auto textArg = [](const QString& t) {
                    return QVector<Node>{leafOf(Token::Number, t)};
                };
                if (fn == QLatin1String("LEFT") && args.size() == 2) {
                    call(QStringLiteral("substr"), {args[0], textArg(QStringLiteral("1")), args[1]});
                    continue;
                }
                if (fn == QLatin1String("RIGHT") && args.size() == 2) {
                    // The last n characters: start -n, length n (n = 0 gives '').
                    Node neg;
                    neg.group = true;
                    neg.children = args[1];
                    QVector<Node> start{leafOf(Token::Punct, QStringLiteral("-")), neg};
                    call(QStringLiteral("substr"), {args[0], start, args[1]});
                    continue;
                }
                if (fn == QLatin1String("SUBSTRING") && args.size() == 3) {
                    call(QStringLiteral("substr"), args);
                    continue;
                }
                if (fn == QLatin1String("LEN") && args.size() == 1) {
                    // LEN ignores trailing blanks.
                    Node inner;
                    inner.group = true;
                    inner.children = args[0];
                    call(QStringLiteral("length"), {{leafOf(Token::Word, QStringLiteral("rtrim")), inner}});
                    continue;
                }
                if (fn == QLatin1String("ISNULL") && args.size() == 2) {
                    call(QStringLiteral("ifnull"), args);
                    continue;
                }
                if (fn == QLatin1String("GETDATE") && args.size() == 1 && nextNonSpace(args[0], 0) >= args[0].size()) {
                    call(QStringLiteral("datetime"),
                         {{leafOf(Token::String, QStringLiteral("'now'"))}, {leafOf(Token::String, QStringLiteral("'localtime'"))}});
                    continue;
                }
            }
        }
        // N'...' (Unicode literal): SQLite's literals are Unicode already.
        if (!n.group && n.tok.kind == Token::String && !n.tok.text.startsWith(QChar('\''))) {
            n.tok.text.remove(0, 1);
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
    list = out;
    nestJoins(list);
    convertPlusChains(list, true);
}

}  // namespace

namespace SqlDialect {
QString ToSqlite(const QString& text)
{
    const QVector<Token> toks = tokenize(text);
    int pos = 0;
    QVector<Node> tree;
    // Stray closing parentheses would end the top level early; keep going so
    // the server reports the error on the text as written.
    while (pos < toks.size()) {
        bool strayClose = false;
        tree += buildTree(toks, pos, strayClose);
        if (strayClose)
            tree.push_back(leafOf(Token::Punct, QStringLiteral(")")));
    }
    translateLevel(tree);
    QString out;
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
